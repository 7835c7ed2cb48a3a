// bench_members [database file]: the member record, the member viewer and
// the member report on a large library (20,000 members, 150 cities, 400 zip codes, 120
// schools, 20 choirs, beside 100,000 anthems). The library is generated on
// first use into the file given (default /tmp/velmora-members-bench.mdb)
// and reused afterwards; the runs work on a copy, so the saves never change
// it. Prints the figures beside their targets.
#include "Db.h"
#include "Module.h"
#include "BenchSupport.h"
#include "CheckListGrid.h"
#include "MemberGridModel.h"
#include "MemberQDForm.h"
#include "MemberRecord.h"
#include "MemberReportModule.h"
#include "ReportPrinter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <random>
#include <vector>

using namespace bench;

namespace {

QList<qint32> idList(const QString &sql, const Params &params = {})
{
    QList<qint32> out;
    QSqlQuery q = Db::query(sql, params);
    while (q.next())
        out << q.value(0).toInt();
    return out;
}

// The links the editor's grids would show for a member.
MemberLinks storedLinks(qint32 id)
{
    MemberLinks links;
    links.sections = idList(QStringLiteral("select vocalsmid from m_vm_l where memberid = ?"), {id});
    QSqlQuery q = Db::query(QStringLiteral("select choirid, isactive from chr_m_l where memberid = ?"), {id});
    while (q.next())
        links.choirs << MemberChoir{q.value(0).toInt(), q.value(1).toInt() != 0};
    links.instruments = idList(QStringLiteral("select orchid from m_orch_l where memberid = ?"), {id});
    return links;
}

// A report to pages and then to PDF, with its figures.
void reportFigures(const char *name, const QList<qint32> &ids, const MemberReportOptions &options, int *exitCode)
{
    std::printf("  %s of %lld members:\n", name, qlonglong(ids.size()));
    ReportPrinter printer;
    QTemporaryDir dir;
    if (!timeReport("bench_members", printer, [&] { PrintMemberReport(printer, ids, options); }, 2,
                    dir.filePath(QStringLiteral("members.pdf")), 4))
        *exitCode = 1;
}

// The viewer's limits as the user leaves them: only limit `limit` ticked.
void onlyLimit(MemberQDForm *f, int limit)
{
    for (int i : {0, 3, 4, 5, 6, 7, 8, 9, 10, 11}) {
        auto *box = f->findChild<QCheckBox *>(QStringLiteral("optLimit%1").arg(i));
        if (box->isChecked() != (i == limit))
            box->click();
    }
}

// Times the viewer's Process with the limits it shows: the filter's
// statements, the list's fill, and the button end to end (medians).
void processFigures(MemberQDForm *viewer, const char *name)
{
    const MemberLimits limits = viewer->currentLimits();
    std::vector<double> filter, fill, whole;
    for (int run = 0; run < 5; ++run) {
        // Each run starts from every member marked, the most a filter writes.
        MemberSelection::mark(MemberLimits{});
        QElapsedTimer t;
        t.start();
        MemberSelection::mark(limits);
        filter.push_back(ms(t));
        t.restart();
        viewer->BuildMemberGrid(true);
        fill.push_back(ms(t));
    }
    auto *process = viewer->findChild<QPushButton *>(QStringLiteral("btnProcess1"));
    for (int run = 0; run < 5; ++run) {
        MemberSelection::mark(MemberLimits{});
        QElapsedTimer t;
        t.start();
        process->click();
        whole.push_back(ms(t));
    }
    std::printf("  Process with %s, %d members listed (medians):\n", name, viewer->gridModel()->rowCount());
    report("    filter statements (displayit marks)", medianOf(filter), "ms", 0);
    report("    result list fill", medianOf(fill), "ms", 0);
    report("    Process button, end to end", medianOf(whole), "ms", 200);
}

} // namespace

