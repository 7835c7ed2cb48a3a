// bench_reports [library] [--size N] [--exports]: report speed. First the
// report engine alone: a 1,000-page report (text and a table on every
// page) built into the page model, written as PDF, and any page of it
// shown in the preview. Then, in a process of its own so that its peak
// memory is its own, the anthem report of a whole library as a user makes
// it: the viewer lists every anthem, the report window's Create Report
// builds the report with every option ticked and its PDF button writes
// the PDF; then the preview shows the last page, a text is found, the
// report is saved as a report document and opened again, and with
// --exports it is exported in each of the five export formats. The
// library is that of bench_anthem_viewer (--size N: N anthems). Run by
// hand in a release build:
//   build/bench/bench_reports
#include "AnthemQDForm.h"
#include "AnthemViewerRegistration.h"
#include "BenchSupport.h"
#include "Db.h"
#include "Module.h"
#include "Prompter.h"
#include "ReportFile.h"
#include "ReportKinds.h"
#include "ReportPdf.h"
#include "ReportPreview.h"
#include "ReportPrinter.h"
#include "ReportRoutines.h"
#include "SR2PrintForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

using namespace bench;

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

// Answers as a user would: file names from the benchmark, OK to every
// message (the last one kept).
class BenchPrompter : public Prompter {
public:
    MsgResult message(const QString &text, const QString &, MsgButtons, MsgIcon) override
    {
        last = text;
        return MsgResult::Ok;
    }
    QString fileName(const QString &, const QString &, const QString &, FileMode) override { return next; }
    QString next;
    QString last;
};

qint64 folderBytes(const QString &folder, int *files)
{
    qint64 bytes = 0;
    *files = 0;
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        it.next();
        bytes += it.fileInfo().size();
        ++*files;
    }
    return bytes;
}

// The anthem report of every anthem, as the user makes it.
int wholeListReport(const Options &options)
{
    std::printf("Anthem report of a whole library\n");
    QTemporaryDir workDir;
    if (!openWorkCopy("bench_reports", options, workDir))
        return 1;
    const int anthems = Db::scalar("select count(*) from anthem").toInt();
    std::printf("  library: %s: %d anthems\n\n", qPrintable(options.library), anthems);
    const Scale scale = scaleOf(anthems);
    BenchPrompter prompter;
    setPrompter(&prompter);
    registerAnthemViewerAndReport();

    QElapsedTimer t;
    t.start();
    auto *viewer = new AnthemQDForm; // Display All: every anthem listed
    viewer->show();
    report("viewer opened, every anthem listed", ms(t) / 1000.0, "s", 0);
    RequestReport(ReportKinds::Anthems);
    SR2PrintForm *form = SR2PrintForm::instance();
    if (!form) {
        std::fprintf(stderr, "bench_reports: the report window did not open\n");
        return 1;
    }
    auto *create = form->findChild<QPushButton *>(QStringLiteral("CreateButton"));
    auto *pdfButton = form->findChild<QPushButton *>(QStringLiteral("PDFReportButton"));
    ReportPreview *preview = form->preview();

    t.restart();
    create->click();
    const double built = ms(t) / 1000.0;
    const int pages = preview->pageCount();
    report("Create Report: built to pages, page 1 shown", built, "s", 0);
    std::printf("    pages: %d\n", pages);
    QTemporaryDir out;
    prompter.next = out.filePath(QStringLiteral("anthems.pdf"));
    t.restart();
    pdfButton->click();
    const double pdf = ms(t) / 1000.0;
    report("PDF button: the PDF written", pdf, "s", 0);
    std::printf("    PDF: %.1f MB; %s\n", QFileInfo(prompter.next).size() / 1048576.0,
                qPrintable(prompter.last.simplified()));
    if (!QFileInfo::exists(prompter.next))
        countFailure();
    report("from Create to the PDF written", built + pdf, "s", scale == Scale::Hundred ? 15 : 0);
    report("peak memory so far (VmHWM)", peakMemoryKb() / 1024.0, "MB",
                   scale == Scale::Hundred ? 300 : scale == Scale::Million ? 1000 : 0);

    // The report keeps working on such a document.
    t.restart();
    preview->setPreviewPage(pages);
    const bool lastShown = preview->previewPage() == pages && !preview->grabPage().isNull();
    report("the last page shown", ms(t), "ms", 0);
    const QString sought = QStringLiteral("Anthem: ")
        + Db::scalar("select Anthem from anthem where anthemid = ?", {hx().ReportAnthemSet.ids.value(
                                                                          hx().ReportAnthemSet.ids.size() - 1)})
              .toString();
    t.restart();
    const int found = preview->find(sought, ReportTextPos{1, 0, 0}).page;
    report("find the last anthem's title from page 1", ms(t) / 1000.0, "s", 0);
    std::printf("    found on page %d\n", found);
    const QString vsr = out.filePath(QStringLiteral("anthems.vsr"));
    QString error;
    t.restart();
    const bool saved = ReportFile::save(preview->document(), vsr, &error);
    report("saved as a report document", ms(t) / 1000.0, "s", 0);
    ReportDocument opened;
    t.restart();
    const bool loaded = saved && ReportFile::load(vsr, &opened, &error);
    report("the report document opened again", ms(t) / 1000.0, "s", 0);
    std::printf("    document: %.1f MB, %d pages\n", QFileInfo(vsr).size() / 1048576.0, opened.pageCount());
    QFile::remove(vsr);
    if (!lastShown || found < 1 || !loaded || opened.pageCount() != pages) {
        std::printf("    the preview, find or the report document failed%s\n",
                    error.isEmpty() ? "" : qPrintable(QStringLiteral(": ") + error));
        countFailure();
    }
    opened = ReportDocument();

    if (options.flags.contains(QStringLiteral("--exports"))) {
        const char *names[5] = {"Rich Text", "HTML", "paged HTML", "DHTML", "paged DHTML"};
        const char *files[5] = {"anthems.rtf", "anthems.htm", "anthems.htm", "anthems.htm", "anthems.htm"};
        form->findChild<QCheckBox *>(QStringLiteral("HTMLCheck"))->setChecked(true);
        for (int style = 0; style < 5; ++style) {
            QTemporaryDir folder;
            form->findChild<QRadioButton *>(QStringLiteral("StyleOption%1").arg(style))->setChecked(true);
            prompter.next = folder.filePath(QLatin1String(files[style]));
            t.restart();
            create->click();
            int written = 0;
            const qint64 bytes = folderBytes(folder.path(), &written);
            report(qPrintable(QStringLiteral("Create Report exporting %1").arg(QLatin1String(names[style]))),
                           ms(t) / 1000.0, "s", 0);
            std::printf("    %d file(s), %.1f MB; %s\n", written, bytes / 1048576.0,
                        qPrintable(prompter.last.simplified().left(90)));
            if (written == 0)
                countFailure();
        }
        form->findChild<QCheckBox *>(QStringLiteral("HTMLCheck"))->setChecked(false);
    }
    report("peak memory (VmHWM)", peakMemoryKb() / 1024.0, "MB",
                   scale == Scale::Hundred ? 300 : scale == Scale::Million ? 1000 : 0);

    form->close();
    viewer->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete viewer;
    setPrompter(nullptr);
    hx().ReportAnthemSet.release();
    Db::close();
    printVerdict();
    return overCount() ? 2 : 0;
}

} // namespace

