#include "Startup.h"

#include "Cursor.h"
#include "MainFormMDI.h"
#include "Prompter.h"
#include "SplashForm.h"

#include <QApplication>
#include <QEventLoop>
#include <QScopedValueRollback>
#include <QThread>
#include <QTimer>

// The database file's check, running on a thread of its own. Only the
// thread writes `result`, and only before it finishes.
struct Startup::FileCheck {
    QString path;
    DbFile::Check result;
    std::unique_ptr<QThread> thread;
    std::unique_ptr<BusyCursor> busy;
};

Startup::Startup(QObject *parent) : QObject(parent) {}

Startup::~Startup()
{
    if (m_check && m_check->thread)
        m_check->thread->wait();
    delete m_main.data();
    delete m_splash.data();
}

void Startup::startFileCheck(const QString &path)
{
    m_check = std::make_unique<FileCheck>();
    m_check->path = path;
    m_check->busy = std::make_unique<BusyCursor>();
    FileCheck *check = m_check.get();
    check->thread.reset(QThread::create([check] { check->result = DbFile::prepare(check->path, DbFile::PageCheck::Run); }));
    connect(check->thread.get(), &QThread::finished, this, [check] { check->busy.reset(); });
    check->thread->start();
}

void Startup::waitForFileCheck()
{
    if (!m_check || !m_check->thread || m_check->thread->isFinished()) {
        if (m_check && m_check->thread)
            m_check->thread->wait();
        return;
    }
    QEventLoop loop;
    connect(m_check->thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    if (!m_check->thread->isFinished())
        loop.exec();
    m_check->thread->wait();
}

void Startup::setFirstActivationRoutine(std::function<void(const QDate &)> routine)
{
    m_routine = std::move(routine);
}

void Startup::fail(const QString &message)
{
    m_exitCode = 1;
    MsgBox(message + QStringLiteral("\n\nThe program will now close."), QStringLiteral("The Velmora cannot start"),
           MsgButtons::Ok, MsgIcon::Critical);
    emit failed(m_exitCode);
}

bool Startup::begin()
{
    m_splash = new SplashForm;
    m_splash->setAttribute(Qt::WA_DeleteOnClose);
    QString error;
    if (!m_splash->load(&error)) {
        delete m_splash.data();
        fail(error);
        return false;
    }
    connect(m_splash, &SplashForm::timerElapsed, this, &Startup::showMainWindow);
    startFileCheck(m_splash->databaseFile());
    m_splash->show();
    return true;
}

void Startup::showMainWindow()
{
    if (m_main || m_showing)
        return;
    const QScopedValueRollback<bool> showing(m_showing, true);
    if (m_splash)
        m_splash->timer()->stop();
    waitForFileCheck();
    if (m_check) {
        m_check->busy.reset();
        const DbFile::Check result = m_check->result;
        const QString path = m_check->path;
        m_check.reset(); // checked once per start
        if (!result.ok()) {
            if (m_splash)
                m_splash->close();
            fail(result.message(path));
            return;
        }
    }
    m_main = new MainFormMDI;
    m_main->setAttribute(Qt::WA_DeleteOnClose);
    m_main->setFirstActivationRoutine(m_routine);
    if (m_today.isValid())
        m_main->setToday(m_today);
    QString error;
    if (!m_main->load(&error)) {
        delete m_main.data();
        if (m_splash)
            m_splash->close();
        fail(error);
        return;
    }
    m_main->setSplash(m_splash);
    m_main->show();
    m_main->raise();
    m_main->activateWindow();
    // Some window managers never activate a window on their own; the first
    // activation's work must still run once.
    QTimer::singleShot(1500, m_main.data(), [main = m_main] {
        if (main)
            main->runFirstActivation();
    });
}
