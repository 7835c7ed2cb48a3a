#pragma once
// What the record reports (anthems, collections, members) share beside
// their source (ReportSource): their options set up in the report window,
// the "My Data" captions a build reads, and the captioned lines of a
// record's block.

#include "RecordCodes.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <initializer_list>

class ReportPrinter;

// One option of a report: its caption and whether it starts ticked.
struct ReportOption {
    const char *caption;
    bool ticked;
};

// The report window's options DCheck1, DCheck2 ... in the order given: at
// Left 60, 3330 twips wide, the first at Top firstTop and each next one 75
// twips below the one before, visible, with their captions and first
// values; then the export options below the last. Nothing without a report
// window.
void SetupReportOptions(std::initializer_list<ReportOption> options, int firstTop = 100);

// Captions 1 to 5 (index 0 unused) of the kind's "My Data" fields, read
// from the labels row; without one they stay as they were.
void ReadMyDataCaptions(RecordKind kind, QString (&captions)[6]);

// A stored value that is not empty once Null is read as "".
bool ReportFilled(const QVariant &value);

// A caption run: the caption bold in 8 pt, then back to regular 9 pt for
// the value that follows.
void ReportCaptionRun(ReportPrinter &p, const QString &caption);
// A caption run, the value and a line feed.
void ReportCaptionedLine(ReportPrinter &p, const QString &caption, const QString &value);

// The user-field lines: for each of u1..u5 that is filled, its caption
// followed by ": " and its value, drawn by the report's own line routine.
void PrintMyDataLines(const QString (&captions)[6], const QVariant (&u)[5],
                      const std::function<void(const QString &caption, const QString &value)> &line);
