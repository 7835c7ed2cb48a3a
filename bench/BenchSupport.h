#pragma once
// What the benchmarks share: the process set up as the program sets itself
// up, the command line of those that run at several library sizes, the
// median of several timed runs of a step, the peak memory, a figure
// printed beside its target (or beside the bare statements doing the same
// work), a report timed to pages and to PDF, a prompter that answers at
// once, the working copy of the generated library, an editor's toolbar and
// closing, and a viewer's list limit set as the user would.

#include "Prompter.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QTemporaryDir;
class QWidget;
class ReportPrinter;

namespace bench {

// Before the QApplication: freed memory kept for reuse, as the program
// itself does, and the offscreen platform unless another one is set.
void prepareProcess();

// "[library] [--size N] [--flag ...]", the command line of the anthem
// benchmarks: the library file given, else the default (100,000
// anthems), else for --size N /tmp/velmora-anthems-<N>.mdb.
struct Options {
    QString library;
    int size = 100000; // anthems, when the library is generated
    // Arguments the benchmark reads itself ("--exports").
    QStringList flags;
};
Options parseOptions(int argc, char **argv, const QString &defaultLibrary);

// The size whose targets apply to a library of this many anthems: those
// of 100,000 anthems, those of 1,000,000, or none for other sizes.
enum class Scale { Other, Hundred, Million };
Scale scaleOf(int anthems);

// Milliseconds since the timer started.
double ms(const QElapsedTimer &t);
double medianOf(std::vector<double> times);
// The median of several runs of a step, in milliseconds; before, when
// given, runs untimed ahead of each.
double median(int runs, const std::function<void()> &step);
double median(int runs, const std::function<void()> &before, const std::function<void()> &step);
// The same with the run's number (0, 1, ...) given to both.
double medianOfRuns(int runs, const std::function<void(int run)> &before, const std::function<void(int run)> &step);

// A figure of /proc/self/status in kB ("VmRSS:", "VmHWM:"); -1 when unknown.
long statusKb(const char *field);
// The process's peak resident memory in kB (-1 when unknown).
long peakMemoryKb();

// Prints a figure, beside its target when it has one (target > 0); a
// figure over its target is marked and counted.
void report(const char *what, double value, const char *unit, double target);
// A figure beside the bare work it does (the same statements run straight
// on SQLite): within factor times of it when factor > 0.
void compare(const char *what, double value, double bare, double factor);
// Counts a step that failed as a figure over its target.
void countFailure();
// How many figures were over their targets (or steps failed) so far.
int overCount();
// The closing line: every figure within its target, or some over.
void printVerdict();

// A report built on the printer by build(), timed to pages (with its page
// count), then, when pdf is given, written there as PDF and timed (with
// the file's size); targets in seconds, 0 for none. False, with the reason
// printed under the benchmark's name, when the PDF could not be written.
bool timeReport(const char *benchName, ReportPrinter &printer, const std::function<void()> &build,
                double pagesTarget, const QString &pdf = QString(), double pdfTarget = 0);

// Answers every box at once: OK, and No to a question (Yes while yes is set).
class SilentPrompter : public Prompter {
public:
    bool yes = false;
    MsgResult message(const QString &, const QString &, MsgButtons buttons, MsgIcon) override;
};

// The library a run works on: generated into path on first use (with the
// default size, or the options' number of anthems), then copied into dir,
// so the runs never change it. The copy's path, or "" with the reason
// printed under the benchmark's name.
QString workCopy(const char *benchName, const QString &path, const QTemporaryDir &dir);
QString workCopy(const char *benchName, const Options &options, const QTemporaryDir &dir);
// The same, and the copy opened as the program's database; false with the
// reason printed.
bool openWorkCopy(const char *benchName, const QString &path, const QTemporaryDir &dir);
bool openWorkCopy(const char *benchName, const Options &options, const QTemporaryDir &dir);

// Closes the window with the form code, as the user does, and deletes it
// at once; nothing when it is not open.
void closeWindow(int formCode);
// Clicks a button of a record editor's toolbar (RecordButton).
void pressToolbar(QWidget *editor, int button);

// On a viewer: only limit box `limit` ticked, and n rows of its grid
// checked, spread over the names (every k-th rather than the first n).
void limitTo(QWidget *viewer, int limit, int n);

} // namespace bench
