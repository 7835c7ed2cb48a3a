// bench_member_editor [database file]: the member editor on a large library
// (20,000 members with their cities, zip codes, schools, choirs, sections
// and instruments, beside 100,000 anthems). The library is generated on
// first use into the file given (default /tmp/velmora-members-bench.mdb,
// the one bench_members uses) and reused afterwards; the runs work on a
// copy, so the saves never change it. Prints the median of several runs of
// each step beside its target.
#include "MemoryTuning.h"
#include "Db.h"
#include "Forms.h"
#include "LibraryGenerator.h"
#include "MemberForm.h"
#include "MemberRegistration.h"
#include "Prompter.h"
#include "RecordToolbar.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
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

int g_over = 0;

void report(const char *what, double ms)
{
    const bool ok = ms < kTargetMs;
    if (!ok)
        ++g_over;
    std::printf("  %-50s %8.1f ms   (target < %.0f ms)%s\n", what, ms, kTargetMs, ok ? "" : "  OVER TARGET");
}

void closeEditor()
{
    if (QWidget *w = Forms::instance(MemberFormCode)) {
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void press(MemberForm *f, int button)
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
    const QString library =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/velmora-members-bench.mdb");

    std::printf("Member editor benchmark\n");
    if (!QFileInfo::exists(library)) {
        std::printf("  generating %s (once) ...\n", qPrintable(library));
        std::fflush(stdout);
        QString error;
        if (!generateLibrary(library, LibrarySize{}, &error)) {
            std::fprintf(stderr, "bench_member_editor: %s\n", qPrintable(error));
            return 1;
        }
    }
    QTemporaryDir dir;
    const QString work = dir.filePath(QStringLiteral("hxdata97.mdb"));
    if (!dir.isValid() || !QFile::copy(library, work)) {
        std::fprintf(stderr, "bench_member_editor: cannot copy %s\n", qPrintable(library));
        return 1;
    }
    QString error;
    if (!Db::open(work, &error)) {
        std::fprintf(stderr, "bench_member_editor: %s\n", qPrintable(error));
        return 1;
    }
    SilentPrompter prompter;
    setPrompter(&prompter);
    registerMemberReport();

    std::printf("  library: %s: %d members, %d cities, %d zip codes, %d schools, %d choirs\n", qPrintable(library),
                Db::scalar(QStringLiteral("select count(*) from member")).toInt(),
                Db::scalar(QStringLiteral("select count(*) from city")).toInt(),
                Db::scalar(QStringLiteral("select count(*) from zip")).toInt(),
                Db::scalar(QStringLiteral("select count(*) from school")).toInt(),
                Db::scalar(QStringLiteral("select count(*) from choir")).toInt());

    const double open = median(7, closeEditor, [] { OpenFormByCode(MemberFormCode); });
    auto *f = Forms::find<MemberForm>(MemberFormCode);
    if (!f || f->M_Data.CurMember() < 1) {
        std::fprintf(stderr, "bench_member_editor: the editor shows no member\n");
        return 1;
    }
    const double next = median(41, nullptr, [f] { press(f, 7); });
    const double previous = median(21, nullptr, [f] { press(f, 6); });

    auto *street = f->findChild<QLineEdit *>(QStringLiteral("Street2"));
    auto *lastName = f->findChild<QComboBox *>(QStringLiteral("LName"));
    auto *firstName = f->findChild<QLineEdit *>(QStringLiteral("FName"));
    auto *city = f->findChild<QComboBox *>(QStringLiteral("City"));
    int n = 0;
    const double save = median(
        21, [&] { street->setText(QStringLiteral("Apt %1").arg(++n)); }, [f] { press(f, 3); });
    const double rename = median(
        21, [&] { lastName->setEditText(QStringLiteral("Renamed%1").arg(++n)); }, [f] { press(f, 3); });
    const double add = median(
        11,
        [&] {
            press(f, 1);
            lastName->setEditText(QStringLiteral("Newcomer"));
            firstName->setText(QStringLiteral("Pat %1").arg(++n));
            city->setEditText(QStringLiteral("New Harmony %1").arg(n));
        },
        [f] { press(f, 3); });

    report("open the editor (read, first member shown)", open);
    report("next member", next);
    report("previous member", previous);
    report("save a changed member", save);
    report("save a renamed member (moves in the list)", rename);
    report("save a new member with a new city", add);

    closeEditor();
    setPrompter(nullptr);
    Db::close();
    std::printf("\n%s\n", g_over ? "Some figures are over their targets." : "Every figure is within its target.");
    return 0;
}
