#pragma once
// A small choir membership written with plain SQL, shared by the member
// data and report tests.

#include "Db.h"
#include "TestSupport.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QtTest>

namespace membertest {

using testdb::count;
using testdb::insert;

inline QVariant cell(const QString &sql, const Params &p = {})
{
    return Db::scalar(sql, p);
}

// The members:
//   Adams, Grace Ann       full address, Springfield IL 62701, choirs Chancel (active) and Youth
//                          (inactive), sections Alto, instrument Flute, school Lincoln High, grade
//                          "Tenth", every phone, e-mail, parent, birthday, member since, u1, u3
//   O'Brien, Sean          Street1 only, "Coeur d'Alene" ID, no zip; choir Bells; no middle name
//   Zimmer, Eva            nothing but the names; a city id that names no row
//   baker, Tom Lee         school "St. Mary's" without grade, state and zip without city
struct Members {
    qint32 springfield, coeur, zip62701, lincoln, stMarys;
    qint32 chancel, youth, bells;
    qint32 alto, tenor;
    qint32 flute, piano;
    qint32 adams, obrien, zimmer, baker;

    void create()
    {
        springfield = insert("insert into city (City) values ('Springfield')");
        coeur = insert("insert into city (City) values ('Coeur d''Alene')");
        zip62701 = insert("insert into zip (Zip) values ('62701')");
        lincoln = insert("insert into school (School) values ('Lincoln High')");
        stMarys = insert("insert into school (School) values ('St. Mary''s')");
        chancel = insert("insert into choir (choir) values ('Chancel')");
        youth = insert("insert into choir (choir) values ('Youth')");
        bells = insert("insert into choir (choir) values ('Bells')");
        alto = insert("insert into vocalsm (vocals) values ('Alto')");
        tenor = insert("insert into vocalsm (vocals) values ('Tenor')");
        flute = insert("insert into orchestration (orchestration) values ('Flute')");
        piano = insert("insert into orchestration (orchestration) values ('Piano')");

        adams = insert("insert into member (LName, FName, MName, Street1, Street2, State, CityID, ZipID, HPhone, "
                       "CPhone, FPhone, SchoolID, grade, Age, Sex, Parent, Email, Memo1, u1, u3, Birthday, "
                       "Aniversary) values ('Adams', 'Grace', 'Ann', '12 Elm St', 'Apt 4', 'IL', ?, ?, "
                       "'555-0101', '555-0102', '555-0103', ?, 'Tenth', 16, 2, 'Ruth Adams', "
                       "'grace@example.org', 'Sings well', 'Robe 12', 'Folder 3', '1990-12-24', '2005-09-01')",
                       {springfield, zip62701, lincoln});
        obrien = insert("insert into member (LName, FName, MName, Street1, State, CityID, ZipID) "
                        "values ('O''Brien', 'Sean', null, '3 Lake Rd', 'ID', ?, 0)",
                        {coeur});
        zimmer = insert("insert into member (LName, FName, MName, CityID) values ('Zimmer', 'Eva', '', 999)");
        baker = insert("insert into member (LName, FName, MName, State, ZipID, SchoolID) "
                       "values ('baker', 'Tom', 'Lee', 'MO', ?, ?)",
                       {zip62701, stMarys});

        choir(adams, chancel, true);
        choir(adams, youth, false);
        choir(obrien, bells, true);
        Db::exec("insert into m_vm_l (memberid, vocalsmid) values (?, ?)", {adams, alto});
        Db::exec("insert into m_orch_l (memberid, orchid) values (?, ?)", {adams, flute});
    }

    static void choir(qint32 member, qint32 choirId, bool active)
    {
        Db::exec("insert into chr_m_l (memberid, choirid, isactive) values (?, ?, ?)",
                 {member, choirId, active ? -1 : 0});
    }
};

} // namespace membertest
