#include "MemberRegistration.h"

#include "Forms.h"
#include "MemberQDForm.h"
#include "MemberForm.h"
#include "MemberReportModule.h"
#include "ReportKinds.h"
#include "ReportPrinter.h"

void registerMemberReport()
{
    Forms::registerForm(MemberQDFormCode, [] { return new MemberQDForm; });
    registerMemberEditor();
    ReportKinds::registerKind(ReportKinds::Members, SetupMemberReportOptions,
                              [](ReportPrinter &printer) { PrintMemberReport(printer); });
}
