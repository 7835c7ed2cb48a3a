#pragma once
// A small library and a user's hands on the anthem viewer, shared by the
// viewer and report tests.

#include "AnthemGridModel.h"
#include "AnthemQDForm.h"
#include "AnthemViewerRegistration.h"
#include "BaseForm.h"
#include "CheckListGrid.h"
#include "Db.h"
#include "Forms.h"
#include "Module.h"
#include "TestSupport.h"
#include "ViewerTestUtil.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

namespace viewertest {

using testdb::count;
using testdb::insert;

// The library:
//   Amazing Grace       SATB, Bach, Lent, Organ, Chancel; in "Carols Book"; u1 Abbey; loaned
//   Be Thou My Vision   SSA, Handel, Easter + Lent, Brass, Youth; no collection; u1 ABC
//   Come Thou Fount     SATB, Rutter + Bach, Advent, Chancel; a collection that is gone; u1 " ab lead"
//   Day by Day          no links; u2 élan
//   earth and all stars TTBB, Easter, Youth; in "Easter Book"; u2 ÉLITE; loaned
struct Library {
    qint32 satb, ssa, ttbb, bach, handel, rutter, advent, easter, lent, brass, organ, chancel, youth;
    qint32 carols, easterBook;
    qint32 amazing, vision, fount, day, earth;

    void create()
    {
        satb = insert("insert into vocals (vocals) values ('SATB')", {});
        ssa = insert("insert into vocals (vocals) values ('SSA')", {});
        ttbb = insert("insert into vocals (vocals) values ('TTBB')", {});
        bach = insert("insert into composer (composer) values ('Bach')", {});
        handel = insert("insert into composer (composer) values ('Handel')", {});
        rutter = insert("insert into composer (composer) values ('Rutter')", {});
        advent = insert("insert into themes (theme) values ('Advent')", {});
        easter = insert("insert into themes (theme) values ('Easter')", {});
        lent = insert("insert into themes (theme) values ('Lent')", {});
        brass = insert("insert into orchestration (orchestration) values ('Brass')", {});
        organ = insert("insert into orchestration (orchestration) values ('Organ')", {});
        chancel = insert("insert into choir (choir) values ('Chancel')", {});
        youth = insert("insert into choir (choir) values ('Youth')", {});
        carols = insert("insert into collection (Collection) values ('Carols Book')", {});
        easterBook = insert("insert into collection (Collection) values ('Easter Book')", {});

        const QString add = QStringLiteral(
            "insert into anthem (Anthem, collectionid, u1, u2, LoanedTo) values (?, ?, ?, ?, ?)");
        // Inserted out of title order: the list sorts them.
        earth = insert(add, {"earth and all stars", easterBook, "xyz", QString::fromUtf8("ÉLITE"), "Mrs. O'Brien"});
        amazing = insert(add, {"Amazing Grace", carols, "Abbey", QVariant(), "Youth choir"});
        vision = insert(add, {"Be Thou My Vision", 0, "ABC", QVariant(), ""});
        fount = insert(add, {"Come Thou Fount", 99, " ab lead", QVariant(), QVariant()});
        day = insert(add, {"Day by Day", 0, QVariant(), QString::fromUtf8("élan"), QVariant()});

        link("a_v_l", "vocalsid", amazing, {satb});
        link("a_v_l", "vocalsid", vision, {ssa});
        link("a_v_l", "vocalsid", fount, {satb});
        link("a_v_l", "vocalsid", earth, {ttbb});
        link("a_com_l", "composerid", amazing, {bach});
        link("a_com_l", "composerid", vision, {handel});
        link("a_com_l", "composerid", fount, {rutter, bach});
        link("a_th_l", "themeid", amazing, {lent});
        link("a_th_l", "themeid", vision, {easter, lent});
        link("a_th_l", "themeid", fount, {advent});
        link("a_th_l", "themeid", earth, {easter});
        link("a_orch_l", "orchid", amazing, {organ});
        link("a_orch_l", "orchid", vision, {brass});
        link("a_chr_l", "choirid", amazing, {chancel});
        link("a_chr_l", "choirid", vision, {youth});
        link("a_chr_l", "choirid", fount, {chancel});
        link("a_chr_l", "choirid", earth, {youth});
    }

    static void link(const char *table, const char *column, qint32 anthem, const QList<qint32> &ids)
    {
        for (qint32 id : ids)
            Db::exec(QStringLiteral("insert into %1 (anthemid, %2) values (?, ?)")
                         .arg(QLatin1String(table), QLatin1String(column)),
                     {anthem, id});
    }
};

inline const QStringList kAllTitles = {"Amazing Grace", "Be Thou My Vision", "Come Thou Fount", "Day by Day",
                                       "earth and all stars"};

// The viewer as the user sees it.
struct Viewer : ViewerHands<AnthemQDForm> {
    void open()
    {
        registerAnthemViewerAndReport();
        ViewerHands::open(AnthemQDFormCode);
    }

    QTableView *list() const { return get<QTableView>("AnthemGrid"); }

    QStringList titles() const
    {
        QStringList out;
        const AnthemGridModel *m = form->gridModel();
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, AnthemGridModel::AnthemColumn).data().toString();
        return out;
    }
};

} // namespace viewertest
