#include "LibraryGenerator.h"

#include "Db.h"
#include "Schema.h"

#include <QDate>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <iterator>
#include <algorithm>
#include <random>

namespace {

const char *const kWords[] = {
    "Praise", "Glory", "Hallelujah", "Amazing", "Grace", "Holy", "Lord", "Spirit", "Light", "Morning",
    "Evening", "Peace", "Joy", "Rejoice", "Alleluia", "Shepherd", "River", "Mountain", "Song", "Hymn",
    "Blessed", "Savior", "King", "Heaven", "Earth", "Wonder", "Love", "Faith", "Hope", "Mercy",
    "Gloria", "Sanctus", "Kyrie", "Magnificat", "Te Deum", "Ave", "Jubilate", "Psalm", "Canticle", "Carol",
    "Star", "Angels", "Bells", "Trumpet", "Gate", "Temple", "Zion", "Jordan", "Cross", "Crown"};
const char *const kFirst[] = {"Anna", "John", "Mary", "Johann", "Felix", "Clara", "George", "Ralph",
                              "Ruth", "Samuel", "Thomas", "Fanny", "Ola", "Antonín", "Gabriel"};
const char *const kLast[] = {"Bach", "Handel", "Rutter", "Mendelssohn", "Vaughan Williams", "O'Brien",
                             "Dvořák", "Fauré", "Haydn", "Mozart", "Wesley", "Stanford", "Parry",
                             "Howells", "Gjeilo", "Chilcott", "Lauridsen", "Whitacre", "Tallis", "Byrd"};
const char *const kVoices[] = {"SATB", "SSA", "TTBB", "SAB", "Unison", "Two-part", "SSAA", "TB"};
const char *const kInstruments[] = {"Organ", "Piano", "Brass", "Strings", "Flute", "Oboe", "Handbells",
                                    "Timpani", "Harp", "Trumpet", "Guitar", "Percussion"};

template <class T, size_t N> const char *pick(std::mt19937 &rng, T (&arr)[N])
{
    return arr[std::uniform_int_distribution<size_t>(0, N - 1)(rng)];
}

QString title(std::mt19937 &rng)
{
    const int n = std::uniform_int_distribution<int>(2, 4)(rng);
    QStringList w;
    for (int i = 0; i < n; ++i)
        w << QString::fromUtf8(pick(rng, kWords));
    return w.join(QLatin1Char(' '));
}

QVariant date(std::mt19937 &rng, const QDate &from, int days)
{
    return from.addDays(std::uniform_int_distribution<int>(0, days)(rng)).toString(QStringLiteral("yyyy-MM-dd"));
}

// A name, its key, then the other values of a row.
QVariantList named(const QString &name, const QVariantList &rest = {})
{
    return QVariantList{name, Db::nameKey(name)} + rest;
}

class Inserter {
public:
    Inserter(QSqlDatabase &db, const QString &sql) : m_q(db)
    {
        if (!m_q.prepare(sql))
            throw DbError(sql);
    }
    void operator()(const QVariantList &values)
    {
        for (int i = 0; i < values.size(); ++i)
            m_q.bindValue(i, values[i]);
        if (!m_q.exec())
            throw DbError(QStringLiteral("insert failed"));
    }

private:
    QSqlQuery m_q;
};

void links(std::mt19937 &rng, Inserter &ins, int owner, int lo, int hi, int items)
{
    const int n = std::min(items, std::uniform_int_distribution<int>(lo, hi)(rng));
    QList<int> chosen;
    while (chosen.size() < n) {
        const int id = std::uniform_int_distribution<int>(1, items)(rng);
        if (!chosen.contains(id))
            chosen << id;
    }
    for (int id : chosen)
        ins({owner, id});
}

// The links of every collection, as the collection editor stores them.
void addCollectionLinks(QSqlDatabase &db, std::mt19937 &rng, const LibrarySize &size)
{
    Inserter com(db, QStringLiteral("insert into col_com_l (collectionid, composerid) values (?, ?)"));
    Inserter th(db, QStringLiteral("insert into col_th_l (collectionid, themeid) values (?, ?)"));
    Inserter v(db, QStringLiteral("insert into col_v_l (collectionid, vocalsid) values (?, ?)"));
    Inserter orch(db, QStringLiteral("insert into col_orch_l (collectionid, orchid) values (?, ?)"));
    Inserter chr(db, QStringLiteral("insert into col_chr_l (collectionid, choirid) values (?, ?)"));
    for (int c = 1; c <= size.collections; ++c) {
        links(rng, com, c, 1, 3, size.composers);
        links(rng, th, c, 2, 5, size.themes);
        links(rng, v, c, 1, 2, size.vocals);
        links(rng, orch, c, 1, 4, size.orchestrations);
        links(rng, chr, c, 1, 3, size.choirs);
    }
}

// Up to three performances of each collection, by one of the choirs.
void addCollectionPerformances(QSqlDatabase &db, std::mt19937 &rng, const LibrarySize &size)
{
    Inserter perf(db, QStringLiteral("insert into col_lperform (Lperform, collectionid, ChoirID) values (?, ?, ?)"));
    const QDate epoch(1985, 1, 1);
    for (int c = 1; c <= size.collections; ++c) {
        const int performed = std::uniform_int_distribution<int>(0, 3)(rng);
        for (int p = 0; p < performed; ++p)
            perf({date(rng, epoch, 14000), c, 1 + (c + p) % size.choirs});
    }
}

const char *const kMemberFirst[] = {"Grace", "Sean", "Maria", "James", "Linda", "Robert", "Ana", "David",
                                    "Susan", "Michael", "Karen", "Joseph", "Nancy", "Zoë", "José", "Ruth",
                                    "Emily", "Daniel", "Hannah", "Samuel"};
const char *const kMemberMiddle[] = {"Ann", "Lee", "Marie", "", "J.", "Elizabeth", "", "Paul", "Rose", ""};
const char *const kMemberLast[] = {"Adams", "O'Brien", "Nguyen", "Smith", "Johnson", "García", "Müller",
                                   "Williams", "Brown", "Jones", "Miller", "Davis", "Martínez", "Wilson",
                                   "Anderson", "Taylor", "Thomas", "Moore", "Jackson", "Martin", "Lee",
                                   "Thompson", "White", "Harris", "Clark", "Lewis", "Robinson", "Walker",
                                   "d'Angelo", "Young"};
const char *const kStreets[] = {"Elm St", "Oak Ave", "Maple Dr", "Church Rd", "Main St", "Lake Rd",
                                "Cedar Ln", "Hillcrest Blvd", "Park Pl", "Mill Creek Way"};
const char *const kCities[] = {"Springfield", "Coeur d'Alene", "Riverside", "Fairview", "Franklin",
                               "Greenville", "Bristol", "Clinton", "Madison", "Georgetown", "Salem",
                               "Arlington", "Ashland", "Dover", "Milton"};
const char *const kSchools[] = {"Lincoln High", "St. Mary's", "Washington Elementary", "Central Middle",
                                "Jefferson Academy", "Northside High", "Grace Christian School", "Roosevelt"};
const char *const kSections[] = {"Soprano", "Alto", "Tenor", "Bass", "Baritone", "Mezzo"};
const char *const kGrades[] = {"Pre School", "Kinderdarden", "First", "Second", "Third", "Fourth", "Fifth",
                               "Sixth", "Seventh", "Eighth", "Nineth", "Tenth", "Eleventh", "Twelfth", "College"};

// The members and what they refer to: cities, zip codes, schools and
// member sections, and their links to choirs (active and not), sections
// and instruments. Its own random numbers, so the rest of the library
// stays as it was.
void generateMembers(QSqlDatabase &db, const LibrarySize &size)
{
    std::mt19937 rng(size.seed + 6);
    Inserter city(db, QStringLiteral("insert into city (City, citykey) values (?, ?)"));
    for (int i = 0; i < size.cities; ++i)
        city(named(i < int(std::size(kCities)) ? QString::fromUtf8(kCities[i])
                                               : QStringLiteral("%1 %2").arg(QString::fromUtf8(pick(rng, kCities))).arg(i)));
    Inserter zip(db, QStringLiteral("insert into zip (Zip, zipkey) values (?, ?)"));
    for (int i = 0; i < size.zips; ++i)
        zip(named(QStringLiteral("%1").arg(10000 + i * 211 % 89999, 5, 10, QLatin1Char('0'))));
    Inserter school(db, QStringLiteral("insert into school (School, schoolkey) values (?, ?)"));
    for (int i = 0; i < size.schools; ++i)
        school(named(i < int(std::size(kSchools)) ? QString::fromUtf8(kSchools[i])
                                                  : QStringLiteral("%1 %2").arg(QString::fromUtf8(pick(rng, kSchools))).arg(i)));
    Inserter section(db, QStringLiteral("insert into vocalsm (vocals, vocalskey) values (?, ?)"));
    for (int i = 0; i < size.sections; ++i)
        section(named(i < int(std::size(kSections)) ? QString::fromUtf8(kSections[i])
                                                    : QStringLiteral("%1 %2").arg(QString::fromUtf8(pick(rng, kSections))).arg(i)));

    QStringList states;
    {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("select statea from state order by statea")))
            throw DbError(QStringLiteral("no state list"));
        while (q.next())
            states << q.value(0).toString();
    }
    const auto any = [&rng](int n) { return std::uniform_int_distribution<int>(1, n)(rng); };

    Inserter member(db, QStringLiteral(
        "insert into member (LName, FName, MName, Street1, Street2, State, CityID, ZipID, HPhone, CPhone, FPhone, "
        "SchoolID, grade, Age, Sex, Parent, Email, Memo1, u1, u2, u3, Birthday, Aniversary, lnamekey, fnamekey, "
        "mnamekey) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    Inserter choir(db, QStringLiteral("insert into chr_m_l (memberid, choirid, isactive) values (?, ?, ?)"));
    Inserter vm(db, QStringLiteral("insert into m_vm_l (memberid, vocalsmid) values (?, ?)"));
    Inserter orch(db, QStringLiteral("insert into m_orch_l (memberid, orchid) values (?, ?)"));
    const QDate born(1935, 1, 1);
    const QDate joined(1980, 1, 1);
    for (int i = 1; i <= size.members; ++i) {
        const bool student = i % 4 == 0;
        const QString last = QString::fromUtf8(pick(rng, kMemberLast));
        const QString first = QString::fromUtf8(pick(rng, kMemberFirst));
        const QVariant birthday = i % 10 == 0 ? QVariant() : date(rng, born, 30000);
        const QString middle = QString::fromUtf8(pick(rng, kMemberMiddle));
        member({last, first, middle,
                QStringLiteral("%1 %2").arg(any(9999)).arg(QString::fromUtf8(pick(rng, kStreets))),
                i % 7 == 0 ? QVariant(QStringLiteral("Apt %1").arg(any(40))) : QVariant(),
                states.isEmpty() ? QVariant() : QVariant(states.at(any(int(states.size())) - 1)),
                size.cities > 0 && i % 25 != 0 ? QVariant(any(size.cities)) : QVariant(0),
                size.zips > 0 && i % 30 != 0 ? QVariant(any(size.zips)) : QVariant(0),
                QStringLiteral("555-%1").arg(any(9999), 4, 10, QLatin1Char('0')),
                i % 2 ? QVariant(QStringLiteral("555-%1").arg(any(9999), 4, 10, QLatin1Char('0'))) : QVariant(),
                i % 5 == 0 ? QVariant(QStringLiteral("555-%1").arg(any(9999), 4, 10, QLatin1Char('0'))) : QVariant(),
                student && size.schools > 0 ? QVariant(any(size.schools)) : QVariant(0),
                student ? QVariant(QString::fromUtf8(pick(rng, kGrades))) : QVariant(QString()),
                student ? QVariant(5 + any(14)) : QVariant(), any(2),
                student ? QVariant(QStringLiteral("%1 %2").arg(QString::fromUtf8(pick(rng, kMemberFirst)), last))
                        : QVariant(),
                i % 3 ? QVariant(QStringLiteral("%1.%2%3@example.org").arg(first.toLower(), last.toLower()).arg(i))
                      : QVariant(),
                i % 9 == 0 ? QVariant(QStringLiteral("Needs a large folder.")) : QVariant(),
                i % 2 == 0 ? QVariant(QStringLiteral("Robe %1").arg(any(60))) : QVariant(),
                i % 6 == 0 ? QVariant(QStringLiteral("Folder %1").arg(any(200))) : QVariant(),
                i % 11 == 0 ? QVariant(QStringLiteral("Key holder")) : QVariant(), birthday,
                i % 8 == 0 ? QVariant() : date(rng, joined, 16000), Db::nameKey(last), Db::nameKey(first),
                Db::nameKey(middle)});
        const int choirs = std::min(size.choirs, std::uniform_int_distribution<int>(1, 3)(rng));
        QList<int> chosen;
        while (chosen.size() < choirs) {
            const int c = any(size.choirs);
            if (!chosen.contains(c))
                chosen << c;
        }
        for (int c : chosen)
            choir({i, c, any(10) <= 7 ? -1 : 0}); // most memberships are active
        if (size.sections > 0)
            links(rng, vm, i, 1, 2, size.sections);
        if (size.orchestrations > 0 && i % 3 == 0)
            links(rng, orch, i, 1, 2, size.orchestrations);
    }
}

} // namespace

