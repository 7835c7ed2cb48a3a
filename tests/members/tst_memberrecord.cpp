// The member record on a temporary database, checked with SQL: the row
// with its encodings and widths, the learnt city, zip code and school
// rows, the links with isactive -1/0, one transaction per save and per
// deletion, the load's decodings, the editor's value lists and its list.
#include "MemberRecord.h"
#include "MemberTestUtil.h"

#include <QSqlQuery>
#include <QSqlRecord>

using namespace membertest;

namespace {

// The member row as stored, column by column.
QVariantMap row(qint32 id)
{
    QSqlQuery q = Db::query("select * from member where memberid = ?", {id});
    QVariantMap out;
    if (!q.next())
        return out;
    const QSqlRecord r = q.record();
    for (int i = 0; i < r.count(); ++i)
        out.insert(r.fieldName(i), q.value(i));
    return out;
}

QList<QPair<qint32, int>> choirLinks(qint32 member)
{
    QList<QPair<qint32, int>> out;
    QSqlQuery q = Db::query("select choirid, isactive from chr_m_l where memberid = ? order by choirid", {member});
    while (q.next())
        out << qMakePair(q.value(0).toInt(), q.value(1).toInt());
    return out;
}

QList<qint32> ids(const QString &sql, qint32 member)
{
    QList<qint32> out;
    QSqlQuery q = Db::query(sql, {member});
    while (q.next())
        out << q.value(0).toInt();
    return out;
}

MemberRecord newMember()
{
    MemberRecord r;
    r.lastName = "O'Brien";
    r.firstName = "Sean";
    r.middleName = "Patrick";
    r.street1 = "12 Elm St";
    r.street2 = "Apt 4";
    r.city = "Coeur d'Alene";
    r.state = "ID";
    r.zip = "83814";
    r.homePhone = "555-0101";
    r.cellPhone = "555-0102";
    r.workPhone = "555-0103";
    r.school = "St. Mary's";
    r.grade = "Kinderdarden";
    r.age = "6";
    r.sex = MemberRecord::Male;
    r.parent = "Mary O'Brien";
    r.email = "sean@example.org";
    r.memo = "Loves to sing.\nSecond line.";
    r.u[0] = "Robe 7";
    r.u[4] = "Folder 2";
    r.birthday = QDate(2018, 3, 17);
    r.aniversary = QDate(2023, 9, 1);
    return r;
}

} // namespace

