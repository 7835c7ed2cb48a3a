#include "RefListForm.h"

#include "Cursor.h"
#include "Forms.h"
#include "Guard.h"
#include "KeyboardReach.h"
#include "ListColumns.h"
#include "ListRefresh.h"
#include "Module.h"
#include "Prompter.h"
#include "UtilityForm.h"

#include <QBoxLayout>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

namespace {

constexpr int kNameColumnTwips = 2000;

QTableWidgetItem *headerItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    QFont f = item->font();
    f.setBold(true);
    item->setFont(f);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

} // namespace

RefListForm::RefListForm(RefKindId kindId, bool *loadedFlag)
    : BaseForm(loadedFlag), m_kind(refKind(kindId))
{
    setObjectName(QLatin1String(m_kind.windowName));
    setWindowTitle(QLatin1String(m_kind.caption));
    // The designed size is where the window starts; layouts keep the grid
    // and the buttons in their designed arrangement as the window is
    // resized, and give every button room for its caption.
    resize(m_kind.client.size());

    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QLatin1String(m_kind.gridName));
    m_grid->setAccessibleName(QLatin1String(m_kind.caption));
    QFont gridFont(QStringLiteral("Arial"));
    gridFont.setPointSizeF(8.25);
    m_grid->setFont(gridFont);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabLeavesGrid(m_grid);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(QFontMetrics(gridFont).height() + 6);
    m_grid->setWordWrap(false);

    auto button = [this](const char *name, const char *caption) {
        auto *b = new QPushButton(QLatin1String(caption), this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    QPushButton *add = button(m_kind.addButton, m_kind.addCaption);
    QPushButton *modify = button(m_kind.modifyButton, m_kind.modifyCaption);
    QPushButton *del = button(m_kind.deleteButton, m_kind.deleteCaption);
    QPushButton *close = button("btnCLose", "Close");
    if (m_kind.add.top() >= m_kind.grid.bottom()) {
        // The grid on top, the four buttons in one row below it.
        auto *v = new QVBoxLayout(this);
        v->setContentsMargins(4, 4, 4, 4);
        v->addWidget(m_grid, 1);
        auto *row = new QHBoxLayout;
        for (QPushButton *b : {add, modify, del, close})
            row->addWidget(b);
        row->addStretch(1);
        v->addLayout(row);
    } else {
        // The grid on the left; Add, Modify and Delete stacked at the top
        // right, Close at the bottom right.
        auto *h = new QHBoxLayout(this);
        h->setContentsMargins(4, 4, 4, 4);
        h->addWidget(m_grid, 1);
        auto *col = new QVBoxLayout;
        col->addWidget(add);
        col->addWidget(modify);
        col->addWidget(del);
        col->addStretch(1);
        col->addWidget(close, 0, Qt::AlignRight);
        h->addLayout(col);
    }
    connect(add, &QPushButton::clicked, this, [this] { addClicked(); });
    connect(modify, &QPushButton::clicked, this, [this] { modifyClicked(); });
    connect(del, &QPushButton::clicked, this, [this] { deleteClicked(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    fillGrid(true);
}

void RefListForm::fillGrid(bool loadTheData)
{
    const bool withDesc = m_kind.descColumn != nullptr;
    m_grid->setUpdatesEnabled(false);
    m_grid->clear();
    m_grid->setRowCount(0);
    m_grid->setColumnCount(withDesc ? 3 : 2);
    m_grid->setColumnHidden(0, true);
    m_grid->setHorizontalHeaderItem(1, headerItem(QLatin1String(m_kind.nameHeader)));
    if (withDesc) {
        m_grid->setHorizontalHeaderItem(2, headerItem(QLatin1String(m_kind.descHeader)));
        m_grid->setColumnWidth(1, kNameColumnTwips / 15);
    }

    struct RedrawOn {
        QTableWidget *g;
        ~RedrawOn() { g->setUpdatesEnabled(true); }
    } redrawOn{m_grid};

    // The columns fit their titles and their texts, filled or not, within
    // the list (a longer name is cut, whole in its tooltip).
    struct SizeColumns {
        QTableWidget *g;
        bool withDesc;
        ~SizeColumns()
        {
            auto &columns = ListColumns::FittedColumns::of(g);
            for (int c = 1; c <= (withDesc ? 2 : 1); ++c)
                columns.setNeeded(c, ListColumns::cellsWidth(g, c));
        }
    } sizeColumns{m_grid, withDesc};

    if (!loadTheData)
        return;
    const QList<RefEntry> list = RefData::entries(m_kind);
    if (list.isEmpty())
        return;

    m_grid->setRowCount(int(list.size()));
    for (int r = 0; r < list.size(); ++r) {
        const RefEntry &e = list.at(r);
        m_grid->setItem(r, 0, new QTableWidgetItem(QString::number(e.id)));
        auto *name = new QTableWidgetItem(e.name);
        name->setTextAlignment(Qt::AlignCenter);
        m_grid->setItem(r, 1, name);
        if (withDesc) {
            auto *desc = new QTableWidgetItem(e.description);
            desc->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            m_grid->setItem(r, 2, desc);
        }
    }
    // No entry selected, scrolled to the start.
    m_grid->clearSelection();
    m_grid->setCurrentItem(nullptr);
    m_grid->scrollToTop();
}

int RefListForm::currentRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = m_grid->selectedRanges();
    if (ranges.isEmpty())
        return 0;
    return ranges.first().topRow() + 1;
}

bool RefListForm::runDialog(int mode)
{
    hx().UtilityMode = mode;
    UtilityForm dialog(this);
    prompter().execDialog(dialog);
    return hx().UtilityMode == -1;
}

void RefListForm::addClicked()
{
    bool saved = false;
    guarded([&] { saved = runDialog(m_kind.addMode); });
    // A cancelled dialog changed nothing, so nothing is refilled.
    if (saved)
        afterChange();
}

void RefListForm::modifyClicked()
{
    const int row = currentRow();
    if (row == 0 || m_grid->item(row - 1, 1) == nullptr || m_grid->item(row - 1, 1)->text().isEmpty())
        return;
    bool saved = false;
    guarded([&] { saved = runDialog(m_kind.modifyMode); });
    if (saved)
        afterChange();
}

void RefListForm::deleteClicked()
{
    const int row = currentRow();
    if (row == 0 || m_grid->item(row - 1, 1) == nullptr)
        return;
    const QString name = m_grid->item(row - 1, 1)->text();
    if (name.isEmpty())
        return;
    const QString prompt = QLatin1String(m_kind.deletePrompt) + QLatin1Char('\n') + name + QStringLiteral(" ????");
    if (MsgBox(prompt, QStringLiteral("Deletion confirmation"), MsgButtons::YesNo, MsgIcon::None) != MsgResult::Yes)
        return;
    const qint32 id = m_grid->item(row - 1, 0)->text().trimmed().toInt();
    bool deleted = false;
    guarded([&] {
        const RefUse *use = nullptr;
        if (RefData::deleteEntry(m_kind, id, &use) == RefData::DeleteResult::InUse) {
            MsgBox(RefData::refusalText(m_kind, use), QLatin1String(m_kind.refusalTitle), MsgButtons::Ok,
                   MsgIcon::Information);
            return;
        }
        deleted = true;
    });
    if (deleted)
        afterChange();
}

void RefListForm::afterChange()
{
    switch (m_kind.id) {
    case RefKindId::Theme: RefreshThemeLists(); break;
    case RefKindId::Vocals: RefreshVocalsLists(); break;
    case RefKindId::Composer: RefreshComposerLists(); break;
    case RefKindId::Orchestration: RefreshOrchestrationLists(); break;
    case RefKindId::Choir: RefreshChoirLists(); break;
    case RefKindId::Section: ReloadSectionLists(); break;
    case RefKindId::City:
    case RefKindId::Zip:
    case RefKindId::School: {
        RefreshAfterSavedChange([this] {
            BusyCursor busy;
            fillGrid(true);
        });
        RefreshAddressLists();
        break;
    }
    }
}

ThemeForm::ThemeForm() : RefListForm(RefKindId::Theme, &hx().ThemeFormLoaded) {}
VocalsForm::VocalsForm() : RefListForm(RefKindId::Vocals, &hx().VocalsFormLoaded) {}
ComposerForm::ComposerForm() : RefListForm(RefKindId::Composer, &hx().ComposerFormLoaded) {}
OrchestrationForm::OrchestrationForm() : RefListForm(RefKindId::Orchestration, &hx().OrchestrationFormLoaded) {}
ChoirForm::ChoirForm() : RefListForm(RefKindId::Choir, nullptr) {}
VocalsMForm::VocalsMForm() : RefListForm(RefKindId::Section, nullptr) {}
CityForm::CityForm() : RefListForm(RefKindId::City, nullptr) {}
ZipForm::ZipForm() : RefListForm(RefKindId::Zip, nullptr) {}
SchoolForm::SchoolForm() : RefListForm(RefKindId::School, nullptr) {}

void registerRefListForms()
{
    Forms::registerForm(ThemeFormCode, [] { return new ThemeForm; });
    Forms::registerForm(ComposerFormCode, [] { return new ComposerForm; });
    Forms::registerForm(OrchestrationFormCode, [] { return new OrchestrationForm; });
    Forms::registerForm(VocalsFormCode, [] { return new VocalsForm; });
    Forms::registerForm(ChoirFormCode, [] { return new ChoirForm; });
    Forms::registerForm(VocalsMFormCode, [] { return new VocalsMForm; });
    Forms::registerForm(CityFormCode, [] { return new CityForm; });
    Forms::registerForm(ZipFormCode, [] { return new ZipForm; });
    Forms::registerForm(SchoolFormCode, [] { return new SchoolForm; });
}
