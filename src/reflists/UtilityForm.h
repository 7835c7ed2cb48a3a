#pragma once
// The add/edit dialog of the reference lists. The caller puts the mode
// (0 to 17) in hx().UtilityMode and shows the dialog modally through the
// prompter; a save stores one entry and sets UtilityMode to -1, a cancel
// writes nothing and leaves UtilityMode as it was.

#include "RefKinds.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QTextEdit;

struct UtilityModeInfo {
    int mode;
    RefKindId kind;
    bool edit;
    const char *caption;
    const char *label1;
};

// The mode's row, or nullptr for a code outside 0 to 17.
const UtilityModeInfo *utilityModeInfo(int mode);

class UtilityForm : public QDialog {
    Q_OBJECT
public:
    // caller: the list window whose grid holds the entry to edit; when
    // nullptr the open window of the mode's list is used.
    explicit UtilityForm(QWidget *caller = nullptr);

    // Id of the entry being edited (0 in the add modes).
    qint32 editEntryId() const { return m_editEntryId; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void save();
    // What a save would store, cut and trimmed as the list keeps it.
    QString nameToStore() const;
    QString descriptionToStore() const;

    const UtilityModeInfo *m_info = nullptr;
    qint32 m_editEntryId = 0;
    QString m_storedName; // the entry's name before an edit
    QLabel *m_label1 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QLabel *m_label2 = nullptr;
    QTextEdit *m_text2 = nullptr;
    QLabel *m_label3 = nullptr;
    QTextEdit *m_text3 = nullptr;
};
