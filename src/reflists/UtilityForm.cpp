#include "UtilityForm.h"

#include "Fmt.h"
#include "Forms.h"
#include "Guard.h"
#include "Module.h"
#include "Prompter.h"
#include "RefListForm.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>

namespace {

constexpr int kDescriptionWidth = 200;

const UtilityModeInfo kModes[] = {
    {0, RefKindId::Orchestration, true, "Edit Orchestration", "Orchestration"},
    {1, RefKindId::Vocals, false, "Add Vocals for Music", "Vocal"},
    {2, RefKindId::Composer, false, "Add Arrangers/Composers", "Arranger/Composer"},
    {3, RefKindId::Theme, false, "Add Themes", "Theme"},
    {4, RefKindId::Choir, false, "Add Choirs", "Choir"},
    {5, RefKindId::Orchestration, false, "Add Orchestration", "Orchestration"},
    {6, RefKindId::Vocals, true, "Edit Vocal", "Vocal"},
    {7, RefKindId::Composer, true, "Edit Arranger/Composer", "Arranger/Composer"},
    {8, RefKindId::Theme, true, "Edit Theme", "Theme"},
    {9, RefKindId::Choir, true, "Edit Choir", "Choir"},
    {10, RefKindId::Section, false, "Add Vocals for Members", "Vocal"},
    {11, RefKindId::Section, true, "Edit Vocal", "Vocal"},
    {12, RefKindId::City, false, "Add Citys", "City"},
    {13, RefKindId::City, true, "Edit Cities", "City"},
    {14, RefKindId::Zip, false, "Add ZipCodes", "ZipCode"},
    {15, RefKindId::Zip, true, "Edit ZipCodes", "ZipCode"},
    {16, RefKindId::School, false, "Add Schools", "School"},
    {17, RefKindId::School, true, "Edit Schools", "School"},
};

// Designed positions in twips; 15 twips make a pixel.
QRect tw(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

// Labels get room for today's fonts; their top stays where it was designed.
QRect labelAt(int left, int top, int width)
{
    QRect r = tw(left, top, width, 195);
    r.setHeight(16);
    return r;
}

QString q(const char *s)
{
    return QString::fromLatin1(s);
}

} // namespace

const UtilityModeInfo *utilityModeInfo(int mode)
{
    if (mode < 0 || mode >= int(std::size(kModes)))
        return nullptr;
    return &kModes[mode];
}

UtilityForm::UtilityForm(QWidget *caller) : QDialog(caller)
{
    setObjectName(QStringLiteral("UtilityForm"));
    setModal(true);
    setWindowTitle(QStringLiteral("Utility "));
    setFixedSize(tw(0, 0, 4470, 4035).size());

    m_label1 = new QLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(labelAt(150, 120, 2265));
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setGeometry(tw(150, 390, 4185, 300));
    m_label2 = new QLabel(this);
    m_label2->setObjectName(QStringLiteral("label2"));
    m_label2->setGeometry(labelAt(150, 885, 2265));
    m_text2 = new QTextEdit(this);
    m_text2->setObjectName(QStringLiteral("Text2"));
    m_text2->setGeometry(tw(165, 1140, 4185, 945));
    m_text2->setAcceptRichText(false);
    m_text2->setTabChangesFocus(true);
    m_label3 = new QLabel(this);
    m_label3->setObjectName(QStringLiteral("label3"));
    m_label3->setGeometry(labelAt(120, 2280, 2265));
    m_label3->hide();
    m_text3 = new QTextEdit(this);
    m_text3->setObjectName(QStringLiteral("Text3"));
    m_text3->setGeometry(tw(135, 2520, 4185, 945));
    m_text3->setAcceptRichText(false);
    m_text3->setTabChangesFocus(true);
    m_text3->hide();
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setGeometry(tw(735, 3615, 1320, 375));
    auto *saveButton = new QPushButton(QStringLiteral("Save"), this);
    saveButton->setObjectName(QStringLiteral("btnSave"));
    saveButton->setGeometry(tw(2145, 3615, 1320, 375));
    saveButton->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(saveButton, &QPushButton::clicked, this, [this] { save(); });
    m_text1->installEventFilter(this);
    m_text2->installEventFilter(this);
    // Each caption names its field, for the keyboard and for screen readers.
    m_label1->setBuddy(m_text1);
    m_label2->setBuddy(m_text2);
    m_label3->setBuddy(m_text3);

    m_info = utilityModeInfo(hx().UtilityMode);
    if (!m_info) {
        saveButton->setEnabled(false);
        return;
    }
    const RefKind &kind = refKind(m_info->kind);
    setWindowTitle(QLatin1String(m_info->caption));

    if (m_info->edit) {
        auto *list = qobject_cast<RefListForm *>(caller);
        if (!list)
            list = qobject_cast<RefListForm *>(Forms::instance(kind.formCode));
        const int row = list ? list->currentRow() : 0;
        if (row > 0) {
            QTableWidget *grid = list->grid();
            auto cell = [grid, row](int column) {
                const QTableWidgetItem *item = grid->item(row - 1, column);
                return item ? item->text() : QString();
            };
            m_storedName = cell(1);
            m_text1->setText(m_storedName);
            if (kind.descColumn)
                m_text2->setPlainText(cell(2));
            m_editEntryId = cell(0).trimmed().toInt();
        }
        if (m_info->kind == RefKindId::Choir && m_editEntryId > 0) {
            // The schedule information is not in the grid; a Null reads as "".
            guarded([this] { m_text3->setPlainText(RefData::choirInfo(m_editEntryId)); });
        }
    }

    m_label1->setText(QLatin1String(m_info->label1));
    if (m_info->kind == RefKindId::Theme) {
        m_label2->setText(QStringLiteral("Theme Description"));
    } else if (m_info->kind == RefKindId::Choir) {
        m_label2->setText(QStringLiteral("Choir Description"));
        m_label3->setText(QStringLiteral("Schedule Info"));
        m_label3->show();
        m_text3->show();
    } else {
        // One text: a short window with the buttons right under the name.
        m_label2->hide();
        m_text2->hide();
        const QRect c = tw(735, 1005, 1320, 375);
        cancel->setGeometry(c);
        saveButton->setGeometry(tw(2145, 1005, 1320, 375));
        setFixedSize(width(), c.bottom() + 4);
    }
}

bool UtilityForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        // The whole text is selected on entry, so typing replaces it.
        if (watched == m_text1)
            m_text1->selectAll();
        else if (watched == m_text2)
            m_text2->selectAll();
    }
    return QDialog::eventFilter(watched, event);
}

