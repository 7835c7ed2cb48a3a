#include "AnthemViewerRegistration.h"

#include "AnthemQDForm.h"
#include "AnthemReportModule.h"
#include "Forms.h"
#include "ReportKinds.h"

void registerAnthemViewerAndReport()
{
    Forms::registerForm(AnthemQDFormCode, [] { return new AnthemQDForm; });
    ReportKinds::registerKind(ReportKinds::Anthems, SetupAnthemReportOptions, PrintAnthemReport);
}
