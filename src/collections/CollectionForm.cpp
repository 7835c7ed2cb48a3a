#include "CollectionForm.h"

#include "ChangeNotifier.h"
#include "CheckListGrid.h"
#include "CollectionRecord.h"
#include "Cursor.h"
#include "DateField.h"
#include "DeleteCollectionCascade.h"
#include "FieldServices.h"
#include "Fmt.h"
#include "Guard.h"
#include "ListRefresh.h"
#include "Module.h"
#include "Prompter.h"
#include "SpellCheck.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
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
    : RecordEditorForm(&hx().CollectionFormLoaded, collectionSetup()), Col_Data(hxData())
{
    setObjectName(QStringLiteral("CollectionForm"));
    setWindowTitle(QStringLiteral("Collections"));
    tabs()->addTab(buildMainPage(), QStringLiteral("Main"));
    tabs()->addTab(buildPage2(), QStringLiteral("Page 2"));
    Memo1 = new QPlainTextEdit(tabs());
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("Notes"));
    tabs()->addTab(Memo1, QStringLiteral("Notes"));
    tabs()->addTab(buildMyDataPage(), QStringLiteral("My Data"));
    // In the order the editor marks them.
    registerCheckGrid(CheckGridKind::Themes, ThemesGrid);
    registerCheckGrid(CheckGridKind::Vocals, VocalsGrid);
    registerCheckGrid(CheckGridKind::Orchestration, OrchGrid);
    registerCheckGrid(CheckGridKind::Choirs, ChoirGrid);
    registerCheckGrid(CheckGridKind::Composers, ComposersGrid);
    connectHandlers();
    LoadMyDataLabels(this, myDataType(RecordKind::Collection));
    BuildAnthemsGrid(0, false);
    setupEditor();
}

CollectionForm::~CollectionForm() = default;

