#include "MemberRegistration.h"

#include "MemberForm.h"
#include "MemberReportModule.h"
#include "ReportKinds.h"
#include "ReportPrinter.h"

void registerMemberReport()
{
    registerMemberEditor();
    ReportKinds::registerKind(ReportKinds::Members, SetupMemberReportOptions,
                              [](ReportPrinter &printer) { PrintMemberReport(printer); });
}
