#include "AnthemForm.h"

#include "AnthemRecord.h"
#include "CheckListGrid.h"
#include "Cursor.h"
#include "DateField.h"
#include "Db.h"
#include "DeleteAnthemCascade.h"
#include "FieldServices.h"
#include "Fmt.h"
#include "Guard.h"
#include "LetterBar.h"
#include "ListRefresh.h"
#include "Module.h"
#include "Prompter.h"
#include "RecordNav.h"
#include "RecordToolbar.h"
#include "SpellCheck.h"

#include <QAbstractListModel>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>
#include <functional>
#include <limits>

// The items of a long list (thousands of titles or collections) with the id
// each stands for; set whole, so a list is rebuilt in one step.
class NameListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void setItems(QStringList texts, QVector<qint32> ids)
    {
        beginResetModel();
        m_texts = std::move(texts);
        m_ids = std::move(ids);
        endResetModel();
    }
    qint32 idAt(int row) const { return row >= 0 && row < m_ids.size() ? m_ids.at(row) : 0; }
    int rowOfId(qint32 id) const { return int(m_ids.indexOf(id)); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_texts.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_texts.size())
            return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return m_texts.at(index.row());
        if (role == Qt::UserRole)
            return m_ids.at(index.row());
        return {};
    }

private:
    QStringList m_texts;
    QVector<qint32> m_ids;
};

// The collection list: brought up to date each time it opens, so a
// collection deleted elsewhere is never offered.
class CollectionListCombo : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;

    void showPopup() override
    {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};

namespace {

const QString kBlank = QStringLiteral(" ");

QLabel *caption(const char *text, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(QString::fromLatin1(text), parent);
    l->setBuddy(buddy);
    return l;
}

QLineEdit *textField(const char *name, int width, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    LimitTextWidth(e, width);
    return e;
}

QPushButton *button(const char *name, const char *text, QWidget *parent)
{
    auto *b = new QPushButton(QString::fromLatin1(text), parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

CheckListGrid *grid(const char *name, QWidget *parent)
{
    auto *g = new CheckListGrid(parent);
    g->setObjectName(QLatin1String(name));
    g->setMinimumHeight(150);
    return g;
}

void configureLongList(QComboBox *combo)
{
    // Never measure thousands of items to size the box.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(30);
    combo->setMaxVisibleItems(20);
}

// The collection editor's anthems grid and the schedule viewer take these
// calls, by name, once they exist; until then their flags stay False.
void refreshCollectionAnthemsGrid(qint32 anthemCollection)
{
    if (!hx().CollectionFormLoaded)
        return;
    QWidget *w = Forms::instance(CollectionFormCode);
    auto *holder = dynamic_cast<HXDataHolder *>(w);
    if (!holder)
        return;
    const qint32 shown = holder->hxData().CurCollection();
    if (shown != anthemCollection)
        return;
    QMetaObject::invokeMethod(w, "BuildAnthemsGrid", Qt::DirectConnection, Q_ARG(qint32, shown), Q_ARG(bool, true));
}

void refreshScheduleView()
{
    if (!hx().ScheduleViewFormLoaded)
        return;
    if (QWidget *w = Forms::instance(ScheduleViewFormCode))
        QMetaObject::invokeMethod(w, "LoadSGrid", Qt::DirectConnection);
}

// What follows a stored change (showing the result, refreshing other
// windows): a failure there must not read as if nothing had been stored.
bool afterStored(const QString &stored, const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const DbError &e) {
        Cursor::reset();
        MsgBox(QStringLiteral("%1, but the editor could not be brought up to date.\n\n%2").arg(stored, e.message()),
               QStringLiteral("Database Error"), MsgButtons::Ok, MsgIcon::Critical);
    }
    return false;
}

} // namespace

AnthemForm::AnthemForm() : BaseForm(&hx().AnthemFormLoaded)
{
    setObjectName(QStringLiteral("AnthemForm"));
    setWindowTitle(QStringLiteral("Anthems"));
    buildWindow();
    connectHandlers();
    SSTab1->setCurrentIndex(0);
    LoadMyDataLabels(this, 2);
    SetupAnthemForm();
}

AnthemForm::~AnthemForm() = default;

void AnthemForm::buildWindow()
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);

    auto *top = new QHBoxLayout;
    Toolbar1 = new RecordToolbar(this);
    static const char *const tips[RecordToolbar::ButtonCount] = {
        "Add new anthem",         "Cancel add",          "Save anthem",         "Delete anthem",
        "Move to first anthem",   "Move to previous anthem", "Move to next anthem", "Move to last anthem",
        nullptr,                  "Schedule Anthem"};
    for (int i = 1; i <= RecordToolbar::ButtonCount; ++i)
        if (QAction *a = Toolbar1->button(i); a && tips[i - 1])
            a->setToolTip(QString::fromLatin1(tips[i - 1]));
    // The schedule entry dialog is not part of this program yet: no button
    // that could not do what it says.
    Toolbar1->removeButton(10);
    top->addWidget(Toolbar1);
    top->addStretch(1);
    List_Combo = new QComboBox(this);
    List_Combo->setObjectName(QStringLiteral("List_Combo"));
    configureLongList(List_Combo);
    m_nameModel = new NameListModel(List_Combo);
    List_Combo->setModel(m_nameModel);
    top->addWidget(List_Combo);
    outer->addLayout(top);

    Toolbar2 = new LetterBar(this);
    outer->addWidget(Toolbar2);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->addTab(buildMainPage(), QStringLiteral("Main"));
    SSTab1->addTab(buildPage2(), QStringLiteral("Page 2"));
    Memo2 = new QPlainTextEdit(SSTab1);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    SSTab1->addTab(Memo2, QStringLiteral("Lyrics/Other"));
    Memo1 = new QPlainTextEdit(SSTab1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    SSTab1->addTab(Memo1, QStringLiteral("Notes"));
    SSTab1->addTab(buildMyDataPage(), QStringLiteral("My Data"));
    outer->addWidget(SSTab1, 1);
}

