#include "Registration.h"

void registerAllForms()
{
}
