#include "PerformByForm.h"

#include "ChoirList.h"
#include "Cursor.h"
#include "Guard.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

PerformByForm::PerformByForm(const QString &performer, qint32 choirId, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PerformByForm"));
    setWindowTitle(QStringLiteral("Performed By"));
    setModal(true);

    auto *outer = new QVBoxLayout(this);
    m_label = new QLabel(QStringLiteral("Choose the choir, or type who performed it:"), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("ChoirCombo"));
    m_combo->setEditable(true);
    // Typed text is a performer, never a new list item, and stays as
    // typed: no completer finishes "Youth" as the choir "Youth Choir".
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->setCompleter(nullptr);
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_combo->setMinimumContentsLength(28);
    m_label->setBuddy(m_combo);
    outer->addWidget(m_label);
    outer->addWidget(m_combo);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_save = new QPushButton(QStringLiteral("Save"), this);
    m_save->setObjectName(QStringLiteral("btnSave"));
    m_save->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    outer->addLayout(buttons);

    connect(m_save, &QPushButton::clicked, this, &PerformByForm::saveClicked);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    guarded([this] { FillChoirCombo(m_combo); });
    const int at = choirId > 0 ? m_combo->findData(choirId) : -1;
    if (at >= 0 && m_combo->itemText(at) == performer) {
        m_combo->setCurrentIndex(at);
    } else {
        m_combo->setCurrentIndex(-1);
        m_combo->setEditText(performer);
    }
}

void PerformByForm::saveClicked()
{
    const QString text = m_combo->currentText();
    if (text.trimmed().isEmpty())
        return;
    qint32 id = -1;
    const int at = m_combo->currentIndex();
    if (at >= 0 && m_combo->itemText(at) == text) {
        // A list item names its choir by id: two choirs may share a name.
        id = m_combo->itemData(at).toInt();
    } else if (!guarded([&] { id = GetChoirID(text); })) {
        return;
    }
    m_newPerform = text;
    m_choirId = id;
    accept();
}

bool PerformByForm::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        Cursor::reset();
    return QDialog::event(e);
}
