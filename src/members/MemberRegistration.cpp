#include "MemberRegistration.h"

#include "MemberReportModule.h"
#include "ReportKinds.h"
#include "ReportPrinter.h"

void registerMemberReport()
{
    ReportKinds::registerKind(ReportKinds::Members, SetupMemberReportOptions,
                              [](ReportPrinter &printer) { PrintMemberReport(printer); });
}
