#pragma once
// A user's hands on the shape every record editor has (the record toolbar
// Toolbar1, the letter bar Toolbar2, the name list List_Combo, the pages
// SSTab1, check-list grids, fields and lists typed into), shared by the
// anthem, collection and member editor tests.

#include "CheckListGrid.h"
#include "DateField.h"
#include "Forms.h"
#include "LetterBar.h"
#include "Module.h"
#include "RecordCodes.h"
#include "RecordToolbar.h"
#include "TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QtTest>

namespace editortest {

using testdb::column;
using testdb::count;

// The toolbar's buttons: Add, Cancel, Save, Delete, First ... Schedule.
using namespace RecordButton;

// Closes a window as the user does and deletes it at once.
inline void close(QWidget *w)
{
    if (w)
        w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template <class T> T *w(QWidget *form, const char *name)
{
    T *c = form->findChild<T *>(QLatin1String(name));
    if (!c)
        qWarning("no control %s", name);
    return c;
}

inline QLineEdit *edit(QWidget *f, const char *name) { return w<QLineEdit>(f, name); }
inline QComboBox *list(QWidget *f, const char *name) { return w<QComboBox>(f, name); }
inline DateField *date(QWidget *f, const char *name) { return w<DateField>(f, name); }
inline CheckListGrid *grid(QWidget *f, const char *name) { return w<CheckListGrid>(f, name); }
inline QTabWidget *tabs(QWidget *f) { return w<QTabWidget>(f, "SSTab1"); }
inline QComboBox *nameList(QWidget *f) { return w<QComboBox>(f, "List_Combo"); }
inline LetterBar *letters(QWidget *f) { return w<LetterBar>(f, "Toolbar2"); }
inline RecordToolbar *toolbar(QWidget *f) { return w<RecordToolbar>(f, "Toolbar1"); }

inline void press(QWidget *f, int button)
{
    QAction *a = toolbar(f)->button(button);
    QVERIFY2(a && a->isVisible(), "toolbar button not shown");
    a->trigger();
}

inline QList<int> visibleButtons(QWidget *f)
{
    QList<int> out;
    for (int i = 1; i <= RecordToolbar::ButtonCount; ++i)
        if (i != RecordToolbar::Separator && toolbar(f)->isButtonVisible(i))
            out << i;
    return out;
}

// The user types into a field or an editable list: focus, select all,
// type key by key.
inline void type(QWidget *field, const QString &text)
{
    auto *c = qobject_cast<QComboBox *>(field);
    QLineEdit *e = c ? c->lineEdit() : qobject_cast<QLineEdit *>(field);
    field->setFocus();
    e->selectAll();
    e->del();
    QTest::keyClicks(e, text);
}

inline void typeDate(DateField *d, const QString &text)
{
    d->lineEdit()->clear();
    QTest::keyClicks(d->lineEdit(), text);
}

// Which of a letter's three buttons shows: 0 normal, 1 selected, 2 disabled.
inline int letterLook(QWidget *f, QChar letter)
{
    const int g = 3 * (letter.unicode() - u'A') + 1;
    for (int i = 0; i < 3; ++i)
        if (letters(f)->isButtonVisible(g + i))
            return i;
    return -1;
}

// The user clicks a letter (the one of its three buttons that shows).
inline void clickLetter(QWidget *f, QChar letter)
{
    const int g = 3 * (letter.unicode() - u'A') + 1;
    LetterBar *bar = letters(f);
    for (int i = g; i < g + 3; ++i)
        if (bar->isButtonVisible(i)) {
            bar->button(i)->trigger();
            return;
        }
}

// Each check-list grid of an editor as "objectName: the name a screen
// reader announces", sorted.
inline QStringList gridNames(QWidget *f)
{
    QStringList out;
    for (CheckListGrid *g : f->findChildren<CheckListGrid *>())
        out << g->objectName() + QStringLiteral(": ") + accessibleName(g);
    out.sort();
    return out;
}

inline QStringList items(const QComboBox *c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

// The user picks an item of a list (a drop-down list or the name list).
inline void choose(QComboBox *c, const QString &text)
{
    const int i = c->findText(text, Qt::MatchExactly);
    QVERIFY2(i >= 0, qPrintable(text));
    c->setCurrentIndex(i);
    emit c->activated(i);
}

// The name list's items, and the user picking one.
inline QStringList listItems(QWidget *f) { return items(nameList(f)); }
inline void chooseListItem(QWidget *f, const QString &text) { choose(nameList(f), text); }

// The user clicks a row's box in a column of a check-list grid (its page
// is brought to the front first).
inline void clickGridRow(QWidget *f, CheckListGrid *g, const QString &name, int column = 1)
{
    QTabWidget *pages = tabs(f);
    for (int p = 0; p < pages->count(); ++p)
        if (pages->widget(p)->isAncestorOf(g))
            pages->setCurrentIndex(p);
    for (int r = 1; r < g->Rows(); ++r) {
        if (g->nameAt(r) != name)
            continue;
        QTableWidgetItem *it = g->item(r - 1, column);
        g->scrollToItem(it);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(it).center());
        return;
    }
    QFAIL(qPrintable(QStringLiteral("no row %1").arg(name)));
}

// The rows of a grid ticked in a column, in name order.
inline QStringList ticked(const CheckListGrid *g, int column = 1)
{
    QStringList out;
    for (int r = 1; r < g->Rows(); ++r)
        if (g->isChecked(r, column))
            out << g->nameAt(r);
    out.sort();
    return out;
}

} // namespace editortest
