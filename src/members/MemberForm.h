#pragma once
// The member editor ("Member Manager"): one choir member's name, address,
// phones, e-mail, dates, sex, age and parent on the page "Main" with the
// member's choirs (and whether active in each) and sections; the "My
// Data" fields, instruments, grade and school on "Page 2"; the notes on
// "Notes". The record toolbar, the letter bar (by last name), the name
// list ("Last, First Middle", names equal but for letter case forming one
// item), the three states and the moves between members are the shared
// record-editor shape (RecordEditorForm).
//
// Last name, city, zip code and school are lists the user may also type
// into; a typed text is stored exactly as typed (nothing completes it),
// and a new city, zip code or school is learnt when the member is saved.

#include "RecordEditorForm.h"

class CheckListGrid;
class DateField;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
struct MemberRecord;

class MemberForm : public RecordEditorForm {
    Q_OBJECT
public:
    MemberForm();
    ~MemberForm() override;

    // The member shown (CurMember; below 1 while none is, also while a
    // new member is typed) and the letter-bar state, read by other windows.
    HXData &M_Data;

    // Shows the member with the id (see RecordEditorForm::loadRecord).
    void M_Load_Data(qint32 CSName) { loadRecord(CSName); }
    // Shows the member with the id, found by id, with its letter and name
    // list; unsaved changes, also of a new member, are asked about first
    // (see RecordEditorForm::loadRecordById).
    void LoadFromMemberQDForm(qint32 A_ID) { loadRecordById(A_ID); }
    // Refills the city, zip code, school and last-name lists (each value
    // once whatever its letter case); the texts shown in them stay.
    void FillMemberCombos();

protected:
    bool showRecordFields(qint32 id) override;
    void clearRecordFields() override;
    std::optional<Saved> saveRecordFields(bool adding) override;
    void deleteRecordData(qint32 id) override;
    QLineEdit *nameField() const override;
    void refreshChoiceLists() override { FillMemberCombos(); }
    void recordSaved(qint32 id, bool added) override;
    void recordDeleted(qint32 id) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildMainPage();
    QWidget *buildPage2();
    void connectHandlers();
    void fillFixedLists();

    // The names the member editor's routines have always had.
    void SetupMemberEditor() { setupEditor(); }
    void ClearMemberFields() { clearRecord(); }
    bool SaveMember() { return saveRecord(); }

    // Reads the fields into a record; false (after saying why) when a
    // field holds what cannot be stored.
    bool readFields(MemberRecord &record);
    void mailTo();

    QComboBox *LName = nullptr;
    QLineEdit *FName = nullptr;
    QLineEdit *MName = nullptr;
    QLineEdit *Street1 = nullptr;
    QLineEdit *Street2 = nullptr;
    QComboBox *City = nullptr;
    QComboBox *State = nullptr;
    QComboBox *Zip = nullptr;
    QLineEdit *HPhone = nullptr;
    QLineEdit *CPhone = nullptr;
    QLineEdit *FPhone = nullptr;
    QLineEdit *Email = nullptr;
    QComboBox *Sex = nullptr;
    QLineEdit *Age = nullptr;
    QLineEdit *Parent = nullptr;
    DateField *Birthday = nullptr;
    DateField *Aniversary = nullptr;
    QPushButton *btnClearDate0 = nullptr; // Aniversary
    QPushButton *btnClearDate1 = nullptr; // Birthday
    CheckListGrid *ChoirGrid = nullptr;
    CheckListGrid *VocalsGrid = nullptr;
    CheckListGrid *OrchGrid = nullptr;
    QComboBox *GradeCombo = nullptr;
    QComboBox *txtSchool = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
};

// Registers the member editor with the form dispatcher (form code 12).
void registerMemberEditor();
