// Start-up: the database file, the splash window, the main window's load,
// its first activation and the saved window state.
#include "AppPaths.h"
#include "Db.h"
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

    void notADatabaseStopsWithOneMessage()
    {
        QVERIFY(writeTemplate(m_dir.path()));
        QFile junk(QDir(m_dir.path()).filePath("hxdata97.mdb"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("this is a letter to the choir, not a database");
        junk.close();

        TestPrompter prompter;
        Startup startup;
        QVERIFY(startup.begin());
        startup.showMainWindow();
        QCOMPARE(startup.exitCode(), 1);
        QVERIFY(!startup.mainWindow());
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY(prompter.lastMessage().contains("could not be opened"));
        QVERIFY(!Db::isOpen());
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
