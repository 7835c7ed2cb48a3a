#include "MemberForm.h"

#include "AddressLookups.h"
#include "ChangeNotifier.h"
#include "CheckListGrid.h"
#include "DateField.h"
#include "Db.h"
#include "FieldServices.h"
#include "Fmt.h"
#include "Forms.h"
#include "Guard.h"
#include "MemberRecord.h"
#include "Module.h"
#include "NameLists.h"
#include "SpellCheck.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QTabWidget>
#include <cmath>
#include <limits>

namespace {

RecordEditorForm::Setup memberSetup()
{
    RecordEditorForm::Setup s;
    s.kind = RecordKind::Member;
    s.noun = QStringLiteral("member");
    s.plural = QStringLiteral("Members");
    s.listSql = MemberData::listQuery();
    s.runs = NameIndex::Runs::CaseBlind;
    s.order = NameIndex::Order::Keys;
    s.deletePrompt = QStringLiteral("Delete the this member??");
    s.savedMessage = QStringLiteral("The member has been saved.");
    s.scheduleCaller = ScheduleCaller::None;
    s.resetSortColumn = 2;
    return s;
}

// The grade list, as it has always been spelled.
const char *const kGrades[] = {" ",      "Pre School", "Kinderdarden", "First",  "Second",   "Third",
                               "Fourth", "Fifth",      "Sixth",        "Seventh", "Eighth",  "Nineth",
                               "Tenth",  "Eleventh",   "Twelfth",      "College"};

// A list the user may also type into (last name, city, zip code, school).
// What is typed stays as typed: no completer finishes "Spring" as
// "Springfield", and Enter neither adds the text to the list nor swaps it
// for an item that differs only in letter case. The width counts
// characters, as the save cuts them.
QComboBox *makeTypedList(const QString &name, int maxLength, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setModel(new QStringListModel(c));
    c->setEditable(true);
    c->setCompleter(nullptr);
    c->setInsertPolicy(QComboBox::NoInsert);
    configureLongList(c);
    c->setMinimumContentsLength(12);
    LimitTextWidth(c->lineEdit(), maxLength);
    return c;
}

// A list of fixed choices whose blank item " " stands for none.
QComboBox *makeChoiceList(const QString &name, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    return c;
}

// Chooses the item that reads as the text (letter case ignored); the
// blank item when none does.
void chooseText(QComboBox *list, const QString &text)
{
    int at = text.isEmpty() ? -1 : list->findText(text, Qt::MatchFixedString);
    if (at < 0)
        at = list->findText(QStringLiteral(" "), Qt::MatchExactly);
    list->setCurrentIndex(at);
}

// New values for a typed list; what the list shows stays (a refill would
// otherwise show its first item).
void setListValues(QComboBox *list, const QStringList &values)
{
    const QString shown = list->currentText();
    static_cast<QStringListModel *>(list->model())->setStringList(values);
    list->setCurrentIndex(-1);
    list->setEditText(shown);
}

void clearTypedList(QComboBox *list)
{
    list->setCurrentIndex(-1);
    list->setEditText(QString());
}

} // namespace

MemberForm::MemberForm() : RecordEditorForm(&hx().MemberFormLoaded, memberSetup()), M_Data(hxData())
{
    setObjectName(QStringLiteral("MemberForm"));
    setWindowTitle(QStringLiteral("Member Manager"));
    tabs()->addTab(buildMainPage(), QStringLiteral("Main"));
    tabs()->addTab(buildPage2(), QStringLiteral("Page 2"));
    Memo1 = addMemoPage(QStringLiteral("Memo1"), QStringLiteral("Notes"));
    // Marked and saved in the order the editor has always written them.
    registerCheckGrid(CheckGridKind::Sections, VocalsGrid);
    registerCheckGrid(CheckGridKind::Choirs, ChoirGrid, true);
    registerCheckGrid(CheckGridKind::Orchestration, OrchGrid);
    connectHandlers();
    fillFixedLists();
    SetupMemberEditor();
}

MemberForm::~MemberForm() = default;

