// bench_anthem_viewer [library] [--size N]: the anthem viewer and the
// anthem report on a large library (100,000 anthems, 10,000 collections,
// 2,000 composers, 300 themes, 20 choirs; --size N another number of
// anthems). The library is generated on first use into the file given
// (default /tmp/velmora-viewer-bench.mdb, or /tmp/velmora-anthems-<N>.mdb)
// and reused afterwards; the runs work on a copy, so the filter's marks
// never change it. Prints the figures beside their targets.
#include "AnthemGridModel.h"
#include "AnthemQDForm.h"
#include "AnthemReportModule.h"
#include "AnthemSelection.h"
#include "BenchSupport.h"
#include "Db.h"
#include "DbStatement.h"
#include "FieldServices.h"
#include "Module.h"
#include "ReportPrinter.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

using namespace bench;

namespace {

// The marking's one statement run straight on SQLite in its own
// transaction: the floor the marking cannot go below.
void markBare(const AnthemLimits &limits)
{
    const DisplayMarker marker = AnthemSelection::marker(limits);
    Db::Statement(QStringLiteral("begin immediate")).next();
    Db::Statement(marker.statement(), marker.parameters()).next();
    Db::Statement(QStringLiteral("commit")).next();
}

} // namespace

int main(int argc, char **argv)
{
    prepareProcess();
    QApplication app(argc, argv);
    const Options options = parseOptions(argc, argv, QStringLiteral("/tmp/velmora-viewer-bench.mdb"));

    std::printf("Anthem viewer and anthem report benchmark\n");
    QTemporaryDir workDir;
    if (!openWorkCopy("bench_anthem_viewer", options, workDir))
        return 1;
    const int anthems = Db::scalar("select count(*) from anthem").toInt();
    std::printf("  library: %s: %d anthems, %d collections, %d composers, %d themes, %d choirs, %d links\n",
                qPrintable(options.library), anthems, Db::scalar("select count(*) from collection").toInt(),
                Db::scalar("select count(*) from composer").toInt(),
                Db::scalar("select count(*) from themes").toInt(), Db::scalar("select count(*) from choir").toInt(),
                Db::scalar("select (select count(*) from a_v_l) + (select count(*) from a_com_l) + "
                           "(select count(*) from a_th_l) + (select count(*) from a_orch_l) + "
                           "(select count(*) from a_chr_l)")
                    .toInt());
    std::printf("\n");
    const Scale scale = scaleOf(anthems);
    const bool hundred = scale == Scale::Hundred;
    const bool million = scale == Scale::Million;

    int exitCode = 0;
    try {
        // Viewer load: every anthem listed, the five grids filled and
        // ticked; the median of several openings. The first opening of
        // the process also loads fonts and styles, as the program's first
        // window does.
        QElapsedTimer first;
        first.start();
        delete new AnthemQDForm;
        const double firstLoad = ms(first);
        const double load = median(million ? 3 : 5, [] { delete new AnthemQDForm; });
        report("viewer load (all anthems listed, grids filled)", load, "ms", hundred ? 120 : million ? 1500 : 0);
        report("  the first opening of the process", firstLoad, "ms", 0);
        auto *viewer = new AnthemQDForm;
        report("  of which the list of every anthem", median(3, [] { AnthemSelection::list(false); }), "ms", 0);
        report("  of which the My Data value lists", median(3, [&] { LoadLimitByOptions(viewer, 2); }), "ms", 0);
        QElapsedTimer t;
        t.start();
        viewer->resize(1000, 700);
        viewer->show();
        QApplication::processEvents();
        report("viewer shown and painted", ms(t), "ms", 0);
        report("grid fill, every anthem (Display All)", median(5, [&] { viewer->BuildAnthemGrid(false); }), "ms",
               hundred ? 200 : 0);
        std::printf("    rows listed: %d\n", viewer->gridModel()->rowCount());

        auto *process = viewer->findChild<QPushButton *>(QStringLiteral("btnProcess1"));
        auto *allCheck = viewer->findChild<QCheckBox *>(QStringLiteral("AllCheck"));

        struct Case {
            const char *name;
            int limit;
            int ticked;
            AnthemLimits limits;
            std::vector<double> filter, bare, fill, whole, worst;
            int listed = 0;
        };
        Case cases[] = {{"themes limit, 3 ticked", 2, 3, {}, {}, {}, {}, {}, {}, 0},
                        {"composers limit, 50 ticked", 1, 50, {}, {}, {}, {}, {}, {}, 0}};
        for (Case &c : cases) {
            limitTo(viewer, c.limit, c.ticked);
            c.limits = viewer->currentLimits();
        }
        // Each run starts from the marks the other filter left, as when a
        // user narrows the list one way and then another; the bare
        // statements start from the same marks.
        for (int run = 0; run < 5; ++run) {
            for (int i = 0; i < 2; ++i) {
                Case &c = cases[i];
                const Case &other = cases[1 - i];
                AnthemSelection::mark(other.limits);
                QElapsedTimer s;
                s.start();
                markBare(c.limits);
                c.bare.push_back(ms(s));
                AnthemSelection::mark(other.limits);
                s.restart();
                AnthemSelection::mark(c.limits);
                c.filter.push_back(ms(s));
                s.restart();
                viewer->BuildAnthemGrid(true);
                c.fill.push_back(ms(s));
                c.listed = viewer->gridModel()->rowCount();
            }
        }
        for (int run = 0; run < 5; ++run) {
            for (Case &c : cases) {
                limitTo(viewer, c.limit, c.ticked);
                QElapsedTimer s;
                s.start();
                process->click(); // the button: filter, list, page
                c.whole.push_back(ms(s));
            }
        }
        // The most writing a filter can do: every anthem was marked before
        // and nearly all are cleared.
        const AnthemLimits everyone;
        for (int run = 0; run < 3; ++run) {
            for (Case &c : cases) {
                AnthemSelection::mark(everyone);
                QElapsedTimer s;
                s.start();
                AnthemSelection::mark(c.limits);
                c.worst.push_back(ms(s));
            }
        }
        for (const Case &c : cases) {
            std::printf("  Process with a %s, %d anthems listed (medians):\n", c.name, c.listed);
            report("    filter statements (displayit marks)", medianOf(c.filter), "ms", hundred ? 200 : 0);
            compare("    the marking beside its bare statement", medianOf(c.filter), medianOf(c.bare),
                    million ? 1.2 : 0);
            report("    result grid fill", medianOf(c.fill), "ms", hundred || million ? 200 : 0);
            report("    Process button, end to end", medianOf(c.whole), "ms", 0);
            report("    filter statements, every anthem marked before", medianOf(c.worst), "ms", 0);
        }
        allCheck->click();

        // The report of 10,000 anthems, in list order.
        viewer->BuildAnthemGrid(false);
        QList<qint32> ids = hx().ReportAnthemSet.ids.mid(0, 10000);
        hx().ReportAnthemSet.ids = ids;
        std::printf("  Anthem report of %lld anthems, every option ticked:\n", qlonglong(ids.size()));
        ReportPrinter printer;
        QTemporaryDir dir;
        if (!timeReport("bench_anthem_viewer", printer, [&] { PrintAnthemReport(printer); }, 3,
                        dir.filePath(QStringLiteral("anthems.pdf")), 5))
            exitCode = 1;

        viewer->close();
        delete viewer;
    } catch (const DbError &e) {
        std::fprintf(stderr, "bench_anthem_viewer: %s\n", qPrintable(e.message()));
        exitCode = 1;
    }
    report("peak memory (VmHWM)", peakMemoryKb() / 1024.0, "MB", hundred ? 500 : 0);
    hx().ReportAnthemSet.release();
    Db::close();
    printVerdict();
    return exitCode;
}