QString UtilityForm::nameToStore() const
{
    return Fmt::trimCut(m_text1->text(), refKind(m_info->kind).nameWidth);
}

QString UtilityForm::descriptionToStore() const
{
    return Fmt::trimCut(m_text2->toPlainText(), kDescriptionWidth);
}

void UtilityForm::save()
{
    if (!m_info)
        return;
    const RefKind &kind = refKind(m_info->kind);
    const QString name = nameToStore();
    if (name.isEmpty()) {
        MsgBox(QStringLiteral("The system requires that a name be entered."));
        m_text1->setFocus();
        return;
    }
    // A second entry of the same name would make the lists that find
    // entries by name (the schedule's choirs, the members' cities)
    // ambiguous. An edit that keeps its name is not a new duplicate.
    bool duplicate = false;
    if (!guarded([&] {
            duplicate = (!m_info->edit || name != m_storedName) && RefData::nameExists(kind, name, m_editEntryId);
        }))
        return;
    if (duplicate) {
        MsgBox(QStringLiteral("The %1 \"%2\" already exists.").arg(q(kind.noun), name),
               QLatin1String(m_info->caption), MsgButtons::Ok, MsgIcon::Exclamation);
        m_text1->setFocus();
        return;
    }
    const bool ok = guarded([&] {
        const RefEntry entry{m_editEntryId, name, descriptionToStore()};
        const QString info = m_text3->toPlainText();
        if (m_info->edit)
            RefData::updateEntry(kind, entry, info);
        else
            RefData::addEntry(kind, entry, info);
    });
    if (!ok)
        return;
    hx().UtilityMode = -1;
    accept();
}
