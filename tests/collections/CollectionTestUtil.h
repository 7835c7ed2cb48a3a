#pragma once
// A small library of collections with their anthems, links, performed
// dates and schedule, shared by the collection tests.

#include "Db.h"
#include "TestSupport.h"

#include <QtTest>

namespace coltest {

using testdb::count;
using testdb::insert;

// The ids linked to an owner in a link table, in id order.
inline QList<qint32> linked(const QString &table, const QString &itemColumn, qint32 collection)
{
    QList<qint32> out;
    QSqlQuery q = Db::query(
        QStringLiteral("select %1 from %2 where collectionid = ? order by %1").arg(itemColumn, table), {collection});
    while (q.next())
        out << q.value(0).toInt();
    return out;
}

inline void linkCollection(const QString &table, const QString &itemColumn, qint32 collection,
                           const QList<qint32> &items)
{
    for (qint32 item : items)
        Db::exec(QStringLiteral("insert into %1 (collectionid, %2) values (?, ?)").arg(table, itemColumn),
                 {collection, item});
}

inline void linkAnthem(const QString &table, const QString &itemColumn, qint32 anthem, const QList<qint32> &items)
{
    for (qint32 item : items)
        Db::exec(QStringLiteral("insert into %1 (anthemid, %2) values (?, ?)").arg(table, itemColumn), {anthem, item});
}

// The library:
//   Carols Book   (C-1, Shelf 2, bought 06/1999, 12.5 each, 30 copies, loaned to O'Brien)
//                 Bach + Handel + Rutter, Organ, SATB, Advent + Lent, Chancel; u1 Abbey
//                 performed 1998-12-20 and 2001-12-24
//                 anthems: Joy to the World, amazing grace, O Holy Night
//   Easter Book   no fields but its name; anthem Christ the Lord
//   hymnal        nothing at all, no anthems
//   Loose Anthem  in no collection (collectionid 0)
struct Library {
    qint32 satb, ssa, bach, handel, rutter, advent, lent, easter, organ, brass, chancel, youth;
    qint32 carols, easterBook, hymnal;
    qint32 joy, amazing, holyNight, christ, loose;

    void create()
    {
        satb = insert("insert into vocals (vocals) values ('SATB')");
        ssa = insert("insert into vocals (vocals) values ('SSA')");
        rutter = insert("insert into composer (composer) values ('Rutter')");
        bach = insert("insert into composer (composer) values ('Bach')");
        handel = insert("insert into composer (composer) values ('Handel')");
        lent = insert("insert into themes (theme) values ('Lent')");
        advent = insert("insert into themes (theme) values ('Advent')");
        easter = insert("insert into themes (theme) values ('Easter')");
        organ = insert("insert into orchestration (orchestration) values ('Organ')");
        brass = insert("insert into orchestration (orchestration) values ('Brass')");
        chancel = insert("insert into choir (choir) values ('Chancel')");
        youth = insert("insert into choir (choir) values ('Youth')");

        carols = insert("insert into collection (Collection, Catalog, Location, DatePurchased, CostPerCopy, "
                        "NumCopies, Pages, PerformTime, LoanedTo, u1) values ('Carols Book', 'C-1', 'Shelf 2', "
                        "'1999-06-20', 12.5, 30, '1-200', '1:10:00', 'O''Brien', 'Abbey')");
        easterBook = insert("insert into collection (Collection) values ('Easter Book')");
        hymnal = insert("insert into collection (Collection) values ('hymnal')");
        linkCollection("col_com_l", "composerid", carols, {rutter, bach, handel});
        linkCollection("col_orch_l", "orchid", carols, {organ});
        linkCollection("col_v_l", "vocalsid", carols, {satb});
        linkCollection("col_th_l", "themeid", carols, {lent, advent});
        linkCollection("col_chr_l", "choirid", carols, {chancel});
        linkCollection("col_th_l", "themeid", easterBook, {easter});
        Db::exec("insert into col_lperform (Lperform, collectionid) values ('1998-12-20', ?), ('2001-12-24', ?)",
                 {carols, carols});

        joy = insert("insert into anthem (Anthem, collectionid, LoanedTo) values ('Joy to the World', ?, 'O''Brien')",
                     {carols});
        amazing = insert("insert into anthem (Anthem, collectionid) values ('amazing grace', ?)", {carols});
        holyNight = insert("insert into anthem (Anthem, collectionid) values ('O Holy Night', ?)", {carols});
        christ = insert("insert into anthem (Anthem, collectionid) values ('Christ the Lord', ?)", {easterBook});
        loose = insert("insert into anthem (Anthem, collectionid) values ('Loose Anthem', 0)");
        linkAnthem("a_com_l", "composerid", joy, {handel});
        linkAnthem("a_orch_l", "orchid", joy, {brass, organ});
        linkAnthem("a_v_l", "vocalsid", joy, {ssa});
        linkAnthem("a_th_l", "themeid", joy, {advent});
        linkAnthem("a_chr_l", "choirid", joy, {youth});
        linkAnthem("a_com_l", "composerid", holyNight, {rutter});
        linkAnthem("a_chr_l", "choirid", holyNight, {chancel});
        linkAnthem("a_th_l", "themeid", christ, {easter});
        Db::exec("insert into a_lperform (Lperform, anthemid) values ('2000-12-24', ?)", {joy});
    }
};

} // namespace coltest
