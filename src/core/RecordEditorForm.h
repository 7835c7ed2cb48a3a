#pragma once
// The shape the three record editors (anthems, collections, members)
// share: the record toolbar "Toolbar1", the letter bar "Toolbar2", the
// name list "List_Combo", the page control "SSTab1" and the "My Data"
// page (ULabel1..ULabel5, UText1..UText5); the three states (browsing,
// adding, empty) with their toolbar modes; first, previous, next and last
// with wrap-around; the letter click and the name pick; the check-list
// grids of the record shown; and the schedule and performed-dates dialogs
// of the record shown.
//
// Every change of the record shown passes one gate (replaceRecord), told
// why it happens. Before the user leaves a record with unsaved changes (a
// move, a letter, a name picked, Add, another window showing another
// record, a close), the editor asks whether to save them. A reload that
// another window causes never asks and never drops what was typed: while
// the record shown has unsaved changes, it stays, and only what the user
// has not touched follows the database. The toolbar's actions have keys
// that work from anywhere in the editor while their buttons show.
//
// The records are kept in editor order in a NameIndex, read once when the
// window opens and updated in place by each save and delete; the record
// shown is always read afresh from the database.
//
// A subclass gives its Setup (kind, nouns, the list query, how names form
// runs, texts), builds its own pages into SSTab1, registers its check-list
// grids, calls setupEditor() at the end of its constructor, and implements
// how a record is shown, cleared, saved and deleted.

#include "BaseForm.h"
#include "Forms.h"
#include "HXData.h"
#include "NameIndex.h"
#include "RecordCodes.h"
#include "RecordDialogs.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <functional>
#include <initializer_list>
#include <optional>

class CheckListGrid;
class ClickLabel;
class DateField;
class LetterBar;
class NameListModel;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class RecordToolbar;

class RecordEditorForm : public BaseForm, public HXDataHolder, public RecordLoader, public CheckGridHost {
    Q_OBJECT
public:
    struct Setup {
        RecordKind kind = RecordKind::Anthem;
        // The record in lower case ("anthem") for the toolbar's tooltips
        // and messages; capitalized for the schedule tooltip.
        QString noun;
        // The records for the letter bar's tooltips ("Anthems").
        QString plural;
        // The list query: id and name key of every record, in editor order
        // (with Order::Keys the name's parts and the sort keys instead).
        QString listSql;
        // Which consecutive keys form one item of the name list.
        NameIndex::Runs runs = NameIndex::Runs::Exact;
        // What orders the records and gives their letters (NameIndex).
        NameIndex::Order order = NameIndex::Order::Names;
        // The delete question (Yes/No, title "Delete Warning").
        QString deletePrompt;
        // The confirmation after a save (title "Confirmation").
        QString savedMessage;
        // Which editor the schedule dialogs are opened for; None: the
        // editor has no schedule button.
        ScheduleCaller scheduleCaller = ScheduleCaller::None;
        // The column the grids are sorted on when the fields are cleared.
        int resetSortColumn = 2;
        // While adding, no record counts as shown (current id 0), so a
        // reference-list refresh never marks the grids with the record
        // shown before Add. Off: that record stays current (anthems).
        bool noRecordWhileAdding = false;
    };

    RecordEditorForm(bool *loadedFlag, Setup setup);
    ~RecordEditorForm() override;

    HXData &hxData() override { return m_data; }
    const HXData &hxData() const { return m_data; }
    RecordKind recordKind() const { return m_setup.kind; }
    // The id of the record shown (CurAnthem, CurCollection or CurMember):
    // below 1 while none is.
    qint32 currentId() const;

    // Another window changed what the editor shows: the choice lists are
    // filled again and the record with the id is shown. An id no longer
    // there shows the current record again; a record gone from the table
    // makes the editor read its list again and show the first. While the
    // record shown has unsaved changes or a new one is typed, it stays with
    // what was typed instead (replaceRecord). Database errors reach the
    // caller.
    void loadRecord(qint32 id);
    // Positions the editor on the record and shows it with its letter and
    // name list; an id not among the records read makes the editor read
    // them again once. Unsaved changes are asked about first; a No while
    // adding also ends the adding. The record shown, asked for again,
    // keeps what was typed.
    void loadRecordById(qint32 id) override;
    // After other windows deleted records: reads the records and the
    // choice lists again and shows the record shown again, or the first
    // when it is gone. While the record shown has unsaved changes or a new
    // one is typed, it stays with what was typed (replaceRecord).
    void reloadRecords();

