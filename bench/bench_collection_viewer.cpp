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
#include "BenchSupport.h"
#include "Module.h"
#include "Prompter.h"
#include "ReportPrinter.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>
#include <vector>

using namespace bench;

namespace {

// The report of the viewer's collections to pages, then as PDF.
void reportToPagesAndPdf(const QString &pdf, const CollectionReportOptions &options, double pagesTarget,
                         double pdfTarget, int *exitCode)
{
    ReportPrinter printer;
    if (!timeReport("bench_collection_viewer", printer,
                    [&] { PrintCollectionReport(printer, hx().ReportCollectionSet.ids, options); }, pagesTarget,
                    pdf, pdfTarget))
        *exitCode = 1;
}

} // namespace

int main(int argc, char **argv)
{
    prepareProcess();
    QApplication app(argc, argv);
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/velmora-collection-viewer-bench.mdb");

    std::printf("Collection viewer and collections report benchmark\n");
    QTemporaryDir workDir;
    if (!openWorkCopy("bench_collection_viewer", path, workDir))
        return 1;
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
        CollectionQDForm *viewer = nullptr;
        const auto closeViewer = [&] {
            if (viewer) {
                viewer->close();
                delete viewer;
            }
        };
        report("viewer load (outline of every collection, grids filled)",
               median(5, closeViewer, [&] { viewer = new CollectionQDForm; }), "ms", 300);
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
        for (const Case &c : cases) {
            std::printf("  Process with a %s, %d collections listed (medians):\n", c.name, c.listed);
            report("    Process button, end to end", medianOf(c.whole), "ms", 300);
            report("    of which the filter statements (displayit marks)", medianOf(c.filter), "ms", 0);
            report("    of which the outline", medianOf(c.outline), "ms", 0);
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
    printVerdict();
    return exitCode;
}