bool generateLibrary(const QString &path, const LibrarySize &size, QString *error)
{
    if (!Schema::createDatabaseFile(path, error))
        return false;
    const QString conn = QStringLiteral("velmora_generator");
    bool ok = false;
    {
        QSqlDatabase db = Db::openNamed(conn, path, false, error);
        if (!db.isValid())
            return false;
        try {
            std::mt19937 rng(size.seed);
            Db::exec(db, QStringLiteral("PRAGMA journal_mode = OFF"));
            Db::exec(db, QStringLiteral("PRAGMA synchronous = OFF"));
            Db::exec(db, QStringLiteral("BEGIN"));
            {
                // Every name is written with its key, as the program writes it.
                Inserter composer(db, QStringLiteral("insert into composer (composer, composerkey) values (?, ?)"));
                for (int i = 0; i < size.composers; ++i)
                    composer(named(QStringLiteral("%1 %2 %3").arg(QString::fromUtf8(pick(rng, kFirst)),
                                                                   QString::fromUtf8(pick(rng, kLast))).arg(i + 1)));
                Inserter theme(db, QStringLiteral("insert into themes (theme, themekey, Description) values (?, ?, ?)"));
                for (int i = 0; i < size.themes; ++i)
                    theme(named(QStringLiteral("%1 %2").arg(QString::fromUtf8(pick(rng, kWords))).arg(i + 1),
                                {QStringLiteral("Theme for the season")}));
                Inserter choir(db, QStringLiteral("insert into choir (choir, choirkey, Description, info) values (?, ?, ?, ?)"));
                for (int i = 0; i < size.choirs; ++i)
                    choir(named(QStringLiteral("Choir %1").arg(i + 1), {QStringLiteral("Rehearses weekly"), QString()}));
                Inserter vocals(db, QStringLiteral("insert into vocals (vocals, vocalskey) values (?, ?)"));
                for (int i = 0; i < size.vocals; ++i)
                    vocals(named(QStringLiteral("%1 %2").arg(QString::fromUtf8(pick(rng, kVoices))).arg(i + 1)));
                Inserter orch(db, QStringLiteral("insert into orchestration (orchestration, orchestrationkey) values (?, ?)"));
                for (int i = 0; i < size.orchestrations; ++i)
                    orch(named(QStringLiteral("%1 %2").arg(QString::fromUtf8(pick(rng, kInstruments))).arg(i + 1)));

                Inserter collection(db, QStringLiteral(
                    "insert into collection (Collection, collectionkey, Catalog, Location, LoanedTo, DatePurchased, "
                    "CostPerCopy, NumCopies, u1) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
                const QDate epoch(1985, 1, 1);
                for (int i = 0; i < size.collections; ++i) {
                    // The name is drawn first, so the library stays the one
                    // the same seed has always made.
                    const QString name = title(rng) + QStringLiteral(" Collection");
                    collection(named(name,
                                     {QStringLiteral("C-%1").arg(i + 1), QStringLiteral("Cabinet %1").arg(i % 40 + 1),
                                      i % 25 == 0 ? QVariant(QStringLiteral("Youth choir")) : QVariant(),
                                      date(rng, epoch, 14000), double(5 + i % 30) + 0.5, 10 + i % 50,
                                      i % 3 == 0 ? QVariant(QStringLiteral("Shelf %1").arg(i % 9)) : QVariant()}));
                }

                Inserter anthem(db, QStringLiteral(
                    "insert into anthem (Anthem, anthemkey, Catalog, Location, Memo1, Pages, LoanedTo, PerformTime, "
                    "u1, u2, DatePurchased, CostPerCopy, NumCopies, collectionid) "
                    "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
                Inserter aCom(db, QStringLiteral("insert into a_com_l (anthemid, composerid) values (?, ?)"));
                Inserter aTh(db, QStringLiteral("insert into a_th_l (anthemid, themeid) values (?, ?)"));
                Inserter aV(db, QStringLiteral("insert into a_v_l (anthemid, vocalsid) values (?, ?)"));
                Inserter aOrch(db, QStringLiteral("insert into a_orch_l (anthemid, orchid) values (?, ?)"));
                Inserter aChr(db, QStringLiteral("insert into a_chr_l (anthemid, choirid) values (?, ?)"));
                Inserter perf(db, QStringLiteral("insert into a_lperform (Lperform, anthemid, ChoirID) values (?, ?, ?)"));
                for (int i = 1; i <= size.anthems; ++i) {
                    const bool inCollection = i % 10 < 3 && size.collections > 0;
                    const QString name = title(rng);
                    anthem(named(name,
                                 {QStringLiteral("A-%1").arg(i), QStringLiteral("Drawer %1").arg(i % 120 + 1),
                                  i % 7 == 0 ? QVariant(QStringLiteral("Use for Easter")) : QVariant(),
                                  QStringLiteral("%1-%2").arg(i % 40).arg(i % 40 + 6),
                                  i % 20 == 0 ? QVariant(QStringLiteral("Choir %1").arg(i % 5 + 1)) : QVariant(),
                                  QStringLiteral("00:0%1:30").arg(i % 9 + 1),
                                  i % 4 == 0 ? QVariant(QStringLiteral("Box %1").arg(i % 13)) : QVariant(),
                                  i % 6 == 0 ? QVariant(QStringLiteral("Level %1").arg(i % 3)) : QVariant(),
                                  date(rng, epoch, 14000), 1.25 + (i % 20) * 0.5, 20 + i % 40,
                                  inCollection ? QVariant(1 + i % size.collections) : QVariant(0)}));
                    links(rng, aCom, i, 1, 3, size.composers);
                    links(rng, aTh, i, 4, 8, size.themes);
                    links(rng, aV, i, 1, 3, size.vocals);
                    links(rng, aOrch, i, 3, 7, size.orchestrations);
                    links(rng, aChr, i, 3, 7, size.choirs);
                    const int performed = std::uniform_int_distribution<int>(0, 4)(rng);
                    for (int p = 0; p < performed; ++p)
                        perf({date(rng, epoch, 14000), i, 1 + (i + p) % size.choirs});
                }

                Inserter sched(db, QStringLiteral(
                    "insert into schedule (ChoirID, SchedDate, AMPM, call, Anthem, Offertory, Benediction, "
                    "collectionid, anthemid) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
                const QDate start = QDate::currentDate().addDays(1);
                for (int i = 0; i < size.scheduleRows; ++i) {
                    const int slot = i % 4;
                    sched({1 + i % size.choirs, date(rng, start, 700), i % 2 ? QStringLiteral("PM") : QStringLiteral("AM"),
                           slot == 0 ? -1 : 0, slot == 1 ? -1 : 0, slot == 2 ? -1 : 0, slot == 3 ? -1 : 0,
                           i % 5 == 0 && size.collections > 0 ? QVariant(1 + i % size.collections) : QVariant(0),
                           i % 5 != 0 ? QVariant(1 + (i * 37) % size.anthems) : QVariant(0)});
                }
            }
            // A generator of their own, so the rows above stay as they were
            // before collections had links and performances.
            std::mt19937 collectionRng(size.seed + 1);
            addCollectionLinks(db, collectionRng, size);
            addCollectionPerformances(db, collectionRng, size);
            if (size.members > 0 && size.choirs > 0)
                generateMembers(db, size);
            Db::exec(db, QStringLiteral("COMMIT"));
            Db::exec(db, QStringLiteral("ANALYZE"));
            ok = true;
        } catch (const DbError &e) {
            if (error)
                *error = e.message();
        }
    }
    Db::closeNamed(conn);
    return ok;
}

// ---- the service schedule ---------------------------------------------------

namespace {

const char *const kNotes[] = {"Communion", "Baptism after the sermon", "Guest preacher", "Robes: red stoles",
                              "Processional with brass", "Youth Sunday", "Combined choirs rehearse at 8:30",
                              "Stewardship Sunday; pledge cards", "Lessons and carols | candles"};
const char *const kOther[] = {"Handbell choir", "Verses 1 and 3 only", "With flute descant", "A cappella",
                              "Children sing the refrain", "Organ prelude", "Solo: Mrs. O'Brien"};

void fillServiceSchedule(QSqlDatabase &db, const ServiceScheduleShape &shape, const QDate &today)
{
    std::mt19937 rng(shape.seed);
    auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Db::exec(db, QStringLiteral("delete from schedule"));
    Db::exec(db, QStringLiteral("delete from schednotes"));
    Db::exec(db, QStringLiteral("delete from schedinfo"));

    QList<qint32> choirs;
    {
        QSqlQuery q(db);
        q.exec(QStringLiteral("select ChoirID from choir order by ChoirID"));
        while (q.next())
            choirs << q.value(0).toInt();
    }
    for (int i = int(choirs.size()); i < shape.choirs; ++i) {
        Db::exec(db, QStringLiteral("insert into choir (choir, choirkey) values (?, ?)"),
                 named(QStringLiteral("Choir %1").arg(i + 1)));
        QSqlQuery q(db);
        q.exec(QStringLiteral("select last_insert_rowid()"));
        q.next();
        choirs << q.value(0).toInt();
    }
    choirs = choirs.mid(0, shape.choirs);
    for (int i = 0; i < choirs.size(); i += 2)
        Db::exec(db, QStringLiteral("update choir set info = ? where ChoirID = ?"),
                 {QStringLiteral("Rehearsal Wednesdays at 7 pm in room %1.\nDirector: see the office list.").arg(i + 1),
                  choirs.at(i)});
    Db::exec(db, QStringLiteral("insert into schedinfo (info, ChoirID) values (?, 0)"),
             {QStringLiteral("All choirs: arrive 45 minutes before the service; robes in the choir room.")});

    auto maxId = [&](const char *sql) {
        QSqlQuery q(db);
        q.exec(QLatin1String(sql));
        return q.next() ? q.value(0).toInt() : 0;
    };
    const int anthems = maxId("select max(anthemid) from anthem");
    const int collections = maxId("select max(collectionid) from collection");

    Inserter entry(db, QStringLiteral(
        "insert into schedule (ChoirID, SchedDate, AMPM, call, Anthem, Offertory, Benediction, other, "
        "collectionid, anthemid) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    Inserter note(db, QStringLiteral("insert into schednotes (SchedDate, AMPM, notes) values (?, ?, ?)"));
    // The entries of a choir at a service, one to four slots but at most
    // `most` (mostly an anthem, some a collection, some other text alone
    // or beside a title); returns how many.
    auto sing = [&](qint32 c, const QString &day, const QString &ampm, int most) {
        QList<int> slotOrder = {0, 1, 2, 3};
        std::shuffle(slotOrder.begin(), slotOrder.end(), rng);
        const int taken = std::min(most, between(1, 4));
        for (int s : slotOrder.mid(0, taken)) {
            const int kind = between(1, 20);
            QVariant anthem = 0, collection = 0;
            QString other;
            if (kind <= 15 && anthems > 0)
                anthem = between(1, anthems);
            else if (kind <= 18 && collections > 0)
                collection = between(1, collections);
            if (kind > 18 || between(1, 5) == 1)
                other = QString::fromUtf8(pick(rng, kOther));
            entry({c, day, ampm, s == 0 ? -1 : 0, s == 1 ? -1 : 0, s == 2 ? -1 : 0, s == 3 ? -1 : 0, other,
                   collection, anthem});
        }
        return taken;
    };
    auto maybeNotes = [&](const QString &day, const QString &ampm) {
        if (between(1, 100) <= shape.notesPercent) {
            QString text = QString::fromUtf8(pick(rng, kNotes));
            if (between(0, 3) == 0)
                text += QLatin1Char('\n') + QString::fromUtf8(pick(rng, kNotes));
            note({day, ampm, text});
        }
    };
    QDate sunday = today.addDays(1);
    while (sunday.dayOfWeek() != Qt::Sunday)
        sunday = sunday.addDays(1);
    const QDate firstSunday = sunday;
    const QDate end = today.addMonths(shape.months);
    for (; sunday <= end; sunday = sunday.addDays(7)) {
        const QString day = sunday.toString(QStringLiteral("yyyy-MM-dd"));
        for (const char *service : {"AM", "PM"}) {
            const QString ampm = QLatin1String(service);
            maybeNotes(day, ampm);
            QList<qint32> singing;
            const int n = std::min<int>(int(choirs.size()), between(shape.minChoirsPerService, shape.maxChoirsPerService));
            while (singing.size() < n) {
                const qint32 c = choirs.at(between(0, int(choirs.size()) - 1));
                if (!singing.contains(c))
                    singing << c;
            }
            for (qint32 c : singing)
                sing(c, day, ampm, 4);
        }
    }

    if (shape.oneChoirEntries > 0) {
        QSqlQuery q(db);
        q.exec(QStringLiteral("select ChoirID from choir order by choirkey, ChoirID limit 1"));
        const qint32 choir = q.next() ? q.value(0).toInt() : 0;
        Db::exec(db, QStringLiteral("delete from schedule where ChoirID = ?"), {choir});
        int left = shape.oneChoirEntries;
        for (QDate d = firstSunday; left > 0; d = d.addDays(1)) {
            const QString day = d.toString(QStringLiteral("yyyy-MM-dd"));
            for (const char *service : {"AM", "PM"}) {
                if (left == 0)
                    break;
                const QString ampm = QLatin1String(service);
                // The Sundays of the year above have their notes already.
                if (d.dayOfWeek() != Qt::Sunday || d > end)
                    maybeNotes(day, ampm);
                left -= sing(choir, day, ampm, left);
            }
        }
    }
}

} // namespace

bool writeServiceSchedule(const QString &path, const ServiceScheduleShape &shape, const QDate &today, QString *error)
{
    const QString conn = QStringLiteral("velmora_schedule_generator");
    bool ok = false;
    {
        QSqlDatabase db = Db::openNamed(conn, path, false, error);
        if (!db.isValid())
            return false;
        try {
            Db::exec(db, QStringLiteral("BEGIN"));
            fillServiceSchedule(db, shape, today);
            Db::exec(db, QStringLiteral("COMMIT"));
            Db::exec(db, QStringLiteral("ANALYZE"));
            ok = true;
        } catch (const DbError &e) {
            if (error)
                *error = e.message();
        }
    }
    Db::closeNamed(conn);
    return ok;
}
