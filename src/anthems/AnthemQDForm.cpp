#include "AnthemQDForm.h"

#include "AnthemGridModel.h"
#include "CheckListGrid.h"
#include "Cursor.h"
#include "FieldServices.h"
#include "Forms.h"
#include "Guard.h"
#include "Module.h"
#include "RecordCodes.h"
#include "ReportKinds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

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

// How many of the longest texts of a column are measured when it is
// sized to its contents: the widest text is among the longest ones, and
// measuring a handful keeps a list of any length quick to size.
constexpr int kMeasuredTexts = 32;

int contentWidth(const QVector<AnthemListRow> &rows, bool collection, const QFontMetrics &fm)
{
    std::vector<const QString *> longest;
    longest.reserve(kMeasuredTexts + 1);
    auto shorter = [](const QString *a, const QString *b) { return a->size() > b->size(); };
    for (const AnthemListRow &r : rows) {
        const QString *t = collection ? &r.collection : &r.anthem;
        if (int(longest.size()) == kMeasuredTexts && t->size() <= longest.back()->size())
            continue;
        longest.insert(std::upper_bound(longest.begin(), longest.end(), t, shorter), t);
        if (int(longest.size()) > kMeasuredTexts)
            longest.pop_back();
    }
    int w = 0;
    for (const QString *t : longest)
        w = std::max(w, fm.horizontalAdvance(*t));
    return w;
}

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

    auto processButton = [this](QWidget *page, int i) {
        auto *b = new QPushButton(QLatin1String(kProcessCaption), page);
        b->setObjectName(QStringLiteral("btnProcess%1").arg(i));
        connect(b, &QPushButton::clicked, this, [this] { processClicked(); });
        return b;
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
    m_allCheck = new QCheckBox(QStringLiteral("Display All Anthems"), linkPage);
    m_allCheck->setObjectName(QStringLiteral("AllCheck"));
    m_allCheck->setChecked(true);
    connect(m_allCheck, &QCheckBox::clicked, this, [this] { allCheckClicked(); });
    linkLayout->addWidget(m_allCheck, 0, 0, 1, 5);
    for (int i = 0; i < 5; ++i) {
        m_limit[i] = new QCheckBox(QLatin1String(kLimitCaptions[i]), linkPage);
        auto *grid = new CheckListGrid(linkPage);
        grid->setObjectName(QLatin1String(kGridNames[i]));
        grid->setEnabled(false);
        m_listGrid[i] = grid;
        connect(grid, &CheckListGrid::cellActivatedByUser, this, [grid] { ToggleGridCheck(grid, 1); });
        m_checkAll[i] = new QPushButton(QStringLiteral("Select All"), linkPage);
        m_checkAll[i]->setObjectName(QStringLiteral("btnCheckAll%1").arg(i));
        m_checkAll[i]->setEnabled(false);
        connect(m_checkAll[i], &QPushButton::clicked, this, [grid] { SetAllGridChecks(grid, true); });
        m_clearAll[i] = new QPushButton(QStringLiteral("Clear Selections"), linkPage);
        m_clearAll[i]->setObjectName(QStringLiteral("btnClearAll%1").arg(i));
        m_clearAll[i]->setEnabled(false);
        connect(m_clearAll[i], &QPushButton::clicked, this, [grid] { SetAllGridChecks(grid, false); });
        linkLayout->addWidget(m_limit[i], 1, i);
        linkLayout->addWidget(grid, 2, i);
        linkLayout->addWidget(m_checkAll[i], 3, i);
        linkLayout->addWidget(m_clearAll[i], 4, i);
    }
    linkLayout->setRowStretch(2, 1);
    linkLayout->addWidget(processButton(linkPage, 1), 5, 0, 1, 5, Qt::AlignLeft);
    m_tab->addTab(linkPage, QStringLiteral("Display Parameters"));

    // Page 2: the "My Data" limits and the loan limit.
    auto *textPage = new QWidget(m_tab);
    auto *textLayout = new QGridLayout(textPage);
    for (int i = 5; i <= 10; ++i) {
        m_limit[i] = new QCheckBox(QLatin1String(kLimitCaptions[i]), textPage);
        textLayout->addWidget(m_limit[i], i - 5, 0);
        if (i <= 9) {
            auto *combo = new QComboBox(textPage);
            combo->setObjectName(QStringLiteral("MyData%1").arg(i));
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setMinimumWidth(240);
            m_myData[i - 5] = combo;
            textLayout->addWidget(combo, i - 5, 1);
        }
    }
    textLayout->addWidget(processButton(textPage, 2), 6, 0, 1, 2, Qt::AlignLeft);
    textLayout->setRowStretch(7, 1);
    textLayout->setColumnStretch(2, 1);
    m_tab->addTab(textPage, QStringLiteral("Display Parameters 2"));

    for (int i = 0; i <= 10; ++i) {
        m_limit[i]->setObjectName(QStringLiteral("optLimit%1").arg(i));
        // The user's own click only: boxes the program sets run nothing.
        connect(m_limit[i], &QCheckBox::clicked, this, [this, i] { limitClicked(i); });
    }
}

