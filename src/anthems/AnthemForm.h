#pragma once
// The anthem editor: one anthem's fields on five pages, its collection,
// its five link grids and its "My Data" fields; the record toolbar, the
// letter bar and the name list to move between anthems; save and delete.
//
// The anthems are kept in title order in an in-memory index (AnthemIndex),
// read once when the window opens and updated in place by each save and
// delete; the shown anthem itself is always read from the database.

#include "AnthemIndex.h"
#include "BaseForm.h"
#include "Forms.h"
#include "HXData.h"

#include <QVector>

class CheckListGrid;
class ClickLabel;
class CollectionListCombo;
class DateField;
class LetterBar;
class NameListModel;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class RecordToolbar;
struct AnthemRecord;

class AnthemForm : public BaseForm, public HXDataHolder, public RecordLoader {
    Q_OBJECT
public:
    AnthemForm();
    ~AnthemForm() override;

    // The anthem shown and the letter-bar state, read by other windows.
    HXData A_Data;
    HXData &hxData() override { return A_Data; }

    // Shows the anthem with the id (an id no longer there shows the
    // current anthem again). Does nothing while a new anthem is being
    // added, so a reload asked for by another window never discards what
    // the user typed.
    void A_Load_Data(qint32 CSName);
    // Rebuilds the collection list (names in name order, a blank " "
    // last); with reloadAnthem also shows the current anthem again, which
    // selects its collection in the new list. While adding, the user's
    // choice is kept (it falls back to the blank item when that collection
    // is gone) and nothing is reloaded.
    void BuildCollectionCombo(bool reloadAnthem);
    // After other windows deleted anthems (a collection with its anthems):
    // re-reads the anthems and the collections and shows the first anthem;
    // while adding, only the lists are brought up to date.
    void CollectionDeletionReset();
    // Shows the anthem with the id, found by id; while adding, the user is
    // asked to save or cancel first.
    void LoadFromCollectionForm(qint32 A_ID);
    void loadRecordById(qint32 id) override { LoadFromCollectionForm(id); }

    bool isAdding() const { return AddingAnthem; }
    const AnthemIndex &anthemIndex() const { return A_RS; }

protected:
    void unloadForm() override;

private:
    void buildWindow();
    QWidget *buildMainPage();
    QWidget *buildPage2();
    QWidget *buildMyDataPage();
    void connectHandlers();

    void SetupAnthemForm();
    void OpenAnthemRecordset();
    void ClearAnthemForm();
    void clearFields(bool resetGrids);
    // False when the anthem was not saved (input refused or the database
    // failed); the editor then stays as it was, with the user's input.
    bool SaveAnthem();
    // Reads the fields into a record; false (after saying why) when a
    // field holds what cannot be stored.
    bool readFields(AnthemRecord &record);
    void ShowFirstAnthem();
    void ShowCurrentAnthem();
    void MarkAnthemLetters();
    void FillAnthemList(QString &letter);
    void EnableLetterBar(bool flag);
    void setCollectionCheck(bool ticked);
    void selectCollection(qint32 collectionId);
    // The collection editor's anthems grid and the schedule viewer, when
    // they are open.
    void refreshNeighbours(bool schedule);

    void toolbarClicked(int index);
    void letterClicked(int index);
    void listClicked(int item);
    void collectionChosen(int item);

    // State.
    AnthemIndex A_RS;
    bool AddingAnthem = false;
    // The anthem list was re-read while adding: the letter bar and the
    // name list are rebuilt when the add ends.
    bool m_listsStale = false;
    int CurLetterButton = 1;
    int PrevLetterButton = 51;
    QString CurLetter = QStringLiteral("A");
    QVector<qint32> CollectionIds;

    // Controls.
    RecordToolbar *Toolbar1 = nullptr;
    LetterBar *Toolbar2 = nullptr;
    QComboBox *List_Combo = nullptr;
    NameListModel *m_nameModel = nullptr;
    QTabWidget *SSTab1 = nullptr;
    QLineEdit *AnthemName = nullptr;
    QLineEdit *Catalog = nullptr;
    QLineEdit *Location = nullptr;
    DateField *DatePurchased = nullptr;
    DateField *LastPerformed = nullptr;
    QPushButton *btnClearDate0 = nullptr;
    QPushButton *btnClearDate1 = nullptr;
    QPushButton *btnAllPerform = nullptr;
    QLineEdit *CostPerCopy = nullptr;
    QLineEdit *NumCopies = nullptr;
    QLineEdit *Pages = nullptr;
    QLineEdit *PerformTime = nullptr;
    QCheckBox *CollectionCheck = nullptr;
    QGroupBox *CollectionFrame = nullptr;
    CollectionListCombo *CollectionCombo = nullptr;
    NameListModel *m_collectionModel = nullptr;
    CheckListGrid *VocalsGrid = nullptr;
    CheckListGrid *ComposersGrid = nullptr;
    CheckListGrid *ThemesGrid = nullptr;
    CheckListGrid *OrchGrid = nullptr;
    CheckListGrid *ChoirGrid = nullptr;
    QPushButton *btnAddVocal = nullptr;
    QPushButton *btnAddComposer = nullptr;
    QPushButton *btnAddTheme = nullptr;
    QPushButton *btnAddOrch = nullptr;
    QLineEdit *LoanedTo = nullptr;
    QPlainTextEdit *Memo2 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    ClickLabel *ULabel[5] = {};
    QLineEdit *UText[5] = {};
};

// Registers the anthem editor with the form dispatcher (form code 2).
void registerAnthemEditor();
