// The member record on a temporary database, checked with SQL: the row
// with its encodings and widths, the learnt city, zip code and school
// rows, the links with isactive -1/0, one transaction per save and per
// deletion, the load's decodings, the editor's value lists and its list.
#include "MemberRecord.h"
#include "MemberSelection.h"
#include "MemberTestUtil.h"

#include <QSqlQuery>
#include <QSqlRecord>

using namespace membertest;

namespace {

// Columns of a member row as stored.
QVariantList row(qint32 id, const QString &columns)
{
    QSqlQuery q = Db::query("select " + columns + " from member where memberid = ?", {id});
    QVariantList out;
    if (q.next())
        for (int i = 0; i < q.record().count(); ++i)
            out << (q.isNull(i) ? QVariant() : q.value(i));
    return out;
}

QString links(qint32 member)
{
    QStringList out;
    for (const QString &sql : {QStringLiteral("select 'c' || choirid || ':' || isactive from chr_m_l where memberid = ?"),
                               QStringLiteral("select 's' || vocalsmid from m_vm_l where memberid = ?"),
                               QStringLiteral("select 'i' || orchid from m_orch_l where memberid = ?")}) {
        QStringList part;
        QSqlQuery q = Db::query(sql + " order by 1", {member});
        while (q.next())
            part << q.value(0).toString();
        out << part.join(',');
    }
    return out.join(' ');
}

MemberRecord newMember()
{
    MemberRecord r;
    r.lastName = "O'Brien";
    r.firstName = "Sean";
    r.middleName = "Patrick";
    r.street1 = "12 Elm St";
    r.street2 = "Apt 4";
    r.city = "coeur D'ALENE"; // known, in another case
    r.state = "ID";
    r.zip = "83814";          // new
    r.homePhone = "555-0101";
    r.cellPhone = "555-0102";
    r.workPhone = "555-0103";
    r.school = "St. Mary's";
    r.grade = "Kinderdarden";
    r.age = "6";
    r.sex = MemberRecord::sexCode("Male");
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
        MemberLinks l;
        l.sections = {m_lib.tenor};
        l.choirs = {{m_lib.chancel, true}, {m_lib.youth, false}};
        l.instruments = {m_lib.piano, m_lib.flute};
        const qint32 id = MemberData::save(newMember(), l.choices(), true);
        const qint32 zip = count("select ZipID from zip where Zip = '83814'");
        QVERIFY(zip > 0);
        QCOMPARE(row(id, "LName, FName, MName, Street1, Street2, State, CityID, ZipID, HPhone, CPhone, FPhone, SchoolID, "
                         "grade, Age, Sex, Parent, Email, Memo1, u1, u2, u5, Birthday, Aniversary"),
                 (QVariantList{"O'Brien", "Sean", "Patrick", "12 Elm St", "Apt 4", "ID", m_lib.coeur, zip, "555-0101",
                               "555-0102", "555-0103", m_lib.stMarys, "Kinderdarden", 6, 1, "Mary O'Brien",
                               "sean@example.org", "Loves to sing.\nSecond line.", "Robe 7", QVariant(), "Folder 2",
                               "2018-03-17", "2023-09-01"}));
        QCOMPARE(count("select count(*) from city"), 2); // the known city reused
        QCOMPARE(links(id), QStringLiteral("c%1:-1,c%2:0 s%3 i%4,i%5")
                                .arg(m_lib.chancel).arg(m_lib.youth).arg(m_lib.tenor).arg(m_lib.flute).arg(m_lib.piano));

        // Read back as the editor shows it.
        const MemberRecord back = *MemberData::load(id);
        QCOMPARE(QStringList({back.lastName, back.city, back.zip, back.school, back.grade, back.age, back.memo, back.u[4]}),
                 QStringList({"O'Brien", "Coeur d'Alene", "83814", "St. Mary's", "Kinderdarden", "6",
                              "Loves to sing.\nSecond line.", "Folder 2"}));
        QCOMPARE(back.sex, int(MemberRecord::Male));
        QCOMPARE(back.birthday, QDate(2018, 3, 17));
        QCOMPARE(back.aniversary, QDate(2023, 9, 1));
    }

    void textsAreCutToTheirWidthsInCharacters()
    {
        MemberRecord r;
        const QString note = QString::fromUtf8("🎵");
        r.lastName = QString(19, 'L') + note + "tail";
        r.firstName = QString(30, 'F');
        r.street1 = QString(120, 's');
        r.state = "  texas ";
        r.cellPhone = QString(20, '1');
        r.grade = "  Nineth  ";
        r.parent = QString(150, 'p');
        r.email = QString(150, 'e');
        r.memo = QString(5000, 'x');
        r.u[1] = QString(300, 'u');
        r.city = QString(60, 'C');
        r.zip = "12345-67890";
        r.school = QString(130, 'S');
        const qint32 id = MemberData::save(r, {}, true);
        QCOMPARE(row(id, "LName, FName, Street1, State, CPhone, grade, Parent, Email, length(Memo1), length(u2), "
                         "(select City from city c where c.CityID = member.CityID), "
                         "(select Zip from zip z where z.ZipID = member.ZipID), "
                         "(select School from school s where s.SchoolID = member.SchoolID), Sex, Age, Birthday, Aniversary"),
                 (QVariantList{QString(19, 'L') + note, QString(20, 'F'), QString(100, 's'), "te", QString(14, '1'),
                               "Nineth", QString(100, 'p'), QString(100, 'e'), 5000, 300, QString(50, 'C'),
                               "12345-6789", QString(100, 'S'), 0, QVariant(), QVariant(), QVariant()}));
    }

