#pragma once
// The two limit pages the anthem and collection viewers share: "Display
// Parameters" with the "Display All" box, the five link limits
// (optLimit0..optLimit4) with their check-list grids and their "Select
// All" / "Clear Selections" buttons, and "Display Parameters 2" with the
// five "My Data" limits (optLimit5..optLimit9 with MyData5..MyData9) and
// "loaned out" (optLimit10); each page ends with a Process button.
//
// The boxes behave alike in both viewers: a limit box the user clicks
// ticks "Display All" exactly when no limit box is ticked and enables its
// own grid and buttons while it is ticked; the user's own tick of
// "Display All" unticks every limit box (and, where the viewer asks for
// it, disables the grids and their buttons). Boxes the program sets run
// nothing.

#include "Forms.h"
#include "RecordCodes.h"
#include "ViewerLimits.h"

#include <QObject>
#include <QString>

class CheckListGrid;
class QCheckBox;
class QComboBox;
class QPushButton;
class QTabWidget;
class QWidget;

class ViewerLimitPages : public QObject {
    Q_OBJECT
public:
    struct Setup {
        QString displayAllCaption; // "Display All Anthems"
        QString processCaption;    // the caption of every Process button
        RecordKind kind;           // whose "My Data" captions and values
        // The user's tick of "Display All" also disables the five grids
        // and their buttons; otherwise they keep their state.
        bool displayAllDisablesGrids = false;
    };

    // Adds the two pages to the tabs, after the pages already there.
    ViewerLimitPages(QTabWidget *tabs, const Setup &setup, QObject *parent = nullptr);

    // A Process button "btnProcess<i>" on a page; its click emits
    // processClicked(). The limit pages hold buttons 1 and 2.
    QPushButton *makeProcessButton(QWidget *page, int i);

    // The viewer's load: the "My Data" captions and value lists (each
    // list showing no text), then the grids filled in the order vocals,
    // themes, orchestration, composers, choirs with every row ticked.
    // Database errors reach the caller.
    void load();

    bool displayAll() const;
    // The limits as the boxes, grids and texts show them.
    ViewerLimits values() const;

    CheckListGrid *grid(int listLimit) const { return m_grid[listLimit]; }
    // The grid of a kind, for the reference lists' refresh; none for
    // member sections.
    CheckGridHost::Grid checkGrid(CheckGridKind kind) const;

signals:
    void processClicked();

private:
    void limitClicked(int i);
    void displayAllClicked();
    void enableList(int i, bool on);

    QTabWidget *m_tabs;
    Setup m_setup;
    QCheckBox *m_displayAll = nullptr;
    QCheckBox *m_limit[11] = {};
    QComboBox *m_myData[5] = {}; // MyData5..MyData9
    CheckListGrid *m_grid[ViewerLimits::ListLimitCount] = {};
    QPushButton *m_checkAll[ViewerLimits::ListLimitCount] = {};
    QPushButton *m_clearAll[ViewerLimits::ListLimitCount] = {};
};
