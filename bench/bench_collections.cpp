// bench_collections [database file]: the collection catalogue's data, its
// editor (alone and with the anthem editor open) and its report on a large
// library (10,000 collections with their links and
// performed dates, 100,000 anthems). The library is generated on first
// use into the file given (default /tmp/velmora-collections-bench.mdb)
// and reused afterwards; the runs work on a copy, so the saves and deletes
// never change it. Prints the median of several runs of each step beside
// its target.
#include "AnthemForm.h"
#include "CollectionForm.h"
#include "CollectionRecord.h"
#include "CollectionRegistration.h"
#include "CollectionReportModule.h"
#include "Db.h"
#include "DeleteCollectionCascade.h"
#include "Forms.h"
#include "BenchSupport.h"
#include "Prompter.h"
#include "RecordCodes.h"
#include "ReportPrinter.h"

#include <QApplication>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

using namespace bench;

namespace {

// An editor step timed alone and again with the anthem editor open, whose
// reload after a save and reset after a delete read its lists again.
void reportBoth(const char *what, double alone, double withAnthems, double target)
{
    report(what, alone, "ms", target);
    std::printf("  %-56s %9.1f ms\n", "      with the anthem editor open", withAnthems);
    std::fflush(stdout);
}

QList<qint32> ids(const QString &sql, const Params &params = {})
{
    QList<qint32> out;
    QSqlQuery q = Db::query(sql, params);
    while (q.next())
        out << q.value(0).toInt();
    return out;
}

QList<LinkChoice> linksOf(qint32 id)
{
    QList<LinkChoice> out;
    for (CheckGridKind kind : {CheckGridKind::Themes, CheckGridKind::Vocals, CheckGridKind::Orchestration,
                               CheckGridKind::Choirs, CheckGridKind::Composers}) {
        const LinkTable *t = LinkTables::link(RecordKind::Collection, kind);
        out << LinkChoice{kind,
                          ids(QStringLiteral("select %1 from %2 where collectionid = ?")
                                  .arg(QLatin1String(t->itemColumn), QLatin1String(t->table)),
                              {id}),
                          {}};
    }
    return out;
}

// A collection as large as a cantata gets: 20 anthems that already have
// their links and performed dates, five links of each kind, three
// performed dates, three schedule entries of its own and one for each
// anthem, with notes on each of those dates. Returns its id.
qint32 cantataToDelete(int n)
{
    Db::Transaction tx;
    const QString title = QStringLiteral("Cantata to delete %1").arg(n);
    Db::exec(QStringLiteral("insert into collection (Collection, collectionkey, Catalog) values (?, ?, 'BENCH')"),
             {title, Db::nameKey(title)});
    const qint32 id = qint32(Db::lastInsertId());
    const QList<qint32> anthems =
        ids(QStringLiteral("select anthemid from anthem where collectionid = 0 order by anthemid limit 20 offset ?"),
            {n * 20});
    for (qint32 a : anthems)
        Db::exec(QStringLiteral("update anthem set collectionid = ? where anthemid = ?"), {id, a});
    for (const char *t : {"col_th_l (collectionid, themeid)", "col_com_l (collectionid, composerid)",
                          "col_v_l (collectionid, vocalsid)", "col_orch_l (collectionid, orchid)",
                          "col_chr_l (collectionid, choirid)"})
        for (int k = 1; k <= 5; ++k)
            Db::exec(QStringLiteral("insert into %1 values (?, ?)").arg(QLatin1String(t)), {id, k});
    for (int k = 0; k < 3; ++k)
        Db::exec(QStringLiteral("insert into col_lperform (Lperform, collectionid, ChoirID) values (?, ?, 1)"),
                 {QDate(2000 + k, 12, 24).toString(Qt::ISODate), id});
    const QDate first = QDate::currentDate().addDays(800 + n * 40);
    auto entry = [](const QDate &d, int choir, qint32 collection, qint32 anthem) {
        const QString date = d.toString(Qt::ISODate);
        Db::exec(QStringLiteral("insert into schedule (ChoirID, SchedDate, AMPM, Anthem, collectionid, anthemid) "
                                "values (?, ?, 'AM', -1, ?, ?)"),
                 {choir, date, collection, anthem});
        Db::exec(QStringLiteral("insert into schednotes (SchedDate, AMPM, notes) values (?, 'AM', 'Robes')"), {date});
    };
    for (int k = 0; k < 3; ++k)
        entry(first.addDays(k * 7), 1 + k, id, 0);
    for (int k = 0; k < anthems.size(); ++k)
        entry(first.addDays((k % 10) * 7 + 1), 1 + k % 5, 0, anthems.at(k));
    tx.commit();
    return id;
}

struct EditorFigures {
    double open = 0, next = 0, previous = 0, save = 0, rename = 0, add = 0, remove = 0;
};

// The collection editor driven through its toolbar: opened, moved, saved
// (changed, renamed, new) and a 20-anthem collection deleted.
EditorFigures editorFigures(bool withAnthemEditor, SilentPrompter &prompter, int &cantata)
{
    closeWindow(CollectionFormCode);
    closeWindow(AnthemFormCode);
    if (withAnthemEditor)
        OpenFormByCode(AnthemFormCode);
    EditorFigures e;
    e.open = median(7, [] { closeWindow(CollectionFormCode); }, [] { OpenFormByCode(CollectionFormCode); });
    auto *f = Forms::find<CollectionForm>(CollectionFormCode);
    if (!f || f->Col_Data.CurCollection() < 1)
        throw DbError(QStringLiteral("the collection editor shows no collection"));
    e.next = median(41, nullptr, [f] { pressToolbar(f, RecordButton::Next); });
    e.previous = median(21, nullptr, [f] { pressToolbar(f, RecordButton::Previous); });

    auto *name = f->findChild<QLineEdit *>(QStringLiteral("CollectionName"));
    auto *location = f->findChild<QLineEdit *>(QStringLiteral("Location"));
    int n = 0;
    auto save = [f] { pressToolbar(f, RecordButton::Save); };
    e.save = median(21, [&] { location->setText(QStringLiteral("Cabinet %1").arg(++n)); }, save);
    e.rename = median(21, [&] { name->setText(QStringLiteral("Renamed Collection %1").arg(++n)); }, save);
    e.add = median(11, [&] {
        pressToolbar(f, RecordButton::Add);
        name->setText(QStringLiteral("Brand New Collection %1").arg(++n));
    }, save);
    e.remove = median(9, [&] {
        const qint32 doomed = cantataToDelete(cantata++);
        f->LoadFromQDForm(doomed);
        if (f->Col_Data.CurCollection() != doomed)
            throw DbError(QStringLiteral("the collection to delete is not shown"));
        prompter.yes = true;
    }, [f] { pressToolbar(f, RecordButton::Delete); });
    prompter.yes = false;
    closeWindow(CollectionFormCode);
    closeWindow(AnthemFormCode);
    return e;
}

} // namespace

