#pragma once
// Helpers shared by the member editor tests: the editor opened through the
// form dispatcher and driven through its controls as a user would.

#include "CheckListGrid.h"
#include "DateField.h"
#include "Forms.h"
#include "LetterBar.h"
#include "MemberForm.h"
#include "MemberTestUtil.h"
#include "Module.h"
#include "RecordToolbar.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>

namespace memberui {

enum Button { Add = 1, Cancel, Save, Delete, First, Previous, Next, Last };

inline MemberForm *open()
{
    OpenFormByCode(MemberFormCode);
    return Forms::find<MemberForm>(MemberFormCode);
}

inline void close(QWidget *w)
{
    if (!w)
        return;
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template <class T> T *w(QWidget *form, const QString &name)
{
    T *c = form->findChild<T *>(name);
    if (!c)
        qWarning("no control %s", qPrintable(name));
    return c;
}

inline QLineEdit *edit(QWidget *f, const QString &name) { return w<QLineEdit>(f, name); }
inline QComboBox *list(QWidget *f, const QString &name) { return w<QComboBox>(f, name); }
inline DateField *date(QWidget *f, const QString &name) { return w<DateField>(f, name); }
inline CheckListGrid *grid(QWidget *f, const QString &name) { return w<CheckListGrid>(f, name); }
inline QTabWidget *tabs(QWidget *f) { return w<QTabWidget>(f, "SSTab1"); }
inline QComboBox *nameList(QWidget *f) { return list(f, "List_Combo"); }
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

// The user types into a field: focus, select all, type.
inline void type(QLineEdit *e, const QString &text)
{
    e->setFocus();
    e->selectAll();
    e->del();
    QTest::keyClicks(e, text);
}

// The user types into an editable list, key by key.
inline void type(QComboBox *c, const QString &text)
{
    c->setFocus();
    c->lineEdit()->selectAll();
    c->lineEdit()->del();
    QTest::keyClicks(c->lineEdit(), text);
}

inline void typeDate(DateField *d, const QString &text)
{
    d->lineEdit()->clear();
    QTest::keyClicks(d->lineEdit(), text);
}

// The user picks an item of a drop-down list.
inline void choose(QComboBox *c, const QString &text)
{
    const int i = c->findText(text, Qt::MatchExactly);
    QVERIFY2(i >= 0, qPrintable(text));
    c->setCurrentIndex(i);
    emit c->activated(i);
}

inline QStringList items(const QComboBox *c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

inline QString lastName(QWidget *f) { return list(f, "LName")->currentText(); }

// The user clicks a letter.
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

// Which of a letter's three buttons shows: 0 normal, 1 selected, 2 disabled.
inline int letterLook(QWidget *f, QChar letter)
{
    const int g = 3 * (letter.unicode() - u'A') + 1;
    for (int i = 0; i < 3; ++i)
        if (letters(f)->isButtonVisible(g + i))
            return i;
    return -1;
}

inline void chooseListItem(QWidget *f, const QString &text)
{
    QComboBox *c = nameList(f);
    const int i = c->findText(text, Qt::MatchExactly);
    QVERIFY2(i >= 0, qPrintable(text));
    c->setCurrentIndex(i);
    emit c->activated(i);
}

// The user clicks a row's box in a column of a check-list grid (its page
// must show).
inline void clickGridRow(QWidget *f, CheckListGrid *g, const QString &name, int column = 1)
{
    QTabWidget *t = tabs(f);
    for (int p = 0; p < t->count(); ++p)
        if (t->widget(p)->isAncestorOf(g))
            t->setCurrentIndex(p);
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

// The ticked rows of a column, by name.
inline QStringList ticked(const CheckListGrid *g, int column = 1)
{
    QStringList out;
    for (int r = 1; r < g->Rows(); ++r)
        if (g->isChecked(r, column))
            out << g->nameAt(r);
    out.sort();
    return out;
}

inline QStringList names(const CheckListGrid *g)
{
    QStringList out;
    for (int r = 1; r < g->Rows(); ++r)
        out << g->nameAt(r);
    return out;
}

inline QStringList column(const QString &sql, const Params &p = {})
{
    QStringList out;
    QSqlQuery q = Db::query(sql, p);
    while (q.next())
        out << q.value(0).toString();
    return out;
}

// A member's choir links as "Choir:isactive", by choir name.
inline QStringList choirLinks(qint32 member)
{
    return column("select c.choir || ':' || l.isactive from chr_m_l l join choir c on c.ChoirID = l.choirid"
                  " where l.memberid = ? order by c.choir",
                  {member});
}

inline qint32 addMember(const QString &last, const QString &first = QString(), const QString &middle = QString())
{
    return membertest::insert("insert into member (LName, FName, MName) values (?, ?, ?)", {last, first, middle});
}

} // namespace memberui