    void cityZipAndSchoolAreLearntOnceWhateverTheirCase()
    {
        MemberRecord r;
        r.lastName = "Nguyen";
        r.city = "Lake Placid";
        r.zip = "12946";
        r.school = "Northwood";
        const qint32 first = MemberData::save(r, {}, true);
        r.city = "LAKE PLACID";
        r.school = "northwood";
        const qint32 second = MemberData::save(r, {}, true);
        QCOMPARE(count("select count(*) from city where ucase(City) = 'LAKE PLACID'"), 1);
        QCOMPARE(count("select count(*) from zip where Zip = '12946'"), 1);
        QCOMPARE(count("select count(*) from school where ucase(School) = 'NORTHWOOD'"), 1);
        QCOMPARE(row(second, "CityID, ZipID, SchoolID"), row(first, "CityID, ZipID, SchoolID"));

        // Empty after trimming: id 0 and no row.
        const int cities = count("select count(*) from city");
        r.city = "   ";
        r.zip = QString();
        r.school = "\t";
        QCOMPARE(row(MemberData::save(r, {}, true), "CityID, ZipID, SchoolID"), (QVariantList{0, 0, 0}));
        QCOMPARE(count("select count(*) from city"), cities);

        // A typed new "Spring" is its own city, not the known "Springfield".
        r.city = "Spring";
        const QVariant spring = row(MemberData::save(r, {}, true), "CityID").value(0);
        QCOMPARE(cell("select City from city where CityID = ?", {spring}).toString(), QStringLiteral("Spring"));
    }

    void changingAMemberKeepsItsAgeAndRewritesItsLinksWhole()
    {
        MemberRecord r = *MemberData::load(m_lib.adams);
        r.firstName = "Gracie";
        r.age = "sixteen"; // no number: the stored age stays
        r.birthday = QDate();
        r.sex = 7;
        r.grade = " ";
        MemberLinks l;
        l.choirs = {{m_lib.youth, true}}; // active now; Chancel no longer
        l.instruments = {m_lib.piano};
        QCOMPARE(MemberData::save(r, l.choices(), false), m_lib.adams);
        QCOMPARE(row(m_lib.adams, "FName, Age, Birthday, Aniversary, Sex, grade"),
                 (QVariantList{"Gracie", 16, QVariant(), "2005-09-01", 0, ""}));
        QCOMPARE(links(m_lib.adams), QStringLiteral("c%1:-1  i%2").arg(m_lib.youth).arg(m_lib.piano));
        QCOMPARE(links(m_lib.obrien), QStringLiteral("c%1:-1  ").arg(m_lib.bells)); // untouched

        // A number is rounded as the column takes it; one too large is not stored.
        r.age = " 12.5 ";
        MemberData::save(r, l.choices(), false);
        QCOMPARE(row(m_lib.adams, "Age").value(0).toInt(), 12);
        r.age = "99999999999";
        MemberData::save(r, l.choices(), false);
        QCOMPARE(row(m_lib.adams, "Age").value(0).toInt(), 12);
    }

    void aFailedSaveWritesNothing()
    {
        // The member to update was deleted elsewhere: no city is learnt either.
        MemberRecord gone = *MemberData::load(m_lib.zimmer);
        DeleteMember(m_lib.zimmer);
        gone.city = "Atlantis";
        QVERIFY_THROWS_EXCEPTION(DbError, MemberData::save(gone, {}, false));
        QCOMPARE(count("select count(*) from city where City = 'Atlantis'"), 0);
        QVERIFY_THROWS_EXCEPTION(DbError, MemberData::save(MemberRecord(), {}, false));

        // A link table that fails half-way: no member, no learnt rows, no links.
        const int members = count("select count(*) from member");
        Db::exec("drop table m_orch_l");
        MemberRecord r = newMember();
        r.city = "Brand New City";
        MemberLinks l;
        l.choirs = {{m_lib.chancel, true}};
        QVERIFY_THROWS_EXCEPTION(DbError, MemberData::save(r, l.choices(), true));
        QCOMPARE(count("select count(*) from member"), members);
        QCOMPARE(count("select count(*) from city where City = 'Brand New City'"), 0);
        QCOMPARE(count("select count(*) from zip where Zip = '83814'"), 0);
        QCOMPARE(count("select count(*) from chr_m_l"), 3);
    }