QWidget *MemberForm::buildMainPage()
{
    auto *page = new QWidget;
    auto *g = new QGridLayout(page);

    LName = makeTypedList(QStringLiteral("LName"), MemberRecord::NameWidth, page);
    FName = makeTextField(QStringLiteral("FName"), MemberRecord::NameWidth, page);
    MName = makeTextField(QStringLiteral("MName"), MemberRecord::NameWidth, page);
    Street1 = makeTextField(QStringLiteral("Street1"), MemberRecord::StreetWidth, page);
    Street2 = makeTextField(QStringLiteral("Street2"), MemberRecord::StreetWidth, page);
    Street2->setAccessibleName(QStringLiteral("Address, second line"));
    City = makeTypedList(QStringLiteral("City"), 50, page);
    State = makeChoiceList(QStringLiteral("State"), page);
    Zip = makeTypedList(QStringLiteral("Zip"), 10, page);
    HPhone = makeTextField(QStringLiteral("HPhone"), MemberRecord::PhoneWidth, page);
    CPhone = makeTextField(QStringLiteral("CPhone"), MemberRecord::PhoneWidth, page);
    FPhone = makeTextField(QStringLiteral("FPhone"), MemberRecord::PhoneWidth, page);
    Email = makeTextField(QStringLiteral("Email"), MemberRecord::EmailWidth, page);
    Email->setToolTip(QStringLiteral("Double-click to write to this address"));
    Sex = makeChoiceList(QStringLiteral("Sex"), page);
    Age = makeTextField(QStringLiteral("Age"), 0, page);
    Parent = makeTextField(QStringLiteral("Parent"), MemberRecord::ParentWidth, page);
    // Made in the order they are laid out, which is the order Tab follows:
    // each date, then its ClearDate button.
    Birthday = makeDateField(QStringLiteral("Birthday"), page);
    btnClearDate1 = makeClearDateButton(QStringLiteral("btnClearDate1"), Birthday, page);
    btnClearDate1->setAccessibleName(QStringLiteral("Clear the Birthday"));
    Aniversary = makeDateField(QStringLiteral("Aniversary"), page);
    btnClearDate0 = makeClearDateButton(QStringLiteral("btnClearDate0"), Aniversary, page);
    btnClearDate0->setAccessibleName(QStringLiteral("Clear the Member Since date"));

    // Three pairs of caption and field per row.
    g->addWidget(makeCaption(QStringLiteral("Last name"), LName, page), 0, 0);
    g->addWidget(LName, 0, 1);
    g->addWidget(makeCaption(QStringLiteral("First name"), FName, page), 0, 2);
    g->addWidget(FName, 0, 3);
    g->addWidget(makeCaption(QStringLiteral("Middle name"), MName, page), 0, 4);
    g->addWidget(MName, 0, 5);
    g->addWidget(makeCaption(QStringLiteral("Address"), Street1, page), 1, 0);
    g->addWidget(Street1, 1, 1, 1, 5);
    g->addWidget(Street2, 2, 1, 1, 5);
    g->addWidget(makeCaption(QStringLiteral("City"), City, page), 3, 0);
    g->addWidget(City, 3, 1);
    g->addWidget(makeCaption(QStringLiteral("State"), State, page), 3, 2);
    g->addWidget(State, 3, 3);
    g->addWidget(makeCaption(QStringLiteral("ZipCode"), Zip, page), 3, 4);
    g->addWidget(Zip, 3, 5);
    g->addWidget(makeCaption(QStringLiteral("Home Phone"), HPhone, page), 4, 0);
    g->addWidget(HPhone, 4, 1);
    g->addWidget(makeCaption(QStringLiteral("Cell Phone"), CPhone, page), 4, 2);
    g->addWidget(CPhone, 4, 3);
    g->addWidget(makeCaption(QStringLiteral("Work Phone"), FPhone, page), 4, 4);
    g->addWidget(FPhone, 4, 5);
    g->addWidget(makeCaption(QStringLiteral("Email"), Email, page), 5, 0);
    g->addWidget(Email, 5, 1, 1, 5);
    g->addWidget(makeCaption(QStringLiteral("Sex"), Sex, page), 6, 0);
    g->addWidget(Sex, 6, 1);
    g->addWidget(makeCaption(QStringLiteral("Age"), Age, page), 6, 2);
    g->addWidget(Age, 6, 3);
    g->addWidget(makeCaption(QStringLiteral("Parent, Guardian, or Spouse"), Parent, page), 7, 0, 1, 2);
    g->addWidget(Parent, 7, 2, 1, 4);
    g->addWidget(makeCaption(QStringLiteral("Birthday"), Birthday, page), 8, 0);
    auto *birthday = new QHBoxLayout;
    birthday->addWidget(Birthday, 1);
    birthday->addWidget(btnClearDate1);
    g->addLayout(birthday, 8, 1, 1, 2);
    g->addWidget(makeCaption(QStringLiteral("Member Since"), Aniversary, page), 8, 3);
    auto *since = new QHBoxLayout;
    since->addWidget(Aniversary, 1);
    since->addWidget(btnClearDate0);
    g->addLayout(since, 8, 4, 1, 2);

    ChoirGrid = makeCheckGrid(QStringLiteral("ChoirGrid"), QStringLiteral("Choirs"), page);
    VocalsGrid = makeCheckGrid(QStringLiteral("VocalsGrid"), QStringLiteral("Sections"), page);
    g->addWidget(ChoirGrid, 9, 0, 1, 3);
    g->addWidget(VocalsGrid, 9, 3, 1, 3);
    g->setRowStretch(9, 1);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    g->setColumnStretch(5, 1);
    return page;
}

