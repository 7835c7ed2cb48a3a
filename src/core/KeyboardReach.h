#pragma once
// The keyboard's way through a window: Tab and Shift+Tab go from control
// to control and never stay inside one. A grid's own Tab walk would take
// a press per cell (thousands in a long check list) before reaching the
// buttons below it.

#include <QAbstractItemView>

// Tab and Shift+Tab leave the grid or list for the next or previous
// control in one press; the arrow keys still move between its cells.
inline void tabLeavesGrid(QAbstractItemView *view)
{
    view->setTabKeyNavigation(false);
}
