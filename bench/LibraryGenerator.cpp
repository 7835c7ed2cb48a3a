#include "LibraryGenerator.h"

#include "Db.h"
#include "Schema.h"

#include <QDate>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
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
