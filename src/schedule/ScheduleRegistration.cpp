#include "ScheduleRegistration.h"

#include "Forms.h"
#include "PerformDatesForm.h"
#include "Prompter.h"
#include "RecordDialogs.h"
#include "ReportKinds.h"
#include "ScheduleForm.h"
#include "ScheduleReportModule.h"
#include "ScheduleViewForm.h"

#include <QApplication>
#include <QDate>

void registerScheduleWindows()
{
    Forms::registerForm(ScheduleViewFormCode, [] { return new ScheduleViewForm; });
    ReportKinds::registerKind(ReportKinds::Schedule, SetupScheduleReportOptions, PrintScheduleReport);
    RecordDialogs::setScheduleEntryDialog([](ScheduleCaller caller, qint32 recordId, const QString &title) {
        // Today is the local date when the dialog opens.
        ScheduleForm dialog(caller, recordId, title, QDate::currentDate(), QApplication::activeWindow());
        prompter().execDialog(dialog);
    });
    RecordDialogs::setPerformedDatesDialog([](ScheduleCaller caller, qint32 recordId) {
        ShowPerformedDates(caller == ScheduleCaller::Collection ? PerformedKind::Collection : PerformedKind::Anthem,
                           recordId, QApplication::activeWindow());
    });
}
