#pragma once
// The anthem editor: one anthem's fields on five pages, its collection,
// its five link grids and its "My Data" fields. The catalogue fields it
// shares with the collection editor are CatalogueEditorForm's; the record
// toolbar, the letter bar, the name list, the three states and the moves
// between anthems are the shared record-editor shape (RecordEditorForm).

#include "CatalogueEditorForm.h"

class IdListCombo;
class QCheckBox;
class QGroupBox;
class QPlainTextEdit;
struct AnthemRecord;

class AnthemForm : public CatalogueEditorForm {
    Q_OBJECT
public:
    AnthemForm();
    ~AnthemForm() override;

    // The anthem shown (CurAnthem), the collection chosen for it
    // (CurCollection) and the letter-bar state, read by other windows.
    HXData &A_Data;

    // Shows the anthem with the id after a change elsewhere (see
    // RecordEditorForm::loadRecord).
    void A_Load_Data(qint32 CSName) { loadRecord(CSName); }
    // Rebuilds the collection list (names in name order, a blank " "
    // last); the collection chosen stays chosen (the blank item when it is
    // gone). With reloadAnthem, after a collection was saved elsewhere,
    // also shows the current anthem again (A_Load_Data): what the user
    // typed or chose stays.
    void BuildCollectionCombo(bool reloadAnthem);
    // After other windows deleted anthems (a collection with its anthems):
    // re-reads the anthems and the collections (see
    // RecordEditorForm::reloadRecords).
    void CollectionDeletionReset() { reloadRecords(); }
    // Shows the anthem with the id, found by id; unsaved changes are asked
    // about first, and dropping those of a new anthem ends the adding.
    void LoadFromCollectionForm(qint32 A_ID) { loadRecordById(A_ID); }

protected:
    bool showRecordFields(qint32 id) override;
    void clearRecordFields() override;
    std::optional<Saved> saveRecordFields(bool adding) override;
    void deleteRecordData(qint32 id) override;
    void refreshChoiceLists() override { BuildCollectionCombo(false); }
    void recordSaved(qint32 id, bool added) override;
    void recordDeleted(qint32 id) override;

private:
    QWidget *buildMainPage();
    void connectHandlers();

    // The names the anthem editor's routines have always had.
    void SetupAnthemForm() { setupEditor(); }
    void ClearAnthemForm() { clearRecord(); }
    void ShowFirstAnthem() { showFirstRecord(); }
    void ShowCurrentAnthem() { showCurrentRecord(); }
    void MarkAnthemLetters() { markLetters(); }
    void FillAnthemList(QString &letter) { fillNameList(letter); }
    void EnableLetterBar(bool flag) { enableLetterBar(flag); }
    void OpenAnthemRecordset() { openRecordList(); }
    bool SaveAnthem() { return saveRecord(); }

    // Reads the fields into a record; false (after saying why) when a
    // field holds what cannot be stored.
    bool readFields(AnthemRecord &record);
    void setCollectionCheck(bool ticked);
    void selectCollection(qint32 collectionId);
    void collectionChosen(int item);

    // The collection the anthem shown is stored with, and the one it had
    // before the last save (0 for a new anthem).
    qint32 m_storedCollection = 0;
    qint32 m_collectionBeforeSave = 0;

    QCheckBox *CollectionCheck = nullptr;
    QGroupBox *CollectionFrame = nullptr;
    IdListCombo *CollectionCombo = nullptr;
    QPlainTextEdit *Memo2 = nullptr;
};

// Registers the anthem editor with the form dispatcher (form code 2).
void registerAnthemEditor();
