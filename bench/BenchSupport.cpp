#include "BenchSupport.h"

#include "CheckListGrid.h"
#include "Db.h"
#include "Forms.h"
#include "LibraryGenerator.h"
#include "MemoryTuning.h"
#include "RecordToolbar.h"
#include "ReportPdf.h"
#include "ReportPrinter.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace bench {

namespace {
int g_over = 0;
} // namespace

void prepareProcess()
{
    keepFreedMemoryForReuse();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

Options parseOptions(int argc, char **argv, const QString &defaultLibrary)
{
    Options o;
    bool sized = false;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("--size") && i + 1 < argc) {
            o.size = QString::fromLocal8Bit(argv[++i]).toInt();
            sized = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            o.flags << a;
        } else {
            o.library = a;
        }
    }
    if (o.size < 1)
        o.size = LibrarySize{}.anthems;
    if (o.library.isEmpty())
        o.library = sized && o.size != LibrarySize{}.anthems
            ? QStringLiteral("/tmp/velmora-anthems-%1.mdb").arg(o.size)
            : defaultLibrary;
    return o;
}

Scale scaleOf(int anthems)
{
    if (anthems >= 900000 && anthems <= 1100000)
        return Scale::Million;
    if (anthems >= 90000 && anthems <= 110000)
        return Scale::Hundred;
    return Scale::Other;
}

