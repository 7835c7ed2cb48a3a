// bench_schedule [database file] [--one-choir N]: the schedule windows
// and the choir schedule report on a year of services (20 choirs, an AM
// and a PM service every Sunday, 3 or 4 choirs a service with 1 to 4
// slots each, notes on most services) in a large library. The library is
// generated on first use into the file given (default
// /tmp/sched-bench.mdb) and reused; each run works on a copy and writes
// the schedule into the copy from today on. Prints the figures beside
// their targets.
//
// With --one-choir N the choir the viewer opens on has N entries (1 to 4
// at every service of every day), and only the viewer's opening and
// reload are timed; their target grows in proportion to N above 10,000.
#include "ChoirList.h"
#include "DateField.h"
#include "Db.h"
#include "BenchSupport.h"
#include "LibraryGenerator.h"
#include "Prompter.h"
#include "ReportPdf.h"
#include "ReportPrinter.h"
#include "ScheduleForm.h"
#include "ScheduleGridModel.h"
#include "ScheduleReportModule.h"
#include "ScheduleViewForm.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace bench;

namespace {

// Answers the conflict questions the way the run asks; every other box OK.
class BenchPrompter : public Prompter {
public:
    QList<MsgResult> answers;
    int asked = 0;
    MsgResult message(const QString &, const QString &, MsgButtons buttons, MsgIcon) override
    {
        ++asked;
        if (buttons != MsgButtons::YesNo)
            return MsgResult::Ok;
        return answers.isEmpty() ? MsgResult::No : answers.takeFirst();
    }
};

struct Counts {
    int entries, services, notes;
};

Counts counts()
{
    return {Db::scalar("select count(*) from schedule").toInt(),
            Db::scalar("select count(*) from (select distinct SchedDate, AMPM from schedule)").toInt(),
            Db::scalar("select count(*) from schednotes").toInt()};
}

// Lets the viewer finish what showing it or its reload set going.
void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// The viewer opened as the user opens it (built, shown, its rows fitted)
// and reloaded, on a choir of `entries` entries.
void timeOneChoir(int entries)
{
    // The target is that of 10,000 entries, grown in proportion above it.
    const double target = 300.0 * std::max(1.0, entries / 10000.0);
    ScheduleViewForm *viewer = nullptr;
    auto close = [&] {
        delete viewer;
        viewer = nullptr;
    };
    const double open = median(
        5, close, [&] {
            viewer = new ScheduleViewForm;
            viewer->resize(800, 600);
            viewer->show();
            settle();
        });
    const int rows = viewer->gridModel()->rowCount();
    const int entryRows = int(std::count_if(viewer->gridModel()->rows().begin(), viewer->gridModel()->rows().end(),
                                            [](const ScheduleGridRow &r) { return !r.heading; }));
    std::printf("  choir shown: %d entries, %d grid rows\n", entryRows, rows);
    if (entryRows != entries) {
        std::fprintf(stderr, "bench_schedule: the viewer opened on a choir of %d entries, not %d\n", entryRows, entries);
        countFailure();
    }
    int taller = 0;
    for (int r = 0; r < rows; ++r)
        taller += viewer->grid()->rowHeight(r) != viewer->grid()->verticalHeader()->defaultSectionSize();
    std::printf("  rows taller than one line: %d\n", taller);
    const QString what = QStringLiteral("%1 entries").arg(entries);
    report(qPrintable("viewer open, one choir of " + what), open, "ms", target);
    report(qPrintable("viewer reload, one choir of " + what), median(5, [&] {
               viewer->LoadSGrid();
               settle();
           }),
           "ms", target);
    close();
}

} // namespace

