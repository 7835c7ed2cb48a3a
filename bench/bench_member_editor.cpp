// bench_member_editor [database file]: the member editor on a large library
// (20,000 members with their cities, zip codes, schools, choirs, sections
// and instruments, beside 100,000 anthems). The library is generated on
// first use into the file given (default /tmp/velmora-members-bench.mdb,
// the one bench_members uses) and reused afterwards; the runs work on a
// copy, so the saves never change it. Prints the median of several runs of
// each step beside its target.
#include "BenchSupport.h"
#include "Db.h"
#include "Forms.h"
#include "MemberForm.h"
#include "MemberRegistration.h"
#include "Prompter.h"
#include "RecordCodes.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>

using namespace bench;

namespace {

constexpr double kTargetMs = 50.0;

} // namespace

int main(int argc, char **argv)
{
    prepareProcess();
    QApplication app(argc, argv);
    const QString library =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/velmora-members-bench.mdb");

    std::printf("Member editor benchmark\n");
    QTemporaryDir workDir;
    if (!openWorkCopy("bench_member_editor", library, workDir))
        return 1;
    SilentPrompter prompter;
    setPrompter(&prompter);
    registerMemberReport();

    std::printf("  library: %s: %d members, %d cities, %d zip codes, %d schools, %d choirs\n", qPrintable(library),
                Db::scalar(QStringLiteral("select count(*) from member")).toInt(),
                Db::scalar(QStringLiteral("select count(*) from city")).toInt(),
                Db::scalar(QStringLiteral("select count(*) from zip")).toInt(),
                Db::scalar(QStringLiteral("select count(*) from school")).toInt(),
                Db::scalar(QStringLiteral("select count(*) from choir")).toInt());

    const auto closeEditor = [] { closeWindow(MemberFormCode); };
    const double open = median(7, closeEditor, [] { OpenFormByCode(MemberFormCode); });
    auto *f = Forms::find<MemberForm>(MemberFormCode);
    if (!f || f->M_Data.CurMember() < 1) {
        std::fprintf(stderr, "bench_member_editor: the editor shows no member\n");
        return 1;
    }
    using namespace RecordButton;
    const double next = median(41, [f] { pressToolbar(f, Next); });
    const double previous = median(21, [f] { pressToolbar(f, Previous); });

    auto *street = f->findChild<QLineEdit *>(QStringLiteral("Street2"));
    auto *lastName = f->findChild<QComboBox *>(QStringLiteral("LName"));
    auto *firstName = f->findChild<QLineEdit *>(QStringLiteral("FName"));
    auto *city = f->findChild<QComboBox *>(QStringLiteral("City"));
    int n = 0;
    const double save = median(
        21, [&] { street->setText(QStringLiteral("Apt %1").arg(++n)); }, [f] { pressToolbar(f, Save); });
    const double rename = median(
        21, [&] { lastName->setEditText(QStringLiteral("Renamed%1").arg(++n)); }, [f] { pressToolbar(f, Save); });
    const double add = median(
        11,
        [&] {
            pressToolbar(f, Add);
            lastName->setEditText(QStringLiteral("Newcomer"));
            firstName->setText(QStringLiteral("Pat %1").arg(++n));
            city->setEditText(QStringLiteral("New Harmony %1").arg(n));
        },
        [f] { pressToolbar(f, Save); });

    report("open the editor (read, first member shown)", open, "ms", kTargetMs);
    report("next member", next, "ms", kTargetMs);
    report("previous member", previous, "ms", kTargetMs);
    report("save a changed member", save, "ms", kTargetMs);
    report("save a renamed member (moves in the list)", rename, "ms", kTargetMs);
    report("save a new member with a new city", add, "ms", kTargetMs);

    closeEditor();
    setPrompter(nullptr);
    Db::close();
    printVerdict();
    return 0;
}
