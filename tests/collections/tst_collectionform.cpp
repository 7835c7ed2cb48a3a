// The collection editor driven through its controls: its texts, how it is
// opened, what a save stores (checked with SQL), the cost, copies and date
// boxes, a failed save, the state while adding, the name list, the anthems
// grid, the anthem editor kept in step, and the schedule dialogs.
#include "CollectionEditorTestUtil.h"
#include "ChangeNotifier.h"
#include "Fmt.h"
#include "MainFormMDI.h"
#include "RecordDialogs.h"
#include "SpellCheck.h"

#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QStandardPaths>

using namespace colform;

class TestCollectionForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        registerAnthemEditor();
        registerCollectionReport();
    }
    void init()
    {
        RecordDialogs::setScheduleEntryDialog({});
        RecordDialogs::setPerformedDatesDialog({});
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
    }
    void cleanup()
    {
        close(Forms::instance(CollectionFormCode));
        close(Forms::instance(AnthemFormCode));
        QVERIFY(!hx().CollectionFormLoaded);
        RecordDialogs::setScheduleEntryDialog({});
        RecordDialogs::setPerformedDatesDialog({});
        m_prompter.reset();
        m_folder.reset();
    }

    void openedFromTheMenuAndTheListBar()
    {
        m_folder.reset();
        m_folder = std::make_unique<TempProgramFolder>(false);
        auto *main = new MainFormMDI;
        QString error;
        QVERIFY2(main->load(&error), qPrintable(error));
        main->show();
        auto *item = main->findChild<QAction *>("menuAECollections");
        QCOMPARE(item->text().remove(QLatin1Char('&')), QString("Add/Edit Collections or Cantatas"));
        item->trigger();
        auto *f = Forms::find<CollectionForm>(CollectionFormCode);
        QVERIFY(f && f->isVisible());
        close(f);
        main->listBarItemClicked("Add/Edit Collections");
        QVERIFY(Forms::find<CollectionForm>(CollectionFormCode));
        main->close();
        delete main;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!hx().CollectionFormLoaded);
    }

    void controlsAndTheirTexts()
    {
        Db::exec("update labels set label1 = 'Anthem one', label2 = 'Anthem two' where datatype = 2");
        Db::exec("update labels set label1 = 'Shelf mark', label2 = 'Donor' where datatype = 1");
        ed::insertRow("insert into collection (Collection) values ('Carols')");
        CollectionForm *f = openCollections();
        QVERIFY(f);
        QCOMPARE(f->windowTitle(), QString("Add/Edit Collections"));
        QVERIFY(!grid(f, "ChoirGrid")->hasActiveColumn());
        QStringList pages;
        for (int i = 0; i < w<QTabWidget>(f, "SSTab1")->count(); ++i)
            pages << w<QTabWidget>(f, "SSTab1")->tabText(i);
        QCOMPARE(pages, QStringList({"Main", "Page 2", "Notes", "My Data"}));
        // The collections' own captions of the user fields.
        QCOMPARE(w<QLabel>(f, "ULabel1")->text(), QString("Shelf mark"));
        QCOMPARE(w<QLabel>(f, "ULabel2")->text(), QString("Donor"));
        QCOMPARE(gridNames(f), QStringList({"ChoirGrid: Choirs", "ComposersGrid: Composer/Arranger",
                                            "OrchGrid: Orchestration", "ThemesGrid: Themes", "VocalsGrid: Vocalizing"}));
        QCOMPARE(anthemsGrid(f)->horizontalHeaderItem(1)->text(), QString("Anthems assigned to Collection"));
        QVERIFY(anthemsGrid(f)->horizontalHeaderItem(1)->font().bold());
        QVERIFY(anthemsGrid(f)->isColumnHidden(0));

        const char *tips[] = {"Add new collection (Ctrl+N)",         "Cancel add (Esc)",
                              "Save collection (Ctrl+S)",            "Delete collection (Ctrl+Shift+D)",
                              "Move to first collection (Alt+Home)", "Move to previous collection (Alt+PgUp)",
                              "Move to next collection (Alt+PgDown)", "Move to last collection (Alt+End)"};
        for (int i = 0; i < 8; ++i)
            QCOMPARE(toolbar(f)->button(i + 1)->toolTip(), QString(tips[i]));
        QCOMPARE(letters(f)->buttonToolTip(7), QString("Collections beginning with C"));
        QCOMPARE(letters(f)->buttonToolTip(8), QString("Collections beginning with C"));
        QCOMPARE(letters(f)->buttonToolTip(9), QString("No Data for C"));
        QCOMPARE(letters(f)->buttonToolTip(3), QString("No data for A"));
        QCOMPARE(letterLook(f, 'C'), 1);
        QCOMPARE(letterLook(f, 'A'), 2);

        // F7 spell-checks the name, the loaned-to text and the notes.
        SpellCheck::setUserDictionary(m_folder->file("MyDictionary.dct"));
        for (QWidget *field : std::initializer_list<QWidget *>{edit(f, "CollectionName"), edit(f, "LoanedTo"),
                                                               w<QPlainTextEdit>(f, "Memo1"), edit(f, "Catalog")}) {
            if (auto *e = qobject_cast<QLineEdit *>(field))
                e->setText("recieve");
            else
                static_cast<QPlainTextEdit *>(field)->setPlainText("recieve");
            QTest::keyClick(field, Qt::Key_F7);
        }
        QCOMPARE(m_prompter->dialogs.size(), 3);
        SpellCheck::unloadEngine();
        SpellCheck::setUserDictionary(QString());
    }

    void aSaveStoresWhatWasTypedInTheColumnWidths()
    {
        coltest::Library lib;
        lib.create();
        CollectionForm *f = openCollections();
        QCOMPARE(nameOf(f), QString("Carols Book"));
        QCOMPARE(f->Col_Data.CurCollection(), lib.carols);
        QCOMPARE(edit(f, "CostPerCopy")->text(), QString("$12.50"));
        QCOMPARE(edit(f, "NumCopies")->text(), QString("30"));
        QCOMPARE(date(f, "DatePurchased")->text(), QString("06/20/1999"));
        QCOMPARE(date(f, "LastPerformed")->text(), QString("12/24/2001"));
        QCOMPARE(edit(f, "LoanedTo")->text(), QString("O'Brien"));
        QCOMPARE(edit(f, "UText1")->text(), QString("Abbey"));
        QCOMPARE(ticked(grid(f, "ThemesGrid")), QStringList({"Advent", "Lent"}));
        QCOMPARE(grid(f, "ComposersGrid")->nameAt(1), QString("Bach")); // linked first, by name
        QCOMPARE(ticked(grid(f, "ChoirGrid")), QStringList({"Chancel"}));

        press(f, Add);
        QCOMPARE(visibleButtons(f), QList<int>({Cancel, Save}));
        // A cleared window shows a zero cost and copies, no anthems, no ticks.
        QCOMPARE(edit(f, "CostPerCopy")->text(), QString("$0.00"));
        QCOMPARE(edit(f, "NumCopies")->text(), QString("0"));
        QCOMPARE(anthemsGrid(f)->rowCount(), 0);
        QVERIFY(ticked(grid(f, "ThemesGrid")).isEmpty());
        QCOMPARE(grid(f, "ThemesGrid")->nameAt(1), QString("Advent"));

        edit(f, "CollectionName")->setText(QString(110, 'N') + "0123456789");
        type(edit(f, "Catalog"), "K-7");
        type(edit(f, "Location"), "Cabinet 3");
        typeDate(date(f, "DatePurchased"), "3/5/2001");
        typeDate(date(f, "LastPerformed"), "12/24/2020");
        type(edit(f, "CostPerCopy"), "$1,234.50");
        type(edit(f, "NumCopies"), "1,200");
        type(edit(f, "Pages"), "1-220");
        type(edit(f, "PerformTime"), "01:10:00");
        edit(f, "LoanedTo")->setText(QString(300, 'o'));
        w<QPlainTextEdit>(f, "Memo1")->setPlainText("Two copies water-damaged.");
        type(edit(f, "UText5"), "value 5");
        clickGridRow(f, grid(f, "ThemesGrid"), "Easter");
        clickGridRow(f, grid(f, "VocalsGrid"), "SSA");
        clickGridRow(f, grid(f, "OrchGrid"), "Brass");
        clickGridRow(f, grid(f, "ChoirGrid"), "Youth");
        clickGridRow(f, grid(f, "ComposersGrid"), "Rutter");
        clickGridRow(f, grid(f, "ComposersGrid"), "Handel");
        press(f, Save);
        QCOMPARE(m_prompter->lastMessage(), QString("The collection has been saved."));
        QCOMPARE(m_prompter->messages.last().title, QString("Confirmation"));
        QVERIFY(m_prompter->messages.last().icon == MsgIcon::Information);
        QVERIFY(!f->isAdding());

        const qint32 id = f->Col_Data.CurCollection();
        QVERIFY(id > lib.hymnal);
        QSqlQuery q = Db::query("select Collection, Catalog, Location, DatePurchased, CostPerCopy, NumCopies, Pages,"
                                " PerformTime, LoanedTo, Memo1, u5, displayit from collection where collectionid = ?",
                                {id});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QString(100, 'N'));
        QCOMPARE(q.value(1).toString(), QString("K-7"));
        QCOMPARE(q.value(2).toString(), QString("Cabinet 3"));
        QCOMPARE(q.value(3).toString(), QString("2001-03-05"));
        QCOMPARE(q.value(4).toDouble(), 1234.5);
        QCOMPARE(q.value(5).toInt(), 1200);
        QCOMPARE(q.value(6).toString(), QString("1-220"));
        QCOMPARE(q.value(7).toString(), QString("01:10:00"));
        QCOMPARE(q.value(8).toString(), QString(250, 'o'));
        QCOMPARE(q.value(9).toString(), QString("Two copies water-damaged."));
        QCOMPARE(q.value(10).toString(), QString("value 5"));
        QCOMPARE(q.value(11).toInt(), 0);
        QCOMPARE(ed::column("select Lperform || '/' || ChoirID || '/' || coalesce(other, 'null') from col_lperform"
                            " where collectionid = ?", {id}),
                 QStringList({"2020-12-24/0/null"}));
        QCOMPARE(coltest::linked("col_th_l", "themeid", id), QList<qint32>({lib.easter}));
        QCOMPARE(coltest::linked("col_v_l", "vocalsid", id), QList<qint32>({lib.ssa}));
        QCOMPARE(coltest::linked("col_orch_l", "orchid", id), QList<qint32>({lib.brass}));
        QCOMPARE(coltest::linked("col_chr_l", "choirid", id), QList<qint32>({lib.youth}));
        QCOMPARE(coltest::linked("col_com_l", "composerid", id), QList<qint32>({lib.rutter, lib.handel}));

        // Shown again as stored; the letter bar and list follow the name.
        QCOMPARE(nameOf(f), QString(100, 'N'));
        QCOMPARE(edit(f, "CostPerCopy")->text(), QString("$1,234.50"));
        QCOMPARE(edit(f, "NumCopies")->text(), QString("1,200"));
        QCOMPARE(letterLook(f, 'N'), 1);
        QCOMPARE(listItems(f), QStringList({QString(100, 'N')}));

        // Unticked everywhere, emptied cost and copies, cleared dates: no
        // links, no values, and the performed date stays.
        for (const char *g : {"ThemesGrid", "VocalsGrid", "OrchGrid", "ChoirGrid"})
            clickGridRow(f, grid(f, g), ticked(grid(f, g)).first());
        type(edit(f, "CostPerCopy"), "");
        type(edit(f, "NumCopies"), " ");
        w<QPushButton>(f, "btnClearDate0")->click();
        w<QPushButton>(f, "btnClearDate1")->click();
        QVERIFY(date(f, "LastPerformed")->isEmpty());
        press(f, Save);
        for (const char *t : {"col_th_l", "col_v_l", "col_orch_l", "col_chr_l"})
            QCOMPARE(ed::count(QStringLiteral("select count(*) from %1 where collectionid = ?").arg(t), {id}), 0);
        QCOMPARE(ed::count("select count(*) from col_com_l where collectionid = ?", {id}), 2);
        QVERIFY(Db::scalar("select CostPerCopy from collection where collectionid = ?", {id}).isNull());
        QVERIFY(Db::scalar("select NumCopies from collection where collectionid = ?", {id}).isNull());
        QVERIFY(Db::scalar("select DatePurchased from collection where collectionid = ?", {id}).isNull());
        QCOMPARE(ed::count("select count(*) from col_lperform where collectionid = ?", {id}), 1);
        QCOMPARE(date(f, "LastPerformed")->text(), QString("12/24/2020"));
        // A record without cost or copies shows the cleared window's zeros.
        QCOMPARE(edit(f, "CostPerCopy")->text(), QString("$0.00"));
        QCOMPARE(edit(f, "NumCopies")->text(), QString("0"));
    }

    void costAndCopiesTakeWhatTheEditorShows()
    {
        const qint32 id = ed::insertRow("insert into collection (Collection, CostPerCopy, NumCopies, LoanedTo) "
                                        "values ('Psalter', 3.25, 10, 'Choir room')");
        CollectionForm *f = openCollections();
        type(edit(f, "Location"), "Shelf 9");
        type(edit(f, "CostPerCopy"), "three dollars");
        press(f, Save);
        QVERIFY(m_prompter->lastMessage().contains("\"three dollars\" is not an amount"));
        QCOMPARE(edit(f, "CostPerCopy")->text(), QString("three dollars"));
        QCOMPARE(edit(f, "Location")->text(), QString("Shelf 9"));
        QVERIFY(Db::scalar("select Location from collection where collectionid = ?", {id}).isNull());
        type(edit(f, "CostPerCopy"), "($4.50)");
        type(edit(f, "NumCopies"), "2.5");
        press(f, Save);
        QVERIFY(m_prompter->lastMessage().contains("\"2.5\" is not a number of copies"));
        QCOMPARE(coltest::count("select NumCopies from collection where collectionid = ?", {id}), 10);
        // So is a mistyped date.
        type(edit(f, "NumCopies"), "12");
        typeDate(date(f, "LastPerformed"), "13/45/2001");
        press(f, Save);
        QVERIFY(m_prompter->lastMessage().contains("is not a date"));
        QVERIFY(Db::scalar("select Location from collection where collectionid = ?", {id}).isNull());
        typeDate(date(f, "LastPerformed"), "");
        // Exactly what the editor displays is taken back; a quote in a text
        // is stored as typed.
        type(edit(f, "NumCopies"), "1,200");
        type(edit(f, "Location"), "O'Brien's shelf");
        press(f, Save);
        QCOMPARE(m_prompter->lastMessage(), QString("The collection has been saved."));
        QCOMPARE(Db::scalar("select CostPerCopy from collection where collectionid = ?", {id}).toDouble(), -4.5);
        QCOMPARE(coltest::count("select NumCopies from collection where collectionid = ?", {id}), 1200);
        QCOMPARE(text("select Location from collection where collectionid = ?", {id}), QString("O'Brien's shelf"));
        QCOMPARE(edit(f, "NumCopies")->text(), QString("1,200"));
        press(f, Save); // as shown, unchanged
        QCOMPARE(Db::scalar("select CostPerCopy from collection where collectionid = ?", {id}).toDouble(), -4.5);
        QCOMPARE(coltest::count("select NumCopies from collection where collectionid = ?", {id}), 1200);

        // An empty name never reaches the save.
        type(edit(f, "CollectionName"), "  ");
        press(f, Save);
        QCOMPARE(m_prompter->lastMessage(), QString("The system requires that a name be entered."));
        QCOMPARE(text("select Collection from collection where collectionid = ?", {id}), QString("Psalter"));
    }

    void aFailedSaveKeepsTheAddAndWhatWasTyped()
    {
        coltest::Library lib;
        lib.create();
        CollectionForm *f = openCollections();
        press(f, Add);
        type(edit(f, "CollectionName"), "Unlucky Book");
        type(edit(f, "LoanedTo"), "Nobody");
        clickGridRow(f, grid(f, "ThemesGrid"), "Lent");
        Db::exec("create trigger no_links before insert on col_th_l begin select raise(abort, 'disk full'); end");
        press(f, Save);
        QVERIFY(m_prompter->lastMessage().contains("disk full"));
        QVERIFY(f->isAdding());
        QCOMPARE(visibleButtons(f), QList<int>({Cancel, Save}));
        QCOMPARE(f->Col_Data.CurCollection(), 0);
        QCOMPARE(nameOf(f), QString("Unlucky Book"));
        QCOMPARE(ticked(grid(f, "ThemesGrid")), QStringList({"Lent"}));
        QCOMPARE(coltest::count("select count(*) from collection"), 3);

        // The retry adds it; the collection shown before Add is untouched.
        Db::exec("drop trigger no_links");
        press(f, Save);
        QCOMPARE(coltest::count("select count(*) from collection"), 4);
        QCOMPARE(text("select Collection from collection where collectionid = ?", {lib.carols}),
                 QString("Carols Book"));
        QCOMPARE(text("select LoanedTo from collection where collectionid = ?", {lib.carols}), QString("O'Brien"));
        QCOMPARE(coltest::linked("col_th_l", "themeid", lib.carols), QList<qint32>({lib.lent, lib.advent}));
        const qint32 id = f->Col_Data.CurCollection();
        QCOMPARE(coltest::linked("col_th_l", "themeid", id), QList<qint32>({lib.lent}));
    }

    void whileAddingNoCollectionIsShown()
    {
        coltest::Library lib;
        lib.create();
        CollectionForm *f = openCollections();
        QCOMPARE(f->Col_Data.CurCollection(), lib.carols);
        press(f, Add);
        QCOMPARE(f->Col_Data.CurCollection(), 0);
        QVERIFY(!w<QPushButton>(f, "btnAllPerform")->isEnabled());
        type(edit(f, "CollectionName"), "New Book");
        clickGridRow(f, grid(f, "ThemesGrid"), "Easter");

        // A theme added meanwhile: the grid refills unmarked, the new one
        // unticked, the user's tick kept, nothing of the collection shown
        // before Add.
        m_prompter->inputAnswers.enqueue(QString("Zeal"));
        w<QPushButton>(f, "btnAddTheme")->click();
        QCOMPARE(grid(f, "ThemesGrid")->Rows(), 5);
        QCOMPARE(ticked(grid(f, "ThemesGrid")), QStringList({"Easter"}));
        for (int r = 1; r < 5; ++r)
            QCOMPARE(grid(f, "ThemesGrid")->sortKeyAt(r), QString("1")); // nothing marked as linked

        // A viewer's double-click asks first; Cancel keeps the add.
        m_prompter->messageAnswers.enqueue(MsgResult::Cancel);
        OpenCollectionRecord(lib.hymnal);
        QCOMPARE(m_prompter->lastMessage(), QString("Save the changes to this record?"));
        QVERIFY(f->isAdding());
        QCOMPARE(nameOf(f), QString("New Book"));
        QCOMPARE(f->Col_Data.CurCollection(), 0);
        press(f, Save);
        const qint32 id = f->Col_Data.CurCollection();
        QVERIFY(id > lib.hymnal);
        QCOMPARE(coltest::linked("col_th_l", "themeid", id), QList<qint32>({lib.easter}));
        QCOMPARE(coltest::count("select count(*) from col_lperform where collectionid = ?", {id}), 0);

        // Outside adding, a viewer's double-click shows its collection.
        OpenCollectionRecord(lib.hymnal);
        QCOMPARE(nameOf(f), QString("hymnal"));
        QCOMPARE(letterLook(f, 'H'), 1);
        // Cancel after Add shows the first collection, not the one before.
        press(f, Add);
        press(f, Cancel);
        QCOMPARE(nameOf(f), QString("Carols Book"));
        QCOMPARE(f->Col_Data.CurCollection(), lib.carols);
    }

    void theNameListKeepsExactCaseRuns()
    {
        const qint32 first = ed::insertRow("insert into collection (Collection) values ('Psalms')");
        ed::insertRow("insert into collection (Collection) values ('Psalms')");
        ed::insertRow("insert into collection (Collection) values ('Psalms')");
        const qint32 lower = ed::insertRow("insert into collection (Collection) values ('psalms')");
        const qint32 praise = ed::insertRow("insert into collection (Collection) values ('Praise')");
        CollectionForm *f = openCollections();
        QCOMPARE(f->Col_Data.CurCollection(), praise);
        QCOMPARE(listItems(f), QStringList({"Praise", "Psalms {3}", "psalms"}));
        // Each item opens the first record of its run, also when the names
        // differ only in letter case.
        chooseListItem(f, "psalms");
        QCOMPARE(f->Col_Data.CurCollection(), lower);
        chooseListItem(f, "Psalms {3}");
        QCOMPARE(f->Col_Data.CurCollection(), first);
        press(f, Previous);
        QCOMPARE(f->Col_Data.CurCollection(), praise);
        press(f, Previous); // wraps to the last
        QCOMPARE(f->Col_Data.CurCollection(), lower);
        press(f, Next);
        QCOMPARE(f->Col_Data.CurCollection(), praise);
    }

    void theAnthemsGridFollowsTheAnthemEditor()
    {
        coltest::Library lib;
        lib.create();
        CollectionForm *f = openCollections();
        QCOMPARE(anthemTitles(f), QStringList({"amazing grace", "Joy to the World", "O Holy Night"}));
        press(f, Last);
        QCOMPARE(nameOf(f), QString("hymnal"));
        QCOMPARE(anthemsGrid(f)->rowCount(), 0);
        press(f, First);
        // A long title shows whole on one line.
        const QString longTitle = QString("Wonderful Counsellor Mighty God Everlasting Father Prince of Peace, "
                                          "arranged for SATB choir");
        Db::exec("update anthem set Anthem = ? where anthemid = ?", {longTitle, lib.holyNight});
        f->BuildAnthemsGrid(f->Col_Data.CurCollection(), true);
        QTableWidget *grid = anthemsGrid(f);
        QVERIFY(!grid->wordWrap());
        QVERIFY(grid->columnWidth(1) > grid->fontMetrics().horizontalAdvance(longTitle));
        Db::exec("update anthem set Anthem = 'O Holy Night' where anthemid = ?", {lib.holyNight});
        f->BuildAnthemsGrid(f->Col_Data.CurCollection(), true);
        QVERIFY(grid->columnWidth(1) >= grid->viewport()->width() - 1);

        // A double-click opens the anthem in the anthem editor.
        doubleClickAnthem(f, "Joy to the World");
        AnthemForm *a = Forms::find<AnthemForm>(AnthemFormCode);
        QVERIFY(a);
        QCOMPARE(a->A_Data.CurAnthem(), lib.joy);
        QCOMPARE(edit(a, "AnthemName")->text(), QString("Joy to the World"));
        // Return on an anthem's row opens it too.
        openCell(grid, grid->model()->index(2, 1), true);
        QCOMPARE(a->A_Data.CurAnthem(), lib.holyNight);
        doubleClickAnthem(f, "Joy to the World");

        // An anthem of the collection renamed there, one moved into it and
        // one moved out of it: the grid follows each.
        type(edit(a, "AnthemName"), "Joy to the Whole World");
        press(a, Save);
        QCOMPARE(anthemTitles(f), QStringList({"amazing grace", "Joy to the Whole World", "O Holy Night"}));
        OpenAnthemRecord(lib.loose);
        chooseCollectionIn(a, "Carols Book");
        press(a, Save);
        QCOMPARE(anthemTitles(f).size(), 4);
        OpenAnthemRecord(lib.amazing);
        chooseCollectionIn(a, "Easter Book");
        press(a, Save);
        QCOMPARE(anthemTitles(f), QStringList({"Joy to the Whole World", "Loose Anthem", "O Holy Night"}));
        // Deleted there: gone here too.
        OpenAnthemRecord(lib.holyNight);
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(a, Delete);
        QCOMPARE(anthemTitles(f), QStringList({"Joy to the Whole World", "Loose Anthem"}));
    }

    void savingReachesTheAnthemEditor()
    {
        coltest::Library lib;
        lib.create();
        Db::exec("update anthem set LoanedTo = 'their own' where anthemid = ?", {lib.amazing});
        OpenAnthemRecord(lib.holyNight);
        AnthemForm *a = Forms::find<AnthemForm>(AnthemFormCode);
        CollectionForm *f = openCollections();
        QSignalSpy stored(&ChangeNotifier::instance(), &ChangeNotifier::collectionStored);

        // Unchanged loaned-to: no anthem touched.
        type(edit(f, "Catalog"), "C-2");
        press(f, Save);
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.last().at(1).toBool(), false);
        QCOMPARE(text("select LoanedTo from anthem where anthemid = ?", {lib.amazing}), QString("their own"));

        // Changed: every anthem of the collection takes it, and the anthem
        // editor, browsing one of them, shows it.
        type(edit(f, "LoanedTo"), "Mrs O'Neil's choir");
        type(edit(f, "CollectionName"), "Carols, Book One");
        press(f, Save);
        QCOMPARE(stored.last().at(0).toInt(), lib.carols);
        QCOMPARE(stored.last().at(1).toBool(), true);
        for (qint32 id : {lib.joy, lib.amazing, lib.holyNight})
            QCOMPARE(text("select LoanedTo from anthem where anthemid = ?", {id}), QString("Mrs O'Neil's choir"));
        QCOMPARE(text("select coalesce(LoanedTo, '') from anthem where anthemid = ?", {lib.christ}), QString());
        QCOMPARE(edit(a, "LoanedTo")->text(), QString("Mrs O'Neil's choir"));
        QCOMPARE(w<QComboBox>(a, "CollectionCombo")->currentText(), QString("Carols, Book One"));

        // An anthem being typed there is never replaced: its collection,
        // chosen by id, follows a rename.
        press(a, Add);
        type(edit(a, "AnthemName"), "Typed Anthem");
        type(edit(a, "LoanedTo"), "Typed loan");
        chooseCollectionIn(a, "Carols, Book One");
        type(edit(f, "LoanedTo"), "");
        type(edit(f, "CollectionName"), "Zion Carols");
        press(f, Save);
        QVERIFY(a->isAdding());
        QCOMPARE(edit(a, "AnthemName")->text(), QString("Typed Anthem"));
        QCOMPARE(edit(a, "LoanedTo")->text(), QString("Typed loan"));
        QCOMPARE(w<QComboBox>(a, "CollectionCombo")->currentText(), QString("Zion Carols"));
        QCOMPARE(coltest::count("select count(*) from anthem where collectionid = ? and coalesce(LoanedTo, '') = ''",
                                {lib.carols}),
                 3);
        press(a, Save);
        QCOMPARE(coltest::count("select collectionid from anthem where Anthem = 'Typed Anthem'"), lib.carols);
    }

    void theAnthemEditorsCollectionListComesOn()
    {
        ed::addAnthem("Lonely Anthem");
        OpenFormByCode(AnthemFormCode);
        AnthemForm *a = Forms::find<AnthemForm>(AnthemFormCode);
        auto *combo = w<QComboBox>(a, "CollectionCombo");
        w<QCheckBox>(a, "CollectionCheck")->click();
        QVERIFY(!combo->isEnabled());
        CollectionForm *f = openCollections();
        QCOMPARE(visibleButtons(f), QList<int>({Add}));
        press(f, Add);
        type(edit(f, "CollectionName"), "First Book");
        press(f, Save);
        // The tick stays, unsaved, and the list, read again, can be used.
        QVERIFY(w<QCheckBox>(a, "CollectionCheck")->isChecked());
        QVERIFY(combo->isEnabled());
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(0), QString("First Book"));
        chooseCollectionIn(a, "First Book");
        press(a, Save);
        QCOMPARE(anthemTitles(f), QStringList({"Lonely Anthem"}));
    }

    void theScheduleAndPerformedDatesDialogs()
    {
        struct Call {
            ScheduleCaller caller;
            qint32 id;
            QString title;
        };
        QList<Call> calls;
        RecordDialogs::setScheduleEntryDialog(
            [&](ScheduleCaller c, qint32 id, const QString &title) { calls.append({c, id, title}); });
        RecordDialogs::setPerformedDatesDialog([&](ScheduleCaller c, qint32 id) { calls.append({c, id, "dates"}); });
        coltest::Library lib;
        lib.create();
        CollectionForm *f = openCollections();
        QCOMPARE(toolbar(f)->button(RecordButton::Schedule)->toolTip(), QString("Schedule Collection (Ctrl+Shift+S)"));
        press(f, RecordButton::Schedule);
        w<QPushButton>(f, "btnAllPerform")->click();
        QCOMPARE(calls.size(), 2);
        QVERIFY(calls[0].caller == ScheduleCaller::Collection);
        QCOMPARE(calls[0].id, lib.carols);
        QCOMPARE(calls[0].title, QString("Carols Book"));
        QVERIFY(calls[1].caller == ScheduleCaller::Collection);
        QCOMPARE(calls[1].id, lib.carols);
        QCOMPARE(calls[1].title, QString("dates"));
        press(f, Add);
        QVERIFY(!toolbar(f)->isButtonVisible(RecordButton::Schedule));
        QVERIFY(!w<QPushButton>(f, "btnAllPerform")->isEnabled());
    }

private:
    static void chooseCollectionIn(QWidget *anthemEditor, const QString &name)
    {
        if (!w<QCheckBox>(anthemEditor, "CollectionCheck")->isChecked())
            w<QCheckBox>(anthemEditor, "CollectionCheck")->click();
        chooseCollection(anthemEditor, name);
    }

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
};

QTEST_MAIN(TestCollectionForm)
#include "tst_collectionform.moc"
