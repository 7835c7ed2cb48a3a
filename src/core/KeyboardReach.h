#pragma once
// The keyboard's way through a window: Tab and Shift+Tab go from control
// to control and never stay inside one. A grid's own Tab walk would take
// a press per cell (thousands in a long check list) before reaching the
// buttons below it. What a mouse does on a grid or on a window's tabs,
// a key does too.

#include <QAbstractItemView>

class QTabWidget;

// Tab and Shift+Tab leave the grid or list for the next or previous
// control in one press; the arrow keys still move between its cells.
inline void tabLeavesGrid(QAbstractItemView *view)
{
    view->setTabKeyNavigation(false);
}

// Return or Enter on the row in focus does what a double-click on it
// does: the view sends doubleClicked for it, so every handler of the
// double-click runs (QTableWidget's cellDoubleClicked and the like too).
// Where whole rows are selected the user sees no current cell: an empty
// one stands for the row's first cell that shows something. Without a
// row in focus the key goes on as before (to a dialog's default button).
void returnDoesDoubleClick(QAbstractItemView *view);

// Ctrl+PgUp and Ctrl+PgDown turn the pages of tabs from wherever the
// focus is in window, a toolbar button too.
void turnPagesByKeys(QWidget *window, QTabWidget *tabs);
// Turns to the previous (step -1) or next (step 1) enabled page, round
// from the last to the first; the focus follows from a control of the
// page left to the first control of the page shown.
void turnTabPage(QTabWidget *tabs, int step);
