#pragma once
// The collections report (report kind 1): one block per collection the
// collection viewer lists, in its order, with the collection's fields, its
// last performed and purchase dates, and as the report window's eight
// options ask, its composers, orchestration, vocalizations, themes and
// choirs, its "My Data" fields and its anthems, as titles or each with its
// own composers, orchestration, vocalizations and themes.

#include <QList>
#include <QtGlobal>

class ReportPrinter;

// The eight options, numbered as the report window's DCheck(1..8).
class CollectionReportOptions {
public:
    enum Option {
        IncludeComposers = 1,
        IncludeOrchestration,
        IncludeVocalization,
        IncludeThemes,
        IncludeChoirs,
        IncludeAnthemTitles,
        IncludeAnthemDetails,
        IncludeMyData,
    };
    // As the report window first shows them: all ticked but the anthems
    // with full details.
    CollectionReportOptions();
    bool isOn(Option o) const { return m_on[o]; }
    void set(Option o, bool on) { m_on[o] = on; }
    // The options of the open report window as ticked; an option the
    // window does not show (or no window) stands as first shown.
    static CollectionReportOptions fromReportWindow();

private:
    bool m_on[9];
};

// The report window's options DCheck1..DCheck8, placed in its option area
// with their captions and first values, followed by the export options.
// Run by the window's load.
void SetupCollectionReportOptions();

// Draws the report on the printer: the collections with the ids, in that
// order, read afresh by id (one deleted since is left out), with the
// options given or those of the report window. An empty list draws the
// heading only. Database errors reach the caller.
void PrintCollectionReport(ReportPrinter &printer, const QList<qint32> &collectionIds,
                           const CollectionReportOptions &options);
void PrintCollectionReport(ReportPrinter &printer, const QList<qint32> &collectionIds);
// The report of the collections the viewer left in hx().ReportCollectionSet.
void PrintCollectionReport(ReportPrinter &printer);
