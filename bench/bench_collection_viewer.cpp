// bench_collection_viewer [database file]: the collection viewer and the
// collections report it hands its collections to, on a large library
// (10,000 collections with their links, 100,000 anthems). The library is
// generated on first use into the file given (default
// /tmp/velmora-collection-viewer-bench.mdb) and reused afterwards; the
// runs work on a copy, so the filter's marks never change it. Prints the
// figures beside their targets.
#include "CheckListGrid.h"
#include "CollectionGridModel.h"
#include "CollectionQDForm.h"
#include "CollectionReportModule.h"
#include "CollectionSelection.h"
#include "Db.h"
#include "LibraryGenerator.h"
#include "MemoryTuning.h"
#include "Module.h"
#include "Prompter.h"
#include "ReportPdf.h"
#include "ReportPrinter.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double ms(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

// The median of several runs of a step, in milliseconds.
double median(int runs, const std::function<void()> &step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        step();
        times.push_back(ms(t));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

long peakMemoryKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

int g_over = 0;

void report(const char *what, double value, const char *unit, double target)
{
    const bool ok = target <= 0 || value < target;
    if (!ok)
        ++g_over;
    if (target > 0)
        std::printf("  %-56s %9.1f %-3s (target < %.0f %s)%s\n", what, value, unit, target, unit,
                    ok ? "" : "  OVER TARGET");
    else
        std::printf("  %-56s %9.1f %s\n", what, value, unit);
    std::fflush(stdout);
}

// Answers every box at once (the report's export message, were there one).
class SilentPrompter : public Prompter {
public:
    MsgResult message(const QString &, const QString &, MsgButtons buttons, MsgIcon) override
    {
        return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
    }
};

const char *const kGrids[] = {"VocalsGrid", "ComposersGrid", "ThemesGrid", "OrchGrid", "ChoirGrid"};

// Leaves exactly n rows of a limit grid checked, spread over its names,
// with the limit ticked, as the user would on the "Display Parameters" page.
void limitTo(CollectionQDForm *f, int limit, int n)
{
    for (int i = 0; i <= 10; ++i) {
        auto *box = f->findChild<QCheckBox *>(QStringLiteral("optLimit%1").arg(i));
        if (box->isChecked() != (i == limit))
            box->click();
    }
    f->findChild<QPushButton *>(QStringLiteral("btnClearAll%1").arg(limit))->click();
    auto *grid = f->findChild<CheckListGrid *>(QLatin1String(kGrids[limit]));
    const int rows = grid->Rows() - 1;
    const int step = std::max(1, rows / n);
    for (int k = 0, r = 1; k < n && r <= rows; ++k, r += step)
        grid->setCheckState(r, 1, CheckListGrid::Checked);
}

// The report of the viewer's collections to pages, then as PDF.
void reportToPagesAndPdf(const QString &pdf, const CollectionReportOptions &options, double pagesTarget,
                         double pdfTarget, int *exitCode)
{
    ReportPrinter printer;
    QElapsedTimer t;
    t.start();
    PrintCollectionReport(printer, hx().ReportCollectionSet.ids, options);
    report("    built to pages", ms(t) / 1000.0, "s", pagesTarget);
    std::printf("    pages: %d\n", printer.pageCount());
    t.restart();
    QString why;
    if (!ReportPdf::write(printer.document(), pdf, &why)) {
        std::fprintf(stderr, "bench_collection_viewer: PDF: %s\n", qPrintable(why));
        *exitCode = 1;
    }
    report("    written as PDF", ms(t) / 1000.0, "s", pdfTarget);
    std::printf("    PDF size: %.1f MB\n", QFileInfo(pdf).size() / 1048576.0);
}

} // namespace

