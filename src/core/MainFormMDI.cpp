#include "MainFormMDI.h"

#include "AppPaths.h"
#include "BaseForm.h"
#include "Cursor.h"
#include "Db.h"
#include "Forms.h"
#include "Guard.h"
#include "Module.h"
#include "Prompter.h"
#include "Schema.h"
#include "SpellCheck.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>
#include <QToolBox>

namespace {

struct ListBarEntry {
    const char *text;
    int code;
};

// The list bar's groups and items, in their order.
const ListBarEntry kMusic[] = {{"Add/Edit Collections", 1},
                               {"Collection Viewer", 3},
                               {"Add/Edit Anthems", 2},
                               {"Anthem Viewer", 4},
                               {"Schedule Viewer", 5}};
const ListBarEntry kMusicUtilities[] = {{"Themes", 6},
                                        {"Arrangers/ Composers", 7},
                                        {"Orchestration", 8},
                                        {"Music Vocalization", 9},
                                        {"Choirs", 10}};
const ListBarEntry kMembership[] = {{"Add/Edit Members", 12},
                                    {"Member Viewer", 13},
                                    {"City Utility", 14},
                                    {"ZipCode Utility", 15},
                                    {"School Utility", 16},
                                    {"Member Sections", 11}};

// Upper-cased item texts in the order they are compared.
const ListBarEntry kListBarMatch[] = {
    {"ADD/EDIT COLLECTIONS", 1}, {"ADD/EDIT ANTHEMS", 2},   {"COLLECTION VIEWER", 3},
    {"ANTHEM VIEWER", 4},        {"SCHEDULE VIEWER", 5},    {"THEMES", 6},
    {"ARRANGERS/ COMPOSERS", 7}, {"ORCHESTRATION", 8},      {"MUSIC VOCALIZATION", 9},
    {"CHOIRS", 10},              {"MEMBER SECTIONS", 11},   {"ADD/EDIT MEMBERS", 12},
    {"MEMBER VIEWER", 13},       {"CITY UTILITY", 14},      {"ZIPCODE UTILITY", 15},
    {"SCHOOL UTILITY", 16}};

// Return, Enter or Space on a list-bar item opens it as a click does, so
// the list bar serves a keyboard user too.
class ListBarKeys : public QObject {
public:
    ListBarKeys(QListWidget *list, std::function<void(const QString &)> open)
        : QObject(list), m_list(list), m_open(std::move(open))
    {
        list->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_list && event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const bool opens = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space;
            if (opens && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && m_list->currentItem()) {
                m_open(m_list->currentItem()->text());
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QListWidget *m_list;
    std::function<void(const QString &)> m_open;
};

// A Windows-menu item for a window title: an `&` in the title is shown,
// not taken for an access key, and the access key is the title's first
// letter or digit that no item above it has taken.
QString windowsMenuCaption(const QString &title, QString *taken)
{
    QString caption = title;
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            ++i; // the shown `&` of a pair
            continue;
        }
        const QChar key = caption.at(i).toLower();
        if (key.isLetterOrNumber() && !taken->contains(key)) {
            taken->append(key);
            caption.insert(i, QLatin1Char('&'));
            break;
        }
    }
    return caption;
}

QSettings settings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("VOV"),
                     QStringLiteral("VOV"));
}

} // namespace

namespace WindowStateSetting {

int read()
{
    QSettings s = settings();
    bool ok = false;
    const int v = s.value(QStringLiteral("Startup/WS"), QStringLiteral("0")).toString().trimmed().toInt(&ok);
    return ok ? v : 0;
}

void write(int state)
{
    QSettings s = settings();
    s.setValue(QStringLiteral("Startup/WS"), QString::number(state));
    s.sync();
}

} // namespace WindowStateSetting

const char *MainFormMDI::homePage()
{
    return "https://velmora.example.org/";
}

const char *MainFormMDI::supportAddress()
{
    return "support@velmora.example.org";
}

