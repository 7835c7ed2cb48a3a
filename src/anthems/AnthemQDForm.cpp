#include "AnthemQDForm.h"

#include "AnthemGridModel.h"
#include "CheckListGrid.h"
#include "Cursor.h"
#include "FieldServices.h"
#include "Forms.h"
#include "Guard.h"
#include "LimitPanel.h"
#include "ListColumns.h"
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

constexpr int kTwipsPerPixel = 15;
constexpr int kTitleColumnTwips = 4000;

const char *const kProcessCaption = "Rebuild Anthem Display Using Current Display Parameters";

// Limit boxes 0 to 10: their captions; 0 to 4 also name their grids.
const char *const kLimitCaptions[11] = {
    "Limit by Vocals", "Limit by Composers", "Limit by Themes", "Limit by Orchestration", "Limit by Choir",
    "Limit by My Data 1", "Limit by My Data 2", "Limit by My Data 3", "Limit by My Data 4", "Limit by My Data 5",
    "Limit by Collections loaned out"};
const char *const kGridNames[5] = {"VocalsGrid", "ComposersGrid", "ThemesGrid", "OrchGrid", "ChoirGrid"};

} // namespace

AnthemQDForm::AnthemQDForm() : BaseForm(&hx().AnthemQDFormLoaded)
{
    setObjectName(QStringLiteral("AnthemQDForm"));
    setWindowTitle(QStringLiteral("Anthems"));
    buildUi();
    loadData();
}

AnthemQDForm::~AnthemQDForm() = default;

void AnthemQDForm::buildUi()
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
    m_model = new AnthemGridModel(this);
    m_grid = new QTableView(listPage);
    m_grid->setObjectName(QStringLiteral("AnthemGrid"));
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
    listLayout->addWidget(m_grid, 1);
    auto *listButtons = new QHBoxLayout;
    listButtons->addWidget(processButton(listPage, 0));
    auto *report = new QPushButton(QStringLiteral("Open Report WIndow"), listPage);
    report->setObjectName(QStringLiteral("btnReport"));
    listButtons->addWidget(report);
    listButtons->addStretch(1);
    listLayout->addLayout(listButtons);
    m_tab->addTab(listPage, QStringLiteral("Anthems"));
    connect(m_grid, &QTableView::doubleClicked, this,
            [this](const QModelIndex &at) { gridDoubleClicked(at.row(), at.column()); });
    connect(report, &QPushButton::clicked, this, [] { guarded([] { RequestReport(ReportKinds::Anthems); }); });

    // Page 1: the link limits.
    auto *linkPage = new QWidget(m_tab);
    auto *linkLayout = new QGridLayout(linkPage);
    linkLayout->addWidget(m_limits->addAllCheck(QStringLiteral("Display All Anthems"), linkPage), 0, 0, 1, 5);
    for (int i = 0; i < 5; ++i) {
        const LimitPanel::ListLimit l =
            m_limits->addListLimit(i, QLatin1String(kLimitCaptions[i]), QLatin1String(kGridNames[i]), linkPage);
        linkLayout->addWidget(l.box, 1, i);
        linkLayout->addWidget(l.grid, 2, i);
        linkLayout->addWidget(l.checkAll, 3, i);
        linkLayout->addWidget(l.clearAll, 4, i);
    }
    linkLayout->setRowStretch(2, 1);
    linkLayout->addWidget(processButton(linkPage, 1), 5, 0, 1, 5, Qt::AlignLeft);
    m_tab->addTab(linkPage, QStringLiteral("Display Parameters"));

    // Page 2: the "My Data" limits and the loan limit.
    auto *textPage = new QWidget(m_tab);
    auto *textLayout = new QGridLayout(textPage);
    for (int i = 5; i <= 10; ++i) {
        textLayout->addWidget(m_limits->addLimit(i, QLatin1String(kLimitCaptions[i]), textPage), i - 5, 0);
        if (i <= 9) {
            QComboBox *combo = m_limits->addTextList(i, QStringLiteral("MyData%1").arg(i), textPage);
            combo->setMinimumWidth(240);
            textLayout->addWidget(combo, i - 5, 1);
        }
    }
    textLayout->addWidget(processButton(textPage, 2), 6, 0, 1, 2, Qt::AlignLeft);
    textLayout->setRowStretch(7, 1);
    textLayout->setColumnStretch(2, 1);
    m_tab->addTab(textPage, QStringLiteral("Display Parameters 2"));
}

