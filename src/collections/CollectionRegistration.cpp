#include "CollectionRegistration.h"

#include "CollectionForm.h"
#include "CollectionQDForm.h"
#include "CollectionReportModule.h"
#include "Forms.h"
#include "ReportKinds.h"

void registerCollectionReport()
{
    Forms::registerForm(CollectionQDFormCode, [] { return new CollectionQDForm; });
    ReportKinds::registerKind(ReportKinds::Collections, SetupCollectionReportOptions,
                              [](ReportPrinter &printer) { PrintCollectionReport(printer); });
    Forms::registerForm(CollectionFormCode, [] { return new CollectionForm; });
}
