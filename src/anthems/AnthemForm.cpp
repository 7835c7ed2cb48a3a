#include "AnthemForm.h"

#include "AnthemRecord.h"
#include "ChangeNotifier.h"
#include "CheckListGrid.h"
#include "Cursor.h"
#include "DateField.h"
#include "Db.h"
#include "DeleteAnthemCascade.h"
#include "FieldServices.h"
#include "Fmt.h"
#include "Guard.h"
#include "ListRefresh.h"
#include "Module.h"
#include "NameLists.h"
#include "Prompter.h"
#include "SpellCheck.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <cmath>
#include <limits>

namespace {

RecordEditorForm::Setup anthemSetup()
{
    RecordEditorForm::Setup s;
    s.kind = RecordKind::Anthem;
    s.noun = QStringLiteral("anthem");
    s.plural = QStringLiteral("Anthems");
    s.listSql = QStringLiteral("select anthemid, Anthem from anthem order by anthemkey, anthemid");
    s.runs = NameIndex::Runs::Exact;
    s.deletePrompt = QStringLiteral("Delete the this anthem??");
    s.savedMessage = QStringLiteral("The anthem has been saved.");
    s.scheduleCaller = ScheduleCaller::Anthem;
    s.resetSortColumn = 2;
    return s;
}

} // namespace

AnthemForm::AnthemForm() : RecordEditorForm(&hx().AnthemFormLoaded, anthemSetup()), A_Data(hxData())
{
    setObjectName(QStringLiteral("AnthemForm"));
    setWindowTitle(QStringLiteral("Anthems"));
    tabs()->addTab(buildMainPage(), QStringLiteral("Main"));
    tabs()->addTab(buildPage2(), QStringLiteral("Page 2"));
    Memo2 = new QPlainTextEdit(tabs());
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setAccessibleName(QStringLiteral("Lyrics/Other"));
    tabs()->addTab(Memo2, QStringLiteral("Lyrics/Other"));
    Memo1 = new QPlainTextEdit(tabs());
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("Notes"));
    tabs()->addTab(Memo1, QStringLiteral("Notes"));
    tabs()->addTab(buildMyDataPage(), QStringLiteral("My Data"));
    // Loaded in the order the editor has always marked them.
    registerCheckGrid(CheckGridKind::Themes, ThemesGrid);
    registerCheckGrid(CheckGridKind::Vocals, VocalsGrid);
    registerCheckGrid(CheckGridKind::Orchestration, OrchGrid);
    registerCheckGrid(CheckGridKind::Choirs, ChoirGrid);
    registerCheckGrid(CheckGridKind::Composers, ComposersGrid);
    connectHandlers();
    LoadMyDataLabels(this, myDataType(RecordKind::Anthem));
    SetupAnthemForm();
}

AnthemForm::~AnthemForm() = default;

