#pragma once
// The schedule entry dialog: puts the anthem or collection a record
// editor shows on the schedule of one choir, for a date, a service time
// ("AM" or "PM") and one of the four slots, optionally with other text or
// with the other text alone. One entry per choir, service and slot unless
// the user asks for a second one or for a replacement of the first.
//
// Shown modally through the prompter by the editors (RecordDialogs). A
// stored entry is announced with Notify::scheduleChanged(choir), so an
// open schedule viewer showing that choir reloads.

#include "RecordDialogs.h"
#include "ScheduleRecord.h"

#include <QDate>
#include <QDialog>

class DateField;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class ScheduleForm : public QDialog {
    Q_OBJECT
public:
    // caller: the editor that schedules its record (recordId, shown with
    // its title); today: the first date that may be scheduled.
    ScheduleForm(ScheduleCaller caller, qint32 recordId, const QString &title, const QDate &today,
                 QWidget *parent = nullptr);

    // The ChoirID of the chosen choir; -1 when the choir list is empty.
    qint32 CurChoir() const;
    ScheduleSlot selectedSlot() const;
    // The entry Add to Schedule would write.
    ScheduleEntry entry() const;

protected:
    bool event(QEvent *e) override;

private:
    void addClicked();
    void cancelClicked();

    ScheduleCaller m_caller;
    qint32 m_recordId;
    QDate m_today;

    QLabel *m_label1 = nullptr;
    DateField *m_date = nullptr;
    QPushButton *m_clearDate = nullptr;
    QComboBox *m_ampm = nullptr;
    QComboBox *m_choirCombo = nullptr;
    QRadioButton *m_slot[4] = {};
    QCheckBox *m_otherCheck = nullptr;
    QLineEdit *m_otherText = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_cancel = nullptr;
};