MainFormMDI::MainFormMDI(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainFormMDI"));
    setWindowTitle(appTitle());
    resize(1100, 760);
    fitToScreen();

    m_toolbar = addToolBar(QStringLiteral("Toolbar1"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);

    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    buildListBar();
    layout->addWidget(m_listBar);
    m_mdi = new QMdiArea(central);
    m_mdi->setObjectName(QStringLiteral("MDIArea"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(m_mdi, 1);
    setCentralWidget(central);
    // Ctrl+F4 closes the window in front, asking as its close box does, on
    // every desktop: Qt gives a window that key only with the Windows keys
    // (elsewhere Ctrl+W), and a second binding of it would make both dead.
    const QKeySequence closeKey(Qt::CTRL | Qt::Key_F4);
    if (!QKeySequence::keyBindings(QKeySequence::Close).contains(closeKey)) {
        auto *close = new QShortcut(closeKey, m_mdi);
        close->setContext(Qt::WidgetWithChildrenShortcut);
        connect(close, &QShortcut::activated, m_mdi, &QMdiArea::closeActiveSubWindow);
    }

    buildMenus();
    Forms::setMdiArea(m_mdi);
}

MainFormMDI::~MainFormMDI()
{
    if (Forms::mdiArea() == m_mdi)
        Forms::setMdiArea(nullptr);
}

void MainFormMDI::buildMenus()
{
    auto addItem = [this](QMenu *menu, const char *name, const QString &caption, int code) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, [code] { OpenFormByCode(code); });
        return a;
    };

    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    QMenu *music = file->addMenu(QStringLiteral("&Music"));
    music->setObjectName(QStringLiteral("menuMusic"));
    addItem(music, "menuAECollections", QStringLiteral("Add/Edit &Collections or Cantatas"), 1);
    addItem(music, "menuCViewer", QStringLiteral("Collection/Cantata &Viewer"), 3);
    addItem(music, "menuAEAnthems", QStringLiteral("Add/Edit &Anthems"), 2);
    addItem(music, "menuAnthemV", QStringLiteral("A&nthem Viewer"), 4);
    addItem(music, "menuSchedule", QStringLiteral("&Schedule Viewer"), 5);
    QMenu *util = file->addMenu(QStringLiteral("&Utilities"));
    util->setObjectName(QStringLiteral("menuUtil"));
    addItem(util, "menuThemes", QStringLiteral("Add/Edit &Themes"), 6);
    addItem(util, "menuComposers", QStringLiteral("Add/Edit &Arrangers and Composers"), 7);
    addItem(util, "menuOrchestration", QStringLiteral("Add/Edit &Orchestration"), 8);
    addItem(util, "menuVocals", QStringLiteral("Add/Edit Music &Vocalization"), 9);
    addItem(util, "menuChoirs", QStringLiteral("Add/Edit &Choirs"), 10);
    QMenu *member = file->addMenu(QStringLiteral("Mem&bership"));
    member->setObjectName(QStringLiteral("menuMember"));
    addItem(member, "menuAEMembers", QStringLiteral("Add/Edit &Members"), 12);
    addItem(member, "menuMemberV", QStringLiteral("Member &Viewer"), 13);
    addItem(member, "menuCity", QStringLiteral("&City Utility"), 14);
    addItem(member, "menuZip", QStringLiteral("&ZipCode Utility"), 15);
    addItem(member, "menuSchool", QStringLiteral("&School Utility"), 16);
    addItem(member, "menuMVocals", QStringLiteral("Add/Edit Member S&ections"), 11);
    QAction *exitAction = file->addAction(QStringLiteral("E&xit"));
    exitAction->setObjectName(QStringLiteral("menuExit"));
    connect(exitAction, &QAction::triggered, this, &QWidget::close);

    m_windowsMenu = menuBar()->addMenu(QStringLiteral("&Windows"));
    m_windowsMenu->setObjectName(QStringLiteral("menuWindows"));
    connect(m_windowsMenu, &QMenu::aboutToShow, this, &MainFormMDI::rebuildWindowsMenu);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("hmenu"));
    QAction *helpItem = help->addAction(QStringLiteral("Velmora &Help"));
    helpItem->setObjectName(QStringLiteral("hxhelpmenu"));
    connect(helpItem, &QAction::triggered, this, [this] { ShellOpenDocument(m_helpFile); });
    QAction *sep = help->addSeparator();
    sep->setObjectName(QStringLiteral("s1"));
    QAction *web = help->addAction(QStringLiteral("&Visit Velmora Homepage"));
    web->setObjectName(QStringLiteral("menuWeb"));
    connect(web, &QAction::triggered, this, [] { ShellOpenDocument(QLatin1String(homePage())); });
    QAction *mail = help->addAction(QStringLiteral("&Report Problems/Comments"));
    mail->setObjectName(QStringLiteral("menuEmail"));
    connect(mail, &QAction::triggered, this,
            [] { ShellOpenDocument(QStringLiteral("mailto: ") + QLatin1String(supportAddress())); });
}

