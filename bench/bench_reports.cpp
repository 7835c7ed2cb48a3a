// Report engine speed: a 1,000-page report (text and a table on every
// page) built into the page model, written as PDF, and any page of it
// shown in the preview. Run by hand in a release build:
//   build/bench/bench_reports
#include "MemoryTuning.h"
#include "ReportPdf.h"
#include "ReportPreview.h"
#include "ReportPrinter.h"
#include "ReportRoutines.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int Pages = 1000;

void buildReport(ReportPrinter &p)
{
    SetupReportPrinter(p);
    p.startDoc();
    PrintReportHeading(QStringLiteral("Benchmark Anthems"));
    const QStringList formats{QStringLiteral("^1in"), QStringLiteral("2in"), QStringLiteral("2in"),
                              QStringLiteral("1.5in")};
    const QStringList header{QStringLiteral("DATE"), QStringLiteral("CALL"), QStringLiteral("ANTHEM"),
                             QStringLiteral("NOTES")};
    for (int page = 1; page <= Pages; ++page) {
        for (int rec = 0; rec < 5; ++rec) {
            PrintReportLogo();
            p.setFontBold(true);
            p.setFontSize(8);
            p.text(QStringLiteral("Anthem: "));
            p.setFontBold(false);
            p.setFontSize(9);
            p.text(QStringLiteral("Anthem %1-%2 for mixed voices\n").arg(page).arg(rec));
            p.setFontBold(true);
            p.setFontSize(8);
            p.text(QStringLiteral("Composers: "));
            p.setFontBold(false);
            p.setFontSize(9);
            p.text(QStringLiteral("Johann Sebastian Bach,  George Frideric Handel,  Felix Mendelssohn\n"));
            p.text(QStringLiteral("A setting with a flowing accompaniment that carries the melody through three "
                                  "verses and a refrain, suited to the season after Pentecost.\n"));
            p.setCurrentY(p.currentY() + 200);
        }
        p.setFontSize(8);
        QList<QStringList> rows;
        for (int r = 0; r < 8; ++r)
            rows << QStringList{QStringLiteral("%1/%2/2026 AM").arg(1 + page % 12).arg(1 + r),
                                QStringLiteral("SANCTUARY CHOIR:\n'Call %1'").arg(r),
                                QStringLiteral("'Anthem %1'  Bach").arg(r), QStringLiteral("Robes")};
        p.startTable();
        p.addTable(formats, header, rows, ReportPrinter::winColor(0xC0C0FF));
        p.tableCell(TableProp::Bold, 0, ReportPrinter::AllCols, true);
        p.tableCell(TableProp::Bold, ReportPrinter::AllRows, 1, true);
        p.endTable();
        p.setFontSize(9);
        if (page < Pages)
            p.newPage();
    }
    p.endDoc();
}

} // namespace

int main(int argc, char **argv)
{
    keepFreedMemoryForReuse(); // as the program itself does
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // Fonts load once per process; measure the work, not the start-up.
    {
        ReportPrinter warm;
        SetupReportPrinter(warm);
        warm.startDoc();
        warm.text(QStringLiteral("warm up\n"));
        warm.endDoc();
    }

    ReportPrinter printer;
    QElapsedTimer t;
    t.start();
    buildReport(printer);
    const double buildMs = t.nsecsElapsed() / 1e6;
    const ReportDocument doc = printer.document();

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("bench.pdf"));
    QString error;
    t.restart();
    const bool pdfOk = ReportPdf::write(doc, pdf, &error);
    const double pdfMs = t.nsecsElapsed() / 1e6;

    ReportPreview preview;
    preview.resize(900, 1000);
    preview.setDocument(doc);
    preview.show();
    double worstMs = 0;
    double totalMs = 0;
    const int shows = 50;
    for (int i = 0; i < shows; ++i) {
        const int page = 1 + int(QRandomGenerator::global()->bounded(doc.pageCount()));
        t.restart();
        preview.setPreviewPage(page);
        const QImage img = preview.grabPage();
        const double ms = t.nsecsElapsed() / 1e6;
        if (img.isNull())
            return 1;
        worstMs = qMax(worstMs, ms);
        totalMs += ms;
    }

    std::printf("Report engine benchmark (%d pages, text and a table on every page)\n", doc.pageCount());
    std::printf("  build into the page model: %8.1f ms   (target < 1000 ms)  %s\n", buildMs,
                buildMs < 1000 ? "ok" : "SLOW");
    std::printf("  write PDF:                 %8.1f ms   (target < 3000 ms)  %s  %lld bytes\n", pdfMs,
                pdfMs < 3000 && pdfOk ? "ok" : "SLOW", static_cast<long long>(QFileInfo(pdf).size()));
    std::printf("  show a page in the preview: average %.1f ms, worst %.1f ms over %d random pages\n",
                totalMs / shows, worstMs, shows);
    if (!pdfOk)
        std::printf("  PDF failed: %s\n", qPrintable(error));
    return doc.pageCount() == Pages && pdfOk ? 0 : 1;
}
