#include "Startup.h"

#include "MainFormMDI.h"
#include "Prompter.h"
#include "SplashForm.h"

#include <QApplication>
#include <QTimer>

Startup::Startup(QObject *parent) : QObject(parent) {}

Startup::~Startup()
{
    delete m_main.data();
    delete m_splash.data();
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
    m_splash->show();
    return true;
}

void Startup::showMainWindow()
{
    if (m_main)
        return;
    if (m_splash)
        m_splash->timer()->stop();
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
