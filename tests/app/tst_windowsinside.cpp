// Windows on a screen of 1024 x 768, the smallest the program is made
// for, opened in the main window at its first size (not maximized): the
// main window opens within the screen, its list bar whole; the report
// window of every kind and every window the dispatcher opens open inside
// the main window's area, their captions whole on every page; none opens
// wider than the area; every window the dispatcher opens has a caption of
// its own.
#include "Forms.h"
#include "MainFormMDI.h"
#include "Module.h"
#include "Registration.h"
#include "ReportKinds.h"
#include "SR2PrintForm.h"
#include "TestSupport.h"

#include <QAbstractButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>
#include <QTabWidget>
#include <QToolBox>
#include <QtTest>

namespace {

// What a window shows cut on any of its pages.
QStringList cutOnEveryPage(QWidget *window)
{
    QStringList cut = cutCaptions(window);
    for (QTabWidget *tabs : window->findChildren<QTabWidget *>()) {
        const int shown = tabs->currentIndex();
        for (int p = 0; p < tabs->count(); ++p) {
            tabs->setCurrentIndex(p);
            QApplication::processEvents();
            cut << cutCaptions(window);
        }
        tabs->setCurrentIndex(shown);
    }
    cut.removeDuplicates();
    return cut;
}

QString placed(const QRect &r, const QSize &in)
{
    return QString("%1x%2 at %3,%4 in %5x%6").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y())
        .arg(in.width()).arg(in.height());
}

} // namespace

class TestWindowsInside : public QObject {
    Q_OBJECT

    // The main window at its first size, on a program folder of its own.
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<MainFormMDI> m_main;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        registerAllForms();
    }

    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>(false);
        WindowStateSetting::write(0);
        m_main = std::make_unique<MainFormMDI>();
        QString error;
        QVERIFY2(m_main->load(&error), qPrintable(error));
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    }

    void cleanup()
    {
        m_main->close();
        m_main.reset();
        m_folder.reset();
    }

    void reportWindowOfEveryKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("collections") << int(ReportKinds::Collections);
        QTest::newRow("anthems") << int(ReportKinds::Anthems);
        QTest::newRow("members") << int(ReportKinds::Members);
        QTest::newRow("schedule") << int(ReportKinds::Schedule);
    }

    void reportWindowOfEveryKind()
    {
        QFETCH(int, kind);
        QVERIFY(!m_main->isMaximized());
        RequestReport(kind);
        QPointer<SR2PrintForm> form = SR2PrintForm::instance();
        QVERIFY(form);
        QApplication::processEvents();
        auto *sub = qobject_cast<QMdiSubWindow *>(form->parentWidget());
        QVERIFY(sub);
        const QRect area(QPoint(0, 0), m_main->mdiArea()->viewport()->size());
        QVERIFY2(area.contains(sub->geometry()), qPrintable(placed(sub->geometry(), area.size())));
        QVERIFY(form->width() >= form->minimumSizeHint().width());
        QVERIFY(form->height() >= form->minimumSizeHint().height());
        QCOMPARE(cutCaptions(form), QStringList());
        form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void mainWindowOpensWithinTheScreen()
    {
        const QRect screen = m_main->screen()->availableGeometry();
        QCOMPARE(screen.size(), QSize(1024, 768));
        QTRY_VERIFY2(screen.contains(m_main->frameGeometry()),
                     qPrintable(placed(m_main->frameGeometry(), screen.size())));
        // Every group of the list bar, "Membership" the last, in sight.
        const QRect inside(QPoint(0, 0), m_main->size());
        const auto groups =
            m_main->findChild<QToolBox *>("SSListBar1")->findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly);
        QCOMPARE(groups.size(), 3);
        for (QAbstractButton *g : groups)
            QVERIFY2(inside.contains(QRect(g->mapTo(m_main.get(), QPoint(0, 0)), g->size())), qPrintable(g->text()));
    }

    // Every window of the dispatcher opens inside the main window's area,
    // with every caption whole on each of its pages.
    void everyWindowOpensInsideTheArea()
    {
        for (int code = CollectionFormCode; code <= SchoolFormCode; ++code) {
            OpenFormByCode(code);
            QApplication::processEvents();
            QPointer<QWidget> w = Forms::instance(code);
            QVERIFY(w);
            auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget());
            QVERIFY(sub);
            const QRect area(QPoint(0, 0), m_main->mdiArea()->viewport()->size());
            QVERIFY2(area.contains(sub->geometry()),
                     qPrintable(w->objectName() + ": " + placed(sub->geometry(), area.size())));
            const QStringList cut = cutOnEveryPage(w);
            QVERIFY2(cut.isEmpty(), qPrintable(w->objectName() + ": " + cut.join(", ")));
            closeWindow(sub);
        }
    }

    // A window that sized itself wider than the main window (a long list)
    // opens at the room there is.
    void wideWindowOpensAtTheRoomThereIs()
    {
        auto *wide = new QWidget;
        wide->resize(4000, 200);
        Forms::showChild(wide);
        QApplication::processEvents();
        auto *sub = qobject_cast<QMdiSubWindow *>(wide->parentWidget());
        QVERIFY(sub);
        const QRect area(QPoint(0, 0), m_main->mdiArea()->viewport()->size());
        QVERIFY(area.contains(sub->geometry()));
        QVERIFY(sub->width() > area.width() / 2);
        sub->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // With every window open, the Windows menu names each one once.
    void everyWindowHasACaptionOfItsOwn()
    {
        for (int code = CollectionFormCode; code <= SchoolFormCode; ++code)
            OpenFormByCode(code);
        QApplication::processEvents();
        QStringList captions;
        for (QMdiSubWindow *sub : m_main->mdiArea()->subWindowList())
            captions << sub->windowTitle();
        QCOMPARE(captions.size(), SchoolFormCode);
        QStringList once = captions;
        once.removeDuplicates();
        QVERIFY2(captions.size() == once.size(), qPrintable(captions.join(QStringLiteral(", "))));
    }
};

int main(int argc, char **argv)
{
    // The offscreen screen made 1024 x 768 (its own is 800 x 800).
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(R"({"screens": [{"name": "small", "width": 1024, "height": 768}]})") < 0)
        return 1;
    file.close();
    if (qgetenv("QT_QPA_PLATFORM").startsWith("offscreen"))
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    TestWindowsInside test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_windowsinside.moc"
