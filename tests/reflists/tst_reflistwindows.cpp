// The nine reference-list windows: opening, listing, adding, renaming and
// deleting through their controls, and the rule that nothing still in use
// is deleted.
#include "Cursor.h"
#include "MainFormMDI.h"
#include "RefListTestUtil.h"

#include <QApplication>

#include <QHeaderView>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolBox>

class TestRefListWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerRefListForms(); }

    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
    }

    void cleanup()
    {
        closeAllForms();
        m_prompter.reset();
        m_folder.reset();
    }

    void eachWindowAsDesigned_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<bool>("flagged");
        const QStringList plain{"Add New", "Modify Selected", "Delete Selected", "Close"};
        QTest::newRow("themes") << 6 << "ThemeForm" << "Themes" << "ThemeGrid"
                                << QStringList{"Theme", "Theme Description"}
                                << QStringList{"btnAddTheme", "btnModifyTheme", "btnDeleteTheme", "btnCLose"}
                                << QStringList{"Add New Theme", "Modify Selected Theme", "Delete Selected Theme", "Close"}
                                << true;
        QTest::newRow("composers") << 7 << "ComposerForm" << "Arrangers/Composers" << "ComposerGrid"
                                   << QStringList{"Arranger/Composer"}
                                   << QStringList{"btnAddComposer", "btnModifyComposer", "btnDeleteComposer", "btnCLose"}
                                   << plain << true;
        QTest::newRow("orchestration")
            << 8 << "OrchestrationForm" << "Orchestration" << "OrchestrationGrid"
            << QStringList{"Orchestration/Instrument"}
            << QStringList{"btnAddOrchestration", "btnModifyOrchestration", "btnDeleteOrchestration", "btnCLose"}
            << plain << true;
        QTest::newRow("vocals") << 9 << "VocalsForm" << "Vocalization - Music" << "VocalsGrid"
                                << QStringList{"Vocalizing"}
                                << QStringList{"btnAddVocals", "btnModifyVocals", "btnDeleteVocals", "btnCLose"}
                                << plain << true;
        QTest::newRow("choirs") << 10 << "ChoirForm" << "Choirs" << "ChoirGrid"
                                << QStringList{"Choir", "Choir Description"}
                                << QStringList{"btnAddChoir", "btnModifyChoir", "btnDeleteChoir", "btnCLose"}
                                << QStringList{"Add New Choir", "Modify Selected Choir", "Delete Selected Choir", "Close"}
                                << false;
        QTest::newRow("sections") << 11 << "VocalsMForm" << "Sections - Members" << "VocalsMGrid"
                                  << QStringList{"Sections"}
                                  << QStringList{"btnAddVocals", "btnModifyVocals", "btnDeleteVocals", "btnCLose"}
                                  << plain << false;
        QTest::newRow("cities") << 14 << "CityForm" << "Cities" << "CityGrid" << QStringList{"City"}
                                << QStringList{"btnAddCity", "btnModifyCity", "btnDeleteCity", "btnCLose"} << plain
                                << false;
        QTest::newRow("zips") << 15 << "ZipForm" << "ZipCodes" << "ZipGrid" << QStringList{"ZipCode"}
                              << QStringList{"btnAddZip", "btnModifyZip", "btnDeleteZip", "btnCLose"} << plain << false;
        QTest::newRow("schools") << 16 << "SchoolForm" << "Schools" << "SchGrid" << QStringList{"School"}
                                 << QStringList{"btnAddSch", "btnModifySch", "btnDeleteSch", "btnCLose"} << plain
                                 << false;
    }

    // Opened by code, each window shows its own name, caption, grid and
    // buttons; the flagged four keep their flag while open.
    void eachWindowAsDesigned()
    {
        QFETCH(int, code);
        QFETCH(QString, window);
        QFETCH(QString, caption);
        QFETCH(QString, grid);
        QFETCH(QStringList, headers);
        QFETCH(QStringList, buttons);
        QFETCH(QStringList, captions);
        QFETCH(bool, flagged);

        OpenFormByCode(code);
        QWidget *w = Forms::instance(code);
        QVERIFY(w);
        QVERIFY(!Cursor::isBusy());
        QCOMPARE(w->objectName(), window);
        QCOMPARE(w->windowTitle(), caption);
        auto *g = w->findChild<QTableWidget *>(grid);
        QVERIFY(g);
        QCOMPARE(g->columnCount(), headers.size() + 1);
        QVERIFY(g->isColumnHidden(0));
        for (int c = 0; c < headers.size(); ++c) {
            QCOMPARE(g->horizontalHeaderItem(c + 1)->text(), headers[c]);
            QVERIFY(g->horizontalHeaderItem(c + 1)->font().bold());
        }
        for (int i = 0; i < buttons.size(); ++i) {
            auto *b = w->findChild<QPushButton *>(buttons[i]);
            QVERIFY2(b, qPrintable(buttons[i]));
            QCOMPARE(b->text(), captions[i]);
        }
        const bool flags[] = {hx().ThemeFormLoaded, hx().ComposerFormLoaded, hx().OrchestrationFormLoaded,
                              hx().VocalsFormLoaded};
        QCOMPARE(flags[0] || flags[1] || flags[2] || flags[3], flagged);

        OpenFormByCode(code);
        QCOMPARE(Forms::instance(code), w); // one instance
        clickButton(w, "btnCLose");
        QVERIFY(!Forms::instance(code));
        QVERIFY(!hx().ThemeFormLoaded && !hx().ComposerFormLoaded && !hx().OrchestrationFormLoaded
                && !hx().VocalsFormLoaded);
    }

    // In the main window on a 1280 x 800 screen every list opens with its
    // buttons and its column titles whole, empty or filled.
    void everyWindowOpensWithEveryCaptionWhole()
    {
        auto *main = new MainFormMDI;
        main->resize(1280, 760);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        for (const char *table : {"orchestration", "composer", "themes", "choir", "vocals", "vocalsm", "city", "zip",
                                  "school"})
            Db::exec(QStringLiteral("delete from %1").arg(QLatin1String(table)));
        for (bool filled : {false, true}) {
            if (filled)
                Db::exec("insert into orchestration (orchestration) values ('Organ')");
            for (int code : {6, 7, 8, 9, 10, 11, 14, 15, 16}) {
                OpenFormByCode(code);
                QWidget *w = Forms::instance(code);
                QVERIFY(w);
                QApplication::processEvents();
                QVERIFY2(cutCaptions(w).isEmpty(),
                         qPrintable(QStringLiteral("%1: %2").arg(w->objectName(), cutCaptions(w).join(QStringLiteral(", ")))));
                QVERIFY(w->parentWidget()->geometry().bottom() < 800);
                w->parentWidget()->close();
            }
        }
        delete main;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The main window's menu items and list-bar items reach all nine.
    void opensFromMenuAndListBar()
    {
        auto *main = new MainFormMDI;
        const struct {
            const char *menu;
            const char *listBar;
            int code;
            const char *window;
        } items[] = {{"menuThemes", "Themes", 6, "ThemeForm"},
                     {"menuComposers", "Arrangers/ Composers", 7, "ComposerForm"},
                     {"menuOrchestration", "Orchestration", 8, "OrchestrationForm"},
                     {"menuVocals", "Music Vocalization", 9, "VocalsForm"},
                     {"menuChoirs", "Choirs", 10, "ChoirForm"},
                     {"menuMVocals", "Member Sections", 11, "VocalsMForm"},
                     {"menuCity", "City Utility", 14, "CityForm"},
                     {"menuZip", "ZipCode Utility", 15, "ZipForm"},
                     {"menuSchool", "School Utility", 16, "SchoolForm"}};
        for (const auto &it : items) {
            main->findChild<QAction *>(it.menu)->trigger();
            QWidget *w = Forms::instance(it.code);
            QVERIFY2(w, it.menu);
            QCOMPARE(w->objectName(), QString(it.window));
            QCOMPARE(main->mdiArea()->activeSubWindow()->widget(), w);
            w->parentWidget()->close();
            QVERIFY(!Forms::instance(it.code));
            main->listBarItemClicked(it.listBar);
            QVERIFY2(Forms::instance(it.code), it.listBar);
        }
        QCOMPARE(main->mdiArea()->subWindowList().size(), 9);
        main->mdiArea()->closeAllSubWindows();
        delete main;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Names in order without regard to case, ties by id; Null shows as
    // empty; the id hidden in column 0; nothing selected after a fill.
    void gridListsEntriesByName()
    {
        const qint32 beta = addRow("themes", "theme", "beta");
        Db::exec("insert into themes (theme, Description) values ('Alpha', 'First one')");
        addRow("themes", "theme", "élan");
        addRow("themes", "theme", "ÉLAN");
        addRow("themes", "theme", QVariant());
        auto *w = openList<ThemeForm>(ThemeFormCode);
        QTableWidget *g = w->grid();
        QCOMPARE(gridNames(g), QStringList({"", "Alpha", "beta", "élan", "ÉLAN"}));
        QCOMPARE(g->item(1, 2)->text(), QString("First one"));
        QCOMPARE(g->item(2, 0)->text(), QString::number(beta));
        QCOMPARE(w->currentRow(), 0);

        // An empty list shows its header alone.
        Db::exec("delete from themes");
        w->FillThemeGrid(true);
        QCOMPARE(g->rowCount(), 0);
        QCOMPARE(g->horizontalHeaderItem(1)->text(), QString("Theme"));
        // False keeps the header and no rows, whatever the table holds.
        addRow("themes", "theme", "Gamma");
        w->FillThemeGrid(false);
        QCOMPARE(g->rowCount(), 0);
    }

    // A long name leaves every other name readable, the long one cut,
    // whole in its tooltip; the names stay centred.
    void aLongNameIsCutWithinTheList()
    {
        const QString longName = QString("Wolfgang Amadeus Mozart and Johann Sebastian Bach ").repeated(2).left(100);
        for (const QString &name : {QString("Bach, J. S."), QString("Handel"), QString("O"), QString("W"), longName}) {
            addRow("composer", "composer", name);
            addRow("themes", "theme", name);
        }
        Db::exec("update themes set Description = 'Close' where theme = 'Handel'");
        for (int code : {ComposerFormCode, ThemeFormCode}) {
            auto *w = openList<RefListForm>(code);
            QVERIFY(QTest::qWaitForWindowExposed(w));
            QCOMPARE(unreadableTexts(w, w->grid(), 1, longName), QStringList());
            QCOMPARE(w->grid()->item(0, 1)->textAlignment(), int(Qt::AlignCenter));
        }
    }

    // Modify and Delete do nothing without a selected entry or on an entry
    // without a name.
    void modifyAndDeleteNeedAnEntry()
    {
        addRow("zip", "Zip", "12345");
        addRow("zip", "Zip", "");
        auto *w = openList<ZipForm>(ZipFormCode);
        clickButton(w, "btnModifyZip");
        clickButton(w, "btnDeleteZip");
        selectName(w->grid(), "");
        QCOMPARE(w->currentRow(), 1);
        clickButton(w, "btnModifyZip");
        clickButton(w, "btnDeleteZip");
        QVERIFY(m_prompter->dialogs.isEmpty());
        QVERIFY(m_prompter->messages.isEmpty());
        QCOMPARE(countRows("zip"), 2);
    }

    // Add, rename and a cancelled add on a list that only refreshes itself.
    void addRenameAndCancel()
    {
        auto *w = openList<CityForm>(CityFormCode);
        m_prompter->dialogHandlers.enqueue(typeAndSave({"  Springfield  "}));
        clickButton(w, "btnAddCity");
        QCOMPARE(m_prompter->dialogs, QStringList({"UtilityForm"}));
        QCOMPARE(gridNames(w->grid()), QStringList({"Springfield"}));
        QCOMPARE(hx().UtilityMode, -1);

        selectName(w->grid(), "Springfield");
        m_prompter->dialogHandlers.enqueue(typeAndSave({"Shelbyville"}));
        clickButton(w, "btnModifyCity");
        QCOMPARE(gridNames(w->grid()), QStringList({"Shelbyville"}));
        QCOMPARE(columnValues("select City from city"), QStringList({"Shelbyville"}));

        // A cancel writes nothing and does not refill: the selection stays.
        selectName(w->grid(), "Shelbyville");
        m_prompter->dialogHandlers.enqueue(typeAndCancel("Ogdenville"));
        clickButton(w, "btnAddCity");
        QCOMPARE(hx().UtilityMode, 12);
        QCOMPARE(countRows("city"), 1);
        QCOMPARE(w->currentRow(), 1);
    }

    // Delete asks first (name with an apostrophe), refuses while the entry
    // is linked and deletes once it is not.
    void deleteAsksAndRefusesWhileInUse()
    {
        const qint32 id = addRow("composer", "composer", "O'Brien");
        addRow("composer", "composer", "Bach");
        Db::exec("insert into a_com_l (anthemid, composerid) values (7, ?)", {id});
        auto *w = openList<ComposerForm>(ComposerFormCode);

        selectName(w->grid(), "O'Brien");
        m_prompter->messageAnswers.enqueue(MsgResult::No);
        clickButton(w, "btnDeleteComposer");
        QCOMPARE(m_prompter->messages.size(), 1);
        QCOMPARE(m_prompter->messages[0].text, QString("Do you wish to delete the Composer: \nO'Brien ????"));
        QCOMPARE(m_prompter->messages[0].title, QString("Deletion confirmation"));
        QCOMPARE(m_prompter->messages[0].buttons, MsgButtons::YesNo);
        QCOMPARE(countRows("composer"), 2);

        m_prompter->messages.clear();
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        clickButton(w, "btnDeleteComposer");
        QCOMPARE(m_prompter->messages.size(), 2);
        QCOMPARE(m_prompter->messages[1].text,
                 QString("The selected Composer is assigned to a collection or anthem\nThe Composer cannot be deleted..."));
        QCOMPARE(m_prompter->messages[1].title, QString("Composer Delete"));
        QCOMPARE(m_prompter->messages[1].icon, MsgIcon::Information);
        QCOMPARE(countRows("composer"), 2);
        QCOMPARE(w->currentRow(), 2); // grid and selection as they were

        Db::exec("delete from a_com_l");
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        clickButton(w, "btnDeleteComposer");
        QCOMPARE(columnValues("select composer from composer"), QStringList({"Bach"}));
        QCOMPARE(gridNames(w->grid()), QStringList({"Bach"}));
    }

    void inUseMatrix_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("reference"); // inserts a row naming the entry (bound as ?)
        QTest::addColumn<QString>("refusal");
        const QString th = "The selected theme is assigned to a collection or anthem\nThe theme cannot be deleted...";
        const QString vo = "The selected vocalization is assigned to a collection or anthem\n"
                           "The vocalization cannot be deleted...";
        const QString co = "The selected Composer is assigned to a collection or anthem\nThe Composer cannot be deleted...";
        const QString orch = "The orchestration cannot be deleted...";
        const QString ch = "The Choir cannot be deleted...";
        auto row = [](const char *name, RefKindId k, const char *sql, const QString &refusal) {
            QTest::newRow(name) << int(k) << QString(sql) << refusal;
        };
        row("theme/collection", RefKindId::Theme, "insert into col_th_l (collectionid, themeid) values (1, ?)", th);
        row("theme/anthem", RefKindId::Theme, "insert into a_th_l (anthemid, themeid) values (1, ?)", th);
        row("vocals/collection", RefKindId::Vocals, "insert into col_v_l (collectionid, vocalsid) values (1, ?)", vo);
        row("vocals/anthem", RefKindId::Vocals, "insert into a_v_l (anthemid, vocalsid) values (1, ?)", vo);
        row("composer/collection", RefKindId::Composer,
            "insert into col_com_l (collectionid, composerid) values (1, ?)", co);
        row("composer/anthem", RefKindId::Composer, "insert into a_com_l (anthemid, composerid) values (1, ?)", co);
        row("orch/collection", RefKindId::Orchestration, "insert into col_orch_l (collectionid, orchid) values (1, ?)",
            "The selected orchestration is assigned to a collection or anthem\n" + orch);
        row("orch/anthem", RefKindId::Orchestration, "insert into a_orch_l (anthemid, orchid) values (1, ?)",
            "The selected orchestration is assigned to a collection or anthem\n" + orch);
        row("orch/member instrument", RefKindId::Orchestration,
            "insert into m_orch_l (memberid, orchid) values (1, ?)",
            "The selected orchestration is assigned to a member\n" + orch);
        const QString chLinked = "The selected choir is assigned to a collection, anthem, or still has members\n" + ch;
        row("choir/collection", RefKindId::Choir, "insert into col_chr_l (collectionid, choirid) values (1, ?)",
            chLinked);
        row("choir/anthem", RefKindId::Choir, "insert into a_chr_l (anthemid, choirid) values (1, ?)", chLinked);
        row("choir/member", RefKindId::Choir, "insert into chr_m_l (memberid, choirid, isactive) values (1, ?, 0)",
            chLinked);
        row("choir/schedule", RefKindId::Choir,
            "insert into schedule (SchedDate, AMPM, anthemid, ChoirID) values ('2030-01-06', 'AM', 1, ?)",
            "The selected choir is still on the schedule\n" + ch);
        row("choir/anthem performed", RefKindId::Choir,
            "insert into a_lperform (Lperform, anthemid, ChoirID) values ('2020-01-05', 1, ?)",
            "The selected choir is named in performed dates\n" + ch);
        row("choir/collection performed", RefKindId::Choir,
            "insert into col_lperform (Lperform, collectionid, ChoirID) values ('2020-01-05', 1, ?)",
            "The selected choir is named in performed dates\n" + ch);
        row("section/member", RefKindId::Section, "insert into m_vm_l (memberid, vocalsmid) values (1, ?)",
            "The selected section is assigned to a member\nThe section cannot be deleted...");
        row("city/member", RefKindId::City, "insert into member (LName, CityID) values ('Ames', ?)",
            "The selected city is assigned to a member\nThe city cannot be deleted...");
        row("zip/member", RefKindId::Zip, "insert into member (LName, ZipID) values ('Ames', ?)",
            "The selected zipcode is assigned to a member\nThe zipcode cannot be deleted...");
        row("school/member", RefKindId::School, "insert into member (LName, SchoolID) values ('Ames', ?)",
            "The selected school is assigned to a member\nThe school cannot be deleted...");
    }

    // Every table that can name an entry keeps it from being deleted; an
    // entry nothing names goes, and a refusal deletes nothing.
    void inUseMatrix()
    {
        QFETCH(int, kind);
        QFETCH(QString, reference);
        QFETCH(QString, refusal);
        const RefKind &k = refKind(RefKindId(kind));
        const QString table = QString::fromLatin1(k.table);
        const QString nameColumn = QString::fromLatin1(k.nameColumn);
        const qint32 used = addRow(table, nameColumn, "Used");
        const qint32 free = addRow(table, nameColumn, "Free");
        Db::exec(reference, {used});

        const RefUse *use = nullptr;
        QCOMPARE(RefData::deleteEntry(k, used, &use), RefData::DeleteResult::InUse);
        QCOMPARE(RefData::refusalText(k, use), refusal);
        QCOMPARE(RefData::deleteEntry(k, free), RefData::DeleteResult::Deleted);
        QCOMPARE(columnValues(QString("select %1 from %2").arg(nameColumn, table)), QStringList({"Used"}));
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
};

QTEST_MAIN(TestRefListWindows)
#include "tst_reflistwindows.moc"
