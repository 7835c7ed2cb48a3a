#pragma once
// The two limit pages every viewer (anthems, collections, members) builds
// from a design of its limits, and how they answer the user's clicks:
// - "Display Parameters": "Display All ..." (AllCheck) and the list
//   limits side by side, each a box optLimit<i> over its check-list grid
//   and the buttons "Select All" (btnCheckAll<i>) and "Clear Selections"
//   (btnClearAll<i>); "Display Parameters 2": the text limits (a box with
//   its text list) and plain boxes, one below the other. Each page ends
//   with a Process button (btnProcess1, btnProcess2); the viewer puts
//   btnProcess0 on its list page. All Process buttons do the same.
// - AllCheck: ticked at opening; ticked by the user it unticks every
//   limit box, and where the design asks for it also disables every list
//   grid with its buttons; otherwise they keep their state.
// - A limit box clicked by the user: AllCheck is ticked exactly when no
//   limit box is; a list limit's grid and buttons are enabled exactly
//   while its box is ticked (disabled at opening).
// - A click on a list grid flips the box of the clicked row: the name's
//   box, or on a grid with the "Active" column (the member viewer's
//   choirs) the box of the column clicked.
// - The text lists ("My Data", months): typing allowed, nothing typed is
//   added to the list or completed from it, and the text starts empty.
// Boxes the program sets run nothing: only the user's own clicks do.

#include "Forms.h"
#include "LinkTables.h"
#include "RecordCodes.h"
#include "ViewerLimits.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <map>

class CheckListGrid;
class QCheckBox;
class QComboBox;
class QPushButton;
class QTabWidget;
class QWidget;

class LimitPanel : public QObject {
    Q_OBJECT
public:
    // One limit box and what it reads.
    struct Limit {
        enum Kind { List, Text, Box };
        int index = 0;
        Kind kind = Box;
        QString caption;
        // The grid's (List) or the text list's (Text) objectName.
        QString controlName;
        // List: what the grid lists, whether it has the "Active" column,
        // and its share of the page's width.
        CheckGridKind gridKind = CheckGridKind::Vocals;
        bool withActive = false;
        int stretch = 1;
        // Text: a list of fixed items (the months), kept narrow; without
        // items a "My Data" list, filled from the records' values.
        QStringList items;
    };
    static Limit list(int index, const QString &caption, const QString &gridName, CheckGridKind kind,
                      int stretch = 1, bool withActive = false);
    static Limit text(int index, const QString &caption, const QString &listName, const QStringList &items = {});
    static Limit box(int index, const QString &caption);
    // "My Data" 1 to 5: optLimit5..9 with MyData5..9.
    static QList<Limit> myData();

    struct Design {
        QString displayAllCaption; // "Display All Anthems"
        QString processCaption;    // the caption of every Process button
        RecordKind kind;           // whose "My Data" captions and values
        // The user's tick of AllCheck also disables the list grids.
        bool displayAllDisablesGrids = false;
        // In the order the load fills the grids; the pages place the
        // limits by index.
        QList<Limit> limits;
    };
    // The anthem and collection viewers' limits: the five link limits
    // (optLimit0..4 with VocalsGrid, ComposersGrid, ThemesGrid, OrchGrid,
    // ChoirGrid), "My Data" 1 to 5 (optLimit5..9 with MyData5..9) and
    // "loaned out" (optLimit10).
    static Design catalogue(const QString &displayAllCaption, const QString &processCaption, RecordKind kind,
                            bool displayAllDisablesGrids);

    // Adds the two pages to the tabs, after the pages already there.
    LimitPanel(QTabWidget *tabs, const Design &design, QObject *parent = nullptr);

    // A Process button "btnProcess<index>" on a page of the viewer's own,
    // named for screen readers with the page's caption.
    QPushButton *makeProcessButton(QWidget *page, int index, const QString &pageCaption);

    // The viewer's load: the "My Data" captions and values, every grid
    // filled with all its rows ticked (and every "Active" box), the month
    // items; every text list showing no text. Database errors reach the
    // caller.
    void load();

    bool displayAll() const;
    bool isTicked(int index) const;
    CheckListGrid *grid(int index) const;
    QComboBox *textList(int index) const;
    // The text of a limit's list as the user left it.
    QString text(int index) const;
    // The grid of a kind, for the reference lists' refresh.
    CheckGridHost::Grid checkGrid(CheckGridKind kind) const;
    // The limits of a catalogue() panel as the controls show them.
    ViewerLimits viewerLimits() const;

signals:
    void processClicked();

private:
    struct Controls {
        Limit limit;
        QCheckBox *box = nullptr;
        CheckListGrid *grid = nullptr;
        QPushButton *checkAll = nullptr;
        QPushButton *clearAll = nullptr;
        QComboBox *text = nullptr;
    };

    QWidget *buildListPage();
    QWidget *buildTextPage();
    void addListControls(Controls &c, QWidget *page);
    void limitClicked(int index);
    void allCheckClicked();
    static void enableList(const Controls &c, bool on);

    QTabWidget *m_tabs;
    Design m_design;
    QCheckBox *m_allCheck = nullptr;
    // By index; the order the pages show them.
    std::map<int, Controls> m_controls;
};