QWidget *AnthemForm::buildMainPage()
{
    auto *page = new QWidget;
    auto *g = new QGridLayout(page);

    AnthemName = makeTextField(QStringLiteral("AnthemName"), AnthemRecord::AnthemWidth, page);
    Catalog = makeTextField(QStringLiteral("Catalog"), AnthemRecord::CatalogWidth, page);
    Location = makeTextField(QStringLiteral("Location"), AnthemRecord::LocationWidth, page);
    DatePurchased = new DateField(page);
    DatePurchased->setObjectName(QStringLiteral("DatePurchased"));
    LastPerformed = new DateField(page);
    LastPerformed->setObjectName(QStringLiteral("LastPerformed"));
    btnClearDate0 = makeButton(QStringLiteral("btnClearDate0"), QStringLiteral("ClearDate"), page);
    btnClearDate1 = makeButton(QStringLiteral("btnClearDate1"), QStringLiteral("ClearDate"), page);
    QPushButton *btnAllPerform = makePerformedDatesButton(page);
    CostPerCopy = makeTextField(QStringLiteral("CostPerCopy"), 30, page);
    NumCopies = makeTextField(QStringLiteral("NumCopies"), 30, page);
    Pages = makeTextField(QStringLiteral("Pages"), AnthemRecord::PagesWidth, page);
    PerformTime = makeTextField(QStringLiteral("PerformTime"), AnthemRecord::PerformTimeWidth, page);

    g->addWidget(makeCaption(QStringLiteral("Anthem Name"), AnthemName, page), 0, 0);
    g->addWidget(AnthemName, 0, 1, 1, 5);
    g->addWidget(makeCaption(QStringLiteral("Catalog Number"), Catalog, page), 1, 0);
    g->addWidget(Catalog, 1, 1, 1, 2);
    g->addWidget(makeCaption(QStringLiteral("Location"), Location, page), 1, 3);
    g->addWidget(Location, 1, 4, 1, 2);
    g->addWidget(makeCaption(QStringLiteral("Date Puchased"), DatePurchased, page), 2, 0);
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

    CollectionCheck = new QCheckBox(QStringLiteral("Part of A Collection / Cantata"), page);
    CollectionCheck->setObjectName(QStringLiteral("CollectionCheck"));
    CollectionFrame = new QGroupBox(QStringLiteral("Collection/Cantata"), page);
    CollectionFrame->setObjectName(QStringLiteral("CollectionFrame"));
    auto *frameLayout = new QHBoxLayout(CollectionFrame);
    CollectionCombo = new IdListCombo(CollectionFrame);
    CollectionCombo->setObjectName(QStringLiteral("CollectionCombo"));
    CollectionCombo->setAccessibleName(QStringLiteral("Collection/Cantata"));
    frameLayout->addWidget(CollectionCombo);
    g->addWidget(CollectionCheck, 5, 0, 1, 2);
    g->addWidget(CollectionFrame, 5, 2, 1, 4);

    VocalsGrid = makeCheckGrid(QStringLiteral("VocalsGrid"), page);
    ComposersGrid = makeCheckGrid(QStringLiteral("ComposersGrid"), page);
    btnAddVocal = makeButton(QStringLiteral("btnAddVocal"), QStringLiteral("Add New Vocalization"), page);
    btnAddComposer = makeButton(QStringLiteral("btnAddComposer"), QStringLiteral("Add New Composer/Arranger"), page);
    g->addWidget(VocalsGrid, 6, 0, 1, 3);
    g->addWidget(ComposersGrid, 6, 3, 1, 3);
    g->addWidget(btnAddVocal, 7, 0, 1, 3);
    g->addWidget(btnAddComposer, 7, 3, 1, 3);
    g->setRowStretch(6, 1);
    return page;
}

