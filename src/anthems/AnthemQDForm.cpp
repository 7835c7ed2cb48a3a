#include "AnthemQDForm.h"

#include "AnthemGridModel.h"
#include "Cursor.h"
#include "Forms.h"
#include "Guard.h"
#include "LimitPanel.h"
#include "ListColumns.h"
#include "Module.h"
#include "RecordCodes.h"
#include "ReportKinds.h"

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
    auto *report = new QPushButton(QStringLiteral("Open Report WIndow"), listPage);
    report->setObjectName(QStringLiteral("btnReport"));
    listButtons->addWidget(report);
    listButtons->addStretch(1);
    listLayout->addLayout(listButtons);
    m_tab->addTab(listPage, QStringLiteral("Anthems"));
    connect(m_grid, &QTableView::doubleClicked, this,
            [this](const QModelIndex &at) { gridDoubleClicked(at.row(), at.column()); });
    connect(report, &QPushButton::clicked, this, [] { guarded([] { RequestReport(ReportKinds::Anthems); }); });

    // Pages 1 and 2: the limits.
    m_limits = new LimitPanel(m_tab,
                              LimitPanel::catalogue(QStringLiteral("Display All Anthems"),
                                                    QLatin1String(kProcessCaption), RecordKind::Anthem, false),
                              this);
    listButtons->insertWidget(0, m_limits->makeProcessButton(listPage, 0));
    connect(m_limits, &LimitPanel::processClicked, this, [this] { processClicked(); });
}

void AnthemQDForm::loadData()
{
    m_tab->setCurrentIndex(0);
    BuildAnthemGrid(false);
    m_limits->load();
}

CheckGridHost::Grid AnthemQDForm::checkGrid(CheckGridKind kind)
{
    return m_limits->checkGrid(kind);
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
    return m_limits->viewerLimits();
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
