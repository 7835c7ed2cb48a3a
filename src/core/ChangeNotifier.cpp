#include "ChangeNotifier.h"

ChangeNotifier &ChangeNotifier::instance()
{
    static ChangeNotifier notifier;
    return notifier;
}