QWidget *AnthemForm::buildMainPage()
{
    auto *page = new QWidget;
    auto *g = new QGridLayout(page);

    AnthemName = textField("AnthemName", AnthemRecord::AnthemWidth, page);
    Catalog = textField("Catalog", AnthemRecord::CatalogWidth, page);
    Location = textField("Location", AnthemRecord::LocationWidth, page);
    DatePurchased = new DateField(page);
    DatePurchased->setObjectName(QStringLiteral("DatePurchased"));
    LastPerformed = new DateField(page);
    LastPerformed->setObjectName(QStringLiteral("LastPerformed"));
    btnClearDate0 = button("btnClearDate0", "ClearDate", page);
    btnClearDate1 = button("btnClearDate1", "ClearDate", page);
    btnAllPerform = button("btnAllPerform", "View All", page);
    // The performed-dates dialog is not part of this program yet.
    btnAllPerform->setEnabled(false);
    CostPerCopy = textField("CostPerCopy", 30, page);
    NumCopies = textField("NumCopies", 30, page);
    Pages = textField("Pages", AnthemRecord::PagesWidth, page);
    PerformTime = textField("PerformTime", AnthemRecord::PerformTimeWidth, page);

    g->addWidget(caption("Anthem Name", AnthemName, page), 0, 0);
    g->addWidget(AnthemName, 0, 1, 1, 5);
    g->addWidget(caption("Catalog Number", Catalog, page), 1, 0);
    g->addWidget(Catalog, 1, 1, 1, 2);
    g->addWidget(caption("Location", Location, page), 1, 3);
    g->addWidget(Location, 1, 4, 1, 2);
    g->addWidget(caption("Date Puchased", DatePurchased, page), 2, 0);
    g->addWidget(DatePurchased, 2, 1);
    g->addWidget(btnClearDate0, 2, 2);
    g->addWidget(caption("Last performed", LastPerformed, page), 2, 3);
    g->addWidget(LastPerformed, 2, 4);
    auto *performButtons = new QHBoxLayout;
    performButtons->addWidget(btnClearDate1);
    performButtons->addWidget(btnAllPerform);
    g->addLayout(performButtons, 2, 5);
    g->addWidget(caption("Cost Per Copy", CostPerCopy, page), 3, 0);
    g->addWidget(CostPerCopy, 3, 1, 1, 2);
    g->addWidget(caption("# of Copies", NumCopies, page), 3, 3);
    g->addWidget(NumCopies, 3, 4, 1, 2);
    g->addWidget(caption("Page(s), Page #, or Page Range", Pages, page), 4, 0);
    g->addWidget(Pages, 4, 1, 1, 2);
    g->addWidget(caption("Performance Time (hh:mm:ss)", PerformTime, page), 4, 3);
    g->addWidget(PerformTime, 4, 4, 1, 2);

    CollectionCheck = new QCheckBox(QStringLiteral("Part of A Collection / Cantata"), page);
    CollectionCheck->setObjectName(QStringLiteral("CollectionCheck"));
    CollectionFrame = new QGroupBox(QStringLiteral("Collection/Cantata"), page);
    CollectionFrame->setObjectName(QStringLiteral("CollectionFrame"));
    auto *frameLayout = new QHBoxLayout(CollectionFrame);
    CollectionCombo = new CollectionListCombo(CollectionFrame);
    CollectionCombo->setObjectName(QStringLiteral("CollectionCombo"));
    configureLongList(CollectionCombo);
    m_collectionModel = new NameListModel(CollectionCombo);
    CollectionCombo->setModel(m_collectionModel);
    frameLayout->addWidget(CollectionCombo);
    g->addWidget(CollectionCheck, 5, 0, 1, 2);
    g->addWidget(CollectionFrame, 5, 2, 1, 4);

    VocalsGrid = grid("VocalsGrid", page);
    ComposersGrid = grid("ComposersGrid", page);
    btnAddVocal = button("btnAddVocal", "Add New Vocalization", page);
    btnAddComposer = button("btnAddComposer", "Add New Composer/Arranger", page);
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
    ThemesGrid = grid("ThemesGrid", page);
    OrchGrid = grid("OrchGrid", page);
    ChoirGrid = grid("ChoirGrid", page);
    btnAddTheme = button("btnAddTheme", "Add New Theme", page);
    btnAddOrch = button("btnAddOrch", "Add New Orchestration", page);
    LoanedTo = textField("LoanedTo", AnthemRecord::LoanedToWidth, page);
    g->addWidget(ThemesGrid, 0, 0);
    g->addWidget(OrchGrid, 0, 1);
    g->addWidget(ChoirGrid, 0, 2);
    g->addWidget(btnAddTheme, 1, 0);
    g->addWidget(btnAddOrch, 1, 1);
    g->addWidget(caption("Loaned to", LoanedTo, page), 2, 0);
    g->addWidget(LoanedTo, 3, 0, 1, 3);
    g->setRowStretch(0, 1);
    return page;
}

