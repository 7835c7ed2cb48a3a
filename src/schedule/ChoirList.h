#pragma once
// The choir lists of the schedule windows: the entry dialog, the schedule
// viewer, the schedule report's limit and the performed-by dialog.
//
// A list item carries its choir's id (Qt::UserRole), and a choice is taken
// by that id: two choirs may share a name. GetChoirID, the look-up by
// name, serves only text the user typed.

#include <QString>
#include <QVector>
#include <QtGlobal>

class QComboBox;

struct ChoirItem {
    qint32 id = 0;
    QString name;
};

// Every choir in name order (ties by id).
QVector<ChoirItem> ChoirItems();

// Empties the combo and lists every choir in name order, the first one
// chosen; an empty choir table leaves it empty with an empty text.
void FillChoirCombo(QComboBox *combo);

// The ChoirID of the first choir whose name equals the text, compared
// without regard to case (the text is not trimmed); -1 when none has it.
qint32 GetChoirID(const QString &name);

// The id of the item chosen in a combo filled by FillChoirCombo; -1 when
// no item is chosen.
qint32 ChosenChoirId(const QComboBox *combo);
// Chooses the item of a choir; false (and nothing chosen) when the combo
// does not list it.
bool ChooseChoir(QComboBox *combo, qint32 choirId);
