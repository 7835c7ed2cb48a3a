#pragma once
// The collection editor: one collection (a music book or cantata) with its
// fields, its five link grids, its "My Data" fields and the read-only list
// of the anthems assigned to it. The catalogue fields it shares with the
// anthem editor are CatalogueEditorForm's; the record toolbar, the letter
// bar, the name list, the three states and the moves between collections
// are the shared record-editor shape (RecordEditorForm).

#include "CatalogueEditorForm.h"

class QTableWidget;
struct CollectionAnthem;
struct CollectionRecord;

class CollectionForm : public CatalogueEditorForm {
    Q_OBJECT
public:
    CollectionForm();
    ~CollectionForm() override;

    // The collection shown (CurCollection; 0 while adding or when there is
    // none) and the letter-bar state, read by other windows.
    HXData &Col_Data;

    // Shows the collection with the id (see RecordEditorForm::loadRecord).
    void C_Load_Data(qint32 CSName) { loadRecord(CSName); }
    // Rebuilds the anthems grid: its heading, and with loadData the anthems
    // of the collection in title order. Database errors reach the caller.
    void BuildAnthemsGrid(qint32 C_ID, bool loadData);
    // Shows the collection with the id, found by id, with its letter and
    // name list; unsaved changes are asked about first (see loadRecordById).
    void LoadFromQDForm(qint32 C_ID) { loadRecordById(C_ID); }

protected:
    bool showRecordFields(qint32 id) override;
    void clearRecordFields() override;
    std::optional<Saved> saveRecordFields(bool adding) override;
    void deleteRecordData(qint32 id) override;
    void recordSaved(qint32 id, bool added) override;
    void recordDeleted(qint32 id) override;

private:
    QWidget *buildMainPage();
    void connectHandlers();

    // Reads the fields into a record; false (after saying why) when a
    // field holds what cannot be stored.
    bool readFields(CollectionRecord &record);
    void showAnthems(const QVector<CollectionAnthem> &anthems);
    void openAnthemAt(int row);
    // An anthem saved or deleted in the anthem editor: the anthems grid
    // follows when the anthem was or is in the collection shown.
    void anthemChanged(qint32 collection, qint32 previousCollection);

    // The loaned-to text as the collection was last shown ("" after the
    // fields were emptied): a save carries a changed text to the anthems.
    QString m_loadedLoanedTo;
    bool m_loanedToCarried = false;

    QTableWidget *AnthemsGrid = nullptr;
};
