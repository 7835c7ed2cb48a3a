// Every control a user can reach with the keyboard, in the main window,
// in every window the menus open and in the dialogs those windows open, has
// a name a screen reader announces: its label or its purpose, never merely
// the value it holds, and no two alike in one window share a name. The Tab
// key reaches each of them and never stays inside one. Each
// window is opened inside the main window as the user opens it and its
// dialogs through its buttons; the offenders of a window are reported
// together.
#include "Forms.h"
#include "MainFormMDI.h"
#include "RecordCodes.h"
#include "RecordToolbar.h"
#include "RefListForm.h"
#include "ReportPreview.h"
#include "Registration.h"
#include "SR2PrintForm.h"
#include "SpellCheck.h"
#include "TestSupport.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolBox>
#include <QtTest>

namespace {

using Step = std::function<void(QDialog &)>;

// A control on a page of a tab control or a tool box counts even while
// another page is in front; anything else hidden is out of the user's
// reach, and so are the windows inside the main window (each is walked on
// its own).
bool reachable(QWidget *w, QWidget *window)
{
    for (QWidget *a = w; a != window; a = a->parentWidget()) {
        if (!a || a->isWindow() || qobject_cast<QMdiSubWindow *>(a))
            return false;
        QWidget *up = a->parentWidget();
        const bool page = (qobject_cast<QStackedWidget *>(up) && qobject_cast<QTabWidget *>(up->parentWidget()))
                          || qobject_cast<QToolBox *>(up);
        if (a->isHidden() && !page)
            return false;
    }
    return true;
}

// What the control holds, which says nothing of what it is for.
QString shownValue(QWidget *w)
{
    if (auto *c = qobject_cast<QComboBox *>(w))
        return c->currentText();
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->text();
    if (auto *s = qobject_cast<QAbstractSpinBox *>(w))
        return s->text();
    if (auto *t = qobject_cast<QTextEdit *>(w))
        return t->toPlainText();
    if (auto *p = qobject_cast<QPlainTextEdit *>(w))
        return p->toPlainText();
    // A list's own interface gives its name as its value too.
    if (auto *v = qobject_cast<QAbstractItemView *>(w))
        return v->currentIndex().data().toString();
    QAccessibleInterface *i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(QAccessible::Value) : QString();
}

QAbstractButton *button(QWidget *parent, const QString &pattern)
{
    return parent->findChildren<QAbstractButton *>(QRegularExpression(QStringLiteral("^%1$").arg(pattern))).value(0);
}

} // namespace

class TestAccessibleNames : public QObject {
    Q_OBJECT

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<MainFormMDI> m_main;
    std::unique_ptr<TestPrompter> m_prompter;
    QStringList m_offenders;

    // Every focusable control of the window, and the frame it sits in
    // inside the main window: its label's text or an accessible name of
    // its own, not its value, and not the name of another of its kind.
    void inspect(QWidget *window)
    {
        QApplication::processEvents();
        QWidget *top = qobject_cast<QMdiSubWindow *>(window->parentWidget());
        QList<QWidget *> controls = window->findChildren<QWidget *>();
        if (top)
            controls.prepend(top);
        else
            top = window;
        QHash<QPair<QAccessible::Role, QString>, QString> named;
        for (QWidget *w : controls) {
            // Focus handed on (an editable list's text) is heard through
            // the control that takes it, checked itself; the text is then
            // reached as the list's child.
            if (w->focusPolicy() == Qt::NoFocus || w->focusProxy() || !reachable(w, top))
                continue;
            QList<QAccessibleInterface *> heard = {QAccessible::queryAccessibleInterface(w)};
            if (auto *list = qobject_cast<QComboBox *>(w); list && list->isEditable())
                heard << heard[0]->child(1);
            const QString value = shownValue(w).trimmed();
            for (QAccessibleInterface *i : heard) {
                const QString name = i ? i->text(QAccessible::Name).trimmed() : QString();
                const QString what = QStringLiteral("%1: %2 (%3)").arg(
                    window->objectName(), w->objectName(),
                    QLatin1String(i ? i->object()->metaObject()->className() : "?"));
                if (name.isEmpty() || (!value.isEmpty() && name == value))
                    m_offenders << QStringLiteral("%1 heard as \"%2\"").arg(what, name);
                else if (QString &twin = named[{i->role(), name}]; !twin.isEmpty())
                    m_offenders << QStringLiteral("%1 heard as \"%2\" like %3").arg(what, name, twin);
                else
                    twin = w->objectName();
            }
        }
        walkTabOrder(window);
        for (QTabWidget *pages : window->findChildren<QTabWidget *>())
            for (int p = 0; p < pages->count(); ++p) { // each page in front, the one shown last
                pages->setCurrentIndex((pages->currentIndex() + 1) % pages->count());
                walkTabOrder(window);
            }
    }

