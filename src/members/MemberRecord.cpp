#include "MemberRecord.h"

#include "AddressLookups.h"
#include "Db.h"
#include "Fmt.h"
#include "MemberTables.h"
#include "RecordRow.h"

#include <QSqlQuery>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

using Fmt::cut;
using Fmt::trimBlanks;

namespace {

// The name-list key as the list statement builds it from the stored names:
// SQLite's trim() takes blanks only, as listKey() does.
const char kListKeySql[] = "trim(coalesce(LName, '')) || ', ' || trim(coalesce(FName, '')) || ' ' || "
                           "trim(coalesce(MName, ''))";

// Every link table of a member, written whole: a kind the caller left out
// is written as none ticked.
QList<LinkChoice> allMemberLinks(const QList<LinkChoice> &given)
{
    QList<LinkChoice> out = given;
    for (CheckGridKind kind : {CheckGridKind::Sections, CheckGridKind::Choirs, CheckGridKind::Orchestration}) {
        const bool present = std::any_of(given.begin(), given.end(), [kind](const LinkChoice &c) { return c.kind == kind; });
        if (!present)
            out << LinkChoice{kind, {}, {}};
    }
    return out;
}

// The age column takes whole numbers: a typed number is rounded half to
// even, as the column has always been assigned; a text that is no number,
// or one too large to be an age, is not stored.
std::optional<qint64> storedAge(const QString &typed)
{
    const std::optional<double> v = Fmt::parseNumber(typed);
    if (!v)
        return std::nullopt;
    const double whole = std::nearbyint(*v);
    if (whole < std::numeric_limits<qint32>::min() || whole > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint64(whole);
}

// The id stored in an id column, when it is a number above 0.
qint32 storedId(const QVariant &v)
{
    const std::optional<double> n = Fmt::storedNumber(v);
    return n && *n > 0 && *n <= std::numeric_limits<qint32>::max() ? qint32(*n) : 0;
}

} // namespace

QList<LinkChoice> MemberLinks::choices() const
{
    LinkChoice choirChoice{CheckGridKind::Choirs, {}, {}};
    for (const MemberChoir &c : choirs) {
        choirChoice.ids << c.choirId;
        if (c.active)
            choirChoice.activeIds.insert(c.choirId);
    }
    return {LinkChoice{CheckGridKind::Sections, sections, {}}, choirChoice,
            LinkChoice{CheckGridKind::Orchestration, instruments, {}}};
}

int MemberRecord::sexCode(const QString &text)
{
    if (text == QLatin1String("Male"))
        return Male;
    if (text == QLatin1String("Female"))
        return Female;
    return SexNone;
}

QString MemberRecord::sexText(int code)
{
    switch (code) {
    case Male: return QStringLiteral("Male");
    case Female: return QStringLiteral("Female");
    default: return QStringLiteral(" ");
    }
}

namespace MemberData {

std::optional<MemberRecord> load(qint32 id)
{
    QSqlQuery q = Db::query(
        QStringLiteral("select memberid, LName, FName, MName, Street1, Street2, State, CityID, ZipID, HPhone, CPhone,"
                       " FPhone, SchoolID, grade, Age, Sex, Parent, Email, Memo1, u1, u2, u3, u4, u5, Birthday,"
                       " Aniversary from member where memberid = ?"),
        {id});
    if (!q.next())
        return std::nullopt;
    MemberRecord r;
    r.id = q.value(0).toInt();
    r.lastName = Fmt::nz(q.value(1));
    r.firstName = Fmt::nz(q.value(2));
    r.middleName = Fmt::nz(q.value(3));
    r.street1 = Fmt::nz(q.value(4));
    r.street2 = Fmt::nz(q.value(5));
    r.state = Fmt::nz(q.value(6));
    if (const qint32 city = storedId(q.value(7)))
        r.city = GetCityName(city);
    if (const qint32 zip = storedId(q.value(8)))
        r.zip = GetZipText(zip);
    r.homePhone = Fmt::nz(q.value(9));
    r.cellPhone = Fmt::nz(q.value(10));
    r.workPhone = Fmt::nz(q.value(11));
    if (const qint32 school = storedId(q.value(12)))
        r.school = GetSchoolName(school);
    const QString grade = Fmt::nz(q.value(13));
    if (!grade.trimmed().isEmpty())
        r.grade = grade;
    if (const std::optional<double> age = Fmt::storedNumber(q.value(14)))
        r.age = Fmt::plainNumber(*age);
    if (const std::optional<double> sex = Fmt::storedNumber(q.value(15)); sex && (*sex == 1 || *sex == 2))
        r.sex = *sex == 1 ? MemberRecord::Male : MemberRecord::Female;
    r.parent = Fmt::nz(q.value(16));
    r.email = Fmt::nz(q.value(17));
    r.memo = Fmt::nz(q.value(18));
    for (int i = 0; i < 5; ++i)
        r.u[i] = Fmt::nz(q.value(19 + i));
    r.birthday = Fmt::dateFromDb(q.value(24));
    r.aniversary = Fmt::dateFromDb(q.value(25));
    return r;
}

qint32 save(const MemberRecord &r, const QList<LinkChoice> &links, bool adding)
{
    if (!adding && r.id < 1)
        throw DbError(QStringLiteral("There is no member to update."));
    Db::Transaction tx;
    const qint32 cityId = LearnAddressText(AddressKind::City, r.city);
    const qint32 zipId = LearnAddressText(AddressKind::Zip, r.zip);
    const qint32 schoolId = LearnAddressText(AddressKind::School, r.school);

    QStringList columns{QStringLiteral("LName"),  QStringLiteral("FName"),    QStringLiteral("MName"),
                        QStringLiteral("Street1"), QStringLiteral("Street2"), QStringLiteral("State"),
                        QStringLiteral("CityID"), QStringLiteral("ZipID"),    QStringLiteral("HPhone"),
                        QStringLiteral("CPhone"), QStringLiteral("FPhone"),   QStringLiteral("SchoolID"),
                        QStringLiteral("grade")};
    Params values{cut(r.lastName, MemberRecord::NameWidth),
                  cut(r.firstName, MemberRecord::NameWidth),
                  cut(r.middleName, MemberRecord::NameWidth),
                  cut(r.street1, MemberRecord::StreetWidth),
                  cut(r.street2, MemberRecord::StreetWidth),
                  cut(r.state.trimmed(), MemberRecord::StateWidth),
                  cityId,
                  zipId,
                  cut(r.homePhone, MemberRecord::PhoneWidth),
                  cut(r.cellPhone, MemberRecord::PhoneWidth),
                  cut(r.workPhone, MemberRecord::PhoneWidth),
                  schoolId,
                  r.grade.trimmed()};
    // An age that is no number leaves the stored one alone.
    if (const std::optional<qint64> age = storedAge(r.age)) {
        columns << QStringLiteral("Age");
        values << *age;
    }
    columns << QStringLiteral("Sex") << QStringLiteral("Parent") << QStringLiteral("Email") << QStringLiteral("Memo1")
            << QStringLiteral("u1") << QStringLiteral("u2") << QStringLiteral("u3") << QStringLiteral("u4")
            << QStringLiteral("u5") << QStringLiteral("Birthday") << QStringLiteral("Aniversary");
    const int sex = r.sex == MemberRecord::Male || r.sex == MemberRecord::Female ? r.sex : MemberRecord::SexNone;
    values << sex << cut(r.parent, MemberRecord::ParentWidth) << cut(r.email, MemberRecord::EmailWidth) << r.memo
           << r.u[0] << r.u[1] << r.u[2] << r.u[3] << r.u[4] << Fmt::dateToDb(r.birthday)
           << Fmt::dateToDb(r.aniversary);
    // The name keys, written with the names they order.
    for (int i = 0; i < 3; ++i) {
        static const char *const keys[] = {"lnamekey", "fnamekey", "mnamekey"};
        columns << QLatin1String(keys[i]);
        values << Db::nameKey(values.at(i).toString());
    }

    const qint32 id = writeRecordRow({"member", "memberid", "member"}, columns, values, adding, r.id);

    LinkTables::rewrite(RecordKind::Member, id, allMemberLinks(links));
    tx.commit();
    return id;
}

MemberComboValues comboValues()
{
    MemberComboValues v;
    v.cities = AddressValues(AddressKind::City);
    v.zips = AddressValues(AddressKind::Zip);
    v.schools = AddressValues(AddressKind::School);
    // One last name per key (names equal but for case share one), the
    // first spelling by id: the first member of each key, found in the
    // index on the keys alone. The empty key is shared by the empty name
    // and names of nothing but control characters: the first of these
    // counts.
    v.lastNames = MemberTables::distinctTexts(
        QStringLiteral("select LName from member where memberid in"
                       " (select min(memberid) from member where lnamekey <> '' group by lnamekey"
                       " union all select min(memberid) from member where lnamekey = '' and LName <> '')"
                       " order by lnamekey, memberid"));
    return v;
}

QString listKey(const QString &lastName, const QString &firstName, const QString &middleName)
{
    return trimBlanks(lastName) + QStringLiteral(", ") + trimBlanks(firstName) + QLatin1Char(' ')
           + trimBlanks(middleName);
}

QString storedListKey(const MemberRecord &r)
{
    return listKey(cut(r.lastName, MemberRecord::NameWidth), cut(r.firstName, MemberRecord::NameWidth),
                   cut(r.middleName, MemberRecord::NameWidth));
}

NameIndex::Entry storedListEntry(const MemberRecord &r)
{
    const QString last = cut(r.lastName, MemberRecord::NameWidth);
    return NameIndex::Entry{storedListKey(r), last,
                            {Db::nameKey(last), Db::nameKey(cut(r.firstName, MemberRecord::NameWidth)),
                             Db::nameKey(cut(r.middleName, MemberRecord::NameWidth))}};
}

QString listQuery()
{
    // The names as stored, in the table's order: the editor's index forms
    // the name-list keys and sorts, in a fraction of the time the
    // statement takes for either.
    return QStringLiteral("select memberid, LName, FName, MName, lnamekey, fnamekey, mnamekey from member");
}

QVector<MemberListEntry> memberList()
{
    QVector<MemberListEntry> out;
    QSqlQuery q = Db::query(QStringLiteral("select memberid, LName, %1 from member"
                                           " order by lnamekey, fnamekey, mnamekey, memberid")
                                .arg(QLatin1String(kListKeySql)));
    while (q.next()) {
        MemberListEntry e;
        e.id = q.value(0).toInt();
        e.lastName = Fmt::nz(q.value(1));
        e.key = Fmt::nz(q.value(2));
        out.append(std::move(e));
    }
    return out;
}

} // namespace MemberData

void DeleteMember(qint32 memberId)
{
    Db::Transaction tx;
    Db::exec(QStringLiteral("delete from member where memberid = ?"), {memberId});
    LinkTables::deleteAll(RecordKind::Member, memberId);
    tx.commit();
}
