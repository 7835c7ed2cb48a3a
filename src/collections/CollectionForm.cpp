#include "CollectionForm.h"

#include "ChangeNotifier.h"
#include "CheckListGrid.h"
#include "CollectionRecord.h"
#include "Cursor.h"
#include "DeleteCollectionCascade.h"
#include "Guard.h"
#include "KeyboardReach.h"
#include "Module.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

namespace {

const QString kAnthemsHeading = QStringLiteral("Anthems assigned to Collection");

RecordEditorForm::Setup collectionSetup()
{
    RecordEditorForm::Setup s;
    s.kind = RecordKind::Collection;
    s.noun = QStringLiteral("collection");
    s.plural = QStringLiteral("Collections");
    s.listSql = CollectionData::listQuery();
    s.runs = NameIndex::Runs::Exact;
    s.deletePrompt = QStringLiteral("This will delete this collection and all anthems\nassigned to this "
                                    "collection\nContinue with Deletion?????");
    s.savedMessage = QStringLiteral("The collection has been saved.");
    s.scheduleCaller = ScheduleCaller::Collection;
    s.resetSortColumn = 1;
    // A new collection is no collection yet: a list refresh or "View All"
    // while adding must not reach the one shown before Add.
    s.noRecordWhileAdding = true;
    return s;
}

} // namespace

CollectionForm::CollectionForm()
    : CatalogueEditorForm(&hx().CollectionFormLoaded, collectionSetup()), Col_Data(hxData())
{
    setObjectName(QStringLiteral("CollectionForm"));
    setWindowTitle(QStringLiteral("Add/Edit Collections"));
    tabs()->addTab(buildMainPage(), QStringLiteral("Main"));
    tabs()->addTab(buildLinksPage(), QStringLiteral("Page 2"));
    addNotesPage();
    tabs()->addTab(buildMyDataPage(), QStringLiteral("My Data"));
    connectHandlers();
    BuildAnthemsGrid(0, false);
    setupEditor();
}

CollectionForm::~CollectionForm() = default;

QWidget *CollectionForm::buildMainPage()
{
    auto *page = new QWidget;
    QGridLayout *g = buildCatalogueRows(page, QStringLiteral("CollectionName"), QStringLiteral("Collection Name"),
                                        CollectionRecord::CollectionWidth, QStringLiteral("Date Purchased"));

    // The link grids and, beside them, the collection's anthems.
    makeMainLinkGrids(page);
    AnthemsGrid = new QTableWidget(0, 2, page);
    AnthemsGrid->setObjectName(QStringLiteral("AnthemsGrid"));
    AnthemsGrid->setAccessibleName(kAnthemsHeading);
    AnthemsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    AnthemsGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    AnthemsGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    tabLeavesGrid(AnthemsGrid);
    AnthemsGrid->verticalHeader()->hide();
    // A title shows on one line, whole: the column fits the longest title
    // and fills the grid when the titles are shorter.
    AnthemsGrid->setWordWrap(false);
    AnthemsGrid->horizontalHeader()->setStretchLastSection(true);
    AnthemsGrid->setColumnHidden(0, true);
    auto *grids = new QGridLayout;
    grids->addWidget(VocalsGrid, 0, 0);
    grids->addWidget(ComposersGrid, 0, 1);
    grids->addWidget(AnthemsGrid, 0, 2, 2, 1);
    grids->addWidget(btnAddVocal, 1, 0);
    grids->addWidget(btnAddComposer, 1, 1);
    grids->setRowStretch(0, 1);
    g->addLayout(grids, 5, 0, 1, 6);
    g->setRowStretch(5, 1);
    return page;
}

void CollectionForm::connectHandlers()
{
    connectCatalogueFields();
    connect(AnthemsGrid, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { openAnthemAt(row); });
    returnDoesDoubleClick(AnthemsGrid);

    ChangeNotifier &changes = ChangeNotifier::instance();
    connect(&changes, &ChangeNotifier::anthemStored, this,
            [this](qint32, qint32 collection, qint32 previous) { anthemChanged(collection, previous); });
    connect(&changes, &ChangeNotifier::anthemDeleted, this,
            [this](qint32, qint32 collection) { anthemChanged(collection, 0); });
}