int main(int argc, char **argv)
{
    prepareProcess();
    QApplication app(argc, argv);
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/velmora-members-bench.mdb");

    std::printf("Member record, member viewer and member report benchmark\n");
    QTemporaryDir workDir;
    if (!openWorkCopy("bench_members", path, workDir))
        return 1;
    std::printf("  library: %s: %d members, %d cities, %d zip codes, %d schools, %d choirs, %d choir links "
                "(%d inactive), %d section links, %d instrument links\n",
                qPrintable(path), Db::scalar("select count(*) from member").toInt(),
                Db::scalar("select count(*) from city").toInt(), Db::scalar("select count(*) from zip").toInt(),
                Db::scalar("select count(*) from school").toInt(), Db::scalar("select count(*) from choir").toInt(),
                Db::scalar("select count(*) from chr_m_l").toInt(),
                Db::scalar("select count(*) from chr_m_l where isactive = 0").toInt(),
                Db::scalar("select count(*) from m_vm_l").toInt(), Db::scalar("select count(*) from m_orch_l").toInt());
    std::printf("\n");

    int exitCode = 0;
    try {
        // Members in the viewer's order, as its list leaves them.
        const QList<qint32> ordered =
            idList(QStringLiteral("select memberid from member order by lnamekey, fnamekey, mnamekey, memberid"));
        if (ordered.size() < 5000)
            throw DbError(QStringLiteral("the library has fewer than 5,000 members"));
        std::mt19937 rng(20);
        std::vector<qint32> sample;
        for (int i = 0; i < 40; ++i)
            sample.push_back(ordered.at(std::uniform_int_distribution<int>(0, int(ordered.size()) - 1)(rng)));

        report("member record load (fields, city, zip, school)",
               medianOfRuns(40, nullptr, [&](int i) { (void)MemberData::load(sample.at(i)); }), "ms", 50);

        // A changed member: its fields, links and address written back.
        MemberRecord changed;
        MemberLinks changedLinks;
        report("member save, changed",
               medianOfRuns(
                   20,
                   [&](int i) {
                       changed = *MemberData::load(sample.at(i));
                       changed.firstName += QStringLiteral("x");
                       changed.street2 = QStringLiteral("Apt %1").arg(i);
                       changedLinks = storedLinks(changed.id);
                   },
                   [&](int) { MemberData::save(changed, changedLinks.choices(), false); }),
               "ms", 50);

        // A new member in a city nobody has yet.
        MemberRecord fresh = *MemberData::load(sample.front());
        const MemberLinks freshLinks = storedLinks(fresh.id);
        report("member save, new with a new city",
               medianOfRuns(
                   20, [&](int i) { fresh.city = QStringLiteral("New Harmony %1").arg(i); },
                   [&](int) { MemberData::save(fresh, freshLinks.choices(), true); }),
               "ms", 50);

        // What the editor refills after a save (measured for the editor's own benchmark).
        report("  the editor's four value lists", median(5, [] { (void)MemberData::comboValues(); }), "ms", 0);
        report("  every member with its name-list key", median(5, [] { (void)MemberData::memberList(); }), "ms", 0);

        // The member viewer: opened with every member listed, then Process
        // with a choir limit of active and inactive memberships and with a
        // birthday month.
        MemberQDForm *viewer = nullptr;
        report("viewer load (every member listed, lists filled)", median(5, [&] {
                   delete viewer;
                   viewer = nullptr;
               }, [&] { viewer = new MemberQDForm; }), "ms", 200);
        std::printf("    members listed: %d\n", viewer->gridModel()->rowCount());
        viewer->resize(900, 620);
        viewer->show();
        QApplication::processEvents();

        onlyLimit(viewer, 4);
        viewer->findChild<QPushButton *>(QStringLiteral("btnClearAll4"))->click();
        auto *choirs = viewer->findChild<CheckListGrid *>(QStringLiteral("ChoirGrid"));
        // Three choirs with an active membership, three with an inactive one.
        for (int r = 1; r <= 6 && r < choirs->Rows(); ++r) {
            choirs->setCheckState(r, 1, CheckListGrid::Checked);
            choirs->setCheckState(r, 3, r <= 3 ? CheckListGrid::Checked : CheckListGrid::Unchecked);
        }
        processFigures(viewer, "a choir limit (3 active, 3 inactive)");

        onlyLimit(viewer, 10);
        viewer->findChild<QComboBox *>(QStringLiteral("Date11"))->setEditText(QStringLiteral("5"));
        processFigures(viewer, "a birthday month (May)");
        viewer->close();
        delete viewer;

        const QList<qint32> five = ordered.mid(0, 5000);
        MemberReportOptions pages;
        pages.myDataFields = true;
        reportFigures("Member report, my data fields included", five, pages, &exitCode);
        MemberReportOptions labels;
        labels.mailingLabels = true;
        reportFigures("Mailing labels", five, labels, &exitCode);
    } catch (const DbError &e) {
        std::fprintf(stderr, "bench_members: %s\n", qPrintable(e.message()));
        exitCode = 1;
    }
    report("peak memory (VmHWM)", peakMemoryKb() / 1024.0, "MB", 500);
    Db::close();
    printVerdict();
    return exitCode;
}
