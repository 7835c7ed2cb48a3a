#include "CollectionRegistration.h"

#include "CollectionReportModule.h"
#include "ReportKinds.h"

void registerCollectionReport()
{
    ReportKinds::registerKind(ReportKinds::Collections, SetupCollectionReportOptions,
                              [](ReportPrinter &printer) { PrintCollectionReport(printer); });
}
