#include "AnthemQDForm.h"

#include "AnthemGridModel.h"
#include "Cursor.h"
#include "Guard.h"
#include "KeyboardReach.h"
#include "ListColumns.h"
#include "Module.h"
#include "RecordCodes.h"
#include "ReportKinds.h"

#include <QPushButton>
#include <QTableView>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kTitleColumnTwips = 4000;

const char *const kProcessCaption = "Rebuild Anthem Display Using Current Display Parameters";

} // namespace

AnthemQDForm::AnthemQDForm()
    : ViewerForm(&hx().AnthemQDFormLoaded, QStringLiteral("AnthemQDForm"), QStringLiteral("Anthems"))
{
    m_model = new AnthemGridModel(this);
    m_grid = newListTable(QStringLiteral("AnthemGrid"), m_model);
    buildPages(QStringLiteral("Anthems"), m_grid,
               LimitPanel::catalogue(QStringLiteral("Display All Anthems"), QLatin1String(kProcessCaption),
                                     RecordKind::Anthem, false));
    connect(m_grid, &QTableView::doubleClicked, this,
            [this](const QModelIndex &at) { gridDoubleClicked(at.row(), at.column()); });
    returnDoesDoubleClick(m_grid);
    connect(reportButton(), &QPushButton::clicked, this,
            [] { guarded([] { RequestReport(ReportKinds::Anthems); }); });
    loadViewer();
}

AnthemQDForm::~AnthemQDForm() = default;

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
    showList(m_grid, hx().ReportAnthemSet, std::move(ids), [&] {
        SetupAnthemGrid();
        m_model->setRows(std::move(rows));
        sizeGridColumns();
    });
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
    return limits()->viewerLimits();
}

void AnthemQDForm::ApplyAnthemFilter()
{
    BusyCursor busy;
    AnthemSelection::mark(currentLimits());
    BuildAnthemGrid(true);
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