QWidget *AnthemForm::buildPage2()
{
    auto *page = new QWidget;
    auto *g = new QGridLayout(page);
    ThemesGrid = makeCheckGrid(QStringLiteral("ThemesGrid"), page);
    OrchGrid = makeCheckGrid(QStringLiteral("OrchGrid"), page);
    ChoirGrid = makeCheckGrid(QStringLiteral("ChoirGrid"), page);
    btnAddTheme = makeButton(QStringLiteral("btnAddTheme"), QStringLiteral("Add New Theme"), page);
    btnAddOrch = makeButton(QStringLiteral("btnAddOrch"), QStringLiteral("Add New Orchestration"), page);
    LoanedTo = makeTextField(QStringLiteral("LoanedTo"), AnthemRecord::LoanedToWidth, page);
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

void AnthemForm::connectHandlers()
{
    connect(CollectionCombo, &QComboBox::activated, this, &AnthemForm::collectionChosen);
    CollectionCombo->beforePopup = [this] { guarded([this] { BuildCollectionCombo(false); }); };

    connect(btnClearDate0, &QPushButton::clicked, this, [this] { DatePurchased->clear(); });
    connect(btnClearDate1, &QPushButton::clicked, this, [this] { LastPerformed->clear(); });
    connect(CollectionCheck, &QCheckBox::clicked, this,
            [this] { CollectionFrame->setEnabled(CollectionCheck->isChecked()); });

    connect(btnAddTheme, &QPushButton::clicked, this, [] { guarded([] { AddNewTheme(); }); });
    connect(btnAddVocal, &QPushButton::clicked, this, [] { guarded([] { AddNewVocalization(); }); });
    connect(btnAddComposer, &QPushButton::clicked, this, [] { guarded([] { AddNewComposer(); }); });
    connect(btnAddOrch, &QPushButton::clicked, this, [] { guarded([] { AddNewOrchestration(); }); });

    for (QWidget *w : std::initializer_list<QWidget *>{Catalog, Location, CostPerCopy, NumCopies, Pages, PerformTime,
                                                       LoanedTo})
        InstallSelectAllOnFocus(w);
    for (QWidget *w : std::initializer_list<QWidget *>{AnthemName, LoanedTo, Memo1, Memo2})
        installSpellCheckKey(w);

    // A collection saved or deleted elsewhere: the collection list, and
    // the anthem shown (its loaned-to text may have changed with its
    // collection's), follow.
    ChangeNotifier &changes = ChangeNotifier::instance();
    connect(&changes, &ChangeNotifier::collectionStored, this,
            [this] { guarded([this] { BuildCollectionCombo(true); }); });
    connect(&changes, &ChangeNotifier::collectionDeleted, this,
            [this] { guarded([this] { CollectionDeletionReset(); }); });
}

void AnthemForm::setCollectionCheck(bool ticked)
{
    // The frame follows the box also when the program sets it.
    CollectionCheck->setChecked(ticked);
    CollectionFrame->setEnabled(ticked);
}

// ---------------------------------------------------------------- loading

void AnthemForm::clearRecordFields()
{
    tabs()->setCurrentIndex(0);
    AnthemName->clear();
    LastPerformed->clear();
    DatePurchased->clear();
    setCollectionCheck(false);
    Location->clear();
    Catalog->clear();
    Memo1->clear();
    Memo2->clear();
    CostPerCopy->setText(Fmt::currency(0));
    NumCopies->setText(Fmt::wholeNumber(0));
    Pages->clear();
    PerformTime->clear();
    LoanedTo->clear();
    for (int n = 1; n <= 5; ++n)
        userField(n)->clear();
    CollectionCombo->setCurrentIndex(CollectionCombo->blankIndex());
}

bool AnthemForm::showRecordFields(qint32 id)
{
    const std::optional<AnthemRecord> record = AnthemData::load(id);
    if (!record)
        return false;
    clearRecordFields();
    const AnthemRecord &r = *record;
    AnthemName->setText(r.anthem);
    Location->setText(r.location);
    Catalog->setText(r.catalog);
    DatePurchased->setDate(r.datePurchased);
    LastPerformed->setDate(r.lastPerformed);
    CostPerCopy->setText(r.costPerCopy ? Fmt::currency(*r.costPerCopy) : QString());
    NumCopies->setText(r.numCopies ? Fmt::wholeNumber(double(*r.numCopies)) : QString());
    Memo1->setPlainText(r.memo1);
    Memo2->setPlainText(r.memo2);
    Pages->setText(r.pages);
    PerformTime->setText(r.performTime);
    LoanedTo->setText(r.loanedTo);
    for (int i = 0; i < 5; ++i)
        userField(i + 1)->setText(r.u[i]);

    m_storedCollection = r.collectionId;
    if (r.collectionId <= 0) {
        setCollectionCheck(false);
    } else {
        selectCollection(r.collectionId);
        setCollectionCheck(true);
    }
    return true;
}

void AnthemForm::selectCollection(qint32 collectionId)
{
    // An id no item has leaves the blank item chosen.
    if (CollectionCombo->selectId(collectionId))
        A_Data.setCurCollection(collectionId);
}

// ---------------------------------------------------------------- saving

bool AnthemForm::readFields(AnthemRecord &r)
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

    const QString cost = CostPerCopy->text().trimmed();
    if (!cost.isEmpty()) {
        const std::optional<double> v = Fmt::parseNumber(cost);
        if (!v || !std::isfinite(*v))
            return refuse(CostPerCopy, QStringLiteral("\"%1\" is not an amount.\nPlease type the cost per copy as a "
                                                      "number, such as 12.50, or leave the field empty.")
                                           .arg(cost));
        // Stored as shown: to the cent.
        r.costPerCopy = std::round(*v * 100.0) / 100.0 + 0.0;
    }
    const QString copies = NumCopies->text().trimmed();
    if (!copies.isEmpty()) {
        const std::optional<double> v = Fmt::parseNumber(copies);
        if (!v || *v != std::floor(*v) || std::fabs(*v) > double(std::numeric_limits<qint32>::max()))
            return refuse(NumCopies, QStringLiteral("\"%1\" is not a number of copies.\nPlease type a whole number, "
                                                    "such as 12, or leave the field empty.")
                                         .arg(copies));
        r.numCopies = qint64(*v);
    }

    r.id = A_Data.CurAnthem();
    r.anthem = AnthemName->text();
    r.catalog = Catalog->text();
    r.location = Location->text();
    r.memo1 = Memo1->toPlainText();
    r.memo2 = Memo2->toPlainText();
    r.pages = Pages->text();
    r.loanedTo = LoanedTo->text();
    r.performTime = PerformTime->text();
    for (int i = 0; i < 5; ++i)
        r.u[i] = userField(i + 1)->text();
    r.datePurchased = DatePurchased->date();
    r.lastPerformed = LastPerformed->date();
    // The collection shown is the one stored; the blank item is none.
    r.collectionId = CollectionCheck->isChecked() ? CollectionCombo->currentId() : 0;
    return true;
}

