#include "MemberQDForm.h"

#include "CheckListGrid.h"
#include "Cursor.h"
#include "FieldServices.h"
#include "Guard.h"
#include "LimitPanel.h"
#include "ListColumns.h"
#include "MemberGridModel.h"
#include "Module.h"
#include "RecordCodes.h"
#include "ReportKinds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const char *const kProcessCaption = "Rebuild Member Display Using Current Display Parameters";

// The limit boxes by index (there is no 1 or 2).
enum Limit {
    Sections = 0,
    Instruments = 3,
    Choirs = 4,
    FirstMyData = 5,
    LastMyData = 9,
    BirthdayMonth = 10,
    AnniversaryMonth = 11,
};

struct ListLimitDesign {
    Limit index;
    const char *caption;
    const char *grid;
};
const ListLimitDesign kListLimits[3] = {
    {Sections, "Limit by Vocals", "VocalsGrid"},
    {Instruments, "Limit by Orchestration", "OrchGrid"},
    {Choirs, "Limit by Choir", "ChoirGrid"},
};

} // namespace

MemberQDForm::MemberQDForm() : BaseForm(&hx().MemberQDFormLoaded)
{
    setObjectName(QStringLiteral("MemberQDForm"));
    setWindowTitle(QStringLiteral("Members"));
    buildUi();
    loadData();
}

MemberQDForm::~MemberQDForm() = default;

void MemberQDForm::buildUi()
{
    resize(900, 620);
    auto *outer = new QVBoxLayout(this);
    m_tab = new QTabWidget(this);
    m_tab->setObjectName(QStringLiteral("SSTab1"));
    outer->addWidget(m_tab);

    m_limits = new LimitPanel(this);
    connect(m_limits, &LimitPanel::processClicked, this, [this] { processClicked(); });
    auto processButton = [this](QWidget *page, int i) {
        return m_limits->addProcessButton(i, QLatin1String(kProcessCaption), page);
    };

    // Page 0: the list.
    auto *listPage = new QWidget(m_tab);
    auto *listLayout = new QVBoxLayout(listPage);
    m_model = new MemberGridModel(this);
    m_grid = new QTableView(listPage);
    m_grid->setObjectName(QStringLiteral("MemberGrid"));
    m_grid->setAccessibleName(QStringLiteral("Members"));
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setWordWrap(false);
    m_grid->setSortingEnabled(false);
    m_grid->verticalHeader()->hide();
    // Rows of one height: the view never measures a row, whatever the count.
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->horizontalHeader()->setSectionsClickable(false);
    m_grid->horizontalHeader()->setStretchLastSection(false);
    m_grid->setColumnHidden(MemberGridModel::MemberIdColumn, true);
    listLayout->addWidget(m_grid, 1);
    auto *listButtons = new QHBoxLayout;
    listButtons->addWidget(processButton(listPage, 0));
    auto *report = new QPushButton(QStringLiteral("Open Report WIndow"), listPage);
    report->setObjectName(QStringLiteral("btnReport"));
    listButtons->addWidget(report);
    listButtons->addStretch(1);
    listLayout->addLayout(listButtons);
    m_tab->addTab(listPage, QStringLiteral("Members"));
    connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex &at) { gridDoubleClicked(at.row()); });
    connect(report, &QPushButton::clicked, this, [] { guarded([] { RequestReport(ReportKinds::Members); }); });

    // Page 1: sections, instruments and choirs.
    auto *linkPage = new QWidget(m_tab);
    auto *linkLayout = new QGridLayout(linkPage);
    linkLayout->addWidget(m_limits->addAllCheck(QStringLiteral("Display All Members"), linkPage), 0, 0, 1, 3);
    for (int c = 0; c < 3; ++c) {
        const ListLimitDesign &d = kListLimits[c];
        // A click on the choir grid's Active column toggles that box.
        const LimitPanel::GridClicks clicks =
            d.index == Choirs ? LimitPanel::GridClicks::ClickedColumn : LimitPanel::GridClicks::NameBox;
        const LimitPanel::ListLimit l = m_limits->addListLimit(d.index, QLatin1String(d.caption),
                                                               QLatin1String(d.grid), linkPage, clicks);
        linkLayout->addWidget(l.box, 1, c);
        linkLayout->addWidget(l.grid, 2, c);
        linkLayout->addWidget(l.checkAll, 3, c);
        linkLayout->addWidget(l.clearAll, 4, c);
    }
    linkLayout->setRowStretch(2, 1);
    linkLayout->addWidget(processButton(linkPage, 1), 5, 0, 1, 3, Qt::AlignLeft);
    m_tab->addTab(linkPage, QStringLiteral("Display Parameters"));

    // Page 2: the "My Data" limits and the two months.
    auto *textPage = new QWidget(m_tab);
    auto *textLayout = new QGridLayout(textPage);
    for (int i = FirstMyData; i <= LastMyData; ++i) {
        textLayout->addWidget(m_limits->addLimit(i, QStringLiteral("Limit by My Data %1").arg(i - 4), textPage),
                              i - FirstMyData, 0);
        QComboBox *list = m_limits->addTextList(i, QStringLiteral("MyData%1").arg(i), textPage);
        list->setMinimumWidth(240);
        textLayout->addWidget(list, i - FirstMyData, 1);
    }
    // The month lists Date1(1) and Date1(2).
    const struct {
        Limit index;
        const char *caption;
        const char *list;
    } months[2] = {{BirthdayMonth, "Limit by Birthday month", "Date11"},
                   {AnniversaryMonth, "Limit by Choir Anniversary month", "Date12"}};
    for (const auto &m : months) {
        const int row = m.index - FirstMyData;
        textLayout->addWidget(m_limits->addLimit(m.index, QLatin1String(m.caption), textPage), row, 0);
        QComboBox *list = m_limits->addTextList(m.index, QLatin1String(m.list), textPage);
        list->setMinimumWidth(80);
        textLayout->addWidget(list, row, 1, Qt::AlignLeft);
    }
    textLayout->addWidget(processButton(textPage, 2), 7, 0, 1, 2, Qt::AlignLeft);
    textLayout->setRowStretch(8, 1);
    textLayout->setColumnStretch(2, 1);
    m_tab->addTab(textPage, QStringLiteral("Display Parameters 2"));
}