double ms(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

double medianOf(std::vector<double> times)
{
    if (times.empty())
        return 0;
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double median(int runs, const std::function<void()> &step)
{
    return median(runs, nullptr, step);
}

double median(int runs, const std::function<void()> &before, const std::function<void()> &step)
{
    return medianOfRuns(
        runs,
        [&](int) {
            if (before)
                before();
        },
        [&](int) { step(); });
}

double medianOfRuns(int runs, const std::function<void(int)> &before, const std::function<void(int)> &step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (before)
            before(i);
        QElapsedTimer t;
        t.start();
        step(i);
        times.push_back(ms(t));
    }
    return medianOf(std::move(times));
}

long statusKb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray name(field);
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(name.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

long peakMemoryKb()
{
    return statusKb("VmHWM:");
}

void report(const char *what, double value, const char *unit, double target)
{
    const bool ok = target <= 0 || value < target;
    if (!ok)
        ++g_over;
    if (target > 0)
        std::printf("  %-56s %9.1f %-3s (target < %g %s)%s\n", what, value, unit, target, unit,
                    ok ? "" : "  OVER TARGET");
    else
        std::printf("  %-56s %9.1f %s\n", what, value, unit);
    std::fflush(stdout);
}

void compare(const char *what, double value, double bare, double factor)
{
    const bool ok = factor <= 0 || value <= bare * factor;
    if (!ok)
        ++g_over;
    std::printf("  %-56s %9.1f ms, bare %.1f ms: %.2f times", what, value, bare, bare > 0 ? value / bare : 0.0);
    if (factor > 0)
        std::printf(" (target within %g times)", factor);
    std::printf("%s\n", ok ? "" : "  OVER TARGET");
    std::fflush(stdout);
}

void countFailure()
{
    ++g_over;
}

int overCount()
{
    return g_over;
}

void printVerdict()
{
    std::printf("\n%s\n", g_over ? "Some figures are over their targets." : "Every figure is within its target.");
}

bool timeReport(const char *benchName, ReportPrinter &printer, const std::function<void()> &build,
                double pagesTarget, const QString &pdf, double pdfTarget)
{
    QElapsedTimer t;
    t.start();
    build();
    report("    built to pages", ms(t) / 1000.0, "s", pagesTarget);
    std::printf("    pages: %d\n", printer.pageCount());
    if (pdf.isEmpty())
        return true;
    t.restart();
    QString why;
    const bool written = ReportPdf::write(printer.document(), pdf, &why);
    if (!written)
        std::fprintf(stderr, "%s: PDF: %s\n", benchName, qPrintable(why));
    report("    written as PDF", ms(t) / 1000.0, "s", pdfTarget);
    std::printf("    PDF size: %.1f MB\n", QFileInfo(pdf).size() / 1048576.0);
    return written;
}

MsgResult SilentPrompter::message(const QString &, const QString &, MsgButtons buttons, MsgIcon)
{
    if (buttons == MsgButtons::YesNo)
        return yes ? MsgResult::Yes : MsgResult::No;
    return MsgResult::Ok;
}

namespace {

QString copyOf(const char *benchName, const QString &path, const LibrarySize &size, const QTemporaryDir &dir)
{
    if (!QFileInfo::exists(path)) {
        if (size.anthems == LibrarySize{}.anthems)
            std::printf("  generating the library into %s ...\n", qPrintable(path));
        else
            std::printf("  generating the library into %s with %d anthems (once; a million take a few minutes "
                        "and over a gigabyte) ...\n",
                        qPrintable(path), size.anthems);
        std::fflush(stdout);
        QElapsedTimer t;
        t.start();
        QString error;
        if (!generateLibrary(path, size, &error)) {
            std::fprintf(stderr, "%s: %s\n", benchName, qPrintable(error));
            return {};
        }
        std::printf("  generated in %.1f s\n", t.elapsed() / 1000.0);
    }
    const QString work = dir.filePath(QStringLiteral("hxdata97.mdb"));
    if (!dir.isValid() || !QFile::copy(path, work)) {
        std::fprintf(stderr, "%s: cannot copy %s\n", benchName, qPrintable(path));
        return {};
    }
    return work;
}

bool openCopy(const char *benchName, const QString &work)
{
    if (work.isEmpty())
        return false;
    QString error;
    if (!Db::open(work, &error)) {
        std::fprintf(stderr, "%s: %s\n", benchName, qPrintable(error));
        return false;
    }
    return true;
}

} // namespace

QString workCopy(const char *benchName, const QString &path, const QTemporaryDir &dir)
{
    return copyOf(benchName, path, LibrarySize{}, dir);
}

QString workCopy(const char *benchName, const Options &options, const QTemporaryDir &dir)
{
    LibrarySize size;
    size.anthems = options.size;
    return copyOf(benchName, options.library, size, dir);
}

bool openWorkCopy(const char *benchName, const QString &path, const QTemporaryDir &dir)
{
    return openCopy(benchName, workCopy(benchName, path, dir));
}

bool openWorkCopy(const char *benchName, const Options &options, const QTemporaryDir &dir)
{
    return openCopy(benchName, workCopy(benchName, options, dir));
}

void closeWindow(int formCode)
{
    if (QWidget *w = Forms::instance(formCode)) {
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void pressToolbar(QWidget *editor, int button)
{
    editor->findChild<RecordToolbar *>(QStringLiteral("Toolbar1"))->button(button)->trigger();
}

void limitTo(QWidget *viewer, int limit, int n)
{
    for (QCheckBox *box : viewer->findChildren<QCheckBox *>())
        if (box->objectName().startsWith(QLatin1String("optLimit"))
            && box->isChecked() != (box->objectName() == QStringLiteral("optLimit%1").arg(limit)))
            box->click();
    viewer->findChild<QPushButton *>(QStringLiteral("btnClearAll%1").arg(limit))->click();
    static const char *const grids[] = {"VocalsGrid", "ComposersGrid", "ThemesGrid", "OrchGrid", "ChoirGrid"};
    auto *grid = viewer->findChild<CheckListGrid *>(QLatin1String(grids[limit]));
    const int rows = grid->Rows() - 1;
    const int step = std::max(1, rows / std::max(n, 1));
    for (int k = 0, r = 1; k < n && r <= rows; ++k, r += step)
        grid->setCheckState(r, 1, CheckListGrid::Checked);
}

} // namespace bench
