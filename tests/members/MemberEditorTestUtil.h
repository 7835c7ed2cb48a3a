#pragma once
// The member editor opened through the form dispatcher and driven through
// its controls as a user would, for the member editor tests.

#include "CheckListGrid.h"
#include "DateField.h"
#include "Forms.h"
#include "LetterBar.h"
#include "MemberForm.h"
#include "MemberRegistration.h"
#include "MemberTestUtil.h"
#include "Module.h"
#include "RecordToolbar.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
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
    if (w)
        w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline QLineEdit *edit(QWidget *f, const char *name) { return f->findChild<QLineEdit *>(name); }
inline QComboBox *list(QWidget *f, const char *name) { return f->findChild<QComboBox *>(name); }
inline DateField *date(QWidget *f, const char *name) { return f->findChild<DateField *>(name); }
inline CheckListGrid *grid(QWidget *f, const char *name) { return f->findChild<CheckListGrid *>(name); }
inline QTabWidget *tabs(QWidget *f) { return f->findChild<QTabWidget *>("SSTab1"); }
inline LetterBar *letters(QWidget *f) { return f->findChild<LetterBar *>("Toolbar2"); }
inline RecordToolbar *toolbar(QWidget *f) { return f->findChild<RecordToolbar *>("Toolbar1"); }
inline QString lastName(QWidget *f) { return list(f, "LName")->currentText(); }

inline void press(QWidget *f, int button)
{
    QAction *a = toolbar(f)->button(button);
    QVERIFY2(a && a->isVisible(), "toolbar button not shown");
    a->trigger();
}

inline QList<int> visibleButtons(QWidget *f)
{
    QList<int> out;
    for (int i = Add; i <= Last; ++i)
        if (toolbar(f)->isButtonVisible(i))
            out << i;
    return out;
}

// The user types into a field or an editable list, key by key.
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

// The user picks an item of a list (a drop-down list or the name list).
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

// Which of a letter's three buttons shows: 0 normal, 1 selected, 2 disabled.
inline int letterLook(QWidget *f, QChar letter)
{
    const int g = 3 * (letter.unicode() - u'A') + 1;
    for (int i = 0; i < 3; ++i)
        if (letters(f)->isButtonVisible(g + i))
            return i;
    return -1;
}

inline void clickLetter(QWidget *f, QChar letter)
{
    const int g = 3 * (letter.unicode() - u'A') + 1;
    letters(f)->button(g + letterLook(f, letter))->trigger();
}

// The user clicks a row's box in a column of a check-list grid.
inline void clickGridRow(QWidget *f, CheckListGrid *g, const QString &name, int column = 1)
{
    for (int p = 0; p < tabs(f)->count(); ++p)
        if (tabs(f)->widget(p)->isAncestorOf(g))
            tabs(f)->setCurrentIndex(p);
    for (int r = 1; r < g->Rows(); ++r)
        if (g->nameAt(r) == name) {
            QTableWidgetItem *it = g->item(r - 1, column);
            g->scrollToItem(it);
            QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(it).center());
            return;
        }
    QFAIL(qPrintable("no row " + name));
}

// The rows of a grid ("name") or those ticked in a column.
inline QStringList rows(const CheckListGrid *g, int tickedColumn = 0)
{
    QStringList out;
    for (int r = 1; r < g->Rows(); ++r)
        if (!tickedColumn || g->isChecked(r, tickedColumn))
            out << g->nameAt(r);
    out.sort();
    return out;
}
inline QStringList ticked(const CheckListGrid *g, int column = 1) { return rows(g, column); }

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

// A member's row, Null read as an invalid QVariant.
inline QVariantList memberRow(qint32 id, const QString &columns)
{
    QSqlQuery q = Db::query("select " + columns + " from member where memberid = ?", {id});
    QVariantList out;
    if (q.next())
        for (int i = 0; i < columns.count(',') + 1; ++i)
            out << (q.value(i).isNull() ? QVariant() : q.value(i));
    return out;
}

inline qint32 addMember(const QString &last, const QString &first = QString(), const QString &middle = QString())
{
    return membertest::insert("insert into member (LName, FName, MName) values (?, ?, ?)", {last, first, middle});
}

} // namespace memberui
