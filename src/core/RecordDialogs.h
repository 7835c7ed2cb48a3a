#pragma once
// The schedule dialogs a record editor opens for the record it shows: the
// schedule entry dialog (toolbar button 10) and the performed-dates list
// ("View All"). They belong to the schedule library, which registers them
// at start-up; the editors reach them only through here, so the catalogue
// libraries never link the schedule library.

#include <QString>
#include <QtGlobal>
#include <functional>

// Which editor opened a schedule dialog.
enum class ScheduleCaller { None = 0, Collection = 1, Anthem = 2 };

namespace RecordDialogs {

// Shows the schedule entry dialog modally for the record (an anthem or a
// collection by caller) whose title the editor shows.
using ScheduleEntryDialog = std::function<void(ScheduleCaller caller, qint32 recordId, const QString &title)>;
// Shows the performed dates of the record modally.
using PerformedDatesDialog = std::function<void(ScheduleCaller caller, qint32 recordId)>;

void setScheduleEntryDialog(ScheduleEntryDialog dialog);
void setPerformedDatesDialog(PerformedDatesDialog dialog);
bool hasScheduleEntryDialog();
bool hasPerformedDatesDialog();

// Open the registered dialog; hx().ScheduleCaller names the caller while
// the entry dialog is shown and is 0 again afterwards. Nothing happens
// when no dialog is registered or recordId is below 1.
void openScheduleEntry(ScheduleCaller caller, qint32 recordId, const QString &title);
void openPerformedDates(ScheduleCaller caller, qint32 recordId);

} // namespace RecordDialogs
