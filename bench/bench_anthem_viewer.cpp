// bench_anthem_viewer [library] [--size N]: the anthem viewer and the
// anthem report on a large library (100,000 anthems, 10,000 collections,
// 2,000 composers, 300 themes, 20 choirs; --size N another number of
// anthems). The library is generated on first use into the file given
// (default /tmp/velmora-viewer-bench.mdb, or /tmp/velmora-anthems-<N>.mdb)
// and reused afterwards; the runs work on a copy, so the filter's marks
// never change it. Prints the figures beside their targets.
#include "MemoryTuning.h"
#include "AnthemGridModel.h"
#include "AnthemQDForm.h"
#include "AnthemReportModule.h"
#include "AnthemSelection.h"
#include "BenchSupport.h"
#include "CheckListGrid.h"
#include "Db.h"
#include "DbStatement.h"
#include "FieldServices.h"
#include "Module.h"
#include "ReportPdf.h"
#include "ReportPrinter.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <cstdio>

namespace {

// Leaves exactly the first n rows of a limit grid checked, with the
// limit ticked, as the user would on the "Display Parameters" page.
void limitTo(AnthemQDForm *f, int limit, int n)
{
    for (int i = 0; i <= 10; ++i) {
        auto *box = f->findChild<QCheckBox *>(QStringLiteral("optLimit%1").arg(i));
        if (box->isChecked() != (i == limit))
            box->click();
    }
    f->findChild<QPushButton *>(QStringLiteral("btnClearAll%1").arg(limit))->click();
    static const char *grids[] = {"VocalsGrid", "ComposersGrid", "ThemesGrid", "OrchGrid", "ChoirGrid"};
    auto *grid = f->findChild<CheckListGrid *>(QLatin1String(grids[limit]));
    // Every k-th entry rather than the first n: a spread of names.
    const int rows = grid->Rows() - 1;
    const int step = std::max(1, rows / n);
    for (int k = 0, r = 1; k < n && r <= rows; ++k, r += step)
        grid->setCheckState(r, 1, CheckListGrid::Checked);
}

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
    keepFreedMemoryForReuse(); // as the program itself does
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const bench::Options options = bench::parse(argc, argv, QStringLiteral("/tmp/velmora-viewer-bench.mdb"));

    std::printf("Anthem viewer and anthem report benchmark\n");
    if (!bench::ensureLibrary(options))
        return 1;
    QTemporaryDir workDir;
    if (!bench::openCopy(options, workDir))
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
    const bench::Scale scale = bench::scaleOf(anthems);
    const bool hundred = scale == bench::Scale::Hundred;
    const bool million = scale == bench::Scale::Million;
    bench::Figures figures;

    int exitCode = 0;
    try {
        // Viewer load: every anthem listed, the five grids filled and
        // ticked; the median of several openings. The first opening of
        // the process also loads fonts and styles, as the program's first
        // window does.
        QElapsedTimer first;
        first.start();
        delete new AnthemQDForm;
        const double firstLoad = bench::msSince(first);
        const int opens = million ? 3 : 5;
        const double load = bench::median(opens, [] { delete new AnthemQDForm; });
        figures.report("viewer load (all anthems listed, grids filled)", load, "ms",
                       hundred ? 120 : million ? 1500 : 0);
        figures.report("  the first opening of the process", firstLoad, "ms", 0);
        auto *viewer = new AnthemQDForm;
        figures.report("  of which the list of every anthem", bench::median(3, [] { AnthemSelection::list(false); }),
                       "ms", 0);
        figures.report("  of which the My Data value lists", bench::median(3, [&] { LoadLimitByOptions(viewer, 2); }),
                       "ms", 0);
        QElapsedTimer t;
        t.start();
        viewer->resize(1000, 700);
        viewer->show();
        QApplication::processEvents();
        figures.report("viewer shown and painted", bench::msSince(t), "ms", 0);
        figures.report("grid fill, every anthem (Display All)", bench::median(5, [&] { viewer->BuildAnthemGrid(false); }),
                       "ms", hundred ? 200 : 0);
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
        const int runs = 5;
        for (int run = 0; run < runs; ++run) {
            for (int i = 0; i < 2; ++i) {
                Case &c = cases[i];
                const Case &other = cases[1 - i];
                AnthemSelection::mark(other.limits);
                QElapsedTimer s;
                s.start();
                markBare(c.limits);
                c.bare.push_back(bench::msSince(s));
                AnthemSelection::mark(other.limits);
                s.restart();
                AnthemSelection::mark(c.limits);
                c.filter.push_back(bench::msSince(s));
                s.restart();
                viewer->BuildAnthemGrid(true);
                c.fill.push_back(bench::msSince(s));
                c.listed = viewer->gridModel()->rowCount();
            }
        }
        for (int run = 0; run < runs; ++run) {
            for (Case &c : cases) {
                limitTo(viewer, c.limit, c.ticked);
                QElapsedTimer s;
                s.start();
                process->click(); // the button: filter, list, page
                c.whole.push_back(bench::msSince(s));
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
                c.worst.push_back(bench::msSince(s));
            }
        }
        for (Case &c : cases) {
            for (auto *v : {&c.filter, &c.bare, &c.fill, &c.whole, &c.worst})
                std::sort(v->begin(), v->end());
            std::printf("  Process with a %s, %d anthems listed (medians):\n", c.name, c.listed);
            figures.report("    filter statements (displayit marks)", c.filter[runs / 2], "ms", hundred ? 200 : 0);
            figures.compare("    the marking beside its bare statement", c.filter[runs / 2], c.bare[runs / 2],
                            million ? 1.2 : 0);
            figures.report("    result grid fill", c.fill[runs / 2], "ms", hundred || million ? 200 : 0);
            figures.report("    Process button, end to end", c.whole[runs / 2], "ms", 0);
            figures.report("    filter statements, every anthem marked before", c.worst[1], "ms", 0);
        }
        allCheck->click();

        // The report of 10,000 anthems, in list order.
        viewer->BuildAnthemGrid(false);
        QList<qint32> ids = hx().ReportAnthemSet.ids.mid(0, 10000);
        hx().ReportAnthemSet.ids = ids;
        std::printf("  Anthem report of %lld anthems, every option ticked:\n", qlonglong(ids.size()));
        ReportPrinter printer;
        t.restart();
        PrintAnthemReport(printer);
        figures.report("    built to pages", bench::msSince(t) / 1000.0, "s", 3);
        std::printf("    pages: %d\n", printer.pageCount());
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("anthems.pdf"));
        t.restart();
        QString why;
        if (!ReportPdf::write(printer.document(), pdf, &why)) {
            std::fprintf(stderr, "bench_anthem_viewer: PDF: %s\n", qPrintable(why));
            exitCode = 1;
        }
        figures.report("    written as PDF", bench::msSince(t) / 1000.0, "s", 5);
        std::printf("    PDF size: %.1f MB\n", QFileInfo(pdf).size() / 1048576.0);

        viewer->close();
        delete viewer;
    } catch (const DbError &e) {
        std::fprintf(stderr, "bench_anthem_viewer: %s\n", qPrintable(e.message()));
        exitCode = 1;
    }
    figures.report("peak memory (VmHWM)", bench::peakMemoryMb(), "MB", hundred ? 500 : 0);
    hx().ReportAnthemSet.release();
    Db::close();
    figures.summary();
    return exitCode;
}