// ---------------------------------------------------------------- anthems

void CollectionForm::BuildAnthemsGrid(qint32 C_ID, bool loadData)
{
    showAnthems(loadData ? CollectionData::anthems(C_ID) : QVector<CollectionAnthem>());
}

void CollectionForm::showAnthems(const QVector<CollectionAnthem> &anthems)
{
    AnthemsGrid->clear();
    auto *heading = new QTableWidgetItem(kAnthemsHeading);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    heading->setTextAlignment(Qt::AlignCenter);
    AnthemsGrid->setHorizontalHeaderItem(1, heading);
    AnthemsGrid->setRowCount(int(anthems.size()));
    for (int r = 0; r < anthems.size(); ++r) {
        AnthemsGrid->setItem(r, 0, new QTableWidgetItem(QString::number(anthems.at(r).id)));
        auto *title = new QTableWidgetItem(anthems.at(r).title);
        title->setTextAlignment(Qt::AlignCenter);
        AnthemsGrid->setItem(r, 1, title);
    }
    AnthemsGrid->resizeColumnToContents(1);
    AnthemsGrid->setCurrentItem(nullptr);
    AnthemsGrid->scrollToTop();
}

void CollectionForm::openAnthemAt(int row)
{
    const QTableWidgetItem *item = AnthemsGrid->item(row, 0);
    bool ok = false;
    const qint32 id = item ? item->text().toInt(&ok) : 0;
    if (!ok || id < 1)
        return;
    BusyCursor busy;
    OpenAnthemRecord(id);
}

void CollectionForm::anthemChanged(qint32 collection, qint32 previousCollection)
{
    const qint32 shown = currentId();
    if (shown < 1 || (collection != shown && previousCollection != shown))
        return;
    guarded([&] { BuildAnthemsGrid(shown, true); });
}

// ---------------------------------------------------------------- loading

void CollectionForm::clearRecordFields()
{
    clearCatalogueFields();
    AnthemsGrid->setRowCount(0);
    m_loadedLoanedTo.clear();
}

bool CollectionForm::showRecordFields(qint32 id)
{
    const std::optional<CollectionRecord> record = CollectionData::load(id);
    if (!record)
        return false;
    clearRecordFields();
    const CollectionRecord &r = *record;
    // No stored value shows the cleared window's zero.
    showCatalogueFields(r, r.collection, NoNumber::Zero);
    m_loadedLoanedTo = LoanedTo->text();
    showAnthems(r.anthems);
    return true;
}

// ---------------------------------------------------------------- saving

bool CollectionForm::readFields(CollectionRecord &r)
{
    if (!readCatalogueFields(r, r.collection))
        return false;
    r.id = currentId();
    return true;
}

std::optional<RecordEditorForm::Saved> CollectionForm::saveRecordFields(bool adding)
{
    CollectionRecord r;
    if (!readFields(r))
        return std::nullopt;
    const QList<LinkChoice> links = checkedLinks();
    CollectionSaveResult result;
    if (!writeGuarded([&] { result = CollectionData::save(r, links, adding, m_loadedLoanedTo); }))
        return std::nullopt;
    m_loanedToCarried = result.loanedToCarried;
    return Saved{result.id, {result.name, {}, {}}};
}

void CollectionForm::recordSaved(qint32 id, bool added)
{
    Q_UNUSED(added)
    Notify::collectionStored(id, m_loanedToCarried);
}

void CollectionForm::deleteRecordData(qint32 id)
{
    DeleteCollectionCascade(id);
}

void CollectionForm::recordDeleted(qint32 id)
{
    Notify::collectionDeleted(id);
    // The collection's entries and its anthems' went, of any choir.
    Notify::scheduleChanged(0);
}