int main(int argc, char **argv)
{
    prepareProcess();
    QApplication app(argc, argv);
    const Options options = parseOptions(argc, argv, QStringLiteral("/tmp/velmora-viewer-bench.mdb"));
    if (options.flags.contains(QStringLiteral("--whole-library")))
        return wholeListReport(options);

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
    const double buildMs = ms(t);
    const ReportDocument doc = printer.document();

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("bench.pdf"));
    QString error;
    t.restart();
    const bool pdfOk = ReportPdf::write(doc, pdf, &error);
    const double pdfMs = ms(t);

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
        const double shown = ms(t);
        if (img.isNull())
            return 1;
        worstMs = qMax(worstMs, shown);
        totalMs += shown;
    }

    std::printf("Report engine benchmark (%d pages, text and a table on every page)\n", doc.pageCount());
    report("build into the page model", buildMs, "ms", 1000);
    report("write PDF", pdfMs, "ms", 3000);
    std::printf("    PDF size: %lld bytes\n", static_cast<long long>(QFileInfo(pdf).size()));
    if (!pdfOk) {
        std::printf("    PDF failed: %s\n", qPrintable(error));
        countFailure();
    }
    report("show a page in the preview, average of 50 random pages", totalMs / shows, "ms", 0);
    report("show a page in the preview, worst of 50 random pages", worstMs, "ms", 0);
    printVerdict();
    std::printf("\n");
    std::fflush(stdout);

    // The whole library's anthem report, in a process of its own.
    QStringList args{QStringLiteral("--whole-library"), options.library, QStringLiteral("--size"),
                     QString::number(options.size)};
    args += options.flags;
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), args);
    child.waitForFinished(-1);
    const bool childOk = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    return doc.pageCount() == Pages && pdfOk && childOk ? 0 : 1;
}
