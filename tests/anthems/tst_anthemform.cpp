// The anthem editor's fields, save and reload, driven through its controls.
#include "AnthemEditorTestUtil.h"
#include "FieldServices.h"
#include "ListRefresh.h"

#include <QGroupBox>
#include <QLabel>

using namespace ed;

class TestAnthemForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerAnthemEditor(); }
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
    }
    void cleanup()
    {
        close(Forms::instance(AnthemFormCode));
        QVERIFY(!hx().AnthemFormLoaded);
        m_prompter.reset();
        m_folder.reset();
    }

    void everyFieldRoundTrips()
    {
        const qint32 book = insertRow("insert into collection (Collection) values ('Hymnal')");
        insertRow("insert into collection (Collection) values ('Advent Cantata')");
        const qint32 zebra = addAnthem("Zebra Song");
        Db::exec("update anthem set CostPerCopy = null where anthemid = ?", {zebra});
        AnthemForm *f = open();
        QVERIFY(f);
        QCOMPARE(f->windowTitle(), QString("Add/Edit Anthems"));
        auto *tabs = w<QTabWidget>(f, "SSTab1");
        QStringList pages;
        for (int i = 0; i < tabs->count(); ++i)
            pages << tabs->tabText(i);
        QCOMPARE(pages, QStringList({"Main", "Page 2", "Lyrics/Other", "Notes", "My Data"}));
        QCOMPARE(w<QCheckBox>(f, "CollectionCheck")->text(), QString("Part of A Collection / Cantata"));
        QCOMPARE(w<QLabel>(f, "ULabel3")->text(), QString("My Field 3"));
        // A screen reader names each link grid by its title.
        QCOMPARE(gridNames(f), QStringList({"ChoirGrid: Choirs", "ComposersGrid: Composer/Arranger",
                                            "OrchGrid: Orchestration", "ThemesGrid: Themes", "VocalsGrid: Vocalizing"}));
        for (const char *name : {"ChoirGrid", "ComposersGrid", "OrchGrid", "ThemesGrid", "VocalsGrid"})
            QCOMPARE(grid(f, name)->accessibleName(), grid(f, name)->header(1));

        press(f, Add);
        QCOMPARE(visibleButtons(f), QList<int>({Cancel, Save}));
        QCOMPARE(edit(f, "CostPerCopy")->text(), QString("$0.00"));
        QCOMPARE(edit(f, "NumCopies")->text(), QString("0"));
        type(edit(f, "AnthemName"), "Gloria in Excelsis");
        type(edit(f, "Catalog"), "CAT-12345678901234567890");
        type(edit(f, "Location"), "Cabinet 3");
        typeDate(date(f, "DatePurchased"), "3/5/2001");
        typeDate(date(f, "LastPerformed"), "12/24/2020");
        type(edit(f, "CostPerCopy"), "$1,234.5");
        type(edit(f, "NumCopies"), "1,200");
        type(edit(f, "Pages"), "12-15");
        type(edit(f, "PerformTime"), "00:04:30");
        type(edit(f, "LoanedTo"), "First Baptist");
        w<QPlainTextEdit>(f, "Memo1")->setPlainText("Needs a soloist.");
        w<QPlainTextEdit>(f, "Memo2")->setPlainText("Gloria, gloria\nin excelsis Deo");
        for (int i = 1; i <= 5; ++i)
            type(edit(f, QStringLiteral("UText%1").arg(i).toLatin1().constData()), QStringLiteral("value %1").arg(i));
        w<QCheckBox>(f, "CollectionCheck")->click();
        QVERIFY(w<QGroupBox>(f, "CollectionFrame")->isEnabled());
        chooseCollection(f, "Hymnal");
        press(f, Save);
        QCOMPARE(m_prompter->lastMessage(), QString("The anthem has been saved."));
        QCOMPARE(m_prompter->messages.last().title, QString("Confirmation"));
        QVERIFY(!f->isAdding());

        const qint32 id = f->A_Data.CurAnthem();
        QVERIFY(id > 0);
        QSqlQuery q = Db::query("select Anthem, Catalog, Location, DatePurchased, CostPerCopy, NumCopies, Pages,"
                                " PerformTime, LoanedTo, Memo1, Memo2, u1, u5, collectionid from anthem where anthemid = ?",
                                {id});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QString("Gloria in Excelsis"));
        QCOMPARE(q.value(1).toString(), QString("CAT-1234567890123456")); // 20 characters
        QCOMPARE(q.value(3).toString(), QString("2001-03-05"));
        QCOMPARE(q.value(4).toDouble(), 1234.5);
        QCOMPARE(q.value(5).toInt(), 1200);
        QCOMPARE(q.value(10).toString(), QString("Gloria, gloria\nin excelsis Deo"));
        QCOMPARE(q.value(12).toString(), QString("value 5"));
        QCOMPARE(q.value(13).toInt(), book);
        QCOMPARE(column("select Lperform from a_lperform where anthemid = ?", {id}), QStringList({"2020-12-24"}));

        // Away to the other anthem and back: everything shows as stored.
        press(f, Next);
        QCOMPARE(title(f), QString("Zebra Song"));
        QCOMPARE(edit(f, "CostPerCopy")->text(), QString()); // Null shows empty
        QCOMPARE(edit(f, "NumCopies")->text(), QString("0"));
        QVERIFY(w<QPlainTextEdit>(f, "Memo2")->toPlainText().isEmpty());
        QVERIFY(!w<QCheckBox>(f, "CollectionCheck")->isChecked());
        QVERIFY(!w<QGroupBox>(f, "CollectionFrame")->isEnabled());
        press(f, Next);
        QCOMPARE(title(f), QString("Gloria in Excelsis"));
        QCOMPARE(edit(f, "Catalog")->text(), QString("CAT-1234567890123456"));
        QCOMPARE(edit(f, "Location")->text(), QString("Cabinet 3"));
        QCOMPARE(date(f, "DatePurchased")->text(), QString("03/05/2001"));
        QCOMPARE(date(f, "LastPerformed")->text(), QString("12/24/2020"));
        QCOMPARE(edit(f, "CostPerCopy")->text(), QString("$1,234.50"));
        QCOMPARE(edit(f, "NumCopies")->text(), QString("1,200"));
        QCOMPARE(edit(f, "Pages")->text(), QString("12-15"));
        QCOMPARE(edit(f, "PerformTime")->text(), QString("00:04:30"));
        QCOMPARE(edit(f, "LoanedTo")->text(), QString("First Baptist"));
        QCOMPARE(w<QPlainTextEdit>(f, "Memo1")->toPlainText(), QString("Needs a soloist."));
        QCOMPARE(w<QPlainTextEdit>(f, "Memo2")->toPlainText(), QString("Gloria, gloria\nin excelsis Deo"));
        QCOMPARE(edit(f, "UText3")->text(), QString("value 3"));
        QVERIFY(w<QCheckBox>(f, "CollectionCheck")->isChecked());
        QCOMPARE(w<QComboBox>(f, "CollectionCombo")->currentText(), QString("Hymnal"));
        QCOMPARE(f->A_Data.CurCollection(), book);

        // Saved unchanged: no second performed date. Emptied cost and copies
        // and cleared dates store Null; clearing the performed date deletes nothing.
        type(edit(f, "CostPerCopy"), "");
        type(edit(f, "NumCopies"), " ");
        w<QPushButton>(f, "btnClearDate0")->click();
        w<QPushButton>(f, "btnClearDate1")->click();
        press(f, Save);
        QVERIFY(Db::scalar("select CostPerCopy from anthem where anthemid = ?", {id}).isNull());
        QVERIFY(Db::scalar("select NumCopies from anthem where anthemid = ?", {id}).isNull());
        QVERIFY(Db::scalar("select DatePurchased from anthem where anthemid = ?", {id}).isNull());
        QCOMPARE(count("select count(*) from a_lperform where anthemid = ?", {id}), 1);
        QCOMPARE(edit(f, "CostPerCopy")->text(), QString());
        QCOMPARE(date(f, "LastPerformed")->text(), QString("12/24/2020")); // still its latest date

        // A new performed date is one more row with only the date and the anthem.
        typeDate(date(f, "LastPerformed"), "01/07/2021");
        press(f, Save);
        QCOMPARE(column("select Lperform || '/' || ChoirID || '/' || coalesce(other, 'null') from a_lperform"
                        " where anthemid = ? order by Lperform", {id}),
                 QStringList({"2020-12-24/0/null", "2021-01-07/0/null"}));

        // The blank collection with the box ticked stores 0.
        chooseCollection(f, " ");
        press(f, Save);
        QCOMPARE(count("select collectionid from anthem where anthemid = ?", {id}), 0);
    }

    void fieldsKeepWholeCharactersAndMyDataKeepsAll()
    {
        const QString note = QString::fromUtf8("\xF0\x9F\x8E\xB5"); // one character, two UTF-16 units
        AnthemForm *f = open();
        QVERIFY(f);
        press(f, Add);
        // Pasted, as a user would: the title's 100 characters end in the note.
        auto paste = [](QLineEdit *e, const QString &text) {
            e->setFocus();
            e->selectAll();
            e->insert(text);
        };
        paste(edit(f, "AnthemName"), QString(99, 'G') + note + "more");
        paste(edit(f, "Catalog"), QString(19, 'C') + note + note);
        const QString long1 = QString(40000, 'u') + note;
        paste(edit(f, "UText1"), long1);
        press(f, Save);
        QCOMPARE(m_prompter->lastMessage(), QString("The anthem has been saved."));
        const qint32 id = f->A_Data.CurAnthem();
        QSqlQuery q = Db::query("select Anthem, Catalog, u1 from anthem where anthemid = ?", {id});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QString(99, 'G') + note);
        QCOMPARE(q.value(1).toString(), QString(19, 'C') + note);
        QCOMPARE(q.value(2).toString(), long1);
        // Shown again, nothing was lost either.
        QCOMPARE(edit(f, "UText1")->text(), long1);
        QCOMPARE(title(f), QString(99, 'G') + note);
    }

    void badNumbersAndDatesAreRefusedAndKept()
    {
        const qint32 id = addAnthem("Ave Maria");
        Db::exec("update anthem set CostPerCopy = 3.25, NumCopies = 10 where anthemid = ?", {id});
        AnthemForm *f = open();
        type(edit(f, "Location"), "Shelf 9");
        type(edit(f, "CostPerCopy"), "three dollars");
        press(f, Save);
        QVERIFY(m_prompter->lastMessage().contains("\"three dollars\" is not an amount"));
        QCOMPARE(edit(f, "CostPerCopy")->text(), QString("three dollars"));
        QCOMPARE(edit(f, "Location")->text(), QString("Shelf 9"));
        QVERIFY(Db::scalar("select Location from anthem where anthemid = ?", {id}).isNull());
        QCOMPARE(Db::scalar("select CostPerCopy from anthem where anthemid = ?", {id}).toDouble(), 3.25);

        type(edit(f, "CostPerCopy"), "4");
        type(edit(f, "NumCopies"), "2.5");
        press(f, Save);
        QVERIFY(m_prompter->lastMessage().contains("is not a number of copies"));
        QCOMPARE(count("select NumCopies from anthem where anthemid = ?", {id}), 10);

        type(edit(f, "NumCopies"), "12");
        typeDate(date(f, "DatePurchased"), "13/45/2001");
        const int before = int(m_prompter->messages.size());
        press(f, Save);
        QVERIFY(m_prompter->messages.size() > before);
        QVERIFY(m_prompter->lastMessage().contains("is not a date"));
        QVERIFY(Db::scalar("select Location from anthem where anthemid = ?", {id}).isNull());

        typeDate(date(f, "DatePurchased"), "");
        press(f, Save);
        QCOMPARE(m_prompter->lastMessage(), QString("The anthem has been saved."));
        QCOMPARE(Db::scalar("select CostPerCopy from anthem where anthemid = ?", {id}).toDouble(), 4.0);
        QCOMPARE(edit(f, "CostPerCopy")->text(), QString("$4.00"));

        // An empty name never reaches the save.
        type(edit(f, "AnthemName"), "   ");
        press(f, Save);
        QCOMPARE(m_prompter->lastMessage(), QString("The system requires that a name be entered."));
        QCOMPARE(Db::scalar("select Anthem from anthem where anthemid = ?", {id}).toString(), QString("Ave Maria"));
    }

    void linkGridsAreWrittenBackWhole()
    {
        for (const char *n : {"Christmas", "Easter", "Lent"})
            addRef("themes", "theme", n);
        for (const char *n : {"SATB", "Unison"})
            addRef("vocals", "vocals", n);
        for (const char *n : {"Bach", "Rutter"})
            addRef("composer", "composer", n);
        for (const char *n : {"Adult", "Youth"})
            addRef("choir", "choir", n);
        for (const char *n : {"Organ", "Brass"})
            addRef("orchestration", "orchestration", n);
        const qint32 id = addAnthem("Alleluia");
        Db::exec("insert into a_th_l (anthemid, themeid) values (?, 2)", {id}); // Easter
        Db::exec("insert into a_chr_l (anthemid, choirid) values (?, 1)", {id}); // Adult
        AnthemForm *f = open();
        QCOMPARE(ticked(grid(f, "ThemesGrid")), QStringList({"Easter"}));
        QCOMPARE(grid(f, "ThemesGrid")->nameAt(1), QString("Easter")); // linked rows first

        clickGridRow(f, grid(f, "ThemesGrid"), "Easter"); // untick
        clickGridRow(f, grid(f, "ThemesGrid"), "Lent");
        clickGridRow(f, grid(f, "ThemesGrid"), "Christmas");
        clickGridRow(f, grid(f, "VocalsGrid"), "SATB");
        clickGridRow(f, grid(f, "ComposersGrid"), "Rutter");
        clickGridRow(f, grid(f, "ChoirGrid"), "Adult"); // untick
        clickGridRow(f, grid(f, "OrchGrid"), "Organ");
        clickGridRow(f, grid(f, "OrchGrid"), "Brass");
        QCOMPARE(ticked(grid(f, "ThemesGrid")), QStringList({"Christmas", "Lent"}));
        press(f, Save);

        QCOMPARE(linkedNames("a_th_l", "themeid", "themes", "theme", "themeid", id), QStringList({"Christmas", "Lent"}));
        QCOMPARE(linkedNames("a_v_l", "vocalsid", "vocals", "vocals", "vocalsid", id), QStringList({"SATB"}));
        QCOMPARE(linkedNames("a_com_l", "composerid", "composer", "composer", "composerid", id), QStringList({"Rutter"}));
        QCOMPARE(count("select count(*) from a_chr_l where anthemid = ?", {id}), 0);
        QCOMPARE(linkedNames("a_orch_l", "orchid", "orchestration", "orchestration", "orchid", id),
                 QStringList({"Brass", "Organ"}));
        QCOMPARE(ticked(grid(f, "OrchGrid")), QStringList({"Brass", "Organ"}));
    }

    void aRefreshWhileAddingKeepsWhatWasTyped()
    {
        addRef("themes", "theme", "Advent");
        addRef("themes", "theme", "Praise");
        const qint32 hymnal = insertRow("insert into collection (Collection) values ('Hymnal')");
        const qint32 cantata = insertRow("insert into collection (Collection) values ('Cantata')");
        const qint32 shown = addAnthem("Shown Before", hymnal);
        AnthemForm *f = open();
        QCOMPARE(f->A_Data.CurAnthem(), shown);

        press(f, Add);
        type(edit(f, "AnthemName"), "New Anthem");
        type(edit(f, "LoanedTo"), "Choir room");
        clickGridRow(f, grid(f, "ThemesGrid"), "Praise");
        w<QCheckBox>(f, "CollectionCheck")->click();
        chooseCollection(f, "Cantata");

        // A theme added from the editor refreshes its grid.
        m_prompter->inputAnswers.enqueue(QString("Zeal"));
        w<QPushButton>(f, "btnAddTheme")->click();
        QCOMPARE(grid(f, "ThemesGrid")->Rows(), 4);
        QCOMPARE(ticked(grid(f, "ThemesGrid")), QStringList({"Praise"}));
        // The collection editor's calls after its save.
        f->BuildCollectionCombo(true);
        f->A_Load_Data(shown);
        // A collection deleted elsewhere leaves the list at once.
        Db::exec("delete from collection where collectionid = ?", {hymnal});
        f->CollectionDeletionReset();
        QCOMPARE(w<QComboBox>(f, "CollectionCombo")->findText("Hymnal"), -1);
        // Opening another anthem from elsewhere asks first; Cancel keeps
        // the add.
        m_prompter->messageAnswers.enqueue(MsgResult::Cancel);
        OpenAnthemRecord(shown);
        QCOMPARE(m_prompter->lastMessage(), QString("Save the changes to this record?"));

        QVERIFY(f->isAdding());
        QCOMPARE(title(f), QString("New Anthem"));
        QCOMPARE(edit(f, "LoanedTo")->text(), QString("Choir room"));
        QCOMPARE(w<QComboBox>(f, "CollectionCombo")->currentText(), QString("Cantata"));
        press(f, Save);
        const qint32 id = f->A_Data.CurAnthem();
        QVERIFY(id != shown);
        QCOMPARE(linkedNames("a_th_l", "themeid", "themes", "theme", "themeid", id), QStringList({"Praise"}));
        QCOMPARE(count("select collectionid from anthem where anthemid = ?", {id}), cantata);
        QCOMPARE(Db::scalar("select LoanedTo from anthem where anthemid = ?", {id}).toString(), QString("Choir room"));
    }

    // Looking through anthems with a collection and links asks nothing; a
    // Location typed, then Next: asked, and No stores nothing.
    void aTypedChangeIsNotDroppedUnasked()
    {
        const qint32 book = insertRow("insert into collection (Collection) values ('Hymnal')");
        const qint32 first = addAnthem("Alleluia", book);
        addAnthem("Benedictus");
        Db::exec("insert into a_th_l (anthemid, themeid) values (?, ?)", {first, addRef("themes", "theme", "Praise")});
        AnthemForm *f = open();
        for (int i = 0; i < 3; ++i)
            press(f, Next);
        QVERIFY(m_prompter->messages.isEmpty());
        type(edit(f, "Location"), "Shelf 9");
        press(f, Next); // answered No
        QCOMPARE(m_prompter->lastMessage(), QString("Save the changes to this record?"));
        QCOMPARE(Db::scalar("select count(*) from anthem where Location <> ''").toInt(), 0);
    }

    void collectionList()
    {
        addAnthem("Lonely");
        AnthemForm *f = open();
        auto *combo = w<QComboBox>(f, "CollectionCombo");
        QVERIFY(!combo->isEnabled());
        QCOMPARE(combo->count(), 1);
        QCOMPARE(combo->itemText(0), QString(" "));
        close(f);

        const qint32 b = insertRow("insert into collection (Collection) values ('b book')");
        insertRow("insert into collection (Collection) values ('A book')");
        Db::exec("update anthem set collectionid = 999"); // names no collection
        f = open();
        combo = w<QComboBox>(f, "CollectionCombo");
        QVERIFY(combo->isEnabled());
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(0), QString("A book"));
        QCOMPARE(combo->itemText(2), QString(" "));
        QVERIFY(w<QCheckBox>(f, "CollectionCheck")->isChecked());
        QCOMPARE(combo->currentText(), QString(" "));

        // Renamed and deleted elsewhere: the list is read again when it opens.
        Db::exec("update collection set Collection = 'Bigger book' where collectionid = ?", {b});
        Db::exec("delete from collection where Collection = 'A book'");
        combo->showPopup();
        combo->hidePopup();
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(0), QString("Bigger book"));
    }

    void saveFailureKeepsTheEditorAsItWas()
    {
        addRef("themes", "theme", "Joy");
        AnthemForm *f = open();
        QVERIFY(visibleButtons(f) == QList<int>({Add}));
        press(f, Add);
        type(edit(f, "AnthemName"), "Unlucky");
        clickGridRow(f, grid(f, "ThemesGrid"), "Joy");
        Db::exec("create trigger no_links before insert on a_th_l begin select raise(abort, 'disk full'); end");
        press(f, Save);
        QVERIFY(m_prompter->lastMessage().contains("disk full"));
        QCOMPARE(count("select count(*) from anthem"), 0);
        QVERIFY(f->isAdding());
        QCOMPARE(visibleButtons(f), QList<int>({Cancel, Save}));
        QCOMPARE(title(f), QString("Unlucky"));
        QCOMPARE(ticked(grid(f, "ThemesGrid")), QStringList({"Joy"}));

        Db::exec("drop trigger no_links");
        press(f, Save);
        QCOMPARE(count("select count(*) from anthem"), 1);
        QCOMPARE(count("select count(*) from a_th_l"), 1);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
};

QTEST_MAIN(TestAnthemForm)
#include "tst_anthemform.moc"
