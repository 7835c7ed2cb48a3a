#include "AnthemForm.h"

#include "AnthemRecord.h"
#include "ChangeNotifier.h"
#include "CheckListGrid.h"
#include "Db.h"
#include "DeleteAnthemCascade.h"
#include "Fmt.h"
#include "Guard.h"
#include "Module.h"
#include "NameLists.h"
#include "SpellCheck.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

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

AnthemForm::AnthemForm()
    : CatalogueEditorForm(&hx().AnthemFormLoaded, anthemSetup()), A_Data(hxData())
{
    setObjectName(QStringLiteral("AnthemForm"));
    setWindowTitle(QStringLiteral("Add/Edit Anthems"));
    tabs()->addTab(buildMainPage(), QStringLiteral("Main"));
    tabs()->addTab(buildLinksPage(), QStringLiteral("Page 2"));
    Memo2 = addMemoPage(QStringLiteral("Memo2"), QStringLiteral("Lyrics/Other"));
    addNotesPage();
    tabs()->addTab(buildMyDataPage(), QStringLiteral("My Data"));
    connectHandlers();
    SetupAnthemForm();
}

AnthemForm::~AnthemForm() = default;

QWidget *AnthemForm::buildMainPage()
{
    auto *page = new QWidget;
    QGridLayout *g = buildCatalogueRows(page, QStringLiteral("AnthemName"), QStringLiteral("Anthem Name"),
                                        AnthemRecord::AnthemWidth, QStringLiteral("Date Puchased"));

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

    makeMainLinkGrids(page);
    g->addWidget(VocalsGrid, 6, 0, 1, 3);
    g->addWidget(ComposersGrid, 6, 3, 1, 3);
    g->addWidget(btnAddVocal, 7, 0, 1, 3);
    g->addWidget(btnAddComposer, 7, 3, 1, 3);
    g->setRowStretch(6, 1);
    return page;
}

void AnthemForm::connectHandlers()
{
    connectCatalogueFields();
    installSpellCheckKey(Memo2);
    connect(CollectionCombo, &QComboBox::activated, this, &AnthemForm::collectionChosen);
    CollectionCombo->beforePopup = [this] { guarded([this] { BuildCollectionCombo(false); }); };
    // The frame follows the box whoever sets it: the user, or a reload
    // that puts back what the user chose.
    connect(CollectionCheck, &QCheckBox::toggled, CollectionFrame, &QWidget::setEnabled);

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
    // Set here too: a box already in that state sends no toggle.
    CollectionCheck->setChecked(ticked);
    CollectionFrame->setEnabled(ticked);
}

// ---------------------------------------------------------------- loading

void AnthemForm::clearRecordFields()
{
    clearCatalogueFields();
    setCollectionCheck(false);
    Memo2->clear();
    CollectionCombo->setCurrentIndex(CollectionCombo->blankIndex());
}

bool AnthemForm::showRecordFields(qint32 id)
{
    const std::optional<AnthemRecord> record = AnthemData::load(id);
    if (!record)
        return false;
    clearRecordFields();
    const AnthemRecord &r = *record;
    showCatalogueFields(r, r.anthem, NoNumber::Blank);
    Memo2->setPlainText(r.memo2);

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
    if (!readCatalogueFields(r, r.anthem))
        return false;
    r.id = A_Data.CurAnthem();
    r.memo2 = Memo2->toPlainText();
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
    if (!writeGuarded([&] { id = AnthemData::save(r, links, adding); }))
        return std::nullopt;
    m_collectionBeforeSave = adding ? 0 : m_storedCollection;
    return Saved{id, {Fmt::cut(r.anthem, AnthemRecord::AnthemWidth), {}, {}}};
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
    if (reloadAnthem) {
        // Refills the list too, unless what the user typed is kept.
        A_Load_Data(A_Data.CurAnthem());
        return;
    }
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
