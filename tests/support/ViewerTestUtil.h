#pragma once
// A user's hands on the limit pages the anthem and collection viewers
// share (tabs SSTab1, AllCheck, optLimit0..10, the five list grids with
// their buttons, MyData5..9, btnProcess0..2), shared by the viewer tests.

#include "CheckListGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

namespace viewertest {

// A double click as the system delivers it: press, release, double
// click, release.
inline void doubleClick(QWidget *w, const QPoint &at)
{
    QTest::mousePress(w, Qt::LeftButton, {}, at);
    QTest::mouseRelease(w, Qt::LeftButton, {}, at);
    QTest::mouseDClick(w, Qt::LeftButton, {}, at);
    QTest::mouseRelease(w, Qt::LeftButton, {}, at);
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

    void click(QAbstractButton *b) const
    {
        QVERIFY(b);
        // Bring the button's page to the front, as the user would.
        for (int p = 0; p < tab()->count(); ++p)
            if (tab()->widget(p)->isAncestorOf(b))
                showPage(p);
        // A check box takes clicks on its box and caption only.
        const QPoint at = qobject_cast<QCheckBox *>(b) ? QPoint(8, b->height() / 2) : b->rect().center();
        QTest::mouseClick(b, Qt::LeftButton, {}, at);
    }
    void clickLimit(int i) const { click(limit(i)); }

    // A click on the grid row showing name (the grid must be enabled).
    void clickRow(int gridIndex, const QString &name) const
    {
        CheckListGrid *g = grid(gridIndex);
        QVERIFY(g);
        showPage(1);
        for (int r = 1; r < g->Rows(); ++r) {
            if (g->nameAt(r) != name)
                continue;
            QTableWidgetItem *it = g->item(r - 1, 1);
            g->scrollToItem(it);
            QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(it).center());
            return;
        }
        QFAIL(qPrintable("no row " + name));
    }

    // Ticks limit i and leaves exactly the named rows of its grid checked.
    void limitTo(int i, const QStringList &names) const
    {
        if (!limit(i)->isChecked())
            clickLimit(i);
        click(clearAll(i));
        for (const QString &n : names)
            clickRow(i, n);
    }

    void typeMyData(int i, const QString &text) const
    {
        showPage(2);
        QComboBox *c = myData(i);
        QVERIFY(c);
        c->lineEdit()->clear();
        QTest::keyClicks(c->lineEdit(), text);
    }

    void process(int page = 1) const { click(get<QPushButton>(QStringLiteral("btnProcess%1").arg(page))); }
};

} // namespace viewertest
