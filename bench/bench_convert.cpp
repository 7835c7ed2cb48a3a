// bench_convert [--size N] [--runs R] [database file]: the conversion of a
// database of the previous format with N anthems (500,000 unless given),
// beside the bare work of reading and writing that file once: a copy made
// with SQLite's backup API and put on the disk, and an integrity_check of
// that copy with the old collation registered. The file is generated on
// first use into the file given (default /tmp/velmora-previous-<N>.mdb) and
// reused afterwards; every run works on a copy of it. Each step runs R
// times (1 unless given) and its median is printed. Targets: the
// conversion within 3 times the copy and the check together, and its peak
// memory under 200 MB (measured in a child process that does nothing else).
#include "BenchSupport.h"
#include "DbFile.h"
#include "PreviousSchema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QVariant>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace bench;

namespace {

const char *const kBench = "bench_convert";

// A plain SQLite connection; statements that fail print SQLite's words.
class Connection {
public:
    explicit Connection(const QString &path, int flags = SQLITE_OPEN_READWRITE)
    {
        m_ok = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_h, flags, nullptr) == SQLITE_OK;
        if (!m_ok)
            std::fprintf(stderr, "%s: %s: %s\n", kBench, qPrintable(path), sqlite3_errmsg(m_h));
    }
    ~Connection() { sqlite3_close_v2(m_h); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    bool ok() const { return m_ok; }
    sqlite3 *handle() const { return m_h; }
    bool exec(const char *sql)
    {
        char *message = nullptr;
        if (sqlite3_exec(m_h, sql, nullptr, nullptr, &message) == SQLITE_OK)
            return true;
        std::fprintf(stderr, "%s: %.60s: %s\n", kBench, sql, message ? message : "?");
        sqlite3_free(message);
        return false;
    }
    // The first column of every row, as text.
    std::vector<QByteArray> column(const char *sql)
    {
        std::vector<QByteArray> out;
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(m_h, sql, -1, &st, nullptr) == SQLITE_OK)
            while (sqlite3_step(st) == SQLITE_ROW)
                out.emplace_back(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        return out;
    }

private:
    sqlite3 *m_h = nullptr;
    bool m_ok = false;
};

// One prepared insert, run once per row.
class Insert {
public:
    Insert(sqlite3 *h, const char *sql) : m_h(h) { sqlite3_prepare_v2(h, sql, -1, &m_st, nullptr); }
    ~Insert() { sqlite3_finalize(m_st); }
    Insert(const Insert &) = delete;
    Insert &operator=(const Insert &) = delete;
    bool operator()(const QVariantList &values)
    {
        if (!m_st)
            return false;
        for (int i = 0; i < values.size(); ++i) {
            const QVariant &v = values.at(i);
            if (v.isNull())
                sqlite3_bind_null(m_st, i + 1);
            else if (v.typeId() == QMetaType::Int)
                sqlite3_bind_int(m_st, i + 1, v.toInt());
            else if (v.typeId() == QMetaType::Double)
                sqlite3_bind_double(m_st, i + 1, v.toDouble());
            else
                sqlite3_bind_text(m_st, i + 1, v.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
        }
        const bool done = sqlite3_step(m_st) == SQLITE_DONE;
        if (!done)
            std::fprintf(stderr, "%s: %s\n", kBench, sqlite3_errmsg(m_h));
        sqlite3_reset(m_st);
        return done;
    }

private:
    sqlite3 *m_h;
    sqlite3_stmt *m_st = nullptr;
};

// Words of titles, names beyond ASCII among them, so the old collation
// has real work to do.
const char *const kWords[] = {
    "Ave", "verum", "corpus", "Kyrie", "Gloria", "Ehre", "sei", "Gott", "Ölberg", "Jésus", "joie", "des",
    "hommes", "Magnificat", "Nunc", "dimittis", "Psalm", "Hallelujah", "Amazing", "Grace", "Ærø", "straße",
    "Łaska", "Hosanna", "Sanctus", "Benedictus", "Agnus", "Dei", "Lord", "Shepherd", "Holy", "Spirit", "Come",
    "Thou", "Fount", "Ein", "feste", "Burg", "Église", "Cantique", "Noël", "Аллилуйя", "Ἀμήν", "Øst", "Über"};
const char *const kComposers[] = {"Bach", "Dvořák", "Händel", "Fauré", "Mozart", "Rutter", "Górecki", "Tallis",
                                  "Byrd", "Brahms", "Saint-Saëns", "Mendelssohn", "Pärt", "Poulenc"};
const char *const kShelves[] = {"Cabinet A", "Cabinet B", "Box 3", "Library shelf", "Choir room", "Office"};

template <size_t N> QString pick(std::mt19937 &rng, const char *const (&list)[N])
{
    return QString::fromUtf8(list[std::uniform_int_distribution<size_t>(0, N - 1)(rng)]);
}

QString words(std::mt19937 &rng, int lo, int hi)
{
    QStringList w;
    for (int i = std::uniform_int_distribution<int>(lo, hi)(rng); i > 0; --i)
        w << pick(rng, kWords);
    return w.join(QLatin1Char(' '));
}

// A library of the previous format: the anthems with their text, a
// collection for every 50 of them, composers and themes linked to each.
bool generate(const QString &path, int anthems)
{
    const QString partial = path + QStringLiteral(".partial");
    QFile::remove(partial);
    bool ok = false;
    {
        Connection db(partial, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        ok = db.ok() && DbFile::installPreviousCollation(db.handle()) && db.exec("pragma journal_mode = off")
            && db.exec("pragma synchronous = off") && db.exec("BEGIN") && db.exec(kPreviousSchema);
        std::mt19937 rng(1997);
        const int collections = std::max(1, anthems / 50);
        const int composers = 2000;
        const int themes = 300;
        Insert composer(db.handle(), "insert into composer (composer) values (?)");
        for (int i = 0; ok && i < composers; ++i)
            ok = composer({QStringLiteral("%1 %2").arg(pick(rng, kComposers)).arg(i)});
        Insert theme(db.handle(), "insert into themes (theme, Description) values (?, ?)");
        for (int i = 0; ok && i < themes; ++i)
            ok = theme({QStringLiteral("%1 %2").arg(pick(rng, kWords)).arg(i), words(rng, 2, 6)});
        Insert collection(db.handle(), "insert into collection (Collection, Catalog, Location) values (?, ?, ?)");
        for (int i = 0; ok && i < collections; ++i)
            ok = collection({words(rng, 1, 4), QStringLiteral("C-%1").arg(i), pick(rng, kShelves)});
        Insert anthem(db.handle(),
                      "insert into anthem (Anthem, Catalog, Location, Memo1, Pages, PerformTime, DatePurchased, "
                      "CostPerCopy, NumCopies, collectionid) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        Insert byComposer(db.handle(), "insert into a_com_l (anthemid, composerid) values (?, ?)");
        Insert byTheme(db.handle(), "insert into a_th_l (anthemid, themeid) values (?, ?)");
        const auto any = [&rng](int n) { return std::uniform_int_distribution<int>(1, n)(rng); };
        for (int i = 1; ok && i <= anthems; ++i) {
            ok = anthem({words(rng, 1, 5), QStringLiteral("A-%1").arg(i), pick(rng, kShelves),
                         i % 3 == 0 ? QVariant(words(rng, 3, 12)) : QVariant(), QString::number(any(40)),
                         QStringLiteral("%1:%2").arg(any(9)).arg(any(59), 2, 10, QLatin1Char('0')),
                         QStringLiteral("19%1-0%2-1%3").arg(70 + any(29)).arg(any(9)).arg(any(9)),
                         double(any(900)) / 100.0, any(60), i % 4 == 0 ? any(collections) : 0})
                && byComposer({i, any(composers)}) && byTheme({i, any(themes)});
        }
        ok = ok && db.exec("COMMIT");
    }
    ok = ok && QFile::rename(partial, path);
    if (!ok)
        QFile::remove(partial);
    return ok;
}

// Puts a file's data on the disk.
bool syncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// A copy with SQLite's backup API in one step, put on the disk.
bool backupCopy(const QString &from, const QString &to)
{
    bool done = false;
    {
        Connection source(from, SQLITE_OPEN_READONLY);
        Connection target(to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (!source.ok() || !target.ok())
            return false;
        sqlite3_backup *b = sqlite3_backup_init(target.handle(), "main", source.handle(), "main");
        done = b && sqlite3_backup_step(b, -1) == SQLITE_DONE;
        done = sqlite3_backup_finish(b) == SQLITE_OK && done;
    }
    return done && syncFile(to);
}

// integrity_check of a file of the previous format: "ok" or not.
bool checkWithOldCollation(const QString &path)
{
    Connection db(path);
    if (!db.ok() || !DbFile::installPreviousCollation(db.handle()))
        return false;
    const std::vector<QByteArray> result = db.column("pragma integrity_check");
    return result.size() == 1 && result.front() == "ok";
}

struct Conversion {
    bool ok = false;
    double ms = 0;
    long startKb = 0; // resident before the conversion
    long peakKb = 0;  // the most resident during it
    char reason[512] = {};
};

// DbFile::convert on the file, in a child process: its peak memory is the
// conversion's alone (with the little the process held before it).
Conversion convertInChild(const QString &path)
{
    Conversion out;
    int fds[2];
    if (::pipe(fds) != 0)
        return out;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        Conversion c;
        c.startKb = statusKb("VmRSS:");
        // The peak starts from what is resident now (Linux 4.0 and later).
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
        clear.close();
        QElapsedTimer t;
        t.start();
        const DbFile::Check check = DbFile::convert(path);
        c.ms = ms(t);
        c.peakKb = peakMemoryKb();
        c.ok = check.ok();
        if (!c.ok)
            std::snprintf(c.reason, sizeof c.reason, "%s", qPrintable(check.reason()));
        const bool written = ::write(fds[1], &c, sizeof c) == ssize_t(sizeof c);
        ::close(fds[1]);
        ::_exit(written ? 0 : 1);
    }
    ::close(fds[1]);
    if (pid > 0) {
        if (::read(fds[0], &out, sizeof out) != ssize_t(sizeof out))
            out = Conversion{};
        ::waitpid(pid, nullptr, 0);
    }
    ::close(fds[0]);
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    prepareProcess();
    QCoreApplication app(argc, argv);
    int rows = 500000;
    int runs = 1;
    QString path;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("--size") && i + 1 < argc)
            rows = std::max(1, QString::fromLocal8Bit(argv[++i]).toInt());
        else if (a == QLatin1String("--runs") && i + 1 < argc)
            runs = std::max(1, QString::fromLocal8Bit(argv[++i]).toInt());
        else
            path = a;
    }
    if (path.isEmpty())
        path = QStringLiteral("/tmp/velmora-previous-%1.mdb").arg(rows);

    std::printf("Conversion of a database of the previous format benchmark\n");
    if (!QFileInfo::exists(path)) {
        std::printf("  generating the library of the previous format into %s with %d anthems ...\n",
                    qPrintable(path), rows);
        std::fflush(stdout);
        if (!generate(path, rows)) {
            std::fprintf(stderr, "%s: the library could not be generated\n", kBench);
            return 1;
        }
    }
    if (!DbFile::isPreviousFormat(path)) {
        std::fprintf(stderr, "%s: %s is not a database of the previous format\n", kBench, qPrintable(path));
        return 1;
    }
    {
        Connection db(path, SQLITE_OPEN_READONLY);
        const std::vector<QByteArray> n = db.column("select count(*) from anthem");
        std::printf("  library: %s: %s anthems, %.1f MB\n", qPrintable(path), n.empty() ? "?" : n.front().constData(),
                    QFileInfo(path).size() / 1048576.0);
    }

    QTemporaryDir dir(QFileInfo(path).absolutePath() + QStringLiteral("/velmora-convert-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "%s: no working folder beside %s\n", kBench, qPrintable(path));
        return 1;
    }
    const QString copy = dir.filePath(QStringLiteral("copy.mdb"));
    const QString work = dir.filePath(QStringLiteral("work.mdb"));
    bool failed = false;

    const double copyMs = median(runs, [&] { QFile::remove(copy); }, [&] { failed |= !backupCopy(path, copy); });
    report("copy with the backup API, synced", copyMs, "ms", 0);
    const double checkMs = median(runs, [&] { failed |= !checkWithOldCollation(copy); });
    report("integrity_check of the copy (old collation)", checkMs, "ms", 0);
    if (failed) {
        std::fprintf(stderr, "%s: the copy or its check failed\n", kBench);
        countFailure();
    }

    std::vector<double> times;
    long peakKb = 0;
    long startKb = 0;
    for (int run = 0; run < runs; ++run) {
        QFile::remove(work);
        if (!QFile::copy(path, work) || !syncFile(work)) {
            std::fprintf(stderr, "%s: the working copy could not be made\n", kBench);
            return 1;
        }
        const Conversion c = convertInChild(work);
        if (!c.ok) {
            std::fprintf(stderr, "%s: the conversion failed: %s\n", kBench, c.reason);
            countFailure();
            printVerdict();
            return 1;
        }
        times.push_back(c.ms);
        peakKb = std::max(peakKb, c.peakKb);
        startKb = c.startKb;
    }
    compare("conversion (target: copy + check)", medianOf(times), copyMs + checkMs, 3);
    report("peak memory of the conversion", peakKb / 1024.0, "MB", 200);
    std::printf("    of which resident before it: %.1f MB; the converted file: %.1f MB\n", startKb / 1024.0,
                QFileInfo(work).size() / 1048576.0);
    if (DbFile::isPreviousFormat(work)) {
        std::fprintf(stderr, "%s: the file is still of the previous format\n", kBench);
        countFailure();
    }
    printVerdict();
    return overCount() ? 1 : 0;
}