    // The Tab order of the window reaches each control that is enabled and
    // showing (a group of choices as one stop, moved in with the arrows),
    // and one Tab or Shift+Tab press leaves each grid or list.
    void walkTabOrder(QWidget *window)
    {
        QWidget *top = window->window();
        const auto what = [window](QObject *w) { return window->objectName() + ": " + w->objectName(); };
        const auto stop = [](QWidget *w) -> QObject * {
            auto *b = qobject_cast<QAbstractButton *>(w);
            if (b && b->group() && b->group()->exclusive())
                return b->group();
            return b && b->autoExclusive() ? b->parent() : w;
        };
        QList<QWidget *> wanted;
        for (QWidget *w : window->findChildren<QWidget *>())
            if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() && w->isEnabled() && w->isVisible()
                && w->window() == top)
                wanted << w;
        if (wanted.size() < 2)
            return;
        wanted.first()->setFocus(Qt::TabFocusReason);
        QSet<QObject *> reached;
        for (QWidget *at = top->focusWidget(); at && !reached.contains(stop(at)); at = top->focusWidget()) {
            reached << stop(at);
            QTest::keyClick(at, Qt::Key_Tab);
            if (top->focusWidget() == at)
                m_offenders << what(at) + " keeps Tab";
        }
        for (QWidget *w : wanted) {
            if (!reached.contains(stop(w)))
                m_offenders << what(w) + " is not reached by Tab";
            if (qobject_cast<QAbstractItemView *>(w)) {
                w->setFocus(Qt::TabFocusReason);
                QTest::keyClick(w, Qt::Key_Tab, Qt::ShiftModifier);
                if (top->focusWidget() == w)
                    m_offenders << what(w) + " keeps Shift+Tab";
            }
        }
    }

    // The next modal dialog shown: inspected, then `then` (which may open
    // further dialogs), then closed unless `then` closed it.
    void onDialog(Step then = {})
    {
        m_prompter->dialogHandlers.enqueue([this, then](QDialog &d) {
            d.show();
            inspect(&d);
            if (then)
                then(d);
            if (d.isVisible())
                d.reject();
            return d.result();
        });
    }

    void click(QWidget *parent, const QString &pattern)
    {
        QAbstractButton *b = button(parent, pattern);
        QVERIFY2(b, qPrintable(parent->objectName() + ": no " + pattern));
        b->click();
    }

    // The report window, its options (each option box clicked in turn, as
    // some show further options), the report built, then its document
    // dialogs: the choice of saving, the page range, the enlarged preview.
    void walkReport()
    {
        SR2PrintForm *report = SR2PrintForm::instance();
        QVERIFY(report);
        inspect(report);
        for (QAbstractButton *b : report->findChildren<QCheckBox *>(QRegularExpression("^DCheck[1-9]")))
            if (reachable(b, report)) {
                b->click();
                inspect(report);
            }
        if (!report->preview()->pageCount())
            click(report, "CreateButton");
        onDialog([this](QDialog &d) { click(&d, "ApplyButton"); });
        m_prompter->fileAnswers.enqueue(m_folder->file("saved.vsr"));
        onDialog([this](QDialog &d) { click(&d, "PageOption2"); });
        click(report, "SaveButton");
        onDialog();
        click(report, "MaxButton");
        closeWindow(report);
    }

    void walk(QWidget *window)
    {
        inspect(window);
        auto *bar = window->findChild<RecordToolbar *>("Toolbar1");
        if (bar && bar->isButtonVisible(RecordButton::Schedule)) {
            onDialog();
            bar->button(RecordButton::Schedule)->trigger();
        }
        if (button(window, "btnAllPerform")) {
            onDialog([this](QDialog &d) {
                d.findChild<QTableWidget *>("DGrid")->setCurrentCell(0, 1);
                click(&d, "btnModify");
            });
            onDialog();
            click(window, "btnAllPerform");
        }
        if (auto *memo = window->findChild<QWidget *>("Memo1")) {
            auto *pages = window->findChild<QTabWidget *>("SSTab1");
            for (int p = 0; p < pages->count(); ++p)
                if (pages->widget(p) == memo || pages->widget(p)->isAncestorOf(memo))
                    pages->setCurrentIndex(p);
            memo->setFocus();
            QTest::keyClicks(memo, "Recieved");
            onDialog();
            QTest::keyClick(memo, Qt::Key_F7);
        }
        if (auto *list = qobject_cast<RefListForm *>(window)) {
            onDialog();
            click(window, "btnAdd.*");
            list->grid()->selectRow(0);
            onDialog();
            click(window, "btnModify.*");
        }
        if (button(window, "btnReport")) {
            click(window, "btnReport");
            walkReport();
        }
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        registerAllForms();
    }

    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>(false);
        QVERIFY(m_folder->ok());
        WindowStateSetting::write(0);
        m_main = std::make_unique<MainFormMDI>();
        QString error;
        QVERIFY2(m_main->load(&error), qPrintable(error));
        m_main->show();
        m_prompter = std::make_unique<TestPrompter>();
        SpellCheck::setUserDictionary(m_folder->file("MyDictionary.dct"));
        // One entry of every list, so each window shows a record, a row
        // to edit and a report with pages.
        using testdb::insert;
        const qint32 choir = insert("insert into choir (choir, Description) values ('Chancel Choir', 'Adults')");
        const qint32 book = insert("insert into collection (Collection) values ('Carols Book')");
        const qint32 anthem = insert("insert into anthem (Anthem, collectionid) values ('Amazing Grace', ?)", {book});
        insert("insert into member (LName, FName) values ('Smith', 'Ann')");
        for (const char *table : {"a_lperform", "col_lperform"})
            insert(QStringLiteral("insert into %1 (Lperform, %2, ChoirID) values ('2001-03-07', ?, ?)")
                       .arg(table, table[0] == 'a' ? "anthemid" : "collectionid"),
                   {table[0] == 'a' ? anthem : book, choir});
        insert("insert into schedule (ChoirID, SchedDate, AMPM, Anthem, anthemid) values (?, ?, 'AM', -1, ?)",
               {choir, QDate::currentDate().addDays(7).toString(Qt::ISODate), anthem});
        insert("insert into themes (theme, Description) values ('Easter', 'Spring')");
        for (const char *table : {"vocals", "composer", "orchestration", "vocalsm", "city", "zip", "school"})
            insert(QStringLiteral("insert into %1 (%2) values ('Entry')")
                       .arg(table, QString(table) == "vocalsm" ? "vocals" : table));
    }

    void cleanup()
    {
        for (int code = CollectionFormCode; code <= SchoolFormCode; ++code)
            closeWindow(Forms::instance(code));
        m_main->close();
        m_main.reset();
        m_prompter.reset();
        m_folder.reset();
    }

    void everyControlIsNamed_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("dialogs");
        const QStringList record = {"ScheduleForm", "PerformDatesForm", "PerformByForm", "SpellCheckDialog"};
        const QStringList report = {"SaveLoadDocumentForm", "PrintPageForm", "RForm"};
        const QStringList list = {"UtilityForm", "UtilityForm"};
        QTest::newRow("main window") << 0 << QStringList();
        QTest::newRow("collection editor") << int(CollectionFormCode) << record;
        QTest::newRow("anthem editor") << int(AnthemFormCode) << record;
        QTest::newRow("collection viewer") << int(CollectionQDFormCode) << report;
        QTest::newRow("anthem viewer") << int(AnthemQDFormCode) << report;
        QTest::newRow("schedule viewer") << int(ScheduleViewFormCode) << report;
        QTest::newRow("themes") << int(ThemeFormCode) << list;
        QTest::newRow("composers") << int(ComposerFormCode) << list;
        QTest::newRow("orchestration") << int(OrchestrationFormCode) << list;
        QTest::newRow("vocalizations") << int(VocalsFormCode) << list;
        QTest::newRow("choirs") << int(ChoirFormCode) << list;
        QTest::newRow("sections") << int(VocalsMFormCode) << list;
        QTest::newRow("member editor") << int(MemberFormCode) << QStringList{"SpellCheckDialog"};
        QTest::newRow("member viewer") << int(MemberQDFormCode) << report;
        QTest::newRow("cities") << int(CityFormCode) << list;
        QTest::newRow("zip codes") << int(ZipFormCode) << list;
        QTest::newRow("schools") << int(SchoolFormCode) << list;
    }

    void everyControlIsNamed()
    {
        QFETCH(int, code);
        QFETCH(QStringList, dialogs);
        m_offenders.clear();
        OpenFormByCode(code);
        QWidget *window = code ? Forms::instance(code) : m_main.get();
        QVERIFY(window);
        walk(window);
        // Every dialog was reached and inspected.
        QCOMPARE(m_prompter->dialogs, dialogs);
        QVERIFY(m_prompter->dialogHandlers.isEmpty());
        m_offenders.removeDuplicates();
        QVERIFY2(m_offenders.isEmpty(), qPrintable("\n" + m_offenders.join('\n')));
    }
};

QTEST_MAIN(TestAccessibleNames)
#include "tst_accessiblenames.moc"
