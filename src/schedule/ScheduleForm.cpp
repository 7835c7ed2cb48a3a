#include "ScheduleForm.h"

#include "ChangeNotifier.h"
#include "ChoirList.h"
#include "Cursor.h"
#include "DateField.h"
#include "Db.h"
#include "Guard.h"
#include "Module.h"
#include "Prompter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// Per slot: its option caption and the three texts of a conflict.
struct SlotTexts {
    const char *caption;
    const char *taken;
    const char *addQuestion;
    const char *replaceQuestion;
};
const SlotTexts kSlots[4] = {
    {"Call to Worship", "A call has already been assigned for this date and time",
     "Do you wish to add this as a second call?", "Do you wish to replace the current call with this selection?"},
    {"Anthem", "An anthem has already been assigned for this date and time",
     "Do you wish to add this as a second anthem?", "Do you wish to replace the current anthem with this selection?"},
    {"Offertory", "An offertory has already been assigned for this date and time",
     "Do you wish to add this as a second offertory?",
     "Do you wish to replace the current offertory with this selection?"},
    {"Benediction", "A benediciton has already been assigned for this date and time",
     "Do you wish to add this as a second benediction?",
     "Do you wish to replace the current benediction with this selection?"},
};

void refuse(const char *text, const char *title)
{
    MsgBox(QLatin1String(text), QLatin1String(title), MsgButtons::Ok, MsgIcon::Information);
}

} // namespace

ScheduleForm::ScheduleForm(ScheduleCaller caller, qint32 recordId, const QString &title, const QDate &today,
                           QWidget *parent)
    : QDialog(parent), m_caller(caller), m_recordId(recordId), m_today(today)
{
    setObjectName(QStringLiteral("ScheduleForm"));
    setWindowTitle(QStringLiteral("Schedule Utility"));
    setModal(true);

    auto *outer = new QVBoxLayout(this);
    m_label1 = new QLabel(QStringLiteral("Scheduling: ") + title, this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setWordWrap(true);
    QFont big = m_label1->font();
    big.setBold(true);
    m_label1->setFont(big);
    outer->addWidget(m_label1);

    auto *grid = new QGridLayout;
    auto label = [this](int i, const char *text, QWidget *buddy) {
        auto *l = new QLabel(QLatin1String(text), this);
        // The four labels of the label2 array.
        l->setObjectName(QStringLiteral("label2_%1").arg(i));
        l->setBuddy(buddy);
        return l;
    };

    m_date = new DateField(this);
    m_date->setObjectName(QStringLiteral("SchedDate"));
    m_date->setDate(today);
    // Add to Schedule says what is wrong with the date, once.
    m_date->setCheckOnFinish(false);
    m_clearDate = new QPushButton(QStringLiteral("ClearDate"), this);
    m_clearDate->setObjectName(QStringLiteral("btnClearDate"));
    auto *dateRow = new QHBoxLayout;
    dateRow->addWidget(m_date, 1);
    dateRow->addWidget(m_clearDate);
    grid->addWidget(label(0, "Performance Date", m_date), 0, 0);
    grid->addLayout(dateRow, 0, 1);

    m_ampm = new QComboBox(this);
    m_ampm->setObjectName(QStringLiteral("AMPM"));
    m_ampm->setEditable(false);
    m_ampm->addItems({QStringLiteral("AM"), QStringLiteral("PM")});
    m_ampm->setCurrentIndex(0);
    auto *ampmRow = new QHBoxLayout;
    ampmRow->addWidget(m_ampm);
    ampmRow->addStretch(1);
    grid->addWidget(label(1, "AM/PM", m_ampm), 1, 0);
    grid->addLayout(ampmRow, 1, 1);

    m_choirCombo = new QComboBox(this);
    m_choirCombo->setObjectName(QStringLiteral("ChoirCombo"));
    m_choirCombo->setEditable(false);
    m_choirCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_choirCombo->setMinimumContentsLength(24);
    grid->addWidget(label(2, "Select desired Choir for schedule entry", m_choirCombo), 2, 0);
    grid->addWidget(m_choirCombo, 2, 1);
    outer->addLayout(grid);

    auto *slotFrame = new QGroupBox(this);
    slotFrame->setObjectName(QStringLiteral("SlotFrame"));
    auto *slotLayout = new QHBoxLayout(slotFrame);
    auto *group = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        m_slot[i] = new QRadioButton(QLatin1String(kSlots[i].caption), slotFrame);
        m_slot[i]->setObjectName(QStringLiteral("optSched%1").arg(i));
        group->addButton(m_slot[i], i);
        slotLayout->addWidget(m_slot[i]);
    }
    m_slot[int(ScheduleSlot::Anthem)]->setChecked(true);
    outer->addWidget(slotFrame);

    m_otherCheck = new QCheckBox(QStringLiteral("Do not use anthem, only apply other text"), this);
    m_otherCheck->setObjectName(QStringLiteral("OtherCheck"));
    outer->addWidget(m_otherCheck);
    m_otherText = new QLineEdit(this);
    m_otherText->setObjectName(QStringLiteral("OtherText"));
    outer->addWidget(label(3, "Other/additional Text to Display", m_otherText));
    outer->addWidget(m_otherText);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_add = new QPushButton(QStringLiteral("Add to Schedule"), this);
    m_add->setObjectName(QStringLiteral("btnAdd"));
    m_add->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(m_add);
    buttons->addWidget(m_cancel);
    outer->addLayout(buttons);

    connect(m_clearDate, &QPushButton::clicked, m_date, &DateField::clear);
    connect(m_add, &QPushButton::clicked, this, &ScheduleForm::addClicked);
    connect(m_cancel, &QPushButton::clicked, this, &ScheduleForm::cancelClicked);

    guarded([this] { FillChoirCombo(m_choirCombo); });
    resize(sizeHint().expandedTo(QSize(520, 0)));
}