std::optional<RecordEditorForm::Saved> AnthemForm::saveRecordFields(bool adding)
{
    AnthemRecord r;
    if (!readFields(r))
        return std::nullopt;
    const QList<LinkChoice> links = checkedLinks();
    qint32 id = 0;
    const bool saved = guarded([&] {
        BusyCursor busy;
        id = AnthemData::save(r, links, adding);
    });
    if (!saved)
        return std::nullopt;
    m_collectionBeforeSave = adding ? 0 : m_storedCollection;
    return Saved{id, Fmt::cut(r.anthem, AnthemRecord::AnthemWidth)};
}

void AnthemForm::recordSaved(qint32 id, bool added)
{
    Q_UNUSED(added)
    Notify::anthemStored(id, m_storedCollection, m_collectionBeforeSave);
}

void AnthemForm::deleteRecordData(qint32 id)
{
    DeleteAnthemCascade(id);
}

void AnthemForm::recordDeleted(qint32 id)
{
    Notify::anthemDeleted(id, m_storedCollection);
    // The cascade removed the anthem's schedule entries, of any choir.
    Notify::scheduleChanged(0);
}

// ---------------------------------------------------------------- collections

void AnthemForm::BuildCollectionCombo(bool reloadAnthem)
{
    const QVector<CollectionItem> list = AnthemData::collections();
    QStringList names;
    QVector<qint32> ids;
    names.reserve(list.size());
    ids.reserve(list.size());
    for (const CollectionItem &c : list) {
        names.append(c.name);
        ids.append(c.id);
    }
    CollectionCombo->setItems(names, ids);
    CollectionCombo->setEnabled(!list.isEmpty());
    if (list.isEmpty())
        return;
    if (reloadAnthem && records().onRecord() && !isAdding())
        A_Load_Data(A_Data.CurAnthem());
}

void AnthemForm::collectionChosen(int item)
{
    Q_UNUSED(item)
    if (CollectionCombo->currentText().trimmed().isEmpty())
        return;
    if (const qint32 id = CollectionCombo->currentId())
        A_Data.setCurCollection(id);
}

void registerAnthemEditor()
{
    Forms::registerForm(AnthemFormCode, [] { return new AnthemForm; });
}