QWidget *CollectionForm::buildMainPage()
{
    auto *page = new QWidget;
    auto *g = new QGridLayout(page);

    CollectionName = makeTextField(QStringLiteral("CollectionName"), CollectionRecord::CollectionWidth, page);
    Catalog = makeTextField(QStringLiteral("Catalog"), CollectionRecord::CatalogWidth, page);
    Location = makeTextField(QStringLiteral("Location"), CollectionRecord::LocationWidth, page);
    DatePurchased = new DateField(page);
    DatePurchased->setObjectName(QStringLiteral("DatePurchased"));
    LastPerformed = new DateField(page);
    LastPerformed->setObjectName(QStringLiteral("LastPerformed"));
    btnClearDate0 = makeButton(QStringLiteral("btnClearDate0"), QStringLiteral("ClearDate"), page);
    btnClearDate1 = makeButton(QStringLiteral("btnClearDate1"), QStringLiteral("ClearDate"), page);
    QPushButton *btnAllPerform = makePerformedDatesButton(page);
    CostPerCopy = makeTextField(QStringLiteral("CostPerCopy"), 30, page);
    NumCopies = makeTextField(QStringLiteral("NumCopies"), 30, page);
    Pages = makeTextField(QStringLiteral("Pages"), CollectionRecord::PagesWidth, page);
    PerformTime = makeTextField(QStringLiteral("PerformTime"), CollectionRecord::PerformTimeWidth, page);

    g->addWidget(makeCaption(QStringLiteral("Collection Name"), CollectionName, page), 0, 0);
    g->addWidget(CollectionName, 0, 1, 1, 5);
    g->addWidget(makeCaption(QStringLiteral("Catalog Number"), Catalog, page), 1, 0);
    g->addWidget(Catalog, 1, 1, 1, 2);
    g->addWidget(makeCaption(QStringLiteral("Location"), Location, page), 1, 3);
    g->addWidget(Location, 1, 4, 1, 2);
    g->addWidget(makeCaption(QStringLiteral("Date Purchased"), DatePurchased, page), 2, 0);
    g->addWidget(DatePurchased, 2, 1);
    g->addWidget(btnClearDate0, 2, 2);
    g->addWidget(makeCaption(QStringLiteral("Last performed"), LastPerformed, page), 2, 3);
    g->addWidget(LastPerformed, 2, 4);
    auto *performButtons = new QHBoxLayout;
    performButtons->addWidget(btnClearDate1);
    performButtons->addWidget(btnAllPerform);
    g->addLayout(performButtons, 2, 5);
    g->addWidget(makeCaption(QStringLiteral("Cost Per Copy"), CostPerCopy, page), 3, 0);
    g->addWidget(CostPerCopy, 3, 1, 1, 2);
    g->addWidget(makeCaption(QStringLiteral("# of Copies"), NumCopies, page), 3, 3);
    g->addWidget(NumCopies, 3, 4, 1, 2);
    g->addWidget(makeCaption(QStringLiteral("Page(s), Page #, or Page Range"), Pages, page), 4, 0);
    g->addWidget(Pages, 4, 1, 1, 2);
    g->addWidget(makeCaption(QStringLiteral("Performance Time (hh:mm:ss)"), PerformTime, page), 4, 3);
    g->addWidget(PerformTime, 4, 4, 1, 2);

    // The link grids and, beside them, the collection's anthems.
    VocalsGrid = makeCheckGrid(QStringLiteral("VocalsGrid"), page);
    ComposersGrid = makeCheckGrid(QStringLiteral("ComposersGrid"), page);
    btnAddVocal = makeButton(QStringLiteral("btnAddVocal"), QStringLiteral("Add New Vocalization"), page);
    btnAddComposer = makeButton(QStringLiteral("btnAddComposer"), QStringLiteral("Add New Composer/Arranger"), page);
    AnthemsGrid = new QTableWidget(0, 2, page);
    AnthemsGrid->setObjectName(QStringLiteral("AnthemsGrid"));
    AnthemsGrid->setAccessibleName(kAnthemsHeading);
    AnthemsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    AnthemsGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    AnthemsGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    AnthemsGrid->verticalHeader()->hide();
    AnthemsGrid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
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

QWidget *CollectionForm::buildPage2()
{
    auto *page = new QWidget;
    auto *g = new QGridLayout(page);
    ThemesGrid = makeCheckGrid(QStringLiteral("ThemesGrid"), page);
    OrchGrid = makeCheckGrid(QStringLiteral("OrchGrid"), page);
    ChoirGrid = makeCheckGrid(QStringLiteral("ChoirGrid"), page);
    btnAddTheme = makeButton(QStringLiteral("btnAddTheme"), QStringLiteral("Add New Theme"), page);
    btnAddOrch = makeButton(QStringLiteral("btnAddOrch"), QStringLiteral("Add New Orchestration"), page);
    LoanedTo = makeTextField(QStringLiteral("LoanedTo"), CollectionRecord::LoanedToWidth, page);
    g->addWidget(ThemesGrid, 0, 0);
    g->addWidget(OrchGrid, 0, 1);
    g->addWidget(ChoirGrid, 0, 2);
    g->addWidget(btnAddTheme, 1, 0);
    g->addWidget(btnAddOrch, 1, 1);
    g->addWidget(makeCaption(QStringLiteral("Loaned to"), LoanedTo, page), 2, 0);
    g->addWidget(LoanedTo, 3, 0, 1, 3);
    g->setRowStretch(0, 1);
    return page;
}

void CollectionForm::connectHandlers()
{
    connect(btnClearDate0, &QPushButton::clicked, this, [this] { DatePurchased->clear(); });
    connect(btnClearDate1, &QPushButton::clicked, this, [this] { LastPerformed->clear(); });

    connect(btnAddTheme, &QPushButton::clicked, this, [] { guarded([] { AddNewTheme(); }); });
    connect(btnAddVocal, &QPushButton::clicked, this, [] { guarded([] { AddNewVocalization(); }); });
    connect(btnAddComposer, &QPushButton::clicked, this, [] { guarded([] { AddNewComposer(); }); });
    connect(btnAddOrch, &QPushButton::clicked, this, [] { guarded([] { AddNewOrchestration(); }); });

    connect(AnthemsGrid, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { openAnthemAt(row); });

    for (QWidget *w : std::initializer_list<QWidget *>{Catalog, CostPerCopy, LoanedTo, Location, NumCopies, Pages,
                                                       PerformTime})
        InstallSelectAllOnFocus(w);
    for (QWidget *w : std::initializer_list<QWidget *>{CollectionName, LoanedTo, Memo1})
        installSpellCheckKey(w);

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
    tabs()->setCurrentIndex(0);
    CollectionName->clear();
    LastPerformed->clear();
    DatePurchased->clear();
    Location->clear();
    Catalog->clear();
    Memo1->clear();
    CostPerCopy->setText(Fmt::currency(0));
    NumCopies->setText(Fmt::wholeNumber(0));
    Pages->clear();
    PerformTime->clear();
    LoanedTo->clear();
    for (int n = 1; n <= 5; ++n)
        userField(n)->clear();
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
    CollectionName->setText(r.collection);
    Location->setText(r.location);
    Catalog->setText(r.catalog);
    DatePurchased->setDate(r.datePurchased);
    LastPerformed->setDate(r.lastPerformed);
    // No stored value shows the cleared window's zero.
    if (r.costPerCopy)
        CostPerCopy->setText(Fmt::currency(*r.costPerCopy));
    if (r.numCopies)
        NumCopies->setText(Fmt::wholeNumber(double(*r.numCopies)));
    Memo1->setPlainText(r.memo1);
    Pages->setText(r.pages);
    PerformTime->setText(r.performTime);
    LoanedTo->setText(r.loanedTo);
    m_loadedLoanedTo = LoanedTo->text();
    for (int i = 0; i < 5; ++i)
        userField(i + 1)->setText(r.u[i]);
    showAnthems(r.anthems);
    return true;
}

// ---------------------------------------------------------------- saving

bool CollectionForm::readFields(CollectionRecord &r)
{
    auto refuse = [this](QWidget *field, const QString &message) {
        tabs()->setCurrentIndex(0);
        MsgBox(message, QString(), MsgButtons::Ok, MsgIcon::Exclamation);
        field->setFocus();
        return false;
    };
    // A mistyped date is refused, never stored as no date.
    for (DateField *d : {DatePurchased, LastPerformed}) {
        if (!d->isEmpty() && !d->hasValidDate()) {
            tabs()->setCurrentIndex(0);
            d->acceptInput();
            return false;
        }
        d->acceptInput();
    }
    const CostInput cost = CollectionData::parseCost(CostPerCopy->text());
    if (!cost.valid)
        return refuse(CostPerCopy, QStringLiteral("\"%1\" is not an amount.\nPlease type the cost per copy as a "
                                                  "number, such as 12.50, or leave the field empty.")
                                       .arg(CostPerCopy->text().trimmed()));
    const CopiesInput copies = CollectionData::parseCopies(NumCopies->text());
    if (!copies.valid)
        return refuse(NumCopies, QStringLiteral("\"%1\" is not a number of copies.\nPlease type a whole number, "
                                                "such as 12, or leave the field empty.")
                                     .arg(NumCopies->text().trimmed()));

    r.id = currentId();
    r.collection = CollectionName->text();
    r.catalog = Catalog->text();
    r.location = Location->text();
    r.memo1 = Memo1->toPlainText();
    r.pages = Pages->text();
    r.loanedTo = LoanedTo->text();
    r.performTime = PerformTime->text();
    for (int i = 0; i < 5; ++i)
        r.u[i] = userField(i + 1)->text();
    r.datePurchased = DatePurchased->date();
    r.costPerCopy = cost.value;
    r.numCopies = copies.value;
    r.lastPerformed = LastPerformed->date();
    return true;
}

std::optional<RecordEditorForm::Saved> CollectionForm::saveRecordFields(bool adding)
{
    CollectionRecord r;
    if (!readFields(r))
        return std::nullopt;
    const QList<LinkChoice> links = checkedLinks();
    CollectionSaveResult result;
    const bool saved = guarded([&] {
        BusyCursor busy;
        result = CollectionData::save(r, links, adding, m_loadedLoanedTo);
    });
    if (!saved)
        return std::nullopt;
    m_loanedToCarried = result.loanedToCarried;
    return Saved{result.id, result.name};
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
