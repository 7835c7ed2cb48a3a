#pragma once
// The report kinds the report window serves (1 collections, 2 anthems,
// 3 members, 4 schedule) and the hand-off by which a viewer asks for one.
// Each kind's subsystem registers its option set-up (run once when the
// window loads, placing the kind's options through SR2PrintForm's
// loadDCheck(i) ... and ending with ArrangeReportForm) and its build
// (run by Create Report with the window's printer). A build must:
// SetupReportPrinter(printer); printer.startDoc(); PrintReportHeading(...);
// draw the body, reading the window's options (ReportForm()->DCheck(i) ...);
// printer.endDoc(); ShowExportResult(!printer.exportFile().isEmpty()).
// The window hands the build a printer with no document and no page
// header, its export file and format set, and the hourglass shown.

#include <QString>
#include <functional>

class ReportPrinter;

namespace ReportKinds {

enum Kind { None = -1, Collections = 1, Anthems = 2, Members = 3, Schedule = 4 };

using Setup = std::function<void()>;
using Build = std::function<void(ReportPrinter &printer)>;

void registerKind(int kind, Setup setup, Build build);
void unregisterKind(int kind);
bool isRegistered(int kind);
Setup setup(int kind);
Build build(int kind);
// "Reports - Collections", "Reports - Anthems", "Reports - Members",
// "Reports - Schedule"; "" for any other kind.
QString caption(int kind);

} // namespace ReportKinds

// A viewer's Report button: while a report window is open it is brought
// to the front with "Please close the current report window" and keeps
// its kind; otherwise hx().ReportType := kind and the report window opens.
void RequestReport(int kind);
