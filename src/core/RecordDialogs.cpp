#include "RecordDialogs.h"

#include "Module.h"

namespace {
RecordDialogs::ScheduleEntryDialog &entryDialog()
{
    static RecordDialogs::ScheduleEntryDialog d;
    return d;
}
RecordDialogs::PerformedDatesDialog &datesDialog()
{
    static RecordDialogs::PerformedDatesDialog d;
    return d;
}
} // namespace

namespace RecordDialogs {

void setScheduleEntryDialog(ScheduleEntryDialog dialog) { entryDialog() = std::move(dialog); }
void setPerformedDatesDialog(PerformedDatesDialog dialog) { datesDialog() = std::move(dialog); }
bool hasScheduleEntryDialog() { return bool(entryDialog()); }
bool hasPerformedDatesDialog() { return bool(datesDialog()); }

void openScheduleEntry(ScheduleCaller caller, qint32 recordId, const QString &title)
{
    if (!entryDialog() || recordId < 1)
        return;
    struct CallerScope {
        explicit CallerScope(ScheduleCaller c) { hx().ScheduleCaller = int(c); }
        ~CallerScope() { hx().ScheduleCaller = 0; }
    } scope(caller);
    // A copy: the dialog may be replaced while it runs (tests do so).
    const ScheduleEntryDialog dialog = entryDialog();
    dialog(caller, recordId, title);
}

void openPerformedDates(ScheduleCaller caller, qint32 recordId)
{
    if (!datesDialog() || recordId < 1)
        return;
    const PerformedDatesDialog dialog = datesDialog();
    dialog(caller, recordId);
}

} // namespace RecordDialogs
