#pragma once
// Small services the record editors, the viewers and the add/edit dialog
// share: whole-text selection on focus, the check of a record's name
// before it is saved, and the captions of the five "My Data" user fields.

#include <QLabel>
#include <QString>
#include <QStringList>
#include <array>

class QComboBox;
class QLineEdit;
class QWidget;

// A label the user can click (the "My Data" captions ULabel1..ULabel5).
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget *parent = nullptr);
    explicit ClickLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    bool m_pressed = false;
};

// Selects the whole text of a field: a line edit, an editable combo box,
// a DateField, a QTextEdit or a QPlainTextEdit. Other widgets are left alone.
void SelectAllText(QWidget *field);
// The add/edit dialog's twin of SelectAllText; the same behaviour.
void SelectAllTextUtility(QWidget *field);
// Makes a field select its whole text each time it receives the focus,
// also when the focus comes with a mouse click.
void InstallSelectAllOnFocus(QWidget *field);

// Limits a text field to a column's width in characters (a character
// outside the Basic Multilingual Plane counts once and is never cut in
// half); 0 or less stores what was typed, however long.
void LimitTextWidth(QLineEdit *field, int characters);
// The most characters a text field takes (its width when LimitTextWidth
// set one, else the control's own maximum).
int TextWidth(const QLineEdit *field);

// True when the name in the field may be saved. A name that is empty, of
// blanks only, or of braces and blanks only is refused with "The system
// requires that a name be entered." and the focus goes back to the field
// (its text unchanged). A name holding "{" or "}" is accepted after a
// notice, each brace replaced by a blank and the ends trimmed. Any other
// name is accepted as it stands, untrimmed.
bool ValidateNameText(QLineEdit *field);
bool ValidateNameText(QComboBox *field);

// Captions ULabel1..ULabel5 of an editor from the labels row of the
// datatype (1 collection, 2 anthem, 3 member); without a row, or for a
// label the window lacks, the designed captions stay. Database errors
// reach the caller.
void LoadMyDataLabels(QWidget *editor, int datatype);
// Asks for a new caption of user field n (1 to 5) of the datatype, keeps
// its first 20 characters, stores it and shows it on the label. A
// cancelled or empty answer changes nothing. Database errors reach the
// caller (and leave the caption as it was).
void RenameMyDataLabel(QLabel *label, int datatype, int n);
// Viewer set-up: for i = 5 to 9 captions the check box optLimit<i>
// "Limit by " and the label of user field i - 4, and fills the combo box
// MyData<i> with the distinct non-empty values of that field of the
// datatype's table. Without a labels row nothing changes.
void LoadLimitByOptions(QWidget *viewer, int datatype);
// The lists LoadLimitByOptions fills, of the table's user fields u1 to u5
// (index 0 to 4): each field's distinct non-empty values, in name order,
// values equal but for case once. Read in one pass over the table.
std::array<QStringList, 5> MyDataValues(const QString &table);
