#pragma once
// Links between the engine's parts that are not for report builds.

class ReportPrinter;

namespace ReportInternal {
// A printer going away stops being the one the shared routines draw on.
void printerDestroyed(ReportPrinter *printer);
} // namespace ReportInternal