QWidget *AnthemForm::buildMyDataPage()
{
    auto *page = new QWidget;
    auto *g = new QGridLayout(page);
    for (int i = 0; i < 5; ++i) {
        ULabel[i] = new ClickLabel(QStringLiteral("My Field %1").arg(i + 1), page);
        ULabel[i]->setObjectName(QStringLiteral("ULabel%1").arg(i + 1));
        ULabel[i]->setToolTip(QStringLiteral("Click to rename this field"));
        UText[i] = textField(QStringLiteral("UText%1").arg(i + 1).toLatin1().constData(), 0, page);
        g->addWidget(ULabel[i], i, 0);
        g->addWidget(UText[i], i, 1);
    }
    g->setRowStretch(5, 1);
    return page;
}

void AnthemForm::connectHandlers()
{
    connect(Toolbar1, &RecordToolbar::buttonClicked, this, &AnthemForm::toolbarClicked);
    connect(Toolbar2, &LetterBar::buttonClicked, this, &AnthemForm::letterClicked);
    connect(List_Combo, &QComboBox::activated, this, &AnthemForm::listClicked);
    connect(CollectionCombo, &QComboBox::activated, this, &AnthemForm::collectionChosen);
    CollectionCombo->beforePopup = [this] { guarded([this] { BuildCollectionCombo(false); }); };

    connect(btnClearDate0, &QPushButton::clicked, this, [this] { DatePurchased->clear(); });
    connect(btnClearDate1, &QPushButton::clicked, this, [this] { LastPerformed->clear(); });
    connect(CollectionCheck, &QCheckBox::clicked, this,
            [this] { CollectionFrame->setEnabled(CollectionCheck->isChecked()); });

    for (CheckListGrid *g : {ThemesGrid, VocalsGrid, ComposersGrid, ChoirGrid, OrchGrid})
        connect(g, &CheckListGrid::cellActivatedByUser, this, [g] { ToggleGridCheck(g, 1); });

    connect(btnAddTheme, &QPushButton::clicked, this, [] { guarded([] { AddNewTheme(); }); });
    connect(btnAddVocal, &QPushButton::clicked, this, [] { guarded([] { AddNewVocalization(); }); });
    connect(btnAddComposer, &QPushButton::clicked, this, [] { guarded([] { AddNewComposer(); }); });
    connect(btnAddOrch, &QPushButton::clicked, this, [] { guarded([] { AddNewOrchestration(); }); });

    for (int i = 0; i < 5; ++i) {
        ClickLabel *label = ULabel[i];
        connect(label, &ClickLabel::clicked, this, [label, i] { guarded([&] { RenameMyDataLabel(label, 2, i + 1); }); });
    }

    for (QWidget *w : std::initializer_list<QWidget *>{Catalog, Location, CostPerCopy, NumCopies, Pages, PerformTime,
                                                       LoanedTo, UText[0], UText[1], UText[2], UText[3], UText[4]})
        InstallSelectAllOnFocus(w);
    for (QWidget *w : std::initializer_list<QWidget *>{AnthemName, LoanedTo, Memo1, Memo2})
        installSpellCheckKey(w);
}

