#pragma once
// Helpers shared by the anthem editor tests: rows written straight to the
// database, and the editor driven through its controls as a user would.

#include "AnthemForm.h"
#include "CheckListGrid.h"
#include "Db.h"
#include "DateField.h"
#include "Forms.h"
#include "LetterBar.h"
#include "Module.h"
#include "RecordToolbar.h"
#include "TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QtTest>

namespace ed {

enum Button { Add = 1, Cancel, Save, Delete, First, Previous, Next, Last };

inline qint32 insertRow(const QString &sql, const Params &p = {})
{
    Db::exec(sql, p);
    return qint32(Db::lastInsertId());
}

inline qint32 addAnthem(const QString &title, qint32 collection = 0)
{
    return insertRow("insert into anthem (Anthem, collectionid) values (?, ?)", {title, collection});
}

inline qint32 addRef(const char *table, const char *column, const QString &name)
{
    return insertRow(QStringLiteral("insert into %1 (%2) values (?)").arg(QLatin1String(table), QLatin1String(column)),
                     {name});
}

inline int count(const QString &sql, const Params &p = {})
{
    return Db::scalar(sql, p).toInt();
}

inline QStringList column(const QString &sql, const Params &p = {})
{
    QStringList out;
    QSqlQuery q = Db::query(sql, p);
    while (q.next())
        out << q.value(0).toString();
    return out;
}

inline AnthemForm *open()
{
    OpenFormByCode(AnthemFormCode);
    return Forms::find<AnthemForm>(AnthemFormCode);
}

inline void close(QWidget *w)
{
    if (!w)
        return;
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
inline DateField *date(QWidget *f, const char *name) { return w<DateField>(f, name); }
inline CheckListGrid *grid(QWidget *f, const char *name) { return w<CheckListGrid>(f, name); }
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

// The user types into a field: focus, select all, type.
inline void type(QLineEdit *e, const QString &text)
{
    e->setFocus();
    e->selectAll();
    e->del();
    QTest::keyClicks(e, text);
}

inline void typeDate(DateField *d, const QString &text)
{
    d->lineEdit()->clear();
    QTest::keyClicks(d->lineEdit(), text);
}

inline QString title(QWidget *f) { return edit(f, "AnthemName")->text(); }

// The user clicks a letter (1 for A, 4 for B ... the group's first button).
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

inline QStringList listItems(QWidget *f)
{
    QStringList out;
    QComboBox *c = nameList(f);
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

inline void chooseListItem(QWidget *f, const QString &text)
{
    QComboBox *c = nameList(f);
    const int i = c->findText(text, Qt::MatchExactly);
    QVERIFY2(i >= 0, qPrintable(text));
    c->setCurrentIndex(i);
    emit c->activated(i);
}

inline void chooseCollection(QWidget *f, const QString &name)
{
    auto *c = w<QComboBox>(f, "CollectionCombo");
    const int i = c->findText(name, Qt::MatchExactly);
    QVERIFY2(i >= 0, qPrintable(name));
    c->setCurrentIndex(i);
    emit c->activated(i);
}

// The user clicks a row's box in a check-list grid (its page must show).
inline void clickGridRow(QWidget *f, CheckListGrid *g, const QString &name)
{
    auto *tabs = w<QTabWidget>(f, "SSTab1");
    for (int p = 0; p < tabs->count(); ++p)
        if (tabs->widget(p)->isAncestorOf(g))
            tabs->setCurrentIndex(p);
    for (int r = 1; r < g->Rows(); ++r) {
        if (g->nameAt(r) != name)
            continue;
        QTableWidgetItem *it = g->item(r - 1, 1);
        g->scrollToItem(it);
        const QPoint at = g->visualItemRect(it).center();
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, at);
        return;
    }
    QFAIL(qPrintable(QStringLiteral("no row %1").arg(name)));
}

inline QStringList ticked(const CheckListGrid *g)
{
    QStringList out;
    for (int r = 1; r < g->Rows(); ++r)
        if (g->isChecked(r))
            out << g->nameAt(r);
    out.sort();
    return out;
}

inline QStringList linkedNames(const char *linkTable, const char *idColumn, const char *refTable,
                               const char *nameColumn, const char *refId, qint32 anthem)
{
    QStringList out = column(QStringLiteral("select r.%4 from %1 l join %3 r on r.%5 = l.%2 where l.anthemid = ?")
                                 .arg(QLatin1String(linkTable), QLatin1String(idColumn), QLatin1String(refTable),
                                      QLatin1String(nameColumn), QLatin1String(refId)),
                             {anthem});
    out.sort();
    return out;
}

} // namespace ed