    bool isAdding() const { return m_adding; }
    // The fields, the check-list grid ticks or the "My Data" fields differ
    // from what the record showed when it was filled from the database (or
    // emptied for a new one): something typed and typed back is no change.
    bool hasUnsavedChanges() const;
    const NameIndex &records() const { return m_records; }

    Grid checkGrid(CheckGridKind kind) override;
    Mark checkGridMark() const override;

protected:
    // ---- what a subclass implements

    // Reads the record and shows it: empties the fields, then fills them.
    // False, with nothing changed, when the record is not in the table.
    // The base then marks the check-list grids. Database errors reach the
    // caller.
    virtual bool showRecordFields(qint32 id) = 0;
    // Empties the fields (the base resets the check-list grids).
    virtual void clearRecordFields() = 0;
    struct Saved {
        qint32 id = 0;
        // The saved record as the list query reads it: its name key (and
        // with Order::Keys its letter text and sort keys).
        NameIndex::Entry entry;
    };
    // Reads the fields and writes the record in one transaction (a new one
    // when adding), with the ticked links (checkedLinks()). Says itself
    // why when a field is refused or the database fails, and then returns
    // nullopt with nothing written.
    virtual std::optional<Saved> saveRecordFields(bool adding) = 0;
    // Deletes the record with everything that refers to it, in one
    // transaction; DbError when nothing could be deleted.
    virtual void deleteRecordData(qint32 id) = 0;
    // The name field checked before a save.
    virtual QLineEdit *nameField() const = 0;
    // Lists other than the name list that set-up and reloadRecords() fill.
    virtual void refreshChoiceLists() {}
    // After a save or a delete, once the editor shows the result: tell the
    // windows that care (ChangeNotifier).
    virtual void recordSaved(qint32 id, bool added) { Q_UNUSED(id) Q_UNUSED(added) }
    virtual void recordDeleted(qint32 id) { Q_UNUSED(id) }
    // The title the schedule entry dialog shows.
    virtual QString scheduleTitle() const;

    // ---- what the base offers a subclass

    // Opens the records, fills the registered grids unmarked and the
    // choice lists, and shows the first record (or the empty state).
    void setupEditor();
    void registerCheckGrid(CheckGridKind kind, CheckListGrid *grid, bool withActive = false);
    // The ticked rows of every registered grid, for the save.
    QList<LinkChoice> checkedLinks() const;
    // The "My Data" page: ULabel1..5 (click to rename, showing the
    // captions stored for the kind) and UText1..5.
    QWidget *buildMyDataPage();
    QLineEdit *userField(int n) const { return m_userText[n - 1]; }
    // The user fields UText1..5 emptied, shown and read.
    void clearUserFields();
    void showUserFields(const QString (&values)[5]);
    void readUserFields(QString (&values)[5]) const;
    // A page of SSTab1 that is one plain text box (objectName name), its
    // caption the tab's text and the box's accessible name.
    QPlainTextEdit *addMemoPage(const QString &name, const QString &caption);
    // The "View All" button (btnAllPerform): the performed dates of the
    // record shown; enabled only while one is shown and a dialog exists.
    QPushButton *makePerformedDatesButton(QWidget *parent);

    // Window-building helpers.
    static QLineEdit *makeTextField(const QString &name, int maxLength, QWidget *parent);
    static QLabel *makeCaption(const QString &text, QWidget *buddy, QWidget *parent);
    static QPushButton *makeButton(const QString &name, const QString &text, QWidget *parent);
    // A check-list grid named for screen readers (its title, as a caption
    // would name a field).
    static CheckListGrid *makeCheckGrid(const QString &name, const QString &accessibleName, QWidget *parent);
    static DateField *makeDateField(const QString &name, QWidget *parent);
    // A "ClearDate" button that empties the date field.
    static QPushButton *makeClearDateButton(const QString &name, DateField *date, QWidget *parent);

    // Reading the fields for a save. A mistyped date is refused, never
    // stored as no date: each field takes what was typed, and at the first
    // that holds no date the page "Main" shows and the answer is false.
    bool acceptDates(std::initializer_list<DateField *> fields);
    // Refuses what a field holds: the page "Main" shows, the message says
    // why (OK, exclamation) and the field gets the focus. Returns false.
    bool refuseInput(QWidget *field, const QString &message);
    // Runs a record's write with the busy cursor; false, after the failure
    // was shown, when it failed.
    static bool writeGuarded(const std::function<void()> &write);

    // A failure in what follows a stored change (showing the result,
    // refreshing other windows) is reported as such: false after saying
    // "<stored>, but the editor could not be brought up to date."
    static bool afterStored(const QString &stored, const std::function<void()> &work);