qint32 ScheduleForm::CurChoir() const
{
    return ChosenChoirId(m_choirCombo);
}

ScheduleSlot ScheduleForm::selectedSlot() const
{
    for (int i = 0; i < 4; ++i)
        if (m_slot[i]->isChecked())
            return ScheduleSlot(i);
    return ScheduleSlot::Anthem;
}

ScheduleEntry ScheduleForm::entry() const
{
    ScheduleEntry e;
    e.choirId = CurChoir();
    e.date = m_date->date();
    e.ampm = m_ampm->currentText();
    e.slot = selectedSlot();
    e.other = m_otherText->text();
    // With "other text only" the entry names no anthem or collection.
    if (!m_otherCheck->isChecked()) {
        if (m_caller == ScheduleCaller::Collection)
            e.collectionId = m_recordId;
        else if (m_caller == ScheduleCaller::Anthem)
            e.anthemId = m_recordId;
    }
    return e;
}

void ScheduleForm::addClicked()
{
    if (!m_date->hasValidDate()) {
        refuse("A valid date is required", "Date error");
        return;
    }
    if (m_otherCheck->isChecked() && m_otherText->text().trimmed().isEmpty()) {
        refuse("'Other' text is required", "Date error");
        return;
    }
    if (m_date->date() < m_today) {
        refuse("The schedule date must be equal or greater than today's date", "Date error");
        return;
    }
    // An entry without a choir would be lost to every choir's view.
    if (CurChoir() < 0) {
        refuse("A choir is required", "Choir error");
        return;
    }

    const ScheduleEntry e = entry();
    QList<qint32> taken;
    if (!guarded([&] { taken = ScheduleRecord::slotConflicts(e.choirId, e.date, e.ampm, e.slot); }))
        return;
    bool replace = false;
    if (!taken.isEmpty()) {
        const SlotTexts &t = kSlots[int(e.slot)];
        const QString title = QStringLiteral("Schedule??");
        if (MsgBox(QLatin1String(t.taken) + QLatin1Char('\n') + QLatin1String(t.addQuestion), title,
                   MsgButtons::YesNo, MsgIcon::None)
            != MsgResult::Yes) {
            if (MsgBox(QLatin1String(t.replaceQuestion), title, MsgButtons::YesNo, MsgIcon::None) != MsgResult::Yes) {
                MsgBox(QStringLiteral("Selection was not scheduled."), QStringLiteral("Schedule"), MsgButtons::Ok,
                       MsgIcon::Information);
                return;
            }
            replace = true;
        }
    }

    const bool stored = guarded([&] {
        BusyCursor busy;
        Db::Transaction tx;
        if (replace)
            ScheduleRecord::replace(taken.first(), e);
        else
            ScheduleRecord::add(e);
        tx.commit();
    });
    if (!stored)
        return; // the dialog stays open with everything as entered
    Notify::scheduleChanged(e.choirId);
    MsgBox(QStringLiteral("Selection was scheduled."), QStringLiteral("Schedule"), MsgButtons::Ok,
           MsgIcon::Information);
    accept();
}

void ScheduleForm::cancelClicked()
{
    hx().ScheduleCaller = 0;
    reject();
}

bool ScheduleForm::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        Cursor::reset();
    return QDialog::event(e);
}