void AnthemForm::unloadForm()
{
    A_RS.clear();
}

// ---------------------------------------------------------------- set-up

void AnthemForm::SetupAnthemForm()
{
    OpenAnthemRecordset();
    FillVocalsCheckGrid(VocalsGrid, 0, 0);
    FillThemesCheckGrid(ThemesGrid, 0, 0);
    FillOrchestrationCheckGrid(OrchGrid, 0, 0);
    FillChoirCheckGrid(ChoirGrid, 0, 0, false);
    FillComposerCheckGrid(ComposersGrid, 0, 0);
    BuildCollectionCombo(false);
    CurLetterButton = 1;
    PrevLetterButton = 51;
    CurLetter = QStringLiteral("A");
    ShowFirstAnthem();
}

void AnthemForm::OpenAnthemRecordset()
{
    A_RS.load();
    A_Data.setCurAnthem(0);
}

void AnthemForm::ClearAnthemForm()
{
    clearFields(true);
}

void AnthemForm::clearFields(bool resetGrids)
{
    SSTab1->setCurrentIndex(0);
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
    for (QLineEdit *u : UText)
        u->clear();
    if (resetGrids) {
        for (CheckListGrid *g : {ThemesGrid, VocalsGrid, OrchGrid, ComposersGrid, ChoirGrid})
            ResetCheckGrid(g, 2);
    }
    CollectionCombo->setCurrentIndex(int(CollectionIds.size()) - 3);
}