    // Why the record shown is replaced (replaceRecord).
    enum class Cause {
        // The user leaves it: a move, a letter, the name list, Add, another
        // window opening the editor on a record. Unsaved changes are asked
        // about first.
        UserMove,
        // Nothing typed is at stake: the user's own Save, Delete or Cancel
        // button settled it, nothing is shown yet, or the record shown
        // stays. Nothing is asked.
        Settled,
        // Another window stored or deleted what the editor shows: nothing
        // is asked and nothing typed is dropped.
        Elsewhere,
    };
    // The one gate before the record shown is replaced; replace() shows
    // the next one (or none). UserMove asks about unsaved changes first
    // and runs it unless the user stays; Settled runs it. Elsewhere runs it
    // when nothing typed is at stake; while the record shown has unsaved
    // changes or a new one is typed, the record stays instead: the choice
    // lists and the records are read again and the fields and ticks the
    // user has not touched show what is stored now (refreshKeepingInput).
    // True when replace() ran.
    bool replaceRecord(Cause cause, const std::function<void()> &replace);

    // The parts of the shared shape, for the routines the subclass names.
    void openRecordList();
    void clearRecord();
    void showFirstRecord();
    void showCurrentRecord();
    void markLetters();
    void fillNameList(QString &letter);
    void enableLetterBar(bool flag);
    // The letter state after a (re)opening of the records: A_Button 1 and
    // P_Button 51 (set-up also makes SLetterW "A").
    void resetLetterState();
    // Add, Cancel, Save, Delete, First, Previous, Next, Last, Schedule.
    void toolbarClicked(int index);
    void letterClicked(int index);
    void nameListClicked(int item);
    // False when the record was not saved; the editor stays as it was.
    bool saveRecord();

    void unloadForm() override;
    bool queryClose() override;
    // Escape while adding: the Cancel button's key.
    void keyPressEvent(QKeyEvent *event) override;

    QTabWidget *tabs() const { return SSTab1; }
    RecordToolbar *recordToolbar() const { return Toolbar1; }
    LetterBar *letterBar() const { return Toolbar2; }
    QComboBox *nameList() const { return List_Combo; }

private:
    // Fills the fields with the record with the id (see loadRecord); only
    // what passed replaceRecord calls it.
    void showRecord(qint32 id);
    // Shows the record with the id among those read, with its letter and
    // name list; the first when it is not among them, the empty state when
    // there are none.
    void showListedRecord(qint32 id);
    // The letter bar and the name list from the records read, at the
    // letter of the record with the id (when it is among them) with its
    // item chosen.
    void rebuildLetterBar(qint32 id);
    void chooseNameListItem(qint32 id);
    // See replaceRecord.
    void refreshKeepingInput();
    void setCurrentId(qint32 id);
    // The letter a row of the records files under, "A" to "Z".
    QString letterOfRow(int row) const;
    void markCheckGrids(qint32 id);
    void resetCheckGrids();
    void updateRecordActions();
    void deleteClicked();
    void cancelClicked();
    // The Save button: the name check, then the save; false when refused.
    bool saveClicked();
    // Before the record shown is left: the question whether to save its
    // changes. True when the editor may go on (nothing changed, saved, or
    // the changes dropped); false when the user stays on the record.
    bool askToSaveChanges();
    // What the record shows now, and that record as it was filled.
    QHash<const QWidget *, QString> fieldValues() const;
    // The ids ticked in each tick column of the grids, in registration
    // order.
    QList<QSet<qint32>> tickValues() const;
    void rememberShownValues();

    struct RegisteredGrid {
        CheckGridKind kind;
        CheckListGrid *grid;
        bool withActive;
    };

    Setup m_setup;
    HXData m_data;
    NameIndex m_records;
    bool m_adding = false;
    // The records were read again while adding: the letter bar and the
    // name list are rebuilt when the add ends.
    bool m_listsStale = false;
    QList<RegisteredGrid> m_grids;
    // The record as filled: fieldValues(), and per grid the ids ticked in
    // column 1 (and in the Active column where the grid has one).
    QHash<const QWidget *, QString> m_shownFields;
    QList<QSet<qint32>> m_shownTicks;

    RecordToolbar *Toolbar1 = nullptr;
    LetterBar *Toolbar2 = nullptr;
    QComboBox *List_Combo = nullptr;
    NameListModel *m_nameModel = nullptr;
    QTabWidget *SSTab1 = nullptr;
    QPushButton *btnAllPerform = nullptr;
    ClickLabel *m_userLabel[5] = {};
    QLineEdit *m_userText[5] = {};
};
