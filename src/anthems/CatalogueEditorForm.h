#pragma once
// The shape the anthem and collection editors share as editors of
// catalogue records (CatalogueFields): on "Main" the name, catalog number,
// location, date purchased and last performed with their ClearDate buttons
// and "View All", cost per copy, number of copies, pages and performance
// time, and the vocalization and composer grids with their add buttons
// (which each editor places); "Page 2" with the theme, orchestration and
// choir grids and the loaned-to text; the notes page; and how these fields
// are emptied, shown and read for a save. Everything else of the record
// editor is RecordEditorForm's.

#include "RecordEditorForm.h"

class CheckListGrid;
class DateField;
class QGridLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
struct CatalogueFields;

class CatalogueEditorForm : public RecordEditorForm {
    Q_OBJECT
public:
    using RecordEditorForm::RecordEditorForm;

protected:
    QLineEdit *nameField() const override { return RecordName; }

    // Rows 0 to 4 of "Main" in a new grid layout on the page: the name
    // field (objectName nameObject, its caption, its width), the catalog
    // number and location, the dates (the purchase date captioned as
    // given), cost and copies, pages and performance time.
    QGridLayout *buildCatalogueRows(QWidget *page, const QString &nameObject, const QString &nameCaption,
                                    int nameWidth, const QString &purchasedCaption);
    // The vocalization and composer grids and their add buttons, on the
    // page given, for the editor to place.
    void makeMainLinkGrids(QWidget *page);
    // "Page 2": the theme, orchestration and choir grids, their add buttons
    // and the loaned-to text.
    QWidget *buildLinksPage();
    // The notes page "Notes" (Memo1).
    void addNotesPage();
    // Registers the five grids in the order the editors mark them, and
    // connects the add buttons, select-all on focus, and the spell-check
    // key of the name, the loaned-to text and the notes.
    void connectCatalogueFields();

    // Empties the fields (the page "Main" shown first): cost and copies
    // show 0, the user fields are emptied too.
    void clearCatalogueFields();
    // How a cost or copies stored as Null shows: empty, or the 0 the
    // cleared fields show.
    enum class NoNumber { Blank, Zero };
    // Shows the fields of a record and its name (the fields were emptied).
    void showCatalogueFields(const CatalogueFields &record, const QString &name, NoNumber noNumber);
    // Reads the fields and the name; false, after saying why, when a date,
    // the cost or the copies hold what cannot be stored.
    bool readCatalogueFields(CatalogueFields &record, QString &name);

    QLineEdit *RecordName = nullptr;
    QLineEdit *Catalog = nullptr;
    QLineEdit *Location = nullptr;
    DateField *DatePurchased = nullptr;
    DateField *LastPerformed = nullptr;
    QPushButton *btnClearDate0 = nullptr;
    QPushButton *btnClearDate1 = nullptr;
    QLineEdit *CostPerCopy = nullptr;
    QLineEdit *NumCopies = nullptr;
    QLineEdit *Pages = nullptr;
    QLineEdit *PerformTime = nullptr;
    CheckListGrid *VocalsGrid = nullptr;
    CheckListGrid *ComposersGrid = nullptr;
    QPushButton *btnAddVocal = nullptr;
    QPushButton *btnAddComposer = nullptr;
    CheckListGrid *ThemesGrid = nullptr;
    CheckListGrid *OrchGrid = nullptr;
    CheckListGrid *ChoirGrid = nullptr;
    QPushButton *btnAddTheme = nullptr;
    QPushButton *btnAddOrch = nullptr;
    QLineEdit *LoanedTo = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
};