int main(int argc, char **argv)
{
    prepareProcess();
    QApplication app(argc, argv);
    QString path = QStringLiteral("/tmp/sched-bench.mdb");
    ServiceScheduleShape shape;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("--one-choir")) {
            shape.oneChoirEntries = i + 1 < argc ? QString::fromLocal8Bit(argv[++i]).toInt() : 0;
            if (shape.oneChoirEntries < 1) {
                std::fprintf(stderr, "bench_schedule: --one-choir wants a number of entries above 0\n");
                return 2;
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            std::fprintf(stderr, "bench_schedule: unknown option %s\n", qPrintable(a));
            return 2;
        } else {
            path = a;
        }
    }

    std::printf("Schedule windows and choir schedule report benchmark\n");
    QTemporaryDir workDir;
    const QString work = workCopy("bench_schedule", path, workDir);
    if (work.isEmpty())
        return 1;
    const QDate today = QDate::currentDate();
    QString error;
    if (!writeServiceSchedule(work, shape, today, &error) || !Db::open(work, &error)) {
        std::fprintf(stderr, "bench_schedule: %s\n", qPrintable(error));
        return 1;
    }
    const Counts c = counts();
    std::printf("  library: %s: %d anthems, %d collections, %d choirs\n", qPrintable(path),
                Db::scalar("select count(*) from anthem").toInt(),
                Db::scalar("select count(*) from collection").toInt(), Db::scalar("select count(*) from choir").toInt());
    std::printf("  schedule: %d entries in %d services from %s, %d notes\n\n", c.entries, c.services,
                qPrintable(today.toString(QStringLiteral("MM/dd/yyyy"))), c.notes);

    BenchPrompter prompter;
    setPrompter(&prompter);
    int exitCode = 0;
    try {
        if (shape.oneChoirEntries > 0) {
            timeOneChoir(shape.oneChoirEntries);
        } else {
            // The choir with the most entries, and one of its services with an
            // anthem, where a new anthem conflicts.
            QSqlQuery busiest = Db::query("select ChoirID, count(*) from schedule group by ChoirID order by 2 desc limit 1");
            busiest.next();
            const qint32 choir = busiest.value(0).toInt();
            QSqlQuery taken = Db::query("select SchedDate, AMPM from schedule where ChoirID = ? and Anthem <> 0 "
                                        "order by SchedDate limit 1",
                                        {choir});
            taken.next();
            const QDate serviceDate = QDate::fromString(taken.value(0).toString(), Qt::ISODate);
            const bool pm = taken.value(1).toString() == QLatin1String("PM");
            const qint32 anthem = Db::scalar("select min(anthemid) from anthem").toInt();

            QElapsedTimer t;
            t.start();
            auto *viewer = new ScheduleViewForm;
            viewer->resize(800, 600);
            viewer->show();
            settle();
            report("viewer open (choir list, first choir's grid, shown)", ms(t), "ms", 0);
            auto *combo = viewer->findChild<QComboBox *>(QStringLiteral("ChoirCombo"));
            const int item = combo->findData(choir);
            combo->setCurrentIndex(item);
            emit combo->activated(item);
            std::printf("  busiest choir: %s, %d grid rows\n", qPrintable(combo->currentText()),
                        viewer->gridModel()->rowCount());
            report("viewer grid build for that choir (LoadSGrid)", median(11, [&] {
                       viewer->LoadSGrid();
                       settle();
                   }),
                   "ms", 100);

            // Add to Schedule with the viewer open on the choir: the conflict
            // check, the question, the write and the viewer's reload.
            auto addRun = [&](QList<MsgResult> answers) {
                ScheduleForm dialog(ScheduleCaller::Anthem, anthem, QStringLiteral("Bench anthem"), today);
                dialog.findChild<DateField *>(QStringLiteral("SchedDate"))->setDate(serviceDate);
                dialog.findChild<QComboBox *>(QStringLiteral("AMPM"))->setCurrentIndex(pm ? 1 : 0);
                ChooseChoir(dialog.findChild<QComboBox *>(QStringLiteral("ChoirCombo")), choir);
                dialog.findChild<QRadioButton *>(QStringLiteral("optSched1"))->setChecked(true);
                auto *add = dialog.findChild<QPushButton *>(QStringLiteral("btnAdd"));
                prompter.answers = answers;
                QElapsedTimer s;
                s.start();
                add->click();
                const double took = ms(s);
                if (dialog.result() != QDialog::Accepted) {
                    std::fprintf(stderr, "bench_schedule: the entry was not added\n");
                    exitCode = 1;
                }
                return took;
            };
            std::vector<double> second, replace;
            const int rowsBefore = viewer->gridModel()->rowCount();
            for (int run = 0; run < 11; ++run)
                second.push_back(addRun({MsgResult::Yes}));
            for (int run = 0; run < 11; ++run)
                replace.push_back(addRun({MsgResult::No, MsgResult::Yes}));
            std::printf("  grid rows after 11 second entries: %d (was %d)\n", viewer->gridModel()->rowCount(), rowsBefore);
            report("add as a second anthem, viewer reloaded (median)", medianOf(second), "ms", 100);
            report("replace the first anthem, viewer reloaded (median)", medianOf(replace), "ms", 100);
            viewer->close();
            delete viewer;

            // The choir schedule report, combined and per choir.
            ScheduleReportOptions options;
            options.info = Db::scalar("select info from schedinfo").toString();
            QTemporaryDir dir;
            struct Build {
                const char *name;
                bool combined;
            };
            for (const Build &b : {Build{"combined", true}, Build{"per choir", false}}) {
                options.combined = b.combined;
                ReportPrinter printer;
                printer.setOrientation(PageOrientation::Landscape); // as the report window sets it
                t.restart();
                if (b.combined)
                    PrintCombinedSchedule(printer, options);
                else
                    PrintScheduleByChoir(printer, options);
                std::printf("  Choir schedule report, %s: %d pages\n", b.name, printer.pageCount());
                report("    built to pages", ms(t), "ms", 1000);
                const QString pdf = dir.filePath(QStringLiteral("schedule.pdf"));
                t.restart();
                QString why;
                if (!ReportPdf::write(printer.document(), pdf, &why)) {
                    std::fprintf(stderr, "bench_schedule: PDF: %s\n", qPrintable(why));
                    exitCode = 1;
                }
                report("    written as PDF (after the pages)", ms(t), "ms", 3000);
                std::printf("    PDF size: %.1f MB\n", QFileInfo(pdf).size() / 1048576.0);
            }
        }
    } catch (const DbError &e) {
        std::fprintf(stderr, "bench_schedule: %s\n", qPrintable(e.message()));
        exitCode = 1;
    }
    setPrompter(nullptr);
    Db::close();
    printVerdict();
    return exitCode;
}
