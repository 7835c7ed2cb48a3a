// Windows on a 1024 x 768 screen, the smallest the program is made for:
// the main window opens within it at its first size (not maximized); the
// report window of every kind and every window of the dispatcher open
// inside the main window's area, their captions whole; none opens wider
// than the area; every window the dispatcher opens has a caption of its
// own.
#include "Forms.h"
#include "MainFormMDI.h"
#include "Module.h"
#include "Registration.h"
#include "ReportKinds.h"
#include "SR2PrintForm.h"
#include "TestSupport.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>
#include <QtTest>

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
        QVERIFY2(area.contains(sub->geometry()),
                 qPrintable(QString("%1x%2 at %3,%4 in %5x%6")
                                .arg(sub->width()).arg(sub->height()).arg(sub->x()).arg(sub->y())
                                .arg(area.width()).arg(area.height())));
        QVERIFY(form->width() >= form->minimumSizeHint().width());
        QVERIFY(form->height() >= form->minimumSizeHint().height());
        QCOMPARE(cutCaptions(form), QStringList());
        form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void everyWindowOpensInside()
    {
        const QRect screen = m_main->screen()->availableGeometry();
        QCOMPARE(screen.size(), QSize(1024, 768));
        QTRY_VERIFY(screen.contains(m_main->frameGeometry()));
        for (int code = CollectionFormCode; code <= SchoolFormCode; ++code) {
            OpenFormByCode(code);
            QWidget *w = Forms::instance(code);
            QVERIFY(QRect(QPoint(), m_main->mdiArea()->viewport()->size()).contains(w->parentWidget()->geometry()));
            QVERIFY2(cutCaptions(w).isEmpty(), qPrintable(w->objectName() + ": " + cutCaptions(w).join(", ")));
            closeWindow(w->parentWidget());
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

// The offscreen screen made 1024 x 768 (its own is 800 x 800) before the
// application starts.
[[maybe_unused]] const bool kSmallScreen = [] {
    static QTemporaryFile config;
    return config.open() && config.write(R"({"screens": [{"width": 1024, "height": 768}]})") > 0 && config.flush()
        && qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
}();

QTEST_MAIN(TestWindowsInside)
#include "tst_windowsinside.moc"