void AnthemQDForm::loadData()
{
    m_tab->setCurrentIndex(0);
    BuildAnthemGrid(false);
    LoadLimitByOptions(this, myDataType(RecordKind::Anthem));
    m_limits->resetTextLists();
    using namespace CheckGridOwner;
    FillVocalsCheckGrid(m_limits->grid(AnthemLimits::Vocals), RefillOnly, 0);
    FillThemesCheckGrid(m_limits->grid(AnthemLimits::Themes), RefillOnly, 0);
    FillOrchestrationCheckGrid(m_limits->grid(AnthemLimits::Orchestration), RefillOnly, 0);
    FillComposerCheckGrid(m_limits->grid(AnthemLimits::Composers), RefillOnly, 0);
    FillChoirCheckGrid(m_limits->grid(AnthemLimits::Choirs), RefillOnly, 0, false);
    for (CheckListGrid *grid : m_limits->grids())
        SetAllGridChecks(grid, true);
}

CheckGridHost::Grid AnthemQDForm::checkGrid(CheckGridKind kind)
{
    switch (kind) {
    case CheckGridKind::Vocals: return {m_limits->grid(AnthemLimits::Vocals)};
    case CheckGridKind::Composers: return {m_limits->grid(AnthemLimits::Composers)};
    case CheckGridKind::Themes: return {m_limits->grid(AnthemLimits::Themes)};
    case CheckGridKind::Orchestration: return {m_limits->grid(AnthemLimits::Orchestration)};
    case CheckGridKind::Choirs: return {m_limits->grid(AnthemLimits::Choirs)};
    case CheckGridKind::Sections: break;
    }
    return {};
}

void AnthemQDForm::SetupAnthemGrid()
{
    m_model->clear();
    m_grid->setColumnWidth(AnthemGridModel::AnthemColumn, kTitleColumnTwips / kTwipsPerPixel);
    m_grid->setColumnHidden(AnthemGridModel::AnthemIdColumn, true);
    m_grid->setColumnHidden(AnthemGridModel::CollectionIdColumn, true);
}

void AnthemQDForm::BuildAnthemGrid(bool filteredOnly)
{
    BusyCursor busy;
    // Read first: a failing query leaves the list and the report's
    // anthems as they were.
    QVector<AnthemListRow> rows = AnthemSelection::list(filteredOnly);
    QList<qint32> ids;
    ids.reserve(rows.size());
    for (const AnthemListRow &r : rows)
        ids.append(r.anthemId);

    m_grid->setUpdatesEnabled(false);
    SetupAnthemGrid();
    m_model->setRows(std::move(rows));
    hx().ReportAnthemSet.ids = std::move(ids);
    hx().ReportAnthemSet.open = true;
    sizeGridColumns();
    m_grid->scrollToTop();
    // No anthem is current: the header row is.
    m_grid->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
    m_grid->setUpdatesEnabled(true);
}

void AnthemQDForm::sizeGridColumns()
{
    const QFontMetrics fm = m_grid->fontMetrics();
    const QVector<AnthemListRow> &rows = m_model->rows();
    ListColumns::fit(m_grid, AnthemGridModel::AnthemColumn, QStringLiteral("Anthem"),
                     ListColumns::widestText(rows, [](const AnthemListRow &r) -> const QString & { return r.anthem; }, fm));
    ListColumns::fit(m_grid, AnthemGridModel::CollectionColumn, QStringLiteral("Member of Collection"),
                     ListColumns::widestText(rows, [](const AnthemListRow &r) -> const QString & { return r.collection; },
                                             fm));
}

AnthemLimits AnthemQDForm::currentLimits() const
{
    AnthemLimits limits;
    for (int i = 0; i < AnthemLimits::ListLimitCount; ++i) {
        limits.listTicked[i] = m_limits->isTicked(i);
        if (limits.listTicked[i])
            limits.listIds[i] = m_limits->grid(i)->checkedIds();
    }
    for (int k = 0; k < 5; ++k) {
        limits.myDataTicked[k] = m_limits->isTicked(5 + k);
        limits.myDataText[k] = m_limits->text(5 + k);
    }
    limits.loanedOut = m_limits->isTicked(10);
    return limits;
}

void AnthemQDForm::ApplyAnthemFilter()
{
    BusyCursor busy;
    AnthemSelection::mark(currentLimits());
    BuildAnthemGrid(true);
}

void AnthemQDForm::processClicked()
{
    guarded([this] {
        if (m_limits->displayAll())
            BuildAnthemGrid(false);
        else
            ApplyAnthemFilter();
    });
    m_tab->setCurrentIndex(0);
}

void AnthemQDForm::gridDoubleClicked(int row, int column)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    BusyCursor busy;
    const AnthemListRow r = m_model->rowAt(row);
    if (column == AnthemGridModel::AnthemColumn && r.anthemId > 0)
        OpenAnthemRecord(r.anthemId);
    else if (column == AnthemGridModel::CollectionColumn && r.collectionId > 0)
        OpenCollectionRecord(r.collectionId);
}

void AnthemQDForm::resizeEvent(QResizeEvent *event)
{
    BaseForm::resizeEvent(event);
    if (m_model)
        sizeGridColumns();
}
