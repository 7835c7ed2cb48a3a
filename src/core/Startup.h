#pragma once
// The start-up sequence: splash window, database file, the main window after
// the splash timer, its first activation. main() runs it; tests drive it.

#include <QDate>
#include <QObject>
#include <QPointer>
#include <functional>

#include "MainFormMDI.h"
#include "SplashForm.h"

class Startup : public QObject {
    Q_OBJECT
public:
    explicit Startup(QObject *parent = nullptr);
    ~Startup() override;

    void setFirstActivationRoutine(std::function<void(const QDate &)> routine);
    void setToday(const QDate &today) { m_today = today; }

    // Shows the splash window. False when the program cannot start; the
    // user has been told why. exitCode() is then non-zero.
    bool begin();
    // What the splash timer does; public so tests need not wait 3 seconds.
    void showMainWindow();

    SplashForm *splash() const { return m_splash; }
    MainFormMDI *mainWindow() const { return m_main; }
    int exitCode() const { return m_exitCode; }

signals:
    void failed(int exitCode);

private:
    void fail(const QString &message);

    QPointer<SplashForm> m_splash;
    QPointer<MainFormMDI> m_main;
    std::function<void(const QDate &)> m_routine;
    QDate m_today;
    int m_exitCode = 0;
};
