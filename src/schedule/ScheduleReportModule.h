#pragma once
// The choir schedule report (report kind 4): the information text for all
// choirs, the information of each scheduled choir, and a table DATE |
// CALL | ANTHEM | OFFERTORY | BENEDICTION with a row per service; either
// every choir in one table (combined) or one table per choir, each on its
// own page, or the table of one chosen choir.

#include <QString>
#include <QtGlobal>

class ReportPrinter;

struct ScheduleReportOptions {
    // The "All Choirs" text as it stands in the box, saved or not.
    QString info;
    bool combined = true;
    // Per choir: only the choir of this id (its list item's), when it
    // still exists; -1 for every choir.
    qint32 limitChoirId = -1;
};

// The options as the report window shows them; without a report window,
// combined with the saved information text.
ScheduleReportOptions ScheduleReportOptionsShown();

// The options in the report window's option area: the information text
// (loaded from schedinfo) with its save button, "Combine choirs into 1
// schedule" (ticked) and, while that is unticked, "Limit to selected
// choir" with the choir list. Run by the window's load.
void SetupScheduleReportOptions();

// Create Report for kind 4: combined while the combine box is ticked,
// else per choir.
void PrintScheduleReport(ReportPrinter &printer);

void PrintCombinedSchedule(ReportPrinter &printer);
void PrintCombinedSchedule(ReportPrinter &printer, const ScheduleReportOptions &options);
void PrintScheduleByChoir(ReportPrinter &printer);
void PrintScheduleByChoir(ReportPrinter &printer, const ScheduleReportOptions &options);

// "Choir Schedule", and " for <first date> thru <last date>" of the whole
// schedule when it has entries.
QString ScheduleReportTitle();