void MemberQDForm::loadData()
{
    m_tab->setCurrentIndex(0);
    BuildMemberGrid(false);
    LoadLimitByOptions(this, myDataType(RecordKind::Member));
    using namespace CheckGridOwner;
    FillSectionCheckGrid(m_limits->grid(Sections), RefillOnly, 0);
    CheckListGrid *choirs = m_limits->grid(Choirs);
    FillChoirCheckGrid(choirs, RefillOnly, 0, true);
    FillOrchestrationCheckGrid(m_limits->grid(Instruments), RefillOnly, 0);
    // Every choir's Active box ticked, and every row of the three lists.
    for (int r = 1; r < choirs->Rows(); ++r)
        choirs->setCheckState(r, 3, CheckListGrid::Checked);
    for (CheckListGrid *grid : m_limits->grids())
        SetAllGridChecks(grid, true);
    for (Limit month : {BirthdayMonth, AnniversaryMonth})
        for (int m = 1; m <= 12; ++m)
            m_limits->textList(month)->addItem(QString::number(m));
    m_limits->resetTextLists();
}

CheckGridHost::Grid MemberQDForm::checkGrid(CheckGridKind kind)
{
    switch (kind) {
    case CheckGridKind::Sections: return {m_limits->grid(Sections)};
    case CheckGridKind::Orchestration: return {m_limits->grid(Instruments)};
    case CheckGridKind::Choirs: return {m_limits->grid(Choirs), true};
    case CheckGridKind::Vocals:
    case CheckGridKind::Themes:
    case CheckGridKind::Composers: break;
    }
    return {};
}

