// The member editor's window, fields, look-ups and save, driven through
// its controls: what is typed is what is stored, new cities, zip codes and
// schools are learnt once whatever their letter case, links carry their
// Active flag, and a save that fails keeps everything on screen.
#include "MemberEditorTestUtil.h"

#include "FieldServices.h"
#include "MemberRegistration.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QSqlRecord>

#include "ChangeNotifier.h"

using namespace memberui;
using membertest::count;
using membertest::insert;

namespace {

QString caption(QWidget *f, const QString &field)
{
    for (QLabel *l : f->findChildren<QLabel *>())
        if (l->buddy() && l->buddy()->objectName() == field)
            return l->text();
    return QString();
}

QVariantList memberRow(qint32 id, const QString &columns)
{
    QSqlQuery q = Db::query("select " + columns + " from member where memberid = ?", {id});
    QVariantList out;
    if (q.next())
        for (int i = 0; i < q.record().count(); ++i)
            out << (q.value(i).isNull() ? QVariant() : q.value(i)); // Null as QVariant()
    return out;
}

} // namespace

class TestMemberForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerMemberReport(); }
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
    }
    void cleanup()
    {
        close(Forms::instance(MemberFormCode));
        QVERIFY(!hx().MemberFormLoaded);
        setShellOpener(nullptr);
        m_prompter.reset();
        m_folder.reset();
    }

    void theWindowItsControlsAndTexts()
    {
        MemberForm *f = open();
        QVERIFY(f);
        QVERIFY(hx().MemberFormLoaded);
        QCOMPARE(f->windowTitle(), QString("Member Manager"));
        QStringList pages;
        for (int i = 0; i < tabs(f)->count(); ++i)
            pages << tabs(f)->tabText(i);
        QCOMPARE(pages, QStringList({"Main", "Page 2", "Notes"}));
        for (const char *name : {"LName", "City", "Zip", "txtSchool", "State", "Sex", "GradeCombo"})
            QVERIFY2(list(f, name), name);
        for (const char *name : {"FName", "MName", "Street1", "Street2", "HPhone", "CPhone", "FPhone", "Email", "Age",
                                 "Parent", "UText1", "UText5"})
            QVERIFY2(edit(f, name), name);
        QVERIFY(date(f, "Birthday") && date(f, "Aniversary"));
        QVERIFY(w<QPushButton>(f, "btnClearDate0") && w<QPushButton>(f, "btnClearDate1"));
        QVERIFY(w<QPlainTextEdit>(f, "Memo1"));
        QCOMPARE(caption(f, "Zip"), QString("ZipCode"));
        QCOMPARE(caption(f, "Parent"), QString("Parent, Guardian, or Spouse"));
        QCOMPARE(caption(f, "Aniversary"), QString("Member Since"));
        QCOMPARE(caption(f, "LName"), QString("Last name"));
        QCOMPARE(caption(f, "FPhone"), QString("Work Phone"));
        QCOMPARE(caption(f, "txtSchool"), QString("School"));
        QCOMPARE(w<QLabel>(f, "ULabel1")->text(), QString("My Field 1"));

        QCOMPARE(items(list(f, "Sex")), QStringList({"Male", "Female", " "}));
        QCOMPARE(items(list(f, "GradeCombo")),
                 QStringList({" ", "Pre School", "Kinderdarden", "First", "Second", "Third", "Fourth", "Fifth", "Sixth",
                              "Seventh", "Eighth", "Nineth", "Tenth", "Eleventh", "Twelfth", "College"}));
        const QStringList states = items(list(f, "State"));
        QVERIFY(states.contains("IL"));
        QCOMPARE(states.last(), QString(" "));
        for (const char *name : {"Sex", "GradeCombo", "State"})
            QVERIFY(!list(f, name)->isEditable());
        for (const char *name : {"LName", "City", "Zip", "txtSchool"}) {
            QVERIFY(list(f, name)->isEditable());
            QVERIFY2(!list(f, name)->completer(), name);
        }

        // Empty: Add alone, the pages disabled, every letter disabled.
        QCOMPARE(visibleButtons(f), QList<int>({Add}));
        QVERIFY(!toolbar(f)->button(10)); // no schedule button
        QCOMPARE(toolbar(f)->button(Add)->toolTip(), QString("Add new member"));
        QCOMPARE(toolbar(f)->button(Next)->toolTip(), QString("Move to next member"));
        QVERIFY(!tabs(f)->isEnabled());
        QCOMPARE(letterLook(f, 'C'), 2);
        QCOMPARE(letters(f)->buttonToolTip(9), QString("No Data for C"));
        QCOMPARE(letters(f)->buttonToolTip(12), QString("No data for D"));
        QCOMPARE(letters(f)->buttonToolTip(1), QString("Members beginning with A"));
        QCOMPARE(letters(f)->buttonToolTip(2), QString("Members beginning with A"));

        // The grids: sections, choirs with their Active column, instruments.
        QCOMPARE(grid(f, "VocalsGrid")->header(1), QString("Section"));
        QCOMPARE(grid(f, "ChoirGrid")->header(1), QString("Choirs"));
        QCOMPARE(grid(f, "ChoirGrid")->header(3), QString("Active"));
        QCOMPARE(grid(f, "OrchGrid")->header(1), QString("Orchestration"));
    }

    void everyFieldRoundTrips()
    {
        m_lib.create();
        insert("insert into zip (Zip) values ('62702')");
        MemberForm *f = open();
        QApplication::setActiveWindow(f); // keys go to the focused field
        QSignalSpy stored(&ChangeNotifier::instance(), &ChangeNotifier::memberStored);
        press(f, Add);
        QVERIFY(tabs(f)->isEnabled());
        QCOMPARE(f->M_Data.CurMember(), 0); // nobody is shown while adding
        type(list(f, "LName"), "Carver");
        type(edit(f, "FName"), "George");
        type(edit(f, "MName"), "Washington Irving Junior"); // 20 characters kept
        type(edit(f, "Street1"), "1 Main St");
        type(edit(f, "Street2"), "Box 9");
        type(list(f, "City"), "Spring"); // "Springfield" is known: nothing completes it
        choose(list(f, "State"), "IL");
        type(list(f, "Zip"), "6270"); // nor "62701"
        type(edit(f, "HPhone"), "555-0199");
        type(edit(f, "CPhone"), "555-0198");
        type(edit(f, "FPhone"), "555-0197");
        type(edit(f, "Email"), "gw@example.org");
        choose(list(f, "Sex"), "Male");
        type(edit(f, "Age"), "12");
        type(edit(f, "Parent"), "Mary Carver");
        typeDate(date(f, "Birthday"), "7/4/1990");
        typeDate(date(f, "Aniversary"), "09/01/2010");
        w<QPlainTextEdit>(f, "Memo1")->setPlainText("Bass, reads well.");
        for (int i = 1; i <= 5; ++i)
            type(edit(f, QStringLiteral("UText%1").arg(i)), QStringLiteral("value %1").arg(i));
        choose(list(f, "GradeCombo"), "Kinderdarden");
        type(list(f, "txtSchool"), "st. mary's"); // known in another case
        clickGridRow(f, grid(f, "ChoirGrid"), "Chancel");
        clickGridRow(f, grid(f, "ChoirGrid"), "Chancel", 3); // active
        clickGridRow(f, grid(f, "ChoirGrid"), "Youth");      // not active
        clickGridRow(f, grid(f, "ChoirGrid"), "Bells", 3);   // active, but not ticked: not a choir of his
        clickGridRow(f, grid(f, "VocalsGrid"), "Tenor");
        clickGridRow(f, grid(f, "OrchGrid"), "Piano");
        press(f, Save);
        QCOMPARE(m_prompter->lastMessage(), QString("The member has been saved."));
        QCOMPARE(m_prompter->messages.last().title, QString("Confirmation"));
        QVERIFY(!f->isAdding());

        const qint32 id = f->M_Data.CurMember();
        QVERIFY(id > m_lib.baker);
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.at(0).at(0).toInt(), id);
        const qint32 spring = count("select CityID from city where City = 'Spring'");
        const qint32 zip = count("select ZipID from zip where Zip = '6270'");
        QVERIFY(spring > m_lib.coeur && zip > 0);
        QCOMPARE(memberRow(id, "LName, FName, MName, Street1, Street2, State, CityID, ZipID, HPhone, CPhone, FPhone,"
                               " SchoolID, grade, Age, Sex, Parent, Email, Memo1, u1, u5, Birthday, Aniversary"),
                 (QVariantList{"Carver", "George", "Washington Irving Ju", "1 Main St", "Box 9", "IL", spring, zip,
                               "555-0199", "555-0198", "555-0197", m_lib.stMarys, "Kinderdarden", 12, 1,
                               "Mary Carver", "gw@example.org", "Bass, reads well.", "value 1", "value 5",
                               "1990-07-04", "2010-09-01"}));
        QCOMPARE(count("select count(*) from school"), 2); // St. Mary's reused
        QCOMPARE(choirLinks(id), QStringList({"Chancel:-1", "Youth:0"}));
        QCOMPARE(column("select vocalsmid from m_vm_l where memberid = ?", {id}),
                 QStringList({QString::number(m_lib.tenor)}));
        QCOMPARE(column("select orchid from m_orch_l where memberid = ?", {id}),
                 QStringList({QString::number(m_lib.piano)}));

        // Away and back: everything shows as stored, on the page "Main".
        clickLetter(f, 'A');
        QCOMPARE(edit(f, "FName")->text(), QString("Grace"));
        QCOMPARE(list(f, "City")->currentText(), QString("Springfield"));
        QCOMPARE(list(f, "Sex")->currentText(), QString("Female"));
        QCOMPARE(list(f, "GradeCombo")->currentText(), QString("Tenth"));
        QCOMPARE(ticked(grid(f, "ChoirGrid")), QStringList({"Chancel", "Youth"}));
        QCOMPARE(ticked(grid(f, "ChoirGrid"), 3), QStringList({"Chancel"}));
        tabs(f)->setCurrentIndex(2);
        clickLetter(f, 'C');
        QCOMPARE(tabs(f)->currentIndex(), 0);
        QCOMPARE(lastName(f), QString("Carver"));
        QCOMPARE(edit(f, "MName")->text(), QString("Washington Irving Ju"));
        QCOMPARE(edit(f, "Street2")->text(), QString("Box 9"));
        QCOMPARE(list(f, "City")->currentText(), QString("Spring"));
        QCOMPARE(list(f, "State")->currentText(), QString("IL"));
        QCOMPARE(list(f, "Zip")->currentText(), QString("6270"));
        QCOMPARE(list(f, "txtSchool")->currentText(), QString("St. Mary's"));
        QCOMPARE(list(f, "GradeCombo")->currentText(), QString("Kinderdarden"));
        QCOMPARE(list(f, "Sex")->currentText(), QString("Male"));
        QCOMPARE(edit(f, "Age")->text(), QString("12"));
        QCOMPARE(edit(f, "Email")->text(), QString("gw@example.org"));
        QCOMPARE(date(f, "Birthday")->text(), QString("07/04/1990"));
        QCOMPARE(date(f, "Aniversary")->text(), QString("09/01/2010"));
        QCOMPARE(w<QPlainTextEdit>(f, "Memo1")->toPlainText(), QString("Bass, reads well."));
        QCOMPARE(edit(f, "UText3")->text(), QString("value 3"));
        QCOMPARE(ticked(grid(f, "ChoirGrid")), QStringList({"Chancel", "Youth"}));
        QCOMPARE(ticked(grid(f, "ChoirGrid"), 3), QStringList({"Chancel"}));
        QCOMPARE(ticked(grid(f, "VocalsGrid")), QStringList({"Tenor"}));
        QCOMPARE(ticked(grid(f, "OrchGrid")), QStringList({"Piano"}));
        QCOMPARE(grid(f, "VocalsGrid")->nameAt(1), QString("Tenor")); // linked rows first

        // Emptied: the age stays as stored, the dates and choices become none,
        // the blank city stores 0 and learns nothing; clearing the dates
        // stores nothing until the save.
        type(edit(f, "Age"), "");
        w<QPushButton>(f, "btnClearDate0")->click();
        QVERIFY(date(f, "Aniversary")->isEmpty());
        QCOMPARE(date(f, "Birthday")->text(), QString("07/04/1990"));
        QCOMPARE(memberRow(id, "Aniversary"), QVariantList({"2010-09-01"}));
        w<QPushButton>(f, "btnClearDate1")->click();
        QVERIFY(date(f, "Birthday")->isEmpty());
        type(list(f, "City"), "   ");
        choose(list(f, "Sex"), " ");
        choose(list(f, "GradeCombo"), " ");
        choose(list(f, "State"), " ");
        clickGridRow(f, grid(f, "ChoirGrid"), "Chancel", 3); // no longer active
        const int cities = count("select count(*) from city");
        press(f, Save);
        QCOMPARE(memberRow(id, "Age, Sex, grade, State, CityID, Birthday, Aniversary"),
                 (QVariantList{12, 0, "", "", 0, QVariant(), QVariant()}));
        QCOMPARE(count("select count(*) from city"), cities);
        QCOMPARE(choirLinks(id), QStringList({"Chancel:0", "Youth:0"}));
        QCOMPARE(list(f, "Sex")->currentText(), QString(" "));
    }

    void newLookupValuesAreLearntOnceAndListedOnce()
    {
        m_lib.create();
        MemberForm *f = open();
        QCOMPARE(items(list(f, "City")), QStringList({"Coeur d'Alene", "Springfield"}));
        QCOMPARE(items(list(f, "LName")), QStringList({"Adams", "baker", "O'Brien", "Zimmer"}));

        const auto addMemberWith = [&](const QString &last, const QString &city, const QString &zip,
                                       const QString &school) {
            press(f, Add);
            type(list(f, "LName"), last);
            type(list(f, "City"), city);
            type(list(f, "Zip"), zip);
            type(list(f, "txtSchool"), school);
            press(f, Save);
            return f->M_Data.CurMember();
        };
        const qint32 a = addMemberWith("O'Hara", "Coeur d'Alene", "83814", "Central High");
        const qint32 b = addMemberWith("o'hara", "COEUR D'ALENE", "83814", "CENTRAL HIGH");
        const qint32 c = addMemberWith("Diaz", "Boise ", "83702", "Boise High");
        QCOMPARE(memberRow(a, "CityID"), QVariantList({m_lib.coeur}));
        QCOMPARE(memberRow(b, "CityID, ZipID, SchoolID"), memberRow(a, "CityID, ZipID, SchoolID"));
        QCOMPARE(column("select City from city order by CityID"),
                 QStringList({"Springfield", "Coeur d'Alene", "Boise "})); // stored untrimmed
        QCOMPARE(count("select count(*) from zip where Zip = '83814'"), 1);
        QCOMPARE(count("select count(*) from school where School = 'Central High'"), 1);
        QVERIFY(c > b);

        // Each list holds every value once, whatever its letter case, and
        // shows what the member shown has.
        QCOMPARE(items(list(f, "LName")), QStringList({"Adams", "baker", "Diaz", "O'Brien", "O'Hara", "Zimmer"}));
        QCOMPARE(items(list(f, "City")), QStringList({"Boise ", "Coeur d'Alene", "Springfield"}));
        QCOMPARE(items(list(f, "Zip")), QStringList({"62701", "83702", "83814"}));
        QCOMPARE(items(list(f, "txtSchool")), QStringList({"Boise High", "Central High", "Lincoln High", "St. Mary's"}));
        QCOMPARE(lastName(f), QString("Diaz"));
        QCOMPARE(list(f, "City")->currentText(), QString("Boise "));

        // Texts longer than their columns are cut as stored and looked up cut.
        press(f, Add);
        type(list(f, "LName"), "Long");
        list(f, "City")->setEditText(QString(60, 'c'));
        list(f, "Zip")->setEditText("12345-6789-0");
        press(f, Save);
        QCOMPARE(column("select City from city where length(City) = 50"), QStringList({QString(50, 'c')}));
        QCOMPARE(column("select Zip from zip where Zip like '12345%'"), QStringList({"12345-6789"}));
    }

    void typedTextIsNeverCompleted()
    {
        m_lib.create();
        insert("insert into member (LName, FName) values ('Smith', 'Ann')");
        MemberForm *f = open();
        QApplication::setActiveWindow(f); // keys go to the focused field
        press(f, Add);
        QComboBox *last = list(f, "LName");
        type(last, "smi");
        QVERIFY(last->hasFocus());
        QTest::keyClick(last, Qt::Key_Tab);
        QCOMPARE(last->currentText(), QString("smi"));
        type(last, "smith");
        QTest::keyClick(last->lineEdit(), Qt::Key_Return);
        QCOMPARE(last->currentText(), QString("smith")); // not swapped for "Smith"
        QCOMPARE(last->count(), 5);                      // nor added to the list
        type(list(f, "City"), "Spring");
        QTest::keyClick(list(f, "City")->lineEdit(), Qt::Key_Return);
        QCOMPARE(list(f, "City")->currentText(), QString("Spring"));
        type(list(f, "txtSchool"), "Linc");
        QCOMPARE(list(f, "txtSchool")->currentText(), QString("Linc"));
        type(last, "Smithson");
        press(f, Save);
        const qint32 id = f->M_Data.CurMember();
        QCOMPARE(memberRow(id, "LName"), QVariantList({"Smithson"}));
        QCOMPARE(Db::scalar("select City from city where CityID = (select CityID from member where memberid = ?)", {id})
                     .toString(),
                 QString("Spring"));
        // The list refilled after the save still shows the name saved.
        QCOMPARE(lastName(f), QString("Smithson"));
    }

    void quotesAndBracesInNames()
    {
        m_lib.create();
        MemberForm *f = open();
        press(f, Add);
        type(list(f, "LName"), "{D'Arcy}");
        type(edit(f, "FName"), "Ann");
        type(list(f, "City"), "Coeur d'Alene");
        type(list(f, "txtSchool"), "St. Mary's");
        press(f, Save);
        // The braces became blanks with a notice; the name is saved trimmed.
        QVERIFY(m_prompter->messages.at(m_prompter->messages.size() - 2).text.startsWith("The characters: { }"));
        const qint32 id = f->M_Data.CurMember();
        QCOMPARE(memberRow(id, "LName, CityID, SchoolID"), (QVariantList{"D'Arcy", m_lib.coeur, m_lib.stMarys}));
        QCOMPARE(items(nameList(f)), QStringList({"D'Arcy, Ann "}));

        // An empty last name is refused; nothing is saved.
        type(list(f, "LName"), "   ");
        press(f, Save);
        QCOMPARE(m_prompter->lastMessage(), QString("The system requires that a name be entered."));
        QCOMPARE(memberRow(id, "LName"), QVariantList({"D'Arcy"}));
    }

    void theLastNameListSelectsItsTextOnFocus()
    {
        addMember("Adams", "Grace");
        MemberForm *f = open();
        QApplication::setActiveWindow(f);
        f->activateWindow();
        edit(f, "FName")->setFocus();
        QTRY_VERIFY(edit(f, "FName")->hasFocus());
        // Clicked into, as on a line edit: the whole text is selected.
        QComboBox *last = list(f, "LName");
        last->lineEdit()->deselect();
        QTest::mouseClick(last->lineEdit(), Qt::LeftButton, {}, QPoint(2, 2));
        QTRY_COMPARE(last->lineEdit()->selectedText(), QString("Adams"));
        QTest::mouseClick(edit(f, "FName"), Qt::LeftButton, {}, QPoint(2, 2));
        QTRY_COMPARE(edit(f, "FName")->selectedText(), QString("Grace"));
        QVERIFY(last->lineEdit()->selectedText().isEmpty());
        QTest::mouseClick(last->lineEdit(), Qt::LeftButton, {}, QPoint(2, 2));
        QTRY_COMPARE(last->lineEdit()->selectedText(), QString("Adams"));
    }

    void badAgeOrDateIsRefusedAndKept()
    {
        const qint32 id = addMember("Adams", "Grace");
        Db::exec("update member set Age = 30 where memberid = ?", {id});
        MemberForm *f = open();
        type(edit(f, "Street1"), "9 Oak St");
        type(edit(f, "Age"), "thirty");
        press(f, Save);
        QVERIFY(m_prompter->lastMessage().startsWith("\"thirty\" is not an age."));
        QCOMPARE(edit(f, "Age")->text(), QString("thirty"));
        QCOMPARE(memberRow(id, "Age, Street1"), (QVariantList{30, QVariant()}));

        type(edit(f, "Age"), "31");
        typeDate(date(f, "Birthday"), "2/30/1990");
        press(f, Save);
        QVERIFY(m_prompter->lastMessage().contains("is not a date"));
        QCOMPARE(memberRow(id, "Age"), QVariantList({30}));

        typeDate(date(f, "Birthday"), "2/28/1990");
        press(f, Save);
        QCOMPARE(memberRow(id, "Age, Street1, Birthday"), (QVariantList{31, "9 Oak St", "1990-02-28"}));
    }

    void aFailedSaveKeepsTheAddAndWhatWasTyped()
    {
        m_lib.create();
        MemberForm *f = open();
        const QString shownBefore = lastName(f);
        press(f, Add);
        type(list(f, "LName"), "Newman");
        type(list(f, "City"), "Gotham");
        clickGridRow(f, grid(f, "ChoirGrid"), "Youth");
        Db::exec("create trigger no_links before insert on chr_m_l begin select raise(abort, 'disk full'); end");
        press(f, Save);
        QVERIFY(m_prompter->lastMessage().contains("disk full"));
        // Nothing of it was written: no member, no city learnt.
        QCOMPARE(count("select count(*) from member where LName = 'Newman'"), 0);
        QCOMPARE(count("select count(*) from city where City = 'Gotham'"), 0);
        QVERIFY(f->isAdding());
        QVERIFY(f->M_Data.CurMember() < 1);
        QCOMPARE(visibleButtons(f), QList<int>({Cancel, Save}));
        QCOMPARE(lastName(f), QString("Newman"));
        QCOMPARE(list(f, "City")->currentText(), QString("Gotham"));
        QCOMPARE(ticked(grid(f, "ChoirGrid")), QStringList({"Youth"}));

        Db::exec("drop trigger no_links");
        press(f, Save);
        QCOMPARE(count("select count(*) from member where LName = 'Newman'"), 1);
        QCOMPARE(choirLinks(f->M_Data.CurMember()), QStringList({"Youth:0"}));
        QVERIFY(lastName(f) != shownBefore);

        // A changed member that fails keeps the change on screen.
        type(edit(f, "FName"), "Paul");
        Db::exec("create trigger no_update before update on member begin select raise(abort, 'locked'); end");
        press(f, Save);
        QVERIFY(m_prompter->lastMessage().contains("locked"));
        QCOMPARE(edit(f, "FName")->text(), QString("Paul"));
        QCOMPARE(visibleButtons(f), QList<int>({Add, Save, Delete, First, Previous, Next, Last}));
    }

    void anAddressIsMailedAndNotesSpellChecked()
    {
        addMember("Adams", "Grace");
        MemberForm *f = open();
        QStringList opened;
        setShellOpener([&](const QString &target) {
            opened << target;
            return true;
        });
        QLineEdit *mail = edit(f, "Email");
        QTest::mouseDClick(mail, Qt::LeftButton);
        QVERIFY(opened.isEmpty()); // an empty address opens nothing
        type(mail, "grace.adams@example.org");
        QTest::mouseDClick(mail, Qt::LeftButton);
        QCOMPARE(opened, QStringList({"mailto: grace.adams@example.org"}));

        // F7 in the notes starts the spell check.
        auto *notes = w<QPlainTextEdit>(f, "Memo1");
        notes->setPlainText("Sings wel.");
        const int asked = int(m_prompter->messages.size() + m_prompter->dialogs.size());
        QTest::keyClick(notes, Qt::Key_F7);
        QCOMPARE(int(m_prompter->messages.size() + m_prompter->dialogs.size()), asked + 1);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
    membertest::Members m_lib;
};

QTEST_MAIN(TestMemberForm)
#include "tst_memberform.moc"
