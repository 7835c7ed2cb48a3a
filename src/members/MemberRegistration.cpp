#include "MemberRegistration.h"

#include "Forms.h"
#include "MemberQDForm.h"
#include "MemberReportModule.h"
#include "ReportKinds.h"
#include "ReportPrinter.h"

void registerMemberReport()
{
    Forms::registerForm(MemberQDFormCode, [] { return new MemberQDForm; });
    ReportKinds::registerKind(ReportKinds::Members, SetupMemberReportOptions,
                              [](ReportPrinter &printer) { PrintMemberReport(printer); });
}
