#include "Cursor.h"

#include <QApplication>
#include <QCursor>

namespace {
int g_depth = 0;
}

namespace Cursor {

bool isBusy()
{
    return g_depth > 0;
}

void reset()
{
    if (g_depth > 0 && qApp)
        QApplication::restoreOverrideCursor();
    g_depth = 0;
}

} // namespace Cursor

BusyCursor::BusyCursor()
{
    if (g_depth++ == 0 && qApp)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

BusyCursor::~BusyCursor()
{
    if (g_depth == 0)
        return; // reset() already restored it
    if (--g_depth == 0 && qApp)
        QApplication::restoreOverrideCursor();
}