    void loadingDecodesTheStoredValues()
    {
        QVERIFY(!MemberData::load(4242));
        const MemberRecord a = *MemberData::load(m_lib.adams);
        QCOMPARE(QStringList({a.city, a.zip, a.school, a.state, MemberRecord::sexText(a.sex)}),
                 QStringList({"Springfield", "62701", "Lincoln High", "IL", "Female"}));
        // Codes that are no sex, an age that is no number, a blank grade,
        // dates that are no dates, ids that name no row or are no number.
        Db::exec("update member set Sex = 3, Age = 'old', grade = '   ', Birthday = 'soon', Aniversary = '2001-02-30', "
                 "CityID = 'x', ZipID = -4 where memberid = ?",
                 {m_lib.zimmer});
        const MemberRecord z = *MemberData::load(m_lib.zimmer);
        QCOMPARE(QStringList({z.city, z.zip, z.school, z.street1, z.age, z.grade, MemberRecord::sexText(z.sex)}),
                 QStringList({"", "", "", "", "", "", " "}));
        QVERIFY(!z.birthday.isValid() && !z.aniversary.isValid());
        Db::exec("update member set CityID = 999 where memberid = ?", {m_lib.zimmer});
        QCOMPARE(MemberData::load(m_lib.zimmer)->city, QString());

        QCOMPARE(MemberRecord::sexCode("Female"), 2);
        QCOMPARE(MemberRecord::sexCode(" "), 0);
        QCOMPARE(MemberRecord::sexCode("male"), 0);
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
        // A name of control characters only has the empty name's key.
        Db::exec("insert into member (LName) values (null), (''), (char(9))");
        const MemberComboValues v = MemberData::comboValues();
        QCOMPARE(v.lastNames, (QStringList{"\t", "Adams", "baker", "O'Brien", "Zimmer"}));
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
        QList<qint32> order;
        QStringList keys;
        for (const MemberListEntry &e : MemberData::memberList()) {
            order << e.id;
            keys << e.key;
        }
        // By last, first and middle name as the database compares names (a
        // blank before a digit, a digit before a letter), then by id: the
        // viewer's order.
        QCOMPARE(order, (QList<qint32>{brace, digit, smith1, smith3, smith2}));
        QCOMPARE(keys, (QStringList{"Abel, Joe {2} ", "4th Street, Ann ", "smith, John A", "Smith, John A",
                                    "Smith, John B"}));
        QCOMPARE(MemberData::memberList().at(0).lastName, QStringLiteral(" Abel "));
        QList<qint32> viewerOrder;
        for (const MemberListRow &m : MemberSelection::list(false))
            viewerOrder << m.memberId;
        QCOMPARE(viewerOrder, order);
        // The editor's index reads the same ids and keys, and a member's
        // entry computed before its save is the one it will read.
        NameIndex editor(NameIndex::Runs::CaseBlind, NameIndex::Order::Keys);
        editor.load(MemberData::listQuery());
        QList<qint32> editorOrder;
        for (int row = 0; row < editor.count(); ++row) {
            editorOrder << editor.idAt(row);
            QCOMPARE(editor.nameAt(row), keys.at(row));
        }
        QCOMPARE(editorOrder, order);
        MemberRecord r;
        r.lastName = " Abel ";
        r.firstName = "Joe {2}";
        QCOMPARE(MemberData::storedListKey(r), keys.at(0));
        // The member as a save puts it into the index of the others: where
        // and as the index reads it once stored.
        NameIndex others(NameIndex::Runs::CaseBlind, NameIndex::Order::Keys);
        others.load(MemberData::listQuery() + QStringLiteral(" where memberid <> %1").arg(brace));
        const int at = others.insert(brace, MemberData::storedListEntry(r));
        QCOMPARE(at, 0);
        QCOMPARE(others.nameAt(at), editor.nameAt(0));
        QCOMPARE(others.letterAt(at), editor.letterAt(0));
        r.lastName = QString(25, 'x'); // cut to its 20 characters, as stored
        r.firstName = "\tTab";      // only blanks are trimmed
        QCOMPARE(MemberData::storedListKey(r), QString(20, 'x') + ", \tTab ");
    }

    void deletingAMemberRemovesItsLinksOnly()
    {
        const int cities = count("select count(*) from city");
        DeleteMember(m_lib.adams);
        QCOMPARE(count("select count(*) from member where memberid = ?", {m_lib.adams}), 0);
        QCOMPARE(links(m_lib.adams), QStringLiteral("  "));
        QCOMPARE(count("select count(*) from member"), 3);
        QCOMPARE(links(m_lib.obrien), QStringLiteral("c%1:-1  ").arg(m_lib.bells));
        QCOMPARE(count("select count(*) from city"), cities);
        QCOMPARE(count("select (select count(*) from choir) + (select count(*) from vocalsm)"), 5);

        // A deletion that fails half-way deletes nothing.
        Db::exec("drop table m_vm_l");
        QVERIFY_THROWS_EXCEPTION(DbError, DeleteMember(m_lib.obrien));
        QCOMPARE(count("select count(*) from member where memberid = ?", {m_lib.obrien}), 1);
        QCOMPARE(count("select count(*) from chr_m_l where memberid = ?", {m_lib.obrien}), 1);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    Members m_lib;
};

QTEST_MAIN(TestMemberRecord)
#include "tst_memberrecord.moc"