int main(int argc, char **argv)
{
    keepFreedMemoryForReuse(); // as the program itself does
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/velmora-collection-viewer-bench.mdb");

    std::printf("Collection viewer and collections report benchmark\n");
    if (!QFileInfo::exists(path)) {
        std::printf("  generating the library into %s ...\n", qPrintable(path));
        std::fflush(stdout);
        QElapsedTimer t;
        t.start();
        QString error;
        if (!generateLibrary(path, LibrarySize{}, &error)) {
            std::fprintf(stderr, "bench_collection_viewer: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("  generated in %.1f s\n", t.elapsed() / 1000.0);
    }
    QTemporaryDir workDir;
    const QString work = workDir.filePath(QStringLiteral("hxdata97.mdb"));
    if (!workDir.isValid() || !QFile::copy(path, work)) {
        std::fprintf(stderr, "bench_collection_viewer: cannot copy %s\n", qPrintable(path));
        return 1;
    }
    QString error;
    if (!Db::open(work, &error)) {
        std::fprintf(stderr, "bench_collection_viewer: %s\n", qPrintable(error));
        return 1;
    }
    SilentPrompter prompter;
    setPrompter(&prompter);
    std::printf("  library: %s: %d collections (%d links), %d anthems (%d in a collection)\n", qPrintable(path),
                Db::scalar(QStringLiteral("select count(*) from collection")).toInt(),
                Db::scalar(QStringLiteral("select (select count(*) from col_v_l) + (select count(*) from col_com_l) + "
                                          "(select count(*) from col_th_l) + (select count(*) from col_orch_l) + "
                                          "(select count(*) from col_chr_l)"))
                    .toInt(),
                Db::scalar(QStringLiteral("select count(*) from anthem")).toInt(),
                Db::scalar(QStringLiteral("select count(*) from anthem a where exists (select 1 from collection c "
                                          "where c.collectionid = a.collectionid)"))
                    .toInt());
    if (Db::scalar(QStringLiteral("select count(*) from col_th_l")).toInt() == 0)
        std::printf("  (this library was generated before collections had links: delete the file to regenerate)\n");
    std::printf("\n");

    int exitCode = 0;
    try {
        // Viewer load: the outline of every collection with its anthems,
        // the five grids filled and ticked, the My Data lists.
        std::vector<double> loads;
        CollectionQDForm *viewer = nullptr;
        for (int run = 0; run < 5; ++run) {
            if (viewer) {
                viewer->close();
                delete viewer;
            }
            QElapsedTimer t;
            t.start();
            viewer = new CollectionQDForm;
            loads.push_back(ms(t));
        }
        std::sort(loads.begin(), loads.end());
        report("viewer load (outline of every collection, grids filled)", loads[2], "ms", 300);
        report("  of which the outline read", median(5, [] { CollectionSelection::outline(false); }), "ms", 0);
        report("  of which the outline shown (read, model, columns)",
               median(5, [&] { viewer->BuildCollectionGrid(false); }), "ms", 0);
        std::printf("    collections: %d, anthems in the outline: %lld\n", viewer->gridModel()->rowCount(),
                    qlonglong(viewer->gridModel()->outline().anthems.size()));
        QElapsedTimer t;
        t.start();
        viewer->resize(1000, 700);
        viewer->show();
        QApplication::processEvents();
        report("viewer shown and painted", ms(t), "ms", 0);
        t.restart();
        viewer->grid()->expandAll();
        QApplication::processEvents();
        report("every collection opened (expand all) and painted", ms(t), "ms", 0);
        viewer->grid()->collapseAll();

        // The collections report right after opening: every collection.
        const QList<qint32> opened = hx().ReportCollectionSet.ids;
        QTemporaryDir dir;
        std::printf("  Collections report of all %lld collections right after opening, default options:\n",
                    qlonglong(opened.size()));
        reportToPagesAndPdf(dir.filePath(QStringLiteral("all.pdf")), CollectionReportOptions(), 10, 0, &exitCode);

        auto *process = viewer->findChild<QPushButton *>(QStringLiteral("btnProcess1"));
        struct Case {
            const char *name;
            int limit;
            int ticked;
            std::vector<double> filter, outline, whole;
            int listed = 0;
        };
        Case cases[] = {{"themes limit, 3 ticked", 2, 3, {}, {}, {}, 0},
                        {"composers limit, 50 ticked", 1, 50, {}, {}, {}, 0}};
        // Each run starts from the marks the other filter left, as when a
        // user narrows the outline one way and then another.
        for (int run = 0; run < 5; ++run) {
            for (Case &c : cases) {
                limitTo(viewer, c.limit, c.ticked);
                QElapsedTimer s;
                s.start();
                process->click(); // the button: filter, outline, page
                c.whole.push_back(ms(s));
                c.listed = viewer->gridModel()->rowCount();
            }
        }
        for (int run = 0; run < 5; ++run) {
            for (Case &c : cases) {
                limitTo(viewer, c.limit, c.ticked);
                const CollectionLimits limits = viewer->currentLimits();
                QElapsedTimer s;
                s.start();
                CollectionSelection::mark(limits);
                c.filter.push_back(ms(s));
                s.restart();
                viewer->BuildCollectionGrid(true);
                c.outline.push_back(ms(s));
            }
        }
        for (Case &c : cases) {
            for (auto *v : {&c.filter, &c.outline, &c.whole})
                std::sort(v->begin(), v->end());
            std::printf("  Process with a %s, %d collections listed (medians):\n", c.name, c.listed);
            report("    Process button, end to end", c.whole[2], "ms", 300);
            report("    of which the filter statements (displayit marks)", c.filter[2], "ms", 0);
            report("    of which the outline", c.outline[2], "ms", 0);
        }

        // About 1,000 collections, as a themes limit leaves them.
        int themes = 3;
        while (themes < 300) {
            limitTo(viewer, 2, themes);
            process->click();
            if (viewer->gridModel()->rowCount() >= 1000)
                break;
            ++themes;
        }
        const int anthemsIn = int(viewer->gridModel()->outline().anthems.size());
        std::printf("  Collections report of %d collections (%d themes ticked, %d anthems), full anthem details:\n",
                    viewer->gridModel()->rowCount(), themes, anthemsIn);
        CollectionReportOptions details;
        details.set(CollectionReportOptions::IncludeAnthemTitles, false);
        details.set(CollectionReportOptions::IncludeAnthemDetails, true);
        reportToPagesAndPdf(dir.filePath(QStringLiteral("details.pdf")), details, 3, 5, &exitCode);

        viewer->close();
        delete viewer;
    } catch (const DbError &e) {
        std::fprintf(stderr, "bench_collection_viewer: %s\n", qPrintable(e.message()));
        exitCode = 1;
    }
    report("peak memory (VmHWM)", peakMemoryKb() / 1024.0, "MB", 500);
    hx().ReportCollectionSet.release();
    setPrompter(nullptr);
    Db::close();
    std::printf("\n%s\n", g_over ? "Some figures are over their targets." : "Every figure is within its target.");
    return exitCode;
}