int main(int argc, char **argv)
{
    // The offscreen platform's notes on every window shown would drown the figures.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (!text.startsWith(QLatin1String("This plugin does not support")))
            std::fprintf(stderr, "%s%s\n", type == QtDebugMsg ? "" : "warning: ", qPrintable(text));
    });
    prepareProcess();
    QApplication app(argc, argv);
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/velmora-collections-bench.mdb");

    std::printf("Collection record, editor, deletion and collections report benchmark\n");
    QTemporaryDir workDir;
    if (!openWorkCopy("bench_collections", path, workDir))
        return 1;
    SilentPrompter prompter;
    setPrompter(&prompter);
    registerAnthemEditor();
    registerCollectionReport();
    std::printf("  library: %s: %d collections (%d links, %d performed dates), %d anthems\n", qPrintable(path),
                Db::scalar(QStringLiteral("select count(*) from collection")).toInt(),
                Db::scalar(QStringLiteral("select (select count(*) from col_v_l) + (select count(*) from col_com_l) + "
                                          "(select count(*) from col_th_l) + (select count(*) from col_orch_l) + "
                                          "(select count(*) from col_chr_l)"))
                    .toInt(),
                Db::scalar(QStringLiteral("select count(*) from col_lperform")).toInt(),
                Db::scalar(QStringLiteral("select count(*) from anthem")).toInt());
    if (Db::scalar(QStringLiteral("select count(*) from col_th_l")).toInt() == 0)
        std::printf("  (this library was generated before collections had links: delete the file to regenerate)\n");
    std::printf("\n");

    int exitCode = 0;
    try {
        // Collections that have anthems, spread over the library.
        const QList<qint32> withAnthems = ids(QStringLiteral(
            "select collectionid from collection c where exists (select 1 from anthem a where a.collectionid = "
            "c.collectionid) order by collectionid"));
        if (withAnthems.size() < 40)
            throw DbError(QStringLiteral("the library has too few collections with anthems"));
        int k = 0;
        auto nextId = [&] { return withAnthems.at((k++ * 37) % withAnthems.size()); };

        std::printf("  The collection record (data layer):\n");
        report("    name list of every collection", median(7, nullptr, [] { CollectionData::list(); }), "ms", 0);
        report("    load (row, latest performed date, its anthems)",
               median(41, nullptr, [&] { CollectionData::load(nextId()); }), "ms", 50);

        CollectionRecord r;
        QList<LinkChoice> links;
        auto loadNext = [&] {
            const qint32 id = nextId();
            r = *CollectionData::load(id);
            links = linksOf(id);
        };
        int n = 0;
        report("    save, changed (location)", median(21, [&] {
                   loadNext();
                   r.location = QStringLiteral("Cabinet %1").arg(++n);
               }, [&] { CollectionData::save(r, links, false, r.loanedTo); }),
               "ms", 50);
        report("    save, renamed", median(21, [&] {
                   loadNext();
                   r.collection = QStringLiteral("Renamed Collection %1").arg(++n);
               }, [&] { CollectionData::save(r, links, false, r.loanedTo); }),
               "ms", 50);
        report("    save, loaned out (carried to its anthems)", median(21, [&] { loadNext(); }, [&] {
                   CollectionData::save(r, links, false, QStringLiteral("someone before"));
               }),
               "ms", 50);
        report("    save, new (with links and a performed date)", median(21, [&] {
                   loadNext();
                   r.collection = QStringLiteral("Brand New Collection %1").arg(++n);
                   r.lastPerformed = QDate(2020, 4, 12);
               }, [&] { CollectionData::save(r, links, true, QString()); }),
               "ms", 50);

        int cantata = 0;
        qint32 doomed = 0;
        report("    delete a collection of 20 anthems with all their rows",
               median(15, [&] { doomed = cantataToDelete(cantata++); }, [&] { DeleteCollectionCascade(doomed); }),
               "ms", 100);

        std::printf("  The collection editor (its window, driven through its toolbar):\n");
        const EditorFigures alone = editorFigures(false, prompter, cantata);
        const EditorFigures besideAnthems = editorFigures(true, prompter, cantata);
        reportBoth("    open (collections read, the first one shown)", alone.open, besideAnthems.open, 50);
        reportBoth("    next collection", alone.next, besideAnthems.next, 50);
        reportBoth("    previous collection", alone.previous, besideAnthems.previous, 50);
        reportBoth("    save, changed", alone.save, besideAnthems.save, 50);
        reportBoth("    save, renamed (moves in the list)", alone.rename, besideAnthems.rename, 50);
        reportBoth("    save, new", alone.add, besideAnthems.add, 50);
        reportBoth("    delete a collection of 20 anthems with all their rows", alone.remove, besideAnthems.remove,
                   100);

        // The report of every collection, in the viewer's order.
        QList<qint32> every;
        for (const CollectionEntry &e : CollectionData::list())
            every << e.id;
        std::printf("  Collections report of all %lld collections, default options (anthems as titles):\n",
                    qlonglong(every.size()));
        QTemporaryDir dir;
        {
            ReportPrinter printer;
            timeReport("bench_collections", printer,
                       [&] { PrintCollectionReport(printer, every, CollectionReportOptions()); }, 10);
        }

        // About 1,000 collections, as a themes limit leaves them.
        QList<qint32> some;
        int themes = 0;
        while (some.size() < 1000 && themes < 300)
            some = ids(QStringLiteral("select c.collectionid from collection c where c.collectionid in "
                                      "(select collectionid from col_th_l where themeid <= ?) "
                                      "order by c.collectionkey, c.collectionid"),
                       {++themes});
        const int anthemsIn = Db::scalar(QStringLiteral("select count(*) from anthem where collectionid in "
                                                        "(select collectionid from col_th_l where themeid <= ?)"),
                                         {themes})
                                  .toInt();
        std::printf("  Collections report of %lld collections (%d themes ticked, %d anthems), full anthem details:\n",
                    qlonglong(some.size()), themes, anthemsIn);
        CollectionReportOptions details;
        details.set(CollectionReportOptions::IncludeAnthemTitles, false);
        details.set(CollectionReportOptions::IncludeAnthemDetails, true);
        ReportPrinter printer;
        if (!timeReport("bench_collections", printer, [&] { PrintCollectionReport(printer, some, details); }, 3,
                        dir.filePath(QStringLiteral("collections.pdf")), 5))
            exitCode = 1;
    } catch (const DbError &e) {
        std::fprintf(stderr, "bench_collections: %s\n", qPrintable(e.message()));
        exitCode = 1;
    }
    report("peak memory (VmHWM)", peakMemoryKb() / 1024.0, "MB", 500);
    setPrompter(nullptr);
    Db::close();
    printVerdict();
    return exitCode;
}
