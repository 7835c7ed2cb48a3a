#include "CollectionQDForm.h"

#include "CollectionGridModel.h"
#include "Cursor.h"
#include "Guard.h"
#include "KeyboardReach.h"
#include "ListColumns.h"
#include "Module.h"
#include "RecordCodes.h"
#include "ReportKinds.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>
#include <algorithm>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kCollectionColumnTwips = 3500;

const char *const kProcessCaption = "Rebuild Collection Display Using Current Display Parameters";

} // namespace

CollectionQDForm::CollectionQDForm()
    : ViewerForm(&hx().CollectionQDFormLoaded, QStringLiteral("CollectionQDForm"), QStringLiteral("Collections"))
{
    m_model = new CollectionGridModel(this);
    m_grid = new QTreeView(this);
    m_grid->setObjectName(QStringLiteral("CollectionGrid"));
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setAllColumnsShowFocus(true);
    // Rows of one height: the view never measures a row, whatever the count.
    m_grid->setUniformRowHeights(true);
    m_grid->setRootIsDecorated(true);
    // A double-click opens a record; the outline buttons and the arrow
    // keys open and close a collection.
    m_grid->setExpandsOnDoubleClick(false);
    m_grid->setWordWrap(false);
    m_grid->setSortingEnabled(false);
    m_grid->header()->setSectionsClickable(false);
    m_grid->header()->setSectionsMovable(false);
    m_grid->header()->setStretchLastSection(false);
    m_grid->viewport()->installEventFilter(this);
    // Unlike the anthem viewer, ticking "Display All Collections" also
    // disables the list grids.
    buildPages(QStringLiteral("Collections"), m_grid,
               LimitPanel::catalogue(QStringLiteral("Display All Collections"), QLatin1String(kProcessCaption),
                                     RecordKind::Collection, true));
    connect(m_grid, &QTreeView::doubleClicked, this, [this](const QModelIndex &at) { gridDoubleClicked(at); });
    returnDoesDoubleClick(m_grid);
    connect(reportButton(), &QPushButton::clicked, this,
            [] { guarded([] { RequestReport(ReportKinds::Collections); }); });
    loadViewer();
}

CollectionQDForm::~CollectionQDForm() = default;

void CollectionQDForm::SetupCollectionGrid()
{
    m_model->clear();
    m_grid->setColumnWidth(CollectionGridModel::CollectionColumn, kCollectionColumnTwips / kTwipsPerPixel);
}

void CollectionQDForm::BuildCollectionGrid(bool filteredOnly)
{
    BusyCursor busy;
    // Read first: a failing query leaves the outline and the report's
    // collections as they were.
    CollectionOutline outline = CollectionSelection::outline(filteredOnly);
    QList<qint32> ids = outline.collectionIds();
    showList(m_grid, hx().ReportCollectionSet, std::move(ids), [&] {
        SetupCollectionGrid();
        // A new outline starts with every collection closed.
        m_model->setOutline(std::move(outline));
        sizeGridColumns();
    });
}

void CollectionQDForm::sizeGridColumns()
{
    const QFontMetrics fm = m_grid->fontMetrics();
    const CollectionOutline &o = m_model->outline();
    // The names stand beside the outline buttons.
    const int names = ListColumns::widestText(
        o.collections, [](const CollectionOutline::Node &n) -> const QString & { return n.name; }, fm);
    m_needed[0] = ListColumns::neededWidth(m_grid, QStringLiteral("Collection"), names + m_grid->indentation());
    const int titles =
        ListColumns::widestText(o.anthems, [](const CollectionAnthem &a) -> const QString & { return a.title; }, fm);
    m_needed[1] = ListColumns::neededWidth(m_grid, QStringLiteral("Anthems"), titles);
    fitGridColumns();
}

void CollectionQDForm::fitGridColumns()
{
    m_grid->setColumnWidth(CollectionGridModel::CollectionColumn, m_needed[0]);
    // The last column fills the rest of the width.
    m_grid->setColumnWidth(CollectionGridModel::AnthemColumn,
                           std::max(m_needed[1], m_grid->viewport()->width() - m_needed[0]));
}

CollectionLimits CollectionQDForm::currentLimits() const
{
    return limits()->viewerLimits();
}

void CollectionQDForm::ApplyCollectionFilter()
{
    BusyCursor busy;
    CollectionSelection::mark(currentLimits());
    BuildCollectionGrid(true);
}

void CollectionQDForm::gridDoubleClicked(const QModelIndex &at)
{
    // A collection opens from its name, an anthem from its title; the
    // empty cells beside them open nothing.
    if (at.column() == CollectionGridModel::CollectionColumn && m_model->collectionId(at) > 0) {
        BusyCursor busy;
        OpenCollectionRecord(m_model->collectionId(at));
    } else if (at.column() == CollectionGridModel::AnthemColumn && m_model->anthemId(at) > 0) {
        BusyCursor busy;
        OpenAnthemRecord(m_model->anthemId(at));
    }
}

bool CollectionQDForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid->viewport() && event->type() == QEvent::Resize)
        fitGridColumns();
    return BaseForm::eventFilter(watched, event);
}
