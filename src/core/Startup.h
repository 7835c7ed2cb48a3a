#pragma once
// The start-up sequence: splash window, database file, the main window after
// the splash timer, its first activation. main() runs it; tests drive it.

#include <QDate>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "DbFile.h"

#include "MainFormMDI.h"
#include "SplashForm.h"

class Startup : public QObject {
    Q_OBJECT
public:
    explicit Startup(QObject *parent = nullptr);
    ~Startup() override;

    void setFirstActivationRoutine(std::function<void(const QDate &)> routine);
    void setToday(const QDate &today) { m_today = today; }

    // Shows the splash window and starts checking the database file on
    // its own thread (DbFile::prepare: a database of the previous format
    // converted, then every table, column and page checked), with the
    // hourglass. False when the program cannot start; the user has been
    // told why. exitCode() is then non-zero.
    bool begin();
    // What the splash timer does; public so tests need not wait 3 seconds.
    // Waits for the check of the database file first; when the check
    // failed, says why and ends the start-up with exit code 1.
    void showMainWindow();

    SplashForm *splash() const { return m_splash; }
    MainFormMDI *mainWindow() const { return m_main; }
    int exitCode() const { return m_exitCode; }

signals:
    void failed(int exitCode);

private:
    void fail(const QString &message);
    void startFileCheck(const QString &path);
    // Waits (events still running) until the file check is done.
    void waitForFileCheck();

    struct FileCheck;
    std::unique_ptr<FileCheck> m_check;

    QPointer<SplashForm> m_splash;
    QPointer<MainFormMDI> m_main;
    std::function<void(const QDate &)> m_routine;
    QDate m_today;
    int m_exitCode = 0;
    bool m_showing = false;
};