void MainFormMDI::buildListBar()
{
    m_listBar = new QToolBox(this);
    m_listBar->setObjectName(QStringLiteral("SSListBar1"));
    // The list bar keeps its size and place when the main window is resized.
    m_listBar->setFixedWidth(170);

    auto addGroup = [this](const QString &title, const char *name, const ListBarEntry *items, int n) {
        auto *list = new QListWidget(m_listBar);
        list->setObjectName(QLatin1String(name));
        list->setAccessibleName(title);
        for (int i = 0; i < n; ++i)
            list->addItem(QLatin1String(items[i].text));
        connect(list, &QListWidget::itemClicked, this,
                [this](QListWidgetItem *item) { listBarItemClicked(item->text()); });
        new ListBarKeys(list, [this](const QString &text) { listBarItemClicked(text); });
        m_listBar->addItem(list, title);
    };
    addGroup(QStringLiteral("Music"), "ListBarMusic", kMusic, int(std::size(kMusic)));
    addGroup(QStringLiteral("Music Utilities"), "ListBarMusicUtilities", kMusicUtilities,
             int(std::size(kMusicUtilities)));
    addGroup(QStringLiteral("Membership"), "ListBarMembership", kMembership, int(std::size(kMembership)));
    // The tool box wraps each group's list in a scroll area of its own. The
    // list scrolls itself: the wrapper would only be an unnamed stop for
    // the Tab key on the way to the list.
    for (QScrollArea *area : m_listBar->findChildren<QScrollArea *>(Qt::FindDirectChildrenOnly))
        area->setFocusPolicy(Qt::NoFocus);
    // The group captions, though, are Tab stops: Space opens a group, so
    // the keyboard reaches every item of the list bar.
    for (QAbstractButton *caption : m_listBar->findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly))
        caption->setFocusPolicy(Qt::TabFocus);
}

void MainFormMDI::listBarItemClicked(const QString &text)
{
    const QString up = text.toUpper();
    for (const auto &e : kListBarMatch) {
        if (up == QLatin1String(e.text)) {
            OpenFormByCode(e.code);
            return;
        }
    }
}

void MainFormMDI::rebuildWindowsMenu()
{
    m_windowsMenu->clear();
    const auto subs = m_mdi->subWindowList(QMdiArea::CreationOrder);
    QString taken;
    for (QMdiSubWindow *sub : subs) {
        QAction *a = m_windowsMenu->addAction(windowsMenuCaption(sub->windowTitle(), &taken));
        a->setCheckable(true);
        a->setChecked(sub == m_mdi->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, sub] {
            // As when the window is opened again: a minimized window comes
            // back, a maximized one stays maximized.
            if (m_mdi->subWindowList().contains(sub))
                Forms::showChild(sub->widget());
        });
    }
    if (subs.isEmpty()) {
        QAction *none = m_windowsMenu->addAction(windowsMenuCaption(QStringLiteral("(no open windows)"), &taken));
        none->setEnabled(false);
    }
}

bool MainFormMDI::load(QString *error)
{
    m_firstActivation = true;
    hx().clearWindowFlags();
    m_helpFile = AppPaths::inProgramFolder(QLatin1String(AppPaths::HelpFile));
    if (WindowStateSetting::read() == 2)
        setWindowState(windowState() | Qt::WindowMaximized);
    SpellCheck::setUserDictionary(AppPaths::inProgramFolder(QLatin1String(AppPaths::UserDictionaryFile)));

    const QString file = Schema::findDatabaseFile(AppPaths::programFolder());
    QString why; // what is wrong with the file and what to do
    if (file.isEmpty())
        why = QStringLiteral("The database \"%1\" is not in the program folder:\n%2")
                  .arg(QLatin1String(AppPaths::DatabaseFile), AppPaths::programFolder());
    else if (Db::open(file, &why))
        return true;
    if (error)
        *error = why;
    return false;
}

