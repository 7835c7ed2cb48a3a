// bench_anthem_editor [library] [--size N]: the anthem editor on a large
// library (100,000 anthems, 10,000 collections, 2,000 composers, 300
// themes, 20 choirs; --size N another number of anthems). The library is
// generated on first use into the file given (default
// /tmp/velmora-editor-bench.mdb, or /tmp/velmora-anthems-<N>.mdb) and
// reused afterwards; the runs work on a copy, so the saves never change
// it. Prints the median of several runs of each step beside its target.
#include "AnthemForm.h"
#include "BenchSupport.h"
#include "Db.h"
#include "Forms.h"
#include "Module.h"
#include "Prompter.h"
#include "RecordCodes.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>

using namespace bench;

namespace {

void closeEditor()
{
    closeWindow(AnthemFormCode);
}

} // namespace

int main(int argc, char **argv)
{
    prepareProcess();
    QApplication app(argc, argv);
    const Options options = parseOptions(argc, argv, QStringLiteral("/tmp/velmora-editor-bench.mdb"));

    std::printf("Anthem editor benchmark\n");
    QTemporaryDir workDir;
    if (!openWorkCopy("bench_anthem_editor", options, workDir))
        return 1;
    SilentPrompter prompter;
    setPrompter(&prompter);
    registerAnthemEditor();

    const int anthems = Db::scalar(QStringLiteral("select count(*) from anthem")).toInt();
    std::printf("  library: %s: %d anthems\n\n", qPrintable(options.library), anthems);
    // The targets: opening under 40 ms and each step under 10 ms at
    // 100,000 anthems; opening under 300 ms at 1,000,000.
    const Scale scale = scaleOf(anthems);
    const double openTarget = scale == Scale::Hundred ? 40 : scale == Scale::Million ? 300 : 0;
    const double stepTarget = scale == Scale::Hundred ? 10 : 0;

    const double open = median(7, closeEditor, [] { OpenFormByCode(AnthemFormCode); });
    auto *f = Forms::find<AnthemForm>(AnthemFormCode);
    if (!f || f->A_Data.CurAnthem() < 1) {
        std::fprintf(stderr, "bench_anthem_editor: the editor shows no anthem\n");
        return 1;
    }
    using namespace RecordButton;
    const double next = median(41, [f] { pressToolbar(f, Next); });
    const double previous = median(21, [f] { pressToolbar(f, Previous); });

    auto *loanedTo = f->findChild<QLineEdit *>(QStringLiteral("LoanedTo"));
    auto *name = f->findChild<QLineEdit *>(QStringLiteral("AnthemName"));
    int n = 0;
    const double save = median(21, [&] { loanedTo->setText(QStringLiteral("Loan %1").arg(++n)); }, [f] { pressToolbar(f, Save); });
    const double rename = median(
        21, [&] { name->setText(QStringLiteral("Renamed Anthem %1").arg(++n)); }, [f] { pressToolbar(f, Save); });
    const double add = median(
        11,
        [&] {
            pressToolbar(f, Add);
            name->setText(QStringLiteral("Brand New Anthem %1").arg(++n));
        },
        [f] { pressToolbar(f, Save); });

    report("open the editor (read, first anthem shown)", open, "ms", openTarget);
    report("next anthem", next, "ms", stepTarget);
    report("previous anthem", previous, "ms", stepTarget);
    report("save an anthem", save, "ms", stepTarget);
    report("save a renamed anthem (moves in the list)", rename, "ms", stepTarget);
    report("save a new anthem", add, "ms", stepTarget);

    closeEditor();
    setPrompter(nullptr);
    Db::close();
    printVerdict();
    return 0;
}
