// The main window: menus, list bar, dispatcher, shell links and the
// shut-down order.
#include "BaseForm.h"
#include "Cursor.h"
#include "Db.h"
#include "Forms.h"
#include "Guard.h"
#include "MainFormMDI.h"
#include "Module.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>
#include <QToolBox>
#include <QtTest>

namespace {

QStringList g_events;
int g_loads = 0;

// A window of the tests' own, standing in for the real ones.
class ProbeForm : public BaseForm {
public:
    explicit ProbeForm(bool *flag, const QString &name) : BaseForm(flag)
    {
        setObjectName(name);
        setWindowTitle(name);
        ++g_loads;
    }

protected:
    void unloadForm() override
    {
        // The database must still be open while a window unloads.
        g_events << objectName() + ":" + (Db::isOpen() ? "db-open" : "db-closed");
        Db::scalar("select count(*) from anthem");
    }
};

class ProbeEditor : public ProbeForm, public RecordLoader {
public:
    ProbeEditor() : ProbeForm(&hx().AnthemFormLoaded, "AnthemForm") {}
    void loadRecordById(qint32 id) override { g_events << QString("load %1").arg(id); }
};

QAction *action(QWidget *w, const QString &name)
{
    return w->findChild<QAction *>(name);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        Forms::registerForm(ThemeFormCode, [] { return new ProbeForm(&hx().ThemeFormLoaded, "ThemeForm"); });
        Forms::registerForm(AnthemFormCode, [] { return new ProbeEditor; });
        Forms::registerForm(CollectionQDFormCode,
                            [] { return new ProbeForm(&hx().CollectionQDFormLoaded, "CollectionQDForm"); });
    }

    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>(false);
        m_main = new MainFormMDI;
        QString error;
        QVERIFY2(m_main->load(&error), qPrintable(error));
        m_main->show();
        g_events.clear();
        g_loads = 0;
    }

    void cleanup()
    {
        if (m_main) {
            m_main->close();
            delete m_main.data();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_folder.reset();
    }

    void menusAndListBarAsDesigned()
    {
        QStringList top;
        for (QAction *a : m_main->menuBar()->actions())
            top << a->iconText();
        QCOMPARE(top, QStringList({"File", "Windows", "Help"}));
        auto *music = m_main->findChild<QMenu *>("menuMusic");
        QStringList items;
        for (QAction *a : music->actions())
            items << a->objectName();
        QCOMPARE(items, QStringList({"menuAECollections", "menuCViewer", "menuAEAnthems", "menuAnthemV", "menuSchedule"}));
        QCOMPARE(action(m_main, "menuComposers")->iconText(), QString("Add/Edit Arrangers and Composers"));
        QCOMPARE(action(m_main, "menuMVocals")->iconText(), QString("Add/Edit Member Sections"));
        QCOMPARE(action(m_main, "menuEmail")->iconText(), QString("Report Problems/Comments"));

        auto *bar = m_main->findChild<QToolBox *>("SSListBar1");
        QVERIFY(bar);
        QCOMPARE(bar->count(), 3);
        QCOMPARE(bar->itemText(0), QString("Music"));
        QCOMPARE(bar->itemText(1), QString("Music Utilities"));
        QCOMPARE(bar->itemText(2), QString("Membership"));
        auto *util = qobject_cast<QListWidget *>(bar->widget(1));
        QCOMPARE(util->item(1)->text(), QString("Arrangers/ Composers"));
        auto *members = qobject_cast<QListWidget *>(bar->widget(2));
        QCOMPARE(members->item(5)->text(), QString("Member Sections"));
    }

    // Each menu, the bar and the Windows menu too, gives every item an
    // access key of its own; Alt+F, M, A opens the anthem editor.
    void everyMenuItemHasItsOwnAccessKey()
    {
        OpenFormByCode(ThemeFormCode);
        OpenFormByCode(CollectionQDFormCode);
        Forms::instance(ThemeFormCode)->setWindowTitle("Choir Themes");
        emit m_main->findChild<QMenu *>("menuWindows")->aboutToShow();
        for (QWidget *m : m_main->findChildren<QWidget *>()) {
            QList<QKeySequence> keys;
            for (QAction *a : qobject_cast<QMenu *>(m) || qobject_cast<QMenuBar *>(m) ? m->actions() : QList<QAction *>())
                if (!a->isSeparator())
                    keys << QKeySequence::mnemonic(a->text());
            QVERIFY2(!keys.contains(QKeySequence()) && QSet(keys.begin(), keys.end()).size() == keys.size(),
                     qPrintable(m->objectName()));
        }
        QVERIFY(QTest::qWaitForWindowActive(m_main));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::AltModifier);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_M);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_A);
        QVERIFY(Forms::instance(AnthemFormCode));
    }

    void dispatcherKeepsOneInstance()
    {
        action(m_main, "menuThemes")->trigger();
        QWidget *first = Forms::instance(ThemeFormCode);
        QVERIFY(first);
        QVERIFY(hx().ThemeFormLoaded);
        QCOMPARE(m_main->mdiArea()->subWindowList().size(), 1);
        OpenFormByCode(ThemeFormCode);
        QCOMPARE(Forms::instance(ThemeFormCode), first);
        QCOMPARE(g_loads, 1);
        QCOMPARE(m_main->mdiArea()->subWindowList().size(), 1);
        QVERIFY(!Cursor::isBusy());

        // Closed, it is gone; the next request builds a fresh one.
        m_main->mdiArea()->subWindowList().first()->close();
        QVERIFY(!hx().ThemeFormLoaded);
        QVERIFY(!Forms::instance(ThemeFormCode));
        OpenFormByCode(ThemeFormCode);
        QCOMPARE(g_loads, 2);
    }

    void listBarMatchesWithoutRegardToCase()
    {
        m_main->listBarItemClicked("collection viewer");
        QVERIFY(Forms::instance(CollectionQDFormCode));
        m_main->listBarItemClicked("THEMES");
        QVERIFY(Forms::instance(ThemeFormCode));
        QCOMPARE(g_loads, 2);
        m_main->listBarItemClicked("Arrangers/Composers"); // without its blank: no match
        m_main->listBarItemClicked("Nothing");
        QCOMPARE(g_loads, 2);
        // A code whose window is not part of the program opens nothing.
        OpenFormByCode(ScheduleViewFormCode);
        OpenFormByCode(0);
        OpenFormByCode(17);
        QCOMPARE(m_main->mdiArea()->subWindowList().size(), 2);
        QVERIFY(!Cursor::isBusy());

        // A click on the list widget itself goes the same way.
        auto *music = m_main->findChild<QListWidget *>("ListBarMusic");
        QVERIFY(music);
        emit music->itemClicked(music->item(2)); // "Add/Edit Anthems"
        QVERIFY(Forms::instance(AnthemFormCode));
    }

    void openRecordLoadsThenPositions()
    {
        OpenAnthemRecord(42);
        QVERIFY(hx().AnthemFormLoaded);
        QCOMPARE(g_events, QStringList({"load 42"}));
        OpenAnthemRecord(7);
        QCOMPARE(g_loads, 1); // repositioned, not reloaded
        QCOMPARE(g_events, QStringList({"load 42", "load 7"}));
        OpenCollectionRecord(3); // no collection editor in this program yet: nothing
        QVERIFY(!hx().CollectionFormLoaded);
    }

    void aWindowOpensAtItsSizeAndItsCloseButtonTakesTheFrame()
    {
        Forms::registerForm(VocalsFormCode, [] {
            auto *w = new ProbeForm(&hx().VocalsFormLoaded, "VocalsForm");
            w->resize(420, 310);
            return w;
        });
        OpenFormByCode(VocalsFormCode);
        QWidget *w = Forms::instance(VocalsFormCode);
        QCOMPARE(w->size(), QSize(420, 310));
        QCOMPARE(m_main->mdiArea()->subWindowList().size(), 1);
        // What a Close button does: the window closes itself.
        w->close();
        QVERIFY(!hx().VocalsFormLoaded);
        QTRY_COMPARE(m_main->mdiArea()->subWindowList().size(), 0);
        OpenFormByCode(VocalsFormCode);
        QCOMPARE(m_main->mdiArea()->subWindowList().size(), 1);
        QCOMPARE(g_events.filter("VocalsForm").size(), 1); // unloaded once
    }

    void aWindowNeverOpensSmallerThanItsCaptionsNeed()
    {
        // Designed smaller than its buttons' captions need.
        Forms::registerForm(OrchestrationFormCode, [] {
            auto *w = new ProbeForm(&hx().OrchestrationFormLoaded, "OrchestrationForm");
            auto *row = new QHBoxLayout(w);
            for (const char *caption : {"Add New Orchestration", "Modify Selected Orchestration", "Delete Selected"})
                row->addWidget(new QPushButton(QLatin1String(caption), w));
            w->resize(120, 60);
            return w;
        });
        OpenFormByCode(OrchestrationFormCode);
        QWidget *w = Forms::instance(OrchestrationFormCode);
        QVERIFY(w);
        QApplication::processEvents();
        QVERIFY(w->width() >= w->minimumSizeHint().width());
        QCOMPARE(cutCaptions(w), QStringList());
        w->close();
    }

    void aMinimizedWindowComesBackWhenChosenAgain()
    {
        action(m_main, "menuThemes")->trigger();
        QMdiSubWindow *sub = m_main->mdiArea()->activeSubWindow();
        QVERIFY(sub);
        sub->showMinimized();
        QVERIFY(sub->isMinimized());
        action(m_main, "menuThemes")->trigger();
        QVERIFY(!sub->isMinimized());
        QCOMPARE(m_main->mdiArea()->activeSubWindow(), sub);
        sub->showMinimized();
        m_main->listBarItemClicked("Themes");
        QVERIFY(!sub->isMinimized());
        QCOMPARE(g_loads, 1);
    }

    void theListBarOpensByKeyboard()
    {
        auto *music = m_main->findChild<QListWidget *>("ListBarMusic");
        QVERIFY(music);
        music->setFocus();
        music->setCurrentRow(2); // "Add/Edit Anthems"
        QTest::keyClick(music, Qt::Key_Down);
        QTest::keyClick(music, Qt::Key_Up); // moving opens nothing
        QVERIFY(!Forms::instance(AnthemFormCode));
        QTest::keyClick(music, Qt::Key_Return);
        QVERIFY(Forms::instance(AnthemFormCode));
        music->setCurrentRow(1); // "Collection Viewer"
        QTest::keyClick(music, Qt::Key_Space);
        QVERIFY(Forms::instance(CollectionQDFormCode));
        auto *utilities = m_main->findChild<QListWidget *>("ListBarMusicUtilities");
        utilities->setCurrentRow(0); // "Themes"
        QTest::keyClick(utilities, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(Forms::instance(ThemeFormCode));
        QCOMPARE(g_loads, 3);
    }

    void windowsMenuListsOpenWindows()
    {
        OpenFormByCode(ThemeFormCode);
        OpenFormByCode(CollectionQDFormCode);
        Forms::instance(CollectionQDFormCode)->setWindowTitle("Psalms & Hymns");
        auto *menu = m_main->findChild<QMenu *>("menuWindows");
        emit menu->aboutToShow();
        QStringList titles;
        for (QAction *a : menu->actions())
            titles << a->iconText(); // as the menu shows it
        QCOMPARE(titles, QStringList({"ThemeForm", "Psalms & Hymns"}));
        menu->actions().first()->trigger();
        QCOMPARE(m_main->mdiArea()->activeSubWindow()->widget()->objectName(), QString("ThemeForm"));

        // Choosing a maximized window keeps it maximized; a minimized one
        // comes back.
        QMdiSubWindow *theme = m_main->mdiArea()->activeSubWindow();
        theme->showMaximized();
        emit menu->aboutToShow();
        menu->actions().first()->trigger();
        QVERIFY(theme->isMaximized());
        QCOMPARE(m_main->mdiArea()->activeSubWindow(), theme);
        theme->showMinimized();
        emit menu->aboutToShow();
        menu->actions().first()->trigger();
        QVERIFY(!theme->isMinimized());
        QCOMPARE(m_main->mdiArea()->activeSubWindow(), theme);
    }

    void shellLinks()
    {
        TestPrompter prompter;
        QStringList opened;
        bool succeed = true;
        setShellOpener([&](const QString &t) { opened << t; return succeed; });
        action(m_main, "menuEmail")->trigger();
        action(m_main, "menuWeb")->trigger();
        QCOMPARE(opened.size(), 2);
        QVERIFY(opened[0].startsWith("mailto: "));
        QCOMPARE(shellUrlFor(opened[0]).toString(), QString("mailto:") + MainFormMDI::supportAddress());
        QCOMPARE(shellUrlFor("mailto: ann@example.org").toString(), QString("mailto:ann@example.org"));
        QVERIFY(!shellUrlFor("mailto: ").isValid());
        QVERIFY(!shellUrlFor(m_folder->file("no-such-help.chm")).isValid());
        QVERIFY(prompter.messages.isEmpty());

        succeed = false;
        action(m_main, "hxhelpmenu")->trigger();
        QCOMPARE(opened.last(), m_folder->file("HXHelp.chm"));
        QCOMPARE(prompter.lastMessage(), QString("error executing command!"));
        setShellOpener(nullptr);
    }

    void shutDownClosesChildrenFirst()
    {
        OpenFormByCode(ThemeFormCode);
        OpenFormByCode(CollectionQDFormCode);
        hx().ReportAnthemSet = {true, {1, 2}};
        QVERIFY(m_main->close());
        QCOMPARE(g_events.size(), 2);
        for (const QString &e : g_events)
            QVERIFY2(e.endsWith(":db-open"), qPrintable(e));
        QVERIFY(!Db::isOpen());
        QVERIFY(!hx().ThemeFormLoaded);
        QVERIFY(!hx().CollectionQDFormLoaded);
        QVERIFY(!hx().ReportAnthemSet.open);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Forms::instance(ThemeFormCode));
    }

    void errorsInAnActionAreReportedAndTheProgramGoesOn()
    {
        TestPrompter prompter;
        {
            BusyCursor busy;
            QVERIFY(!guarded([] { Db::exec("insert into no_such_table values (1)"); }));
        }
        QCOMPARE(prompter.messages.size(), 1);
        QCOMPARE(prompter.messages[0].icon, MsgIcon::Critical);
        QVERIFY(!Cursor::isBusy());
        QVERIFY(guarded([] { Db::exec("insert into themes (theme) values ('fine')"); }));
        QCOMPARE(prompter.messages.size(), 1);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    QPointer<MainFormMDI> m_main;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