QWidget *MemberForm::buildPage2()
{
    auto *page = new QWidget;
    auto *g = new QGridLayout(page);
    OrchGrid = makeCheckGrid(QStringLiteral("OrchGrid"), QStringLiteral("Instruments"), page);
    GradeCombo = makeChoiceList(QStringLiteral("GradeCombo"), page);
    txtSchool = makeTypedList(QStringLiteral("txtSchool"), 100, page);
    QWidget *myData = buildMyDataPage();
    myData->layout()->setContentsMargins(0, 0, 0, 0);
    g->addWidget(myData, 0, 0, 1, 2);
    g->addWidget(OrchGrid, 0, 2, 4, 1);
    g->addWidget(makeCaption(QStringLiteral("Grade"), GradeCombo, page), 1, 0);
    g->addWidget(GradeCombo, 1, 1);
    g->addWidget(makeCaption(QStringLiteral("School"), txtSchool, page), 2, 0);
    g->addWidget(txtSchool, 2, 1);
    g->setRowStretch(3, 1);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(2, 1);
    return page;
}

void MemberForm::connectHandlers()
{
    Email->installEventFilter(this);
    for (QWidget *w : std::initializer_list<QWidget *>{LName, City, Zip, FName, MName, Street1, Street2, HPhone, CPhone,
                                                       FPhone, Email, Parent, Age})
        InstallSelectAllOnFocus(w);
    installSpellCheckKey(Memo1);
}

void MemberForm::fillFixedLists()
{
    Sex->addItems({QStringLiteral("Male"), QStringLiteral("Female"), QStringLiteral(" ")});
    for (const char *grade : kGrades)
        GradeCombo->addItem(QLatin1String(grade));
    FillStateCombo(State);
}

bool MemberForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Email && event->type() == QEvent::MouseButtonDblClick)
        mailTo();
    return RecordEditorForm::eventFilter(watched, event);
}

void MemberForm::mailTo()
{
    // The desktop's mail program gets the address as typed.
    if (!Email->text().isEmpty())
        ShellOpenDocument(QStringLiteral("mailto: ") + Email->text());
}

QLineEdit *MemberForm::nameField() const
{
    return LName->lineEdit();
}

// ---------------------------------------------------------------- lists

void MemberForm::FillMemberCombos()
{
    const MemberComboValues v = MemberData::comboValues();
    setListValues(City, v.cities);
    setListValues(Zip, v.zips);
    setListValues(txtSchool, v.schools);
    setListValues(LName, v.lastNames);
}

// ---------------------------------------------------------------- loading

