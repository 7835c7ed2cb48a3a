// The member editor's fields, look-ups and save, driven through its
// controls: what is typed is what is stored (nothing completes it), new
// cities, zip codes and schools are learnt once whatever their letter
// case, choir links carry their Active flag, and refused input or a failed
// save keeps everything on screen.
#include "MemberEditorTestUtil.h"

#include "ChangeNotifier.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

using namespace memberui;
using membertest::count;

class TestMemberForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerMemberReport(); }
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
        m_lib.create();
    }
    void cleanup()
    {
        close(Forms::instance(MemberFormCode));
        QVERIFY(!hx().MemberFormLoaded);
        setShellOpener(nullptr);
        m_prompter.reset();
        m_folder.reset();
    }

    void aNewMemberIsStoredAsTypedAndShownAgain()
    {
        MemberForm *f = open();
        QCOMPARE(f->windowTitle(), QString("Member Manager"));
        QCOMPARE(items(list(f, "Sex")), QStringList({"Male", "Female", " "}));
        QCOMPARE(items(list(f, "GradeCombo")),
                 QStringList({" ", "Pre School", "Kinderdarden", "First", "Second", "Third", "Fourth", "Fifth", "Sixth",
                              "Seventh", "Eighth", "Nineth", "Tenth", "Eleventh", "Twelfth", "College"}));
        QCOMPARE(items(list(f, "State")).last(), QString(" "));
        QCOMPARE(f->findChild<QLabel *>("ULabel1")->text(), QString("My Field 1"));
        QCOMPARE(gridNames(f), QStringList({"ChoirGrid: Choirs", "OrchGrid: Instruments", "VocalsGrid: Sections"}));
        QVERIFY(!toolbar(f)->button(10)); // no schedule button
        QApplication::setActiveWindow(f); // keys go to the focused field
        QSignalSpy stored(&ChangeNotifier::instance(), &ChangeNotifier::memberStored);

        press(f, Add);
        QCOMPARE(f->M_Data.CurMember(), 0); // nobody is shown while adding
        type(list(f, "LName"), "ada"); // "Adams" is known: nothing completes it
        QTest::keyClick(list(f, "LName"), Qt::Key_Tab);
        QCOMPARE(lastName(f), QString("ada"));
        type(list(f, "LName"), "adams");
        QTest::keyClick(list(f, "LName")->lineEdit(), Qt::Key_Return); // nor swaps it for "Adams"
        QCOMPARE(lastName(f), QString("adams"));
        QCOMPARE(list(f, "LName")->count(), 4); // nor adds it to the list
        type(list(f, "LName"), "Carver");
        type(edit(f, "FName"), "George");
        type(edit(f, "MName"), "Washington Irving Junior"); // 20 characters kept
        type(edit(f, "Street2"), "Box 9");
        type(list(f, "City"), "Spring"); // not "Springfield"
        choose(list(f, "State"), "IL");
        type(list(f, "Zip"), "6270");    // not "62701"
        type(edit(f, "FPhone"), "555-0197");
        type(edit(f, "Email"), "gw@example.org");
        choose(list(f, "Sex"), "Male");
        type(edit(f, "Age"), "12");
        type(edit(f, "Parent"), "Mary Carver");
        typeDate(date(f, "Birthday"), "7/4/1990");
        typeDate(date(f, "Aniversary"), "09/01/2010");
        f->findChild<QPlainTextEdit *>("Memo1")->setPlainText("Bass, reads well.");
        type(edit(f, "UText5"), "Robe 5");
        choose(list(f, "GradeCombo"), "Kinderdarden");
        type(list(f, "txtSchool"), "st. mary's"); // known in another case
        clickGridRow(f, grid(f, "ChoirGrid"), "Chancel");
        clickGridRow(f, grid(f, "ChoirGrid"), "Chancel", 3); // active
        clickGridRow(f, grid(f, "ChoirGrid"), "Youth");      // not active
        clickGridRow(f, grid(f, "ChoirGrid"), "Bells", 3);   // active, but not his choir
        clickGridRow(f, grid(f, "VocalsGrid"), "Tenor");
        clickGridRow(f, grid(f, "OrchGrid"), "Piano");
        press(f, Save);
        QCOMPARE(m_prompter->lastMessage(), QString("The member has been saved."));
        QCOMPARE(m_prompter->messages.last().title, QString("Confirmation"));

        const qint32 id = f->M_Data.CurMember();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.at(0).at(0).toInt(), id);
        const qint32 spring = count("select CityID from city where City = 'Spring'");
        const qint32 zip = count("select ZipID from zip where Zip = '6270'");
        QVERIFY(spring > m_lib.coeur && zip > m_lib.zip62701);
        QCOMPARE(memberRow(id, "LName, MName, Street2, State, CityID, ZipID, FPhone, SchoolID, grade, Age, Sex, Parent,"
                               " Email, Memo1, u5, Birthday, Aniversary"),
                 (QVariantList{"Carver", "Washington Irving Ju", "Box 9", "IL", spring, zip, "555-0197", m_lib.stMarys,
                               "Kinderdarden", 12, 1, "Mary Carver", "gw@example.org", "Bass, reads well.", "Robe 5",
                               "1990-07-04", "2010-09-01"}));
        QCOMPARE(choirLinks(id), QStringList({"Chancel:-1", "Youth:0"}));
        QCOMPARE(column("select vocalsmid || '/' || (select group_concat(orchid) from m_orch_l where memberid = ?)"
                        " from m_vm_l where memberid = ?",
                        {id, id}),
                 QStringList({QString("%1/%2").arg(m_lib.tenor).arg(m_lib.piano)}));
        // The lists hold the new values once each; the one shown stays.
        QCOMPARE(items(list(f, "City")), QStringList({"Coeur d'Alene", "Spring", "Springfield"}));
        QCOMPARE(items(list(f, "txtSchool")), QStringList({"Lincoln High", "St. Mary's"}));
        QCOMPARE(lastName(f), QString("Carver"));

        // Away and back, from another page: everything shows as stored, on "Main".
        clickLetter(f, 'A');
        QCOMPARE(list(f, "City")->currentText(), QString("Springfield"));
        QCOMPARE(rows(grid(f, "ChoirGrid"), 3), QStringList({"Chancel"}));
        tabs(f)->setCurrentIndex(2);
        clickLetter(f, 'C');
        QCOMPARE(tabs(f)->currentIndex(), 0);
        QCOMPARE(edit(f, "MName")->text(), QString("Washington Irving Ju"));
        QCOMPARE(list(f, "City")->currentText(), QString("Spring"));
        QCOMPARE(list(f, "State")->currentText(), QString("IL"));
        QCOMPARE(list(f, "txtSchool")->currentText(), QString("St. Mary's"));
        QCOMPARE(list(f, "GradeCombo")->currentText(), QString("Kinderdarden"));
        QCOMPARE(list(f, "Sex")->currentText(), QString("Male"));
        QCOMPARE(edit(f, "Age")->text(), QString("12"));
        QCOMPARE(date(f, "Birthday")->text(), QString("07/04/1990"));
        QCOMPARE(f->findChild<QPlainTextEdit *>("Memo1")->toPlainText(), QString("Bass, reads well."));
        QCOMPARE(ticked(grid(f, "ChoirGrid")), QStringList({"Chancel", "Youth"}));
        QCOMPARE(ticked(grid(f, "ChoirGrid"), 3), QStringList({"Chancel"}));
        QCOMPARE(grid(f, "VocalsGrid")->nameAt(1), QString("Tenor")); // linked rows first

        // Emptied: the age stays as stored (as it always has), the dates
        // and choices become none, a blank city stores 0 and learns nothing.
        type(edit(f, "Age"), "");
        f->findChild<QPushButton *>("btnClearDate0")->click();
        QVERIFY(date(f, "Aniversary")->isEmpty() && !date(f, "Birthday")->isEmpty());
        f->findChild<QPushButton *>("btnClearDate1")->click();
        type(list(f, "City"), "   ");
        choose(list(f, "Sex"), " ");
        choose(list(f, "GradeCombo"), " ");
        clickGridRow(f, grid(f, "ChoirGrid"), "Chancel", 3); // no longer active
        const int cities = count("select count(*) from city");
        press(f, Save);
        QCOMPARE(memberRow(id, "Age, Sex, grade, CityID, Birthday, Aniversary"),
                 (QVariantList{12, 0, "", 0, QVariant(), QVariant()}));
        QCOMPARE(count("select count(*) from city"), cities);
        QCOMPARE(choirLinks(id), QStringList({"Chancel:0", "Youth:0"}));
    }

    void lookupsAreLearntOnceWhateverTheirCase()
    {
        MemberForm *f = open();
        const auto add = [&](const QString &last, const QString &city, const QString &zip, const QString &school) {
            press(f, Add);
            type(list(f, "LName"), last);
            type(list(f, "City"), city);
            type(list(f, "Zip"), zip);
            type(list(f, "txtSchool"), school);
            press(f, Save);
            return memberRow(f->M_Data.CurMember(), "CityID, ZipID, SchoolID");
        };
        const QVariantList first = add("O'Hara", "coeur D'ALENE", "83814", "Central High");
        QCOMPARE(first.at(0).toInt(), m_lib.coeur);
        QCOMPARE(add("o'hara", "COEUR D'ALENE", "83814", "CENTRAL HIGH"), first);
        add("Diaz", "Boise ", "83702", "");
        QCOMPARE(column("select City from city order by CityID"),
                 QStringList({"Springfield", "Coeur d'Alene", "Boise "})); // stored untrimmed
        QCOMPARE(column("select Zip from zip order by ZipID"), QStringList({"62701", "83814", "83702"}));
        QCOMPARE(count("select SchoolID from member where LName = 'Diaz'"), 0);
        QCOMPARE(items(list(f, "LName")), QStringList({"Adams", "baker", "Diaz", "O'Brien", "O'Hara", "Zimmer"}));
        QCOMPARE(items(list(f, "txtSchool")), QStringList({"Central High", "Lincoln High", "St. Mary's"}));

        // Longer texts are cut as stored, and looked up cut.
        press(f, Add);
        type(list(f, "LName"), "Long");
        list(f, "City")->setEditText(QString(60, 'c'));
        list(f, "Zip")->setEditText("12345-6789-0");
        press(f, Save);
        QCOMPARE(column("select City from city where City like 'ccc%'"), QStringList({QString(50, 'c')}));
        QCOMPARE(column("select Zip from zip where Zip like '12345%'"), QStringList({"12345-6789"}));
    }

    void typedListsKeepWholeCharactersToTheirWidths()
    {
        MemberForm *f = open();
        QApplication::setActiveWindow(f);
        press(f, Add);
        // A character beyond the Basic Multilingual Plane, as the keyboard
        // delivers it: one key, two UTF-16 units. It fits as the last
        // character of each list's width; nothing fits after it.
        const QString smile = QStringLiteral("\U0001F600");
        const struct {
            const char *list;
            int width;
        } lists[] = {{"LName", 20}, {"City", 50}, {"Zip", 10}, {"txtSchool", 100}};
        for (const auto &l : lists) {
            QLineEdit *e = list(f, l.list)->lineEdit();
            type(list(f, l.list), QString(l.width - 1, 'a'));
            QTest::sendKeyEvent(QTest::Click, e, Qt::Key_unknown, smile, Qt::NoModifier);
            QTest::keyClicks(e, "b");
            QCOMPARE(e->text(), QString(l.width - 1, 'a') + smile);
        }
        press(f, Save);
        QCOMPARE(m_prompter->lastMessage(), QString("The member has been saved."));
        const qint32 id = f->M_Data.CurMember();
        QCOMPARE(memberRow(id, "LName"), QVariantList({QString(19, 'a') + smile}));
        QCOMPARE(column("select c.City || '|' || z.Zip || '|' || s.School from member m join city c on c.CityID = m.CityID"
                        " join zip z on z.ZipID = m.ZipID join school s on s.SchoolID = m.SchoolID where m.memberid = ?",
                        {id}),
                 QStringList({QString(49, 'a') + smile + '|' + QString(9, 'a') + smile + '|' + QString(99, 'a') + smile}));
    }

    void tabRunsThroughTheDatesAsLaidOut()
    {
        MemberForm *f = open();
        QApplication::setActiveWindow(f);
        edit(f, "Parent")->setFocus();
        QCOMPARE(QApplication::focusWidget(), edit(f, "Parent"));
        // Birthday, its ClearDate, Member Since, its ClearDate, then the choirs.
        QStringList seen;
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *now = QApplication::focusWidget();
            seen << (now == date(f, "Birthday")->lineEdit()     ? QStringLiteral("Birthday")
                     : now == date(f, "Aniversary")->lineEdit() ? QStringLiteral("Aniversary")
                                                                : now->objectName());
        }
        QCOMPARE(seen, QStringList({"Birthday", "btnClearDate1", "Aniversary", "btnClearDate0", "ChoirGrid"}));
    }

    void refusedInputAndFailedSavesKeepTheAdd()
    {
        MemberForm *f = open();
        press(f, Add);
        type(list(f, "LName"), "   ");
        press(f, Save);
        QCOMPARE(m_prompter->lastMessage(), QString("The system requires that a name be entered."));
        type(list(f, "LName"), "{Newman}");
        type(list(f, "City"), "Gotham");
        type(edit(f, "Age"), "thirty");
        clickGridRow(f, grid(f, "ChoirGrid"), "Youth");
        press(f, Save);
        QVERIFY(m_prompter->lastMessage().startsWith("\"thirty\" is not an age."));
        QCOMPARE(lastName(f), QString("Newman")); // the braces went with a notice
        type(edit(f, "Age"), "31");
        typeDate(date(f, "Birthday"), "2/30/1990");
        press(f, Save);
        QVERIFY(m_prompter->lastMessage().contains("is not a date"));
        typeDate(date(f, "Birthday"), "");

        Db::exec("create trigger no_links before insert on chr_m_l begin select raise(abort, 'disk full'); end");
        press(f, Save);
        QVERIFY(m_prompter->lastMessage().contains("disk full"));
        // Nothing of it was written, and everything is still on screen.
        QCOMPARE(count("select count(*) from member where LName = 'Newman'"), 0);
        QCOMPARE(count("select count(*) from city where City = 'Gotham'"), 0);
        QVERIFY(f->isAdding() && f->M_Data.CurMember() < 1);
        QCOMPARE(visibleButtons(f), QList<int>({Cancel, Save}));
        QCOMPARE(list(f, "City")->currentText(), QString("Gotham"));
        QCOMPARE(ticked(grid(f, "ChoirGrid")), QStringList({"Youth"}));

        Db::exec("drop trigger no_links");
        press(f, Save);
        const qint32 id = f->M_Data.CurMember();
        QCOMPARE(memberRow(id, "LName, Age"), (QVariantList{"Newman", 31}));
        QCOMPARE(choirLinks(id), QStringList({"Youth:0"}));

        // A failed change keeps the change on screen.
        type(edit(f, "FName"), "Paul");
        Db::exec("create trigger no_update before update on member begin select raise(abort, 'locked'); end");
        press(f, Save);
        QVERIFY(m_prompter->lastMessage().contains("locked"));
        QCOMPARE(edit(f, "FName")->text(), QString("Paul"));
        QCOMPARE(visibleButtons(f), QList<int>({Add, Save, Delete, First, Previous, Next, Last}));
    }

    void mailNotesAndTheLastNameField()
    {
        MemberForm *f = open();
        QApplication::setActiveWindow(f);
        QStringList opened;
        setShellOpener([&](const QString &target) {
            opened << target;
            return true;
        });
        QLineEdit *mail = edit(f, "Email");
        type(mail, "");
        QTest::mouseDClick(mail, Qt::LeftButton);
        QVERIFY(opened.isEmpty()); // an empty address opens nothing
        type(mail, "grace.adams@example.org");
        QTest::mouseDClick(mail, Qt::LeftButton);
        QCOMPARE(opened, QStringList({"mailto: grace.adams@example.org"}));

        // F7 in the notes starts the spell check.
        auto *notes = f->findChild<QPlainTextEdit *>("Memo1");
        notes->setPlainText("Sings wel.");
        const qsizetype asked = m_prompter->messages.size() + m_prompter->dialogs.size();
        QTest::keyClick(notes, Qt::Key_F7);
        QCOMPARE(m_prompter->messages.size() + m_prompter->dialogs.size(), asked + 1);

        // Clicked into, the last-name list selects its text as a line edit does.
        QComboBox *last = list(f, "LName");
        QTest::mouseClick(edit(f, "FName"), Qt::LeftButton, {}, QPoint(2, 2));
        QTRY_COMPARE(edit(f, "FName")->selectedText(), QString("Grace"));
        QTest::mouseClick(last->lineEdit(), Qt::LeftButton, {}, QPoint(2, 2));
        QTRY_COMPARE(last->lineEdit()->selectedText(), QString("Adams"));
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
    membertest::Members m_lib;
};

QTEST_MAIN(TestMemberForm)
#include "tst_memberform.moc"