void AnthemForm::setCollectionCheck(bool ticked)
{
    // The frame follows the box also when the program sets it.
    CollectionCheck->setChecked(ticked);
    CollectionFrame->setEnabled(ticked);
}

// ---------------------------------------------------------------- loading

void AnthemForm::A_Load_Data(qint32 CSName)
{
    if (AddingAnthem)
        return;
    BusyCursor busy;
    std::optional<AnthemRecord> record;
    for (int attempt = 0; attempt < 2 && !record; ++attempt) {
        if (A_RS.isEmpty())
            break;
        const int row = A_RS.rowOf(CSName);
        if (row >= 0)
            A_RS.setPosition(row);
        else if (!A_RS.onRecord())
            A_RS.moveFirst();
        record = AnthemData::load(A_RS.currentId());
        if (!record) {
            // Gone from the table behind the editor's back: read the list
            // again and show the first anthem instead.
            OpenAnthemRecordset();
            CSName = A_RS.currentId();
        }
    }
    clearFields(false);
    if (!record) {
        A_Data.setCurAnthem(0);
        for (CheckListGrid *g : {ThemesGrid, VocalsGrid, OrchGrid, ComposersGrid, ChoirGrid})
            ResetCheckGrid(g, 2);
        return;
    }
    const AnthemRecord &r = *record;
    AnthemName->setText(r.anthem);
    A_Data.setCurAnthem(r.id);
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
        UText[i]->setText(r.u[i]);

    if (r.collectionId <= 0) {
        setCollectionCheck(false);
    } else {
        selectCollection(r.collectionId);
        setCollectionCheck(true);
    }

    const qint32 id = A_Data.CurAnthem();
    FillThemesCheckGrid(ThemesGrid, -2, id);
    FillVocalsCheckGrid(VocalsGrid, -2, id);
    FillOrchestrationCheckGrid(OrchGrid, -2, id);
    FillChoirCheckGrid(ChoirGrid, -2, id, false);
    FillComposerCheckGrid(ComposersGrid, -2, id);
}

void AnthemForm::selectCollection(qint32 collectionId)
{
    const int n = int(CollectionIds.size()) - 3; // the blank item
    for (int i = 0; i < n; ++i) {
        if (CollectionIds.at(i) == collectionId) {
            CollectionCombo->setCurrentIndex(i);
            A_Data.setCurCollection(collectionId);
            return;
        }
    }
    CollectionCombo->setCurrentIndex(n);
}

// ---------------------------------------------------------------- saving

