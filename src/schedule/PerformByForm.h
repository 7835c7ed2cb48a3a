#pragma once
// The performed-by dialog: the choir list, in which any performer may be
// typed instead. Save accepts a choice (a list item, or typed text, which
// counts as a choir when a choir has that name in any letter case);
// Cancel and the close box choose nothing.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

class PerformByForm : public QDialog {
    Q_OBJECT
public:
    // Shows the row's present performer: its choir's list item when the
    // performer is that choir, else the text.
    PerformByForm(const QString &performer, qint32 choirId, QWidget *parent = nullptr);

    // After Save: the text chosen and its ChoirID, -1 for a free-text
    // performer. Empty and -1 when nothing was chosen.
    QString NewPerform() const { return m_newPerform; }
    qint32 chosenChoirId() const { return m_choirId; }

protected:
    bool event(QEvent *e) override;

private:
    void saveClicked();

    QString m_newPerform;
    qint32 m_choirId = -1;
    QLabel *m_label = nullptr;
    QComboBox *m_combo = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
};