void MainFormMDI::setFirstActivationRoutine(std::function<void(const QDate &)> routine)
{
    m_firstActivationRoutine = std::move(routine);
}

void MainFormMDI::fitToScreen()
{
    const QScreen *screen = this->screen();
    if (!screen || isMaximized() || isFullScreen())
        return;
    const QRect room = screen->availableGeometry();
    const QRect inner = geometry();
    const QRect outer = frameGeometry();
    QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                   outer.bottom() - inner.bottom());
    // Before it is shown the window manager's frame is not known yet: a
    // title bar and borders as most draw them.
    if (!isVisible())
        frame = frame | QMargins(8, 32, 8, 8);
    const QSize most = room.size().shrunkBy(frame).expandedTo(minimumSizeHint());
    if (width() > most.width() || height() > most.height())
        resize(size().boundedTo(most));
    if (!isVisible())
        return;
    // Shown partly off the screen: moved in, the title bar first.
    const QRect now = frameGeometry();
    QPoint at = now.topLeft();
    at.setX(qMax(room.left(), qMin(at.x(), room.right() + 1 - now.width())));
    at.setY(qMax(room.top(), qMin(at.y(), room.bottom() + 1 - now.height())));
    if (at != now.topLeft())
        move(at);
}

void MainFormMDI::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    // Once the window manager has framed the window, its frame counts too.
    if (!e->spontaneous() && !m_fittedOnShow) {
        m_fittedOnShow = true;
        QTimer::singleShot(0, this, &MainFormMDI::fitToScreen);
    }
}

bool MainFormMDI::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate && m_firstActivation)
        QTimer::singleShot(0, this, &MainFormMDI::runFirstActivation);
    return QMainWindow::event(e);
}

void MainFormMDI::runFirstActivation()
{
    if (!m_firstActivation || m_shutDown)
        return;
    if (m_splash)
        m_splash->close();
    m_firstActivation = false;
    if (m_firstActivationRoutine && Db::isOpen()) {
        const QDate today = m_today.isValid() ? m_today : QDate::currentDate();
        BusyCursor busy;
        guarded([&] { m_firstActivationRoutine(today); });
    }
}

void MainFormMDI::closeEvent(QCloseEvent *e)
{
    if (m_shutDown) {
        e->accept();
        return;
    }
    // Every window says whether it may close before any closes: a window
    // kept open keeps them all open.
    QList<BaseForm *> agreed;
    for (QMdiSubWindow *sub : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        auto *form = qobject_cast<BaseForm *>(sub->widget());
        if (!form)
            continue;
        if (!form->agreeToClose()) {
            for (BaseForm *f : agreed)
                f->withdrawCloseAgreement();
            e->ignore();
            return;
        }
        agreed << form;
    }
    m_shutDown = true;
    Cursor::reset();

    // Children first, each unloading while the database is still open.
    m_mdi->closeAllSubWindows();

    WindowStateSetting::write(isMinimized() ? 0 : (isMaximized() ? 2 : 0));
    hx().ReportAnthemSet.release();
    hx().ReportCollectionSet.release();
    Db::close();
    CloseAllForms();
    e->accept();
}

void MainFormMDI::CloseAllForms()
{
    // Whatever is still loaded goes, the last-loaded first; nothing here
    // may stop the shut-down.
    const auto subs = m_mdi->subWindowList(QMdiArea::CreationOrder);
    for (int i = int(subs.size()) - 1; i >= 0; --i) {
        subs.at(i)->setAttribute(Qt::WA_DeleteOnClose);
        subs.at(i)->close();
    }
    const auto tops = QApplication::topLevelWidgets();
    for (int i = int(tops.size()) - 1; i >= 0; --i) {
        QWidget *w = tops.at(i);
        if (w != this && w->isVisible())
            w->close();
    }
}