void MemberForm::clearRecordFields()
{
    // While a new member is typed no member is shown: the reference lists'
    // refreshes and the member viewer must not take the one shown before
    // for it.
    if (isAdding())
        M_Data.setCurMember(0);
    tabs()->setCurrentIndex(0);
    for (QComboBox *list : {LName, City, Zip, txtSchool})
        clearTypedList(list);
    for (QLineEdit *e : {FName, MName, Street1, Street2, HPhone, CPhone, FPhone, Parent, Age, Email})
        e->clear();
    clearUserFields();
    Memo1->clear();
    Aniversary->clear();
    Birthday->clear();
    chooseText(State, QString());
    chooseText(Sex, QString());
    chooseText(GradeCombo, QString());
}

bool MemberForm::showRecordFields(qint32 id)
{
    const std::optional<MemberRecord> record = MemberData::load(id);
    if (!record)
        return false;
    clearRecordFields();
    const MemberRecord &r = *record;
    LName->setEditText(r.lastName);
    FName->setText(r.firstName);
    MName->setText(r.middleName);
    Aniversary->setDate(r.aniversary);
    Birthday->setDate(r.birthday);
    showUserFields(r.u);
    Street1->setText(r.street1);
    Street2->setText(r.street2);
    City->setEditText(r.city);
    Zip->setEditText(r.zip);
    txtSchool->setEditText(r.school);
    // A stored state or grade the list lacks leaves the blank item.
    chooseText(State, r.state);
    chooseText(GradeCombo, r.grade);
    HPhone->setText(r.homePhone);
    CPhone->setText(r.cellPhone);
    FPhone->setText(r.workPhone);
    chooseText(Sex, MemberRecord::sexText(r.sex));
    Parent->setText(r.parent);
    Age->setText(r.age);
    Memo1->setPlainText(r.memo);
    Email->setText(r.email);
    return true;
}

// ---------------------------------------------------------------- saving

bool MemberForm::readFields(MemberRecord &r)
{
    if (!acceptDates({Birthday, Aniversary}))
        return false;
    // An age that is not a number would be dropped without a word.
    const QString age = Age->text().trimmed();
    if (!age.isEmpty()) {
        const std::optional<double> v = Fmt::parseNumber(age);
        if (!v || !std::isfinite(*v) || std::fabs(*v) > double(std::numeric_limits<qint32>::max()))
            return refuseInput(Age, QStringLiteral("\"%1\" is not an age.\nPlease type the age as a number, such as "
                                                   "12, or leave the field empty.")
                                        .arg(age));
    }

    r.id = isAdding() ? 0 : M_Data.CurMember();
    r.lastName = LName->currentText();
    r.firstName = FName->text();
    r.middleName = MName->text();
    r.street1 = Street1->text();
    r.street2 = Street2->text();
    r.city = City->currentText();
    r.state = State->currentText();
    r.zip = Zip->currentText();
    r.homePhone = HPhone->text();
    r.cellPhone = CPhone->text();
    r.workPhone = FPhone->text();
    r.school = txtSchool->currentText();
    r.grade = GradeCombo->currentText();
    r.age = Age->text();
    r.sex = MemberRecord::sexCode(Sex->currentText());
    r.parent = Parent->text();
    r.email = Email->text();
    r.memo = Memo1->toPlainText();
    readUserFields(r.u);
    r.birthday = Birthday->date();
    r.aniversary = Aniversary->date();
    return true;
}

std::optional<RecordEditorForm::Saved> MemberForm::saveRecordFields(bool adding)
{
    // Everything is read before anything is written or refilled.
    MemberRecord r;
    if (!readFields(r))
        return std::nullopt;
    const QList<LinkChoice> links = checkedLinks();
    qint32 id = 0;
    if (!writeGuarded([&] { id = MemberData::save(r, links, adding); }))
        return std::nullopt;
    return Saved{id, MemberData::storedListEntry(r)};
}

void MemberForm::recordSaved(qint32 id, bool added)
{
    Q_UNUSED(added)
    Notify::memberStored(id);
    // The new last name, city, zip code or school joins its list.
    FillMemberCombos();
}

void MemberForm::deleteRecordData(qint32 id)
{
    DeleteMember(id);
}

void MemberForm::recordDeleted(qint32 id)
{
    Notify::memberDeleted(id);
    FillMemberCombos();
}

void registerMemberEditor()
{
    Forms::registerForm(MemberFormCode, [] { return new MemberForm; });
}
