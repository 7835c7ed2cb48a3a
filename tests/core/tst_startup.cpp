// Start-up: the database file, the splash window, the main window's load,
// its first activation and the saved window state.
#include "AppPaths.h"
#include "Cursor.h"
#include "Db.h"
#include "DbFiles.h"
#include "MainFormMDI.h"
#include "Module.h"
#include "Schema.h"
#include "SplashForm.h"
#include "Startup.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
    }

    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        AppPaths::setProgramFolder(m_dir.path());
        WindowStateSetting::write(0);
    }

    void cleanup()
    {
        Db::close();
        AppPaths::setProgramFolder(QString());
    }

    void newDatabaseIsCopiedFromTheTemplate()
    {
        QVERIFY(writeTemplate(m_dir.path()));
        QString error;
        const QString db = Schema::ensureDatabaseFile(m_dir.path(), &error);
        QCOMPARE(db, QDir(m_dir.path()).filePath("hxdata97.mdb"));
        QCOMPARE(QFileInfo(db).size(), QFileInfo(QDir(m_dir.path()).filePath("hxdataE97.mdb")).size());
        QVERIFY(Db::open(db, &error));
        QCOMPARE(Db::scalar("select count(*) from labels").toInt(), 3);
    }

    void existingDatabaseInAnyCaseIsUsedUnderItsOwnName()
    {
        QVERIFY(writeTemplate(m_dir.path()));
        const QString upper = QDir(m_dir.path()).filePath("HXDATA97.MDB");
        QString error;
        QVERIFY(Schema::createDatabaseFile(upper, &error));
        QVERIFY(Db::open(upper, &error));
        Db::exec("insert into themes (theme) values ('kept')");
        Db::close();

        QCOMPARE(Schema::ensureDatabaseFile(m_dir.path(), &error), upper);
        QVERIFY(!QFile::exists(QDir(m_dir.path()).filePath("hxdata97.mdb"))); // nothing copied

        MainFormMDI main;
        QVERIFY2(main.load(&error), qPrintable(error));
        QCOMPARE(QFileInfo(Db::path()).fileName(), QString("HXDATA97.MDB"));
        QCOMPARE(Db::scalar("select theme from themes").toString(), QString("kept"));
    }

    void missingTemplateStopsWithOneMessage()
    {
        TestPrompter prompter;
        Startup startup;
        QSignalSpy failed(&startup, &Startup::failed);
        QVERIFY(!startup.begin());
        QCOMPARE(startup.exitCode(), 1);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY(prompter.lastMessage().contains("hxdataE97.mdb"));
        QVERIFY(QDir(m_dir.path()).entryList(QDir::Files).isEmpty()); // no empty database made
    }

    void failedCopyLeavesNothingBehind()
    {
        QVERIFY(writeTemplate(m_dir.path()));
        // A folder where the scratch copy would go makes the copy fail.
        QVERIFY(QDir(m_dir.path()).mkdir("hxdata97.mdb.partial"));
        QString error;
        QVERIFY(Schema::ensureDatabaseFile(m_dir.path(), &error).isEmpty());
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(QDir(m_dir.path()).filePath("hxdata97.mdb")));
    }

    // Every problem with the database file is told before the main window
    // opens, in one message of its own that says what is true and what to
    // do; the program ends with exit code 1 and the file is as it was.
    void eachProblemWithTheFileHasItsOwnMessage_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("says");
        QTest::newRow("write lock") << "write lock" << "is in use by another program";
        QTest::newRow("exclusive lock") << "exclusive lock" << "is in use by another program";
        QTest::newRow("zero bytes") << "zero bytes" << "is empty";
        QTest::newRow("not a database") << "not a database" << "is damaged (file is not a database)";
        QTest::newRow("damaged page") << "damaged page" << "is damaged";
        QTest::newRow("many damaged cells") << "many damaged cells" << "is damaged (On tree page ";
        QTest::newRow("read-only file") << "read-only file" << "cannot be read or written (the file is read-only)";
        QTest::newRow("journal in a read-only folder") << "hot journal" << "cannot be read or written (disk I/O error)";
        QTest::newRow("tables missing") << "tables missing" << "(missing: the tables labels, schedule)";
        QTest::newRow("column missing") << "column missing" << "(missing: the column anthem.Catalog)";
        QTest::newRow("another program's file")
            << "foreign" << "(missing: the tables collection, member, themes, vocals, composer, orchestration, choir, vocalsm, city, zip";
        QTest::newRow("previous format without a table") << "previous incomplete" << "(missing: the table a_v_l)";
    }

    void eachProblemWithTheFileHasItsOwnMessage()
    {
        QFETCH(QString, kind);
        QFETCH(QString, says);
        const QDir dir(m_dir.path());
        const QString path = dir.filePath("hxdata97.mdb");
        QVERIFY(writeTemplate(m_dir.path()));
        QString error;
        if (kind == "previous incomplete") {
            QVERIFY(writePreviousFormat(path, [](sqlite3 *h) { return rawExec(h, "drop table a_v_l"); }));
        } else if (kind == "hot journal") {
            const QString scratch = dir.filePath("scratch.db");
            QVERIFY(Schema::createDatabaseFile(scratch, &error));
            {
                RawDb db(scratch);
                QVERIFY(db.exec("with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) "
                                "insert into anthem (Anthem) select printf('%0200d', i) from n"));
            }
            QVERIFY(writeHotJournal(scratch, path));
            QFile::remove(scratch);
        } else if (kind == "foreign") {
            RawDb db(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            QVERIFY(db.exec("create table anthem (id integer primary key, title text)"));
        } else if (kind == "not a database") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(3000, 'x'));
        } else {
            QVERIFY(Schema::createDatabaseFile(path, &error));
            RawDb db(path);
            if (kind == "zero bytes")
                QVERIFY(QFile(path).resize(0));
            else if (kind == "damaged page")
                QVERIFY(db.exec("insert into anthem (Anthem) values ('a'), ('b')") && damageTreeOf(path, "anthem_displayit"));
            else if (kind == "many damaged cells")
                QVERIFY(db.exec("with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) "
                                "insert into anthem (Anthem) select printf('%0200d', i) from n")
                        && scrambleCellsOf(path, "anthem", 40));
            else if (kind == "tables missing")
                QVERIFY(db.exec("drop table schedule") && db.exec("drop table labels"));
            else if (kind == "column missing")
                QVERIFY(db.exec("alter table anthem drop column Catalog"));
        }
        std::unique_ptr<ForeignLock> lock;
        if (kind.endsWith("lock")) {
            lock = std::make_unique<ForeignLock>(path, kind == "exclusive lock");
            QVERIFY(lock->ok());
        }
        std::unique_ptr<Unwritable> readOnly;
        if (kind == "read-only file" || kind == "hot journal") {
            readOnly = std::make_unique<Unwritable>(kind == "read-only file" ? path : m_dir.path());
            if (!readOnly->ok())
                QSKIP("this system cannot make a file or folder unwritable");
        }
        const QByteArray before = fileHash(path);

        TestPrompter prompter;
        Startup startup;
        QVERIFY(startup.begin());
        startup.showMainWindow();
        QCOMPARE(startup.exitCode(), 1);
        QVERIFY(!startup.mainWindow());
        QVERIFY(!Db::isOpen());
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY2(prompter.lastMessage().contains(says), qPrintable(prompter.lastMessage()));
        QVERIFY(prompter.lastMessage().contains(path));
        // What is wrong in one line, what to do, that the program ends:
        // however many faults SQLite found, the box names the first.
        QVERIFY2(prompter.lastMessage().count('\n') == 4, qPrintable(prompter.lastMessage()));
        QTRY_VERIFY(!Cursor::isBusy());
        lock.reset();
        readOnly.reset();
        if (kind == "hot journal") {
            // SQLite put back what the unfinished write had changed; only
            // its journal could not be removed. Once the folder may be
            // written the file opens as it was before that write.
            QVERIFY(Db::open(path, &error));
            QCOMPARE(Db::scalar("select count(*) from anthem where Memo1 is null").toInt(), 3000);
        } else {
            QCOMPARE(fileHash(path), before);
        }
    }

    // The file is checked on a thread of its own while the splash shows,
    // with the hourglass; the main window waits for the check.
    void theFileIsCheckedWhileTheSplashShows()
    {
        QVERIFY(writeTemplate(m_dir.path()));
        QString error;
        const QString path = QDir(m_dir.path()).filePath("hxdata97.mdb");
        QVERIFY(Schema::createDatabaseFile(path, &error));
        ForeignLock lock(path, true); // the check waits for it
        QVERIFY(lock.ok());
        TestPrompter prompter;
        Startup startup;
        QVERIFY(startup.begin());
        QVERIFY(startup.splash()->isVisible());
        QVERIFY(Cursor::isBusy());
        QTest::qWait(200); // the user-interface thread goes on meanwhile
        QVERIFY(Cursor::isBusy());
        lock.release();
        QTRY_VERIFY(!Cursor::isBusy());
        startup.showMainWindow();
        QVERIFY(startup.mainWindow());
        QVERIFY(prompter.messages.isEmpty());
        QCOMPARE(startup.exitCode(), 0);
    }

    // A database of the previous format is converted at start-up without a
    // word; then it is checked like any other.
    void aDatabaseOfThePreviousFormatIsConvertedAtStartUp()
    {
        QVERIFY(writeTemplate(m_dir.path()));
        const QString path = QDir(m_dir.path()).filePath("hxdata97.mdb");
        QVERIFY(writePreviousFormat(path, [](sqlite3 *h) {
            return rawExec(h, "insert into anthem (Anthem) values ('Zebra'), ('apple'), ('Élan')");
        }));
        TestPrompter prompter;
        Startup startup;
        QVERIFY(startup.begin());
        startup.showMainWindow();
        QVERIFY(startup.mainWindow());
        QVERIFY(prompter.messages.isEmpty());
        QVERIFY(!DbFile::isPreviousFormat(path));
        QCOMPARE(Db::scalar("select group_concat(Anthem, ',') from (select Anthem from anthem order by anthemkey)").toString(),
                 QString("apple,Élan,Zebra"));
    }

    // The template is checked as a copy before the copy becomes the
    // database; an unusable template leaves no database behind.
    void anUnusableTemplateLeavesNoDatabase_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("damaged page") << "damaged page";
        QTest::newRow("not a database") << "not a database";
        QTest::newRow("zero bytes") << "zero bytes";
        QTest::newRow("table missing") << "table missing";
    }

    void anUnusableTemplateLeavesNoDatabase()
    {
        QFETCH(QString, kind);
        QVERIFY(writeTemplate(m_dir.path()));
        const QString templ = QDir(m_dir.path()).filePath("hxdataE97.mdb");
        if (kind == "damaged page") {
            QVERIFY(damageTreeOf(templ, "anthem"));
        } else if (kind == "table missing") {
            RawDb db(templ);
            QVERIFY(db.exec("drop table schedinfo"));
        } else {
            QFile f(templ);
            QVERIFY(f.open(QIODevice::WriteOnly));
            if (kind == "not a database")
                f.write(QByteArray(5000, '\x5a'));
        }
        const QByteArray before = fileHash(templ);
        TestPrompter prompter;
        Startup startup;
        QVERIFY(!startup.begin());
        QCOMPARE(startup.exitCode(), 1);
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY2(prompter.lastMessage().contains("hxdataE97.mdb\" that a new one is made from cannot be used"),
                 qPrintable(prompter.lastMessage()));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList({"hxdataE97.mdb"}));
        QCOMPARE(fileHash(templ), before);
        QVERIFY(!Cursor::isBusy());
    }

    void theTemplateIsFoundInAnyLetterCase()
    {
        QVERIFY(writeTemplate(m_dir.path()));
        QVERIFY(QFile::rename(QDir(m_dir.path()).filePath("hxdataE97.mdb"), QDir(m_dir.path()).filePath("HXDATAE97.MDB")));
        TestPrompter prompter;
        Startup startup;
        QVERIFY(startup.begin());
        startup.showMainWindow();
        QVERIFY(startup.mainWindow());
        QVERIFY(prompter.messages.isEmpty());
        QCOMPARE(QFileInfo(Db::path()).fileName(), QString("hxdata97.mdb"));
        QVERIFY(QFile::exists(QDir(m_dir.path()).filePath("HXDATAE97.MDB")));
    }

    void splashShowsVersionAndIsElliptical()
    {
        QVERIFY(writeTemplate(m_dir.path()));
        SplashForm splash;
        QString error;
        QVERIFY(splash.load(&error));
        auto *label = splash.findChild<QLabel *>("Label1");
        QVERIFY(label);
        QVERIFY(QRegularExpression("^Version: \\d+\\.\\d+\\.\\d+$").match(label->text()).hasMatch());
        QVERIFY(splash.timer()->isActive());
        QCOMPARE(splash.timer()->interval(), 3000);
        // Corners lie outside the ellipse; the centre inside.
        QVERIFY(!splash.mask().contains(QPoint(1, 1)));
        QVERIFY(splash.mask().contains(splash.rect().center()));
        QVERIFY(QFile::exists(QDir(m_dir.path()).filePath("hxdata97.mdb")));
    }

    void firstActivationRunsOnceAndClosesTheSplash()
    {
        QVERIFY(writeTemplate(m_dir.path()));
        Startup startup;
        QList<QDate> runs;
        startup.setFirstActivationRoutine([&](const QDate &d) { runs << d; });
        startup.setToday(QDate(2026, 12, 8));
        QVERIFY(startup.begin());
        QPointer<SplashForm> splash = startup.splash();
        QVERIFY(splash && splash->isVisible());

        // The splash timer shows the main window.
        QTRY_VERIFY_WITH_TIMEOUT(startup.mainWindow() != nullptr, 5000);
        MainFormMDI *main = startup.mainWindow();
        QCOMPARE(main->windowTitle(), QString("The Velmora"));
        QVERIFY(Db::isOpen());
        main->runFirstActivation();
        QTRY_VERIFY(!splash || !splash->isVisible());
        main->runFirstActivation();
        QApplication::setActiveWindow(main);
        QCoreApplication::processEvents();
        QCOMPARE(runs, QList<QDate>{QDate(2026, 12, 8)});
        main->close();
        QVERIFY(!Db::isOpen());
    }

    void savedWindowStateIsApplied_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("2") << "2" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("1") << "1" << false;
        QTest::newRow("junk") << "x" << false;
        QTest::newRow("missing") << "" << false;
    }

    void savedWindowStateIsApplied()
    {
        QFETCH(QString, stored);
        QFETCH(bool, maximized);
        QSettings s(QSettings::NativeFormat, QSettings::UserScope, "VOV", "VOV");
        if (stored.isEmpty())
            s.remove("Startup/WS");
        else
            s.setValue("Startup/WS", stored);
        s.sync();
        TempProgramFolder folder(false);
        MainFormMDI main;
        QString error;
        QVERIFY(main.load(&error));
        QCOMPARE(bool(main.windowState() & Qt::WindowMaximized), maximized);
    }

    void closingSavesTheWindowState()
    {
        {
            TempProgramFolder folder(false);
            auto *main = new MainFormMDI;
            QString error;
            QVERIFY(main->load(&error));
            main->showMaximized();
            QVERIFY(main->close());
            delete main;
            QCOMPARE(WindowStateSetting::read(), 2);
        }
        {
            TempProgramFolder folder(false);
            auto *main = new MainFormMDI;
            QString error;
            QVERIFY(main->load(&error));
            main->show();
            main->setWindowState(Qt::WindowMinimized);
            QVERIFY(main->close());
            delete main;
            QCOMPARE(WindowStateSetting::read(), 0); // a minimized window saves 0
        }
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
