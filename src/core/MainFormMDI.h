#pragma once
// The main window: menus, the list bar and the MDI area that holds every
// other window; start-up's database open and shut-down's ordered close.

#include <QDate>
#include <QMainWindow>
#include <QPointer>
#include <functional>

class QMdiArea;
class QMenu;
class QToolBar;
class QToolBox;
class QListWidget;
class QListWidgetItem;

class MainFormMDI : public QMainWindow {
    Q_OBJECT
public:
    explicit MainFormMDI(QWidget *parent = nullptr);
    ~MainFormMDI() override;

    // The window's load: clears the window-open flags, applies the saved
    // window state and opens the database. False (with *error) when the
    // database cannot be opened.
    bool load(QString *error);

    // Start-up hands over the splash window, which the first activation closes.
    void setSplash(QWidget *splash) { m_splash = splash; }
    // The routine the first activation runs once (the past-schedule archive).
    void setFirstActivationRoutine(std::function<void(const QDate &today)> routine);
    // "Today" as the first activation sees it; the local date unless a test fixes it.
    void setToday(const QDate &today) { m_today = today; }
    bool firstActivationDone() const { return !m_firstActivation; }

    QMdiArea *mdiArea() const { return m_mdi; }
    QString helpFile() const { return m_helpFile; }

    // List-bar click by the item's text, matched without regard to case.
    void listBarItemClicked(const QString &text);

    // The first activation's work: close the splash window and run the
    // routine, once per run.
    void runFirstActivation();

    static const char *homePage();
    static const char *supportAddress();

protected:
    bool event(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void buildMenus();
    void buildListBar();
    void rebuildWindowsMenu();
    void CloseAllForms();
    // The window within the room its screen has for windows (the screen
    // less its panels), frame and all: smaller than its first size where
    // that does not fit, moved in where it reaches past an edge.
    void fitToScreen();

    QMdiArea *m_mdi = nullptr;
    QToolBox *m_listBar = nullptr;
    QToolBar *m_toolbar = nullptr;
    QMenu *m_windowsMenu = nullptr;
    QPointer<QWidget> m_splash;
    std::function<void(const QDate &)> m_firstActivationRoutine;
    QDate m_today;
    QString m_helpFile;
    bool m_firstActivation = true;
    bool m_shutDown = false;
    bool m_fittedOnShow = false;
};

// The saved window state "WS" of application "VOV", section "Startup".
namespace WindowStateSetting {
int read();
void write(int state);
} // namespace WindowStateSetting