class TestMemberRecord : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_lib.create();
    }
    void cleanup() { m_folder.reset(); }

    void aNewMemberIsStoredWithItsEncodingsAndLinks()
    {
        MemberLinks links;
        links.sections = {m_lib.tenor};
        links.choirs = {{m_lib.chancel, true}, {m_lib.youth, false}};
        links.instruments = {m_lib.piano, m_lib.flute};
        const int cities = count("select count(*) from city");
        const qint32 id = MemberData::save(newMember(), links, true);
        QVERIFY(id > m_lib.baker);

        const QVariantMap m = row(id);
        QCOMPARE(m["LName"].toString(), QStringLiteral("O'Brien"));
        QCOMPARE(m["FName"].toString(), QStringLiteral("Sean"));
        QCOMPARE(m["MName"].toString(), QStringLiteral("Patrick"));
        QCOMPARE(m["Street1"].toString(), QStringLiteral("12 Elm St"));
        QCOMPARE(m["Street2"].toString(), QStringLiteral("Apt 4"));
        QCOMPARE(m["State"].toString(), QStringLiteral("ID"));
        // A known city in its own spelling; the new zip and school learnt.
        QCOMPARE(m["CityID"].toInt(), m_lib.coeur);
        QCOMPARE(count("select count(*) from city"), cities);
        QCOMPARE(m["ZipID"].toInt(), count("select ZipID from zip where Zip = '83814'"));
        QCOMPARE(m["SchoolID"].toInt(), m_lib.stMarys);
        QCOMPARE(m["HPhone"].toString(), QStringLiteral("555-0101"));
        QCOMPARE(m["CPhone"].toString(), QStringLiteral("555-0102"));
        QCOMPARE(m["FPhone"].toString(), QStringLiteral("555-0103"));
        QCOMPARE(m["grade"].toString(), QStringLiteral("Kinderdarden"));
        QCOMPARE(m["Age"].toInt(), 6);
        QCOMPARE(m["Sex"].toInt(), 1);
        QCOMPARE(m["Parent"].toString(), QStringLiteral("Mary O'Brien"));
        QCOMPARE(m["Email"].toString(), QStringLiteral("sean@example.org"));
        QCOMPARE(m["Memo1"].toString(), QStringLiteral("Loves to sing.\nSecond line."));
        QCOMPARE(m["u1"].toString(), QStringLiteral("Robe 7"));
        QCOMPARE(m["u5"].toString(), QStringLiteral("Folder 2"));
        QCOMPARE(m["u2"].toString(), QString());
        QCOMPARE(m["Birthday"].toString(), QStringLiteral("2018-03-17"));
        QCOMPARE(m["Aniversary"].toString(), QStringLiteral("2023-09-01"));

        QCOMPARE(choirLinks(id), (QList<QPair<qint32, int>>{{m_lib.chancel, -1}, {m_lib.youth, 0}}));
        QCOMPARE(ids("select vocalsmid from m_vm_l where memberid = ?", id), QList<qint32>{m_lib.tenor});
        QCOMPARE(ids("select orchid from m_orch_l where memberid = ? order by orchid", id),
                 (QList<qint32>{m_lib.flute, m_lib.piano}));

        // And read back as the editor shows it.
        const std::optional<MemberRecord> back = MemberData::load(id);
        QVERIFY(back);
        const MemberRecord expected = newMember();
        QCOMPARE(back->id, id);
        QCOMPARE(back->lastName, expected.lastName);
        QCOMPARE(back->city, QStringLiteral("Coeur d'Alene"));
        QCOMPARE(back->zip, QStringLiteral("83814"));
        QCOMPARE(back->school, QStringLiteral("St. Mary's"));
        QCOMPARE(back->grade, QStringLiteral("Kinderdarden"));
        QCOMPARE(back->age, QStringLiteral("6"));
        QCOMPARE(back->sex, int(MemberRecord::Male));
        QCOMPARE(back->memo, expected.memo);
        QCOMPARE(back->u[4], QStringLiteral("Folder 2"));
        QCOMPARE(back->birthday, QDate(2018, 3, 17));
        QCOMPARE(back->aniversary, QDate(2023, 9, 1));
    }

    void textsAreCutToTheirWidthsInCharacters()
    {
        MemberRecord r;
        const QString note = QString::fromUtf8("🎵");
        r.lastName = QString(19, 'L') + note + "tail";
        r.firstName = QString(30, 'F');
        r.middleName = QString(25, 'M');
        r.street1 = QString(120, 's');
        r.street2 = QString(101, 't');
        r.state = "  texas ";
        r.homePhone = "(555) 555-0101 ext 9";
        r.cellPhone = QString(20, '1');
        r.workPhone = QString(15, '2');
        r.grade = "  Nineth  ";
        r.parent = QString(150, 'p');
        r.email = QString(150, 'e');
        r.memo = QString(5000, 'x');
        r.u[1] = QString(300, 'u');
        r.city = QString(60, 'C');
        r.zip = "12345-67890";
        r.school = QString(130, 'S');
        const qint32 id = MemberData::save(r, {}, true);
        const QVariantMap m = row(id);
        QCOMPARE(m["LName"].toString(), QString(19, 'L') + note);
        QCOMPARE(m["FName"].toString(), QString(20, 'F'));
        QCOMPARE(m["MName"].toString(), QString(20, 'M'));
        QCOMPARE(m["Street1"].toString(), QString(100, 's'));
        QCOMPARE(m["Street2"].toString(), QString(100, 't'));
        QCOMPARE(m["State"].toString(), QStringLiteral("te"));
        QCOMPARE(m["HPhone"].toString(), QStringLiteral("(555) 555-0101"));
        QCOMPARE(m["CPhone"].toString().size(), 14);
        QCOMPARE(m["FPhone"].toString().size(), 14);
        QCOMPARE(m["grade"].toString(), QStringLiteral("Nineth"));
        QCOMPARE(m["Parent"].toString().size(), 100);
        QCOMPARE(m["Email"].toString().size(), 100);
        QCOMPARE(m["Memo1"].toString().size(), 5000); // never cut
        QCOMPARE(m["u2"].toString().size(), 300);
        QCOMPARE(cell("select City from city where CityID = ?", {m["CityID"]}).toString(), QString(50, 'C'));
        QCOMPARE(cell("select Zip from zip where ZipID = ?", {m["ZipID"]}).toString(), QStringLiteral("12345-6789"));
        QCOMPARE(cell("select School from school where SchoolID = ?", {m["SchoolID"]}).toString(), QString(100, 'S'));
        // Nothing given: blank sex and grade, no age, no dates.
        QCOMPARE(m["Sex"].toInt(), 0);
        QVERIFY(m["Age"].isNull());
        QVERIFY(m["Birthday"].isNull());
        QVERIFY(m["Aniversary"].isNull());
    }

    void cityZipAndSchoolAreLearntOnceWhateverTheirCase()
    {
        MemberRecord r;
        r.lastName = "Nguyen";
        r.city = "Lake Placid";
        r.zip = "12946";
        r.school = "Northwood";
        const qint32 first = MemberData::save(r, {}, true);
        QCOMPARE(count("select count(*) from city where City = 'Lake Placid'"), 1);

        r.city = "LAKE PLACID";
        r.zip = "12946";
        r.school = "northwood";
        const qint32 second = MemberData::save(r, {}, true);
        QCOMPARE(count("select count(*) from city where ucase(City) = 'LAKE PLACID'"), 1);
        QCOMPARE(count("select count(*) from zip where Zip = '12946'"), 1);
        QCOMPARE(count("select count(*) from school where ucase(School) = 'NORTHWOOD'"), 1);
        QCOMPARE(row(second)["CityID"], row(first)["CityID"]);
        QCOMPARE(row(second)["SchoolID"], row(first)["SchoolID"]);

        // Empty after trimming: id 0 and no row.
        const int cities = count("select count(*) from city");
        r.city = "   ";
        r.zip = QString();
        r.school = "\t";
        const qint32 third = MemberData::save(r, {}, true);
        QCOMPARE(row(third)["CityID"].toInt(), 0);
        QCOMPARE(row(third)["ZipID"].toInt(), 0);
        QCOMPARE(row(third)["SchoolID"].toInt(), 0);
        QCOMPARE(count("select count(*) from city"), cities);

        // A typed new "Spring" is its own city, not the known "Springfield".
        r.city = "Spring";
        const qint32 fourth = MemberData::save(r, {}, true);
        QVERIFY(row(fourth)["CityID"].toInt() != m_lib.springfield);
        QCOMPARE(cell("select City from city where CityID = ?", {row(fourth)["CityID"]}).toString(),
                 QStringLiteral("Spring"));
    }

    void changingAMemberKeepsItsAgeAndRewritesItsLinksWhole()
    {
        MemberRecord r = *MemberData::load(m_lib.adams);
        QCOMPARE(r.age, QStringLiteral("16"));
        r.firstName = "Gracie";
        r.age = "sixteen"; // no number: the stored age stays
        r.birthday = QDate();
        r.sex = 7;
        r.grade = " ";
        MemberLinks links;
        links.choirs = {{m_lib.youth, true}}; // active now; Chancel no longer
        links.sections = {};
        links.instruments = {m_lib.piano};
        QCOMPARE(MemberData::save(r, links, false), m_lib.adams);
        QVariantMap m = row(m_lib.adams);
        QCOMPARE(m["FName"].toString(), QStringLiteral("Gracie"));
        QCOMPARE(m["Age"].toInt(), 16);
        QVERIFY(m["Birthday"].isNull());
        QCOMPARE(m["Aniversary"].toString(), QStringLiteral("2005-09-01"));
        QCOMPARE(m["Sex"].toInt(), 0);
        QCOMPARE(m["grade"].toString(), QString());
        QCOMPARE(choirLinks(m_lib.adams), (QList<QPair<qint32, int>>{{m_lib.youth, -1}}));
        QCOMPARE(ids("select vocalsmid from m_vm_l where memberid = ?", m_lib.adams), QList<qint32>());
        QCOMPARE(ids("select orchid from m_orch_l where memberid = ?", m_lib.adams), QList<qint32>{m_lib.piano});
        // Another member's links are not touched.
        QCOMPARE(choirLinks(m_lib.obrien), (QList<QPair<qint32, int>>{{m_lib.bells, -1}}));

        // Numbers as the age field takes them; one too large is not stored.
        r.age = " 12.5 ";
        MemberData::save(r, links, false);
        QCOMPARE(row(m_lib.adams)["Age"].toInt(), 12);
        r.age = "99999999999";
        MemberData::save(r, links, false);
        QCOMPARE(row(m_lib.adams)["Age"].toInt(), 12);
        r.sex = MemberRecord::sexCode("Female");
        MemberData::save(r, links, false);
        QCOMPARE(row(m_lib.adams)["Sex"].toInt(), 2);
    }

    void aFailedSaveWritesNothing()
    {
        // The member to update was deleted elsewhere: no city is learnt either.
        MemberRecord gone = *MemberData::load(m_lib.zimmer);
        DeleteMember(m_lib.zimmer);
        gone.city = "Atlantis";
        QVERIFY_THROWS_EXCEPTION(DbError, MemberData::save(gone, {}, false));
        QCOMPARE(count("select count(*) from city where City = 'Atlantis'"), 0);

        // A link table that fails half-way: no member, no learnt rows.
        const int members = count("select count(*) from member");
        Db::exec("drop table m_orch_l");
        MemberRecord r = newMember();
        r.city = "Brand New City";
        MemberLinks links;
        links.choirs = {{m_lib.chancel, true}};
        links.instruments = {m_lib.flute};
        QVERIFY_THROWS_EXCEPTION(DbError, MemberData::save(r, links, true));
        QCOMPARE(count("select count(*) from member"), members);
        QCOMPARE(count("select count(*) from city where City = 'Brand New City'"), 0);
        QCOMPARE(count("select count(*) from zip where Zip = '83814'"), 0);
        QCOMPARE(count("select count(*) from chr_m_l"), 3);

        MemberRecord none;
        QVERIFY_THROWS_EXCEPTION(DbError, MemberData::save(none, {}, false));
    }

    void loadingDecodesTheStoredValues()
    {
        QVERIFY(!MemberData::load(4242));
        // Adams: everything.
        const MemberRecord a = *MemberData::load(m_lib.adams);
        QCOMPARE(a.city, QStringLiteral("Springfield"));
        QCOMPARE(a.zip, QStringLiteral("62701"));
        QCOMPARE(a.school, QStringLiteral("Lincoln High"));
        QCOMPARE(a.state, QStringLiteral("IL"));
        QCOMPARE(a.sex, int(MemberRecord::Female));
        QCOMPARE(MemberRecord::sexText(a.sex), QStringLiteral("Female"));
        QCOMPARE(a.birthday, QDate(1990, 12, 24));
        // A city id that names no row shows no city; Null texts show empty.
        const MemberRecord z = *MemberData::load(m_lib.zimmer);
        QCOMPARE(z.city, QString());
        QCOMPARE(z.street1, QString());
        QCOMPARE(z.age, QString());
        QCOMPARE(z.sex, 0);
        QVERIFY(!z.birthday.isValid());

        // Codes that are no sex, an age that is no number, a blank grade,
        // dates that are no dates.
        Db::exec("update member set Sex = 3, Age = 'old', grade = '   ', Birthday = 'soon', Aniversary = '2001-02-30', "
                 "CityID = 'x', ZipID = -4 where memberid = ?",
                 {m_lib.zimmer});
        const MemberRecord odd = *MemberData::load(m_lib.zimmer);
        QCOMPARE(odd.sex, 0);
        QCOMPARE(MemberRecord::sexText(odd.sex), QStringLiteral(" "));
        QCOMPARE(odd.age, QString());
        QCOMPARE(odd.grade, QString());
        QVERIFY(!odd.birthday.isValid());
        QVERIFY(!odd.aniversary.isValid());
        QCOMPARE(odd.city, QString());
        QCOMPARE(odd.zip, QString());

        QCOMPARE(MemberRecord::sexCode("Male"), 1);
        QCOMPARE(MemberRecord::sexCode(" "), 0);
        QCOMPARE(MemberRecord::sexCode("male"), 0);
        QCOMPARE(MemberRecord::sexText(1), QStringLiteral("Male"));
    }

    void theEditorsListsHoldEachValueOnce()
    {
        MemberRecord r;
        r.lastName = "ADAMS";
        r.city = "Boston";
        r.zip = "02108";
        r.school = "LINCOLN HIGH";
        MemberData::save(r, {}, true);
        r.lastName = "Baker";
        r.city = "boston";
        MemberData::save(r, {}, true);
        Db::exec("insert into member (LName) values (null), ('')");

        const MemberComboValues v = MemberData::comboValues();
        QCOMPARE(v.lastNames, (QStringList{"Adams", "baker", "O'Brien", "Zimmer"}));
        QCOMPARE(v.cities, (QStringList{"Boston", "Coeur d'Alene", "Springfield"}));
        QCOMPARE(v.zips, (QStringList{"02108", "62701"}));
        QCOMPARE(v.schools, (QStringList{"Lincoln High", "St. Mary's"}));
    }

    void theMemberListIsInEditorOrderWithItsKeys()
    {
        Db::exec("delete from member");
        const qint32 smith2 = insert("insert into member (LName, FName, MName) values ('Smith', 'John', 'B')");
        const qint32 smith1 = insert("insert into member (LName, FName, MName) values ('smith', 'John', 'A')");
        const qint32 smith3 = insert("insert into member (LName, FName, MName) values ('Smith', 'John', 'A')");
        const qint32 digit = insert("insert into member (LName, FName, MName) values ('4th Street', ' Ann ', null)");
        const qint32 brace = insert("insert into member (LName, FName, MName) values (' Abel ', 'Joe {2}', '')");
        const QVector<MemberListEntry> list = MemberData::memberList();
        QCOMPARE(list.size(), 5);
        QList<qint32> order;
        QStringList keys;
        for (const MemberListEntry &e : list) {
            order << e.id;
            keys << e.key;
        }
        QCOMPARE(order, (QList<qint32>{brace, digit, smith1, smith3, smith2}));
        QCOMPARE(keys, (QStringList{"Abel, Joe {2} ", "4th Street, Ann ", "smith, John A", "Smith, John A",
                                    "Smith, John B"}));
        QCOMPARE(list.at(0).lastName, QStringLiteral(" Abel "));
    }

    void deletingAMemberRemovesItsLinksOnly()
    {
        const int cities = count("select count(*) from city");
        DeleteMember(m_lib.adams);
        QCOMPARE(count("select count(*) from member where memberid = ?", {m_lib.adams}), 0);
        QCOMPARE(count("select count(*) from chr_m_l where memberid = ?", {m_lib.adams}), 0);
        QCOMPARE(count("select count(*) from m_vm_l where memberid = ?", {m_lib.adams}), 0);
        QCOMPARE(count("select count(*) from m_orch_l where memberid = ?", {m_lib.adams}), 0);
        // Everything else stays: other members, their links, the lists.
        QCOMPARE(count("select count(*) from member"), 3);
        QCOMPARE(choirLinks(m_lib.obrien), (QList<QPair<qint32, int>>{{m_lib.bells, -1}}));
        QCOMPARE(count("select count(*) from city"), cities);
        QCOMPARE(count("select count(*) from choir"), 3);
        QCOMPARE(count("select count(*) from vocalsm"), 2);

        // A deletion that fails half-way deletes nothing.
        Db::exec("drop table m_vm_l");
        QVERIFY_THROWS_EXCEPTION(DbError, DeleteMember(m_lib.obrien));
        QCOMPARE(count("select count(*) from member where memberid = ?", {m_lib.obrien}), 1);
        QCOMPARE(choirLinks(m_lib.obrien).size(), 1);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    Members m_lib;
};

QTEST_MAIN(TestMemberRecord)
#include "tst_memberrecord.moc"