void MemberQDForm::SetupMemberGrid()
{
    m_model->clear();
    m_grid->setColumnHidden(MemberGridModel::MemberIdColumn, true);
}

void MemberQDForm::BuildMemberGrid(bool filteredOnly)
{
    BusyCursor busy;
    // Read first: a failing query leaves the list and the report's
    // members as they were.
    QVector<MemberListRow> rows = MemberSelection::list(filteredOnly);
    QList<qint32> ids;
    ids.reserve(rows.size());
    for (const MemberListRow &r : rows)
        ids.append(r.memberId);

    m_grid->setUpdatesEnabled(false);
    SetupMemberGrid();
    m_model->setRows(std::move(rows));
    hx().ReportMemberSet.ids = std::move(ids);
    hx().ReportMemberSet.open = true;
    sizeGridColumns();
    m_grid->scrollToTop();
    // No member is current: the header row is.
    m_grid->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
    m_grid->setUpdatesEnabled(true);
}

void MemberQDForm::sizeGridColumns()
{
    ListColumns::fit(m_grid, MemberGridModel::NameColumn, QStringLiteral("Member"),
                     ListColumns::widestText(
                         m_model->rows(), [](const MemberListRow &r) -> const QString & { return r.name; },
                         m_grid->fontMetrics()));
}

MemberLimits MemberQDForm::currentLimits() const
{
    MemberLimits limits;
    limits.sectionsTicked = m_limits->isTicked(Sections);
    if (limits.sectionsTicked)
        limits.sectionIds = m_limits->grid(Sections)->checkedIds();
    limits.instrumentsTicked = m_limits->isTicked(Instruments);
    if (limits.instrumentsTicked)
        limits.instrumentIds = m_limits->grid(Instruments)->checkedIds();
    limits.choirsTicked = m_limits->isTicked(Choirs);
    if (limits.choirsTicked) {
        // A checked choir asks for an active membership when its Active
        // box is ticked, for an inactive one when it is not.
        const CheckListGrid *choirs = m_limits->grid(Choirs);
        for (int r = 1; r < choirs->Rows(); ++r) {
            if (!choirs->isChecked(r))
                continue;
            (choirs->isChecked(r, 3) ? limits.activeChoirIds : limits.inactiveChoirIds).append(choirs->idAt(r));
        }
    }
    for (int k = 0; k < 5; ++k) {
        limits.myDataTicked[k] = m_limits->isTicked(FirstMyData + k);
        limits.myDataText[k] = m_limits->text(FirstMyData + k);
    }
    limits.birthdayTicked = m_limits->isTicked(BirthdayMonth);
    limits.birthdayMonth = m_limits->text(BirthdayMonth);
    limits.anniversaryTicked = m_limits->isTicked(AnniversaryMonth);
    limits.anniversaryMonth = m_limits->text(AnniversaryMonth);
    return limits;
}

void MemberQDForm::ApplyMemberFilter()
{
    BusyCursor busy;
    MemberSelection::mark(currentLimits());
    BuildMemberGrid(true);
}

void MemberQDForm::processClicked()
{
    guarded([this] {
        if (m_limits->displayAll())
            BuildMemberGrid(false);
        else
            ApplyMemberFilter();
    });
    m_tab->setCurrentIndex(0);
}

void MemberQDForm::gridDoubleClicked(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const MemberListRow r = m_model->rowAt(row);
    if (r.memberId < 1 || r.name.isEmpty())
        return;
    BusyCursor busy;
    guarded([&] {
        // A member deleted since the list was built opens nothing, and the
        // editor keeps what it shows.
        if (!MemberSelection::exists(r.memberId))
            return;
        QWidget *editor = Forms::load(MemberFormCode);
        if (!editor)
            return;
        if (auto *loader = dynamic_cast<RecordLoader *>(editor))
            loader->loadRecordById(r.memberId);
        Forms::showChild(editor);
    });
}

void MemberQDForm::resizeEvent(QResizeEvent *event)
{
    BaseForm::resizeEvent(event);
    if (m_model)
        sizeGridColumns();
}
