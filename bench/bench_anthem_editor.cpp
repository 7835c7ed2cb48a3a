// bench_anthem_editor [database file]: the anthem editor on a large library
// (100,000 anthems, 10,000 collections, 2,000 composers, 300 themes, 20
// choirs). The library is generated on first use into the file given
// (default /tmp/velmora-editor-bench.mdb) and reused afterwards; the runs
// work on a copy, so the saves never change it. Prints the median of
// several runs of each step beside its target.
#include "MemoryTuning.h"
#include "AnthemForm.h"
#include "Db.h"
#include "Forms.h"
#include "LibraryGenerator.h"
#include "Module.h"
#include "Prompter.h"
#include "RecordToolbar.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr double kTargetMs = 50.0;

// Answers every box at once: the save's confirmation must not wait for a click.
class SilentPrompter : public Prompter {
public:
    MsgResult message(const QString &, const QString &, MsgButtons buttons, MsgIcon) override
    {
        return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
    }
};

double median(int runs, const std::function<void()> &before, const std::function<void()> &step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (before)
            before();
        QElapsedTimer t;
        t.start();
        step();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char *what, double ms)
{
    std::printf("%-44s %8.1f ms   (target < %.0f ms) %s\n", what, ms, kTargetMs, ms < kTargetMs ? "ok" : "SLOW");
}

void closeEditor()
{
    if (QWidget *w = Forms::instance(AnthemFormCode)) {
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void press(AnthemForm *f, int button)
{
    f->findChild<RecordToolbar *>(QStringLiteral("Toolbar1"))->button(button)->trigger();
}

} // namespace

int main(int argc, char **argv)
{
    keepFreedMemoryForReuse(); // as the program itself does
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString library = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/velmora-editor-bench.mdb");

    if (!QFileInfo::exists(library)) {
        std::printf("generating %s (once) ...\n", qPrintable(library));
        std::fflush(stdout);
        QString error;
        if (!generateLibrary(library, LibrarySize{}, &error)) {
            std::fprintf(stderr, "bench_anthem_editor: %s\n", qPrintable(error));
            return 1;
        }
    }
    QTemporaryDir dir;
    const QString work = dir.filePath(QStringLiteral("hxdata97.mdb"));
    if (!dir.isValid() || !QFile::copy(library, work)) {
        std::fprintf(stderr, "bench_anthem_editor: cannot copy %s\n", qPrintable(library));
        return 1;
    }
    QString error;
    if (!Db::open(work, &error)) {
        std::fprintf(stderr, "bench_anthem_editor: %s\n", qPrintable(error));
        return 1;
    }
    SilentPrompter prompter;
    setPrompter(&prompter);
    registerAnthemEditor();

    const int anthems = Db::scalar(QStringLiteral("select count(*) from anthem")).toInt();
    std::printf("anthem editor on %d anthems\n", anthems);

    const double open = median(7, closeEditor, [] { OpenFormByCode(AnthemFormCode); });
    auto *f = Forms::find<AnthemForm>(AnthemFormCode);
    if (!f || f->A_Data.CurAnthem() < 1) {
        std::fprintf(stderr, "bench_anthem_editor: the editor shows no anthem\n");
        return 1;
    }
    const double next = median(41, nullptr, [f] { press(f, 7); });
    const double previous = median(21, nullptr, [f] { press(f, 6); });

    auto *loanedTo = f->findChild<QLineEdit *>(QStringLiteral("LoanedTo"));
    auto *name = f->findChild<QLineEdit *>(QStringLiteral("AnthemName"));
    int n = 0;
    const double save = median(21, [&] { loanedTo->setText(QStringLiteral("Loan %1").arg(++n)); }, [f] { press(f, 3); });
    const double rename = median(
        21, [&] { name->setText(QStringLiteral("Renamed Anthem %1").arg(++n)); }, [f] { press(f, 3); });
    const double add = median(
        11,
        [&] {
            press(f, 1);
            name->setText(QStringLiteral("Brand New Anthem %1").arg(++n));
        },
        [f] { press(f, 3); });

    report("open the editor (read, first anthem shown)", open);
    report("next anthem", next);
    report("previous anthem", previous);
    report("save an anthem", save);
    report("save a renamed anthem (moves in the list)", rename);
    report("save a new anthem", add);

    closeEditor();
    setPrompter(nullptr);
    Db::close();
    return 0;
}