bool AnthemForm::readFields(AnthemRecord &r)
{
    auto refuse = [this](QWidget *field, const QString &message) {
        SSTab1->setCurrentIndex(0);
        MsgBox(message, QString(), MsgButtons::Ok, MsgIcon::Exclamation);
        field->setFocus();
        return false;
    };
    // A mistyped date is refused, never stored as no date.
    for (DateField *d : {DatePurchased, LastPerformed}) {
        if (!d->isEmpty() && !d->hasValidDate()) {
            SSTab1->setCurrentIndex(0);
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
        r.u[i] = UText[i]->text();
    r.datePurchased = DatePurchased->date();
    r.lastPerformed = LastPerformed->date();
    // The collection shown is the one stored; the blank item is none.
    const int item = CollectionCombo->currentIndex();
    const int blank = int(CollectionIds.size()) - 3;
    r.collectionId = CollectionCheck->isChecked() && item >= 0 && item < blank ? CollectionIds.at(item) : 0;
    return true;
}

bool AnthemForm::SaveAnthem()
{
    AnthemRecord r;
    if (!readFields(r))
        return false;

    AnthemLinks links;
    links.themes = ThemesGrid->checkedIds();
    links.vocals = VocalsGrid->checkedIds();
    links.composers = ComposersGrid->checkedIds();
    links.choirs = ChoirGrid->checkedIds();
    links.orchestration = OrchGrid->checkedIds();

    qint32 id = 0;
    const bool saved = guarded([&] {
        BusyCursor busy;
        id = AnthemData::save(r, links, AddingAnthem);
    });
    if (!saved)
        return false;
    AddingAnthem = false;
    m_listsStale = false;

    const bool shown = afterStored(QStringLiteral("The anthem has been saved"), [&] {
        BusyCursor busy;
        A_RS.rename(id, Fmt::cut(r.anthem, AnthemRecord::AnthemWidth));
        QString letter = LetterOfName(AnthemName->text());
        FillAnthemList(letter);
        MarkAnthemLetters();
        A_Data.setP_Button(qint16(PrevLetterButton));
        A_Data.setA_Button(qint16(CurLetterButton));
        A_Data.setSLetterW(LetterButtonForName(-1, AnthemName->text(), Toolbar2, A_Data));
        PrevLetterButton = A_Data.P_Button();
        CurLetterButton = A_Data.A_Button();
        CurLetter = A_Data.SLetterW();
        MoveLetterHighlight(CurLetterButton, PrevLetterButton, Toolbar2);
        A_Data.setCurAnthem(0);
        A_Load_Data(id);
        refreshNeighbours(false);
    });
    if (shown)
        MsgBox(QStringLiteral("The anthem has been saved."), QStringLiteral("Confirmation"), MsgButtons::Ok,
               MsgIcon::Information);
    return true;
}

void AnthemForm::refreshNeighbours(bool schedule)
{
    refreshCollectionAnthemsGrid(A_Data.CurCollection());
    if (schedule)
        refreshScheduleView();
}

// ---------------------------------------------------------------- navigation

void AnthemForm::ShowFirstAnthem()
{
    if (A_RS.isEmpty()) {
        m_nameModel->setItems({}, {});
        A_Data.setCurAnthem(0);
        ClearAnthemForm();
        DisableAllLetters(Toolbar2);
        SetToolbarEmptyMode(this);
        SSTab1->setEnabled(false);
        return;
    }
    MarkAnthemLetters();
    A_RS.moveFirst();
    A_Data.setP_Button(qint16(PrevLetterButton));
    A_Data.setA_Button(qint16(CurLetterButton));
    LetterButtonForName(1, A_RS.currentTitle(), Toolbar2, A_Data);
    PrevLetterButton = A_Data.P_Button();
    CurLetterButton = A_Data.A_Button();
    CurLetter = A_Data.SLetterW();
    QString letter = A_Data.SLetterW();
    FillAnthemList(letter);
    MoveLetterHighlight(CurLetterButton, PrevLetterButton, Toolbar2);
    A_Load_Data(A_RS.currentId());
    SetToolbarBrowseMode(this);
    SSTab1->setEnabled(true);
}

void AnthemForm::ShowCurrentAnthem()
{
    const QString title = A_RS.currentTitle();
    if (LetterOfName(title) != CurLetter) {
        A_Data.setP_Button(qint16(PrevLetterButton));
        A_Data.setA_Button(qint16(CurLetterButton));
        LetterButtonForName(1, title, Toolbar2, A_Data);
        PrevLetterButton = A_Data.P_Button();
        CurLetterButton = A_Data.A_Button();
        CurLetter = A_Data.SLetterW();
        QString letter = A_Data.SLetterW();
        FillAnthemList(letter);
        MoveLetterHighlight(CurLetterButton, PrevLetterButton, Toolbar2);
    }
    A_Load_Data(A_RS.currentId());
}

void AnthemForm::MarkAnthemLetters()
{
    DisableAllLetters(Toolbar2);
    for (int k = 0; k < 26; ++k)
        if (A_RS.hasLetter(k))
            LetterButtonForName(0, QString(QChar(u'A' + k)), Toolbar2, A_Data);
}

void AnthemForm::FillAnthemList(QString &letter)
{
    if (letter.size() != 1 || letter.at(0) < u'A' || letter.at(0) > u'Z')
        letter = QStringLiteral("A");
    const QVector<AnthemIndex::NameItem> items = A_RS.nameList(letter.at(0).unicode() - u'A');
    QStringList texts;
    QVector<qint32> ids;
    texts.reserve(items.size());
    ids.reserve(items.size());
    for (const AnthemIndex::NameItem &item : items) {
        texts.append(item.text);
        ids.append(item.firstId);
    }
    m_nameModel->setItems(std::move(texts), std::move(ids));
    List_Combo->setCurrentIndex(items.isEmpty() ? -1 : 0);
}

void AnthemForm::EnableLetterBar(bool flag)
{
    List_Combo->setEnabled(flag);
    Toolbar2->setEnabled(flag);
    update();
}

void AnthemForm::BuildCollectionCombo(bool reloadAnthem)
{
    const int blank = int(CollectionIds.size()) - 3;
    const int chosen = CollectionCombo->currentIndex();
    const qint32 keep = chosen >= 0 && chosen < blank ? CollectionIds.at(chosen) : 0;

    const QVector<CollectionItem> list = AnthemData::collections();
    QStringList names;
    names.reserve(list.size() + 1);
    CollectionIds.clear();
    CollectionIds.reserve(list.size() + 3);
    for (const CollectionItem &c : list) {
        names.append(c.name);
        CollectionIds.append(c.id);
    }
    names.append(kBlank);
    CollectionIds << 0 << 0 << 0;
    QVector<qint32> itemIds = CollectionIds.mid(0, list.size() + 1);
    m_collectionModel->setItems(std::move(names), std::move(itemIds));
    CollectionCombo->setEnabled(!list.isEmpty());
    const int n = int(list.size());
    const int at = keep ? m_collectionModel->rowOfId(keep) : -1;
    CollectionCombo->setCurrentIndex(at >= 0 && at < n ? at : n);
    if (list.isEmpty())
        return;
    if (reloadAnthem && A_RS.onRecord() && !AddingAnthem)
        A_Load_Data(A_Data.CurAnthem());
}

void AnthemForm::CollectionDeletionReset()
{
    if (AddingAnthem) {
        // What the user is typing stays; the lists follow the deletion now
        // and the letter bar and name list when the add ends.
        OpenAnthemRecordset();
        BuildCollectionCombo(false);
        m_listsStale = true;
        return;
    }
    OpenAnthemRecordset();
    BuildCollectionCombo(false);
    CurLetterButton = 1;
    PrevLetterButton = 51;
    ShowFirstAnthem();
    MoveLetterHighlight(CurLetterButton, PrevLetterButton, Toolbar2);
}

void AnthemForm::LoadFromCollectionForm(qint32 A_ID)
{
    if (AddingAnthem) {
        MsgBox(QStringLiteral("Please save or cancel the new anthem first."), QString(), MsgButtons::Ok,
               MsgIcon::Information);
        return;
    }
    int row = A_RS.rowOf(A_ID);
    if (row < 0) {
        // Not among the anthems read so far: read them again once.
        OpenAnthemRecordset();
        CurLetterButton = 1;
        PrevLetterButton = 51;
        ShowFirstAnthem();
        MoveLetterHighlight(CurLetterButton, PrevLetterButton, Toolbar2);
        row = A_RS.rowOf(A_ID);
        if (row < 0)
            return;
    }
    A_RS.setPosition(row);
    ShowCurrentAnthem();
}

// ---------------------------------------------------------------- handlers

void AnthemForm::toolbarClicked(int index)
{
    switch (index) {
    case 1: // Add
        EnableLetterBar(false);
        AddingAnthem = true;
        ClearAnthemForm();
        SetToolbarEditMode(this);
        SSTab1->setEnabled(true);
        AnthemName->setFocus();
        break;
    case 2: // Cancel
        AddingAnthem = false;
        guarded([this] {
            if (m_listsStale) {
                m_listsStale = false;
                CurLetterButton = 1;
                PrevLetterButton = 51;
                ShowFirstAnthem();
                MoveLetterHighlight(CurLetterButton, PrevLetterButton, Toolbar2);
            } else if (A_RS.onRecord()) {
                A_RS.moveFirst();
                ShowCurrentAnthem();
                SetToolbarBrowseMode(this);
            } else {
                ClearAnthemForm();
                SetToolbarEmptyMode(this);
                SSTab1->setEnabled(false);
            }
        });
        EnableLetterBar(true);
        break;
    case 3: // Save
        if (!ValidateNameText(AnthemName))
            return;
        if (!SaveAnthem())
            return;
        SetToolbarBrowseMode(this);
        EnableLetterBar(true);
        break;
    case 4: { // Delete
        if (MsgBox(QStringLiteral("Delete the this anthem??"), QStringLiteral("Delete Warning"), MsgButtons::YesNo,
                   MsgIcon::None)
            != MsgResult::Yes)
            return;
        BusyCursor busy;
        const qint32 gone = A_Data.CurAnthem();
        if (!guarded([gone] { DeleteAnthemCascade(gone); }))
            return;
        afterStored(QStringLiteral("The anthem has been deleted"), [&] {
            refreshNeighbours(true);
            A_RS.remove(gone);
            A_Data.setCurAnthem(0);
            CurLetterButton = 1;
            PrevLetterButton = 51;
            ShowFirstAnthem();
            MoveLetterHighlight(CurLetterButton, PrevLetterButton, Toolbar2);
        });
        break;
    }
    case 5:
        guarded([this] {
            A_RS.moveFirst();
            ShowCurrentAnthem();
        });
        break;
    case 6:
        guarded([this] {
            MoveRecordWrap(2, A_RS);
            ShowCurrentAnthem();
        });
        break;
    case 7:
        guarded([this] {
            MoveRecordWrap(1, A_RS);
            ShowCurrentAnthem();
        });
        break;
    case 8:
        guarded([this] {
            A_RS.moveLast();
            ShowCurrentAnthem();
        });
        break;
    default:
        break;
    }
}

void AnthemForm::letterClicked(int index)
{
    if (Toolbar2->buttonToolTip(index).startsWith(QLatin1Char('N')))
        return;
    guarded([&] {
        A_Data.setP_Button(qint16(PrevLetterButton));
        A_Data.setA_Button(qint16(CurLetterButton));
        SetLetterFromButton(index, A_Data);
        PrevLetterButton = A_Data.P_Button();
        CurLetterButton = A_Data.A_Button();
        CurLetter = A_Data.SLetterW();
        QString letter = A_Data.SLetterW();
        FillAnthemList(letter);
        MoveLetterHighlight(CurLetterButton, PrevLetterButton, Toolbar2);
        const int row = A_RS.firstRowOfLetter(letter.at(0).unicode() - u'A');
        if (row >= 0)
            A_Data.setCurAnthem(A_RS.idAt(row));
        A_Load_Data(A_Data.CurAnthem());
    });
}

void AnthemForm::listClicked(int item)
{
    if (item < 0)
        return;
    const qint32 id = m_nameModel->idAt(item);
    guarded([&] {
        if (id > 0 && A_RS.rowOf(id) >= 0)
            A_Data.setCurAnthem(id);
        A_Load_Data(A_Data.CurAnthem());
    });
}

void AnthemForm::collectionChosen(int item)
{
    if (CollectionCombo->currentText().trimmed().isEmpty())
        return;
    if (item >= 0 && item < CollectionIds.size())
        A_Data.setCurCollection(CollectionIds.at(item));
}

void registerAnthemEditor()
{
    Forms::registerForm(AnthemFormCode, [] { return new AnthemForm; });
}
