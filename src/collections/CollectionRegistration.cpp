#include "CollectionRegistration.h"

#include "CollectionForm.h"
#include "CollectionReportModule.h"
#include "Forms.h"
#include "ReportKinds.h"

void registerCollectionReport()
{
    ReportKinds::registerKind(ReportKinds::Collections, SetupCollectionReportOptions,
                              [](ReportPrinter &printer) { PrintCollectionReport(printer); });
    Forms::registerForm(CollectionFormCode, [] { return new CollectionForm; });
}
