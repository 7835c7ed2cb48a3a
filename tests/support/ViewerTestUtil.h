#pragma once
// A user's hands on the limit pages every viewer has (tabs SSTab1,
// AllCheck, optLimit<i>, the list grids with btnCheckAll<i> and
// btnClearAll<i>, the text lists, btnProcess0..2), an editor stand-in for
// the viewers' double-clicks, and the display marks a filter leaves,
// shared by the anthem, collection and member viewer tests.

#include "BaseForm.h"
#include "CheckListGrid.h"
#include "Db.h"
#include "Forms.h"
#include "Module.h"
#include "TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QtTest>

namespace viewertest {

// An editor stand-in: records the ids it is asked to show.
class StandInEditor : public BaseForm, public RecordLoader {
public:
    explicit StandInEditor(QList<qint32> *log, bool *loadedFlag = nullptr) : BaseForm(loadedFlag), m_log(log) {}
    void loadRecordById(qint32 id) override { m_log->append(id); }

private:
    QList<qint32> *m_log;
};

// The display mark (displayit) of every row of a table, in id order.
inline QList<int> displayMarks(const QString &table, const QString &idColumn)
{
    QList<int> out;
    QSqlQuery q = Db::query(QStringLiteral("select displayit from %1 order by %2").arg(table, idColumn));
    while (q.next())
        out << q.value(0).toInt();
    return out;
}

struct LimitPagesHands {
    QWidget *window = nullptr;

    template <class T> T *get(const QString &name) const
    {
        T *w = window ? window->findChild<T *>(name) : nullptr;
        if (!w)
            qWarning("no control %s", qPrintable(name));
        return w;
    }
    QTabWidget *tab() const { return get<QTabWidget>("SSTab1"); }
    QCheckBox *limit(int i) const { return get<QCheckBox>(QStringLiteral("optLimit%1").arg(i)); }
    QCheckBox *allCheck() const { return get<QCheckBox>("AllCheck"); }
    QComboBox *myData(int i) const { return get<QComboBox>(QStringLiteral("MyData%1").arg(i)); }
    // The list grid of limit i (the member viewer has 0, 3 and 4 only).
    CheckListGrid *grid(int i) const
    {
        static const char *names[] = {"VocalsGrid", "ComposersGrid", "ThemesGrid", "OrchGrid", "ChoirGrid"};
        return get<CheckListGrid>(QLatin1String(names[i]));
    }
    QPushButton *checkAll(int i) const { return get<QPushButton>(QStringLiteral("btnCheckAll%1").arg(i)); }
    QPushButton *clearAll(int i) const { return get<QPushButton>(QStringLiteral("btnClearAll%1").arg(i)); }

    void showPage(int page) const
    {
        tab()->setCurrentIndex(page);
        QApplication::processEvents();
    }
    // Brings the page holding the control to the front, as the user would.
    void showPageOf(QWidget *w) const
    {
        for (int p = 0; p < tab()->count(); ++p)
            if (tab()->widget(p)->isAncestorOf(w))
                showPage(p);
    }

    void click(QAbstractButton *b) const
    {
        QVERIFY(b);
        showPageOf(b);
        // A check box takes clicks on its box and caption only.
        const QPoint at = qobject_cast<QCheckBox *>(b) ? QPoint(8, b->height() / 2) : b->rect().center();
        QTest::mouseClick(b, Qt::LeftButton, {}, at);
    }
    void clickLimit(int i) const { click(limit(i)); }

    static int rowOf(const CheckListGrid *g, const QString &name)
    {
        for (int r = 1; r < g->Rows(); ++r)
            if (g->nameAt(r) == name)
                return r;
        return -1;
    }

    // A click on a column of the grid row showing name (the grid must be
    // enabled): column 1 is the name's box, 3 a choir's "Active" box.
    void clickCell(int gridIndex, const QString &name, int column = 1) const
    {
        CheckListGrid *g = grid(gridIndex);
        QVERIFY(g);
        showPageOf(g);
        const int r = rowOf(g, name);
        QVERIFY2(r > 0, qPrintable("no row " + name));
        QTableWidgetItem *it = g->item(r - 1, column);
        g->scrollToItem(it);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(it).center());
    }
    void clickRow(int gridIndex, const QString &name) const { clickCell(gridIndex, name, 1); }

    // Ticks limit i and leaves exactly the named rows of its grid checked;
    // on a grid with "Active" boxes "name*" wants an active membership,
    // "name-" an inactive one.
    void limitTo(int i, const QStringList &rows) const
    {
        if (!limit(i)->isChecked())
            clickLimit(i);
        click(clearAll(i));
        for (QString name : rows) {
            const QChar mark = name.isEmpty() ? QChar() : name.back();
            const bool marked = mark == QLatin1Char('*') || mark == QLatin1Char('-');
            if (marked)
                name.chop(1);
            clickCell(i, name, 1);
            const CheckListGrid *g = grid(i);
            if (marked && g->isChecked(rowOf(g, name), 3) != (mark == QLatin1Char('*')))
                clickCell(i, name, 3);
        }
    }

    // Types into a text list as into the window in front, the list's text
    // having the focus.
    void type(QComboBox *list, const QString &text) const
    {
        QVERIFY(list);
        showPageOf(list);
        QApplication::setActiveWindow(window->window());
        list->lineEdit()->setFocus();
        list->lineEdit()->clear();
        QTest::keyClicks(list->lineEdit(), text);
    }
    void typeMyData(int i, const QString &text) const { type(myData(i), text); }

    // The text list of limit i: MyData5..MyData9, and the member viewer's
    // month lists Date11 and Date12.
    QComboBox *textList(int i) const
    {
        return get<QComboBox>(i <= 9 ? QStringLiteral("MyData%1").arg(i) : QStringLiteral("Date1%1").arg(i - 9));
    }
    // Sets limit i as the user does when it is the only one: a grid limit
    // (0 to 4) with exactly the rows named checked (see limitTo); another
    // limit ticked, with the first value typed into its text list when a
    // value is given (the loan limit has none).
    void setOneLimit(int i, const QStringList &values) const
    {
        if (i <= 4) {
            limitTo(i, values);
            return;
        }
        clickLimit(i);
        if (!values.isEmpty())
            type(textList(i), values.first());
    }

    void process(int page = 1) const { click(get<QPushButton>(QStringLiteral("btnProcess%1").arg(page))); }

    // The captions and column titles shown cut on any of the pages.
    QStringList cutCaptionsOnEveryPage() const
    {
        QStringList cut;
        for (int p = 0; p < tab()->count(); ++p) {
            showPage(p);
            cut << cutCaptions(window);
        }
        showPage(0);
        return cut;
    }
};

// A viewer of the form class, opened through its form code as from the
// menu, and closed as the user closes it.
template <class Form> struct ViewerHands : LimitPagesHands {
    Form *form = nullptr;

    void open(int formCode)
    {
        OpenFormByCode(formCode);
        form = Forms::find<Form>(formCode);
        window = form;
        QVERIFY(form);
        QApplication::processEvents();
    }

    void close()
    {
        closeWindow(form);
        form = nullptr;
        window = nullptr;
    }
};

} // namespace viewertest