void AnthemQDForm::loadData()
{
    m_tab->setCurrentIndex(0);
    BuildAnthemGrid(false);
    LoadLimitByOptions(this, myDataType(RecordKind::Anthem));
    using namespace CheckGridOwner;
    FillVocalsCheckGrid(m_listGrid[AnthemLimits::Vocals], RefillOnly, 0);
    FillThemesCheckGrid(m_listGrid[AnthemLimits::Themes], RefillOnly, 0);
    FillOrchestrationCheckGrid(m_listGrid[AnthemLimits::Orchestration], RefillOnly, 0);
    FillComposerCheckGrid(m_listGrid[AnthemLimits::Composers], RefillOnly, 0);
    FillChoirCheckGrid(m_listGrid[AnthemLimits::Choirs], RefillOnly, 0, false);
    for (CheckListGrid *grid : m_listGrid)
        SetAllGridChecks(grid, true);
}

CheckGridHost::Grid AnthemQDForm::checkGrid(CheckGridKind kind)
{
    switch (kind) {
    case CheckGridKind::Vocals: return {m_listGrid[AnthemLimits::Vocals]};
    case CheckGridKind::Composers: return {m_listGrid[AnthemLimits::Composers]};
    case CheckGridKind::Themes: return {m_listGrid[AnthemLimits::Themes]};
    case CheckGridKind::Orchestration: return {m_listGrid[AnthemLimits::Orchestration]};
    case CheckGridKind::Choirs: return {m_listGrid[AnthemLimits::Choirs]};
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
    QFont bold = m_grid->horizontalHeader()->font();
    bold.setBold(true);
    const QFontMetrics headerFm(bold);
    const int padding = 2 * m_grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_grid) + 12;
    const QString headers[2] = {QStringLiteral("Anthem"), QStringLiteral("Member of Collection")};
    for (int c = 0; c < 2; ++c) {
        const int header = headerFm.horizontalAdvance(headers[c]);
        const int content = contentWidth(m_model->rows(), c == AnthemGridModel::CollectionColumn, fm);
        m_grid->setColumnWidth(c, std::max(header, content) + padding);
    }
}

AnthemLimits AnthemQDForm::currentLimits() const
{
    AnthemLimits limits;
    for (int i = 0; i < AnthemLimits::ListLimitCount; ++i) {
        limits.listTicked[i] = m_limit[i]->isChecked();
        if (limits.listTicked[i])
            limits.listIds[i] = m_listGrid[i]->checkedIds();
    }
    for (int k = 0; k < 5; ++k) {
        limits.myDataTicked[k] = m_limit[5 + k]->isChecked();
        limits.myDataText[k] = m_myData[k]->currentText();
    }
    limits.loanedOut = m_limit[10]->isChecked();
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
        if (m_allCheck->isChecked())
            BuildAnthemGrid(false);
        else
            ApplyAnthemFilter();
    });
    m_tab->setCurrentIndex(0);
}

void AnthemQDForm::limitClicked(int i)
{
    const bool anyTicked = std::any_of(std::begin(m_limit), std::end(m_limit),
                                       [](const QCheckBox *b) { return b->isChecked(); });
    m_allCheck->setChecked(!anyTicked);
    if (i < 5) {
        const bool on = m_limit[i]->isChecked();
        m_listGrid[i]->setEnabled(on);
        m_checkAll[i]->setEnabled(on);
        m_clearAll[i]->setEnabled(on);
    }
}

void AnthemQDForm::allCheckClicked()
{
    // Only the boxes: the grids keep their state until the user changes a
    // box himself.
    if (m_allCheck->isChecked())
        for (QCheckBox *b : m_limit)
            b->setChecked(false);
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
