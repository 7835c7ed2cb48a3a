#pragma once
// The member report (report kind 3): one block of captioned lines per
// member the member viewer lists, in its order; or, by the report
// window's options, a blank member sheet to fill in by hand, or a sheet
// of mailing labels. The members are given as their ordered ids and read
// afresh by id when the report is built: a member deleted since is left
// out, a changed one prints as it is now.

#include <QList>
#include <QString>
#include <QtGlobal>
#include <array>

class ReportPrinter;

// The report window's three options.
struct MemberReportOptions {
    bool blankPage = false;     // "Print blank member page"
    bool myDataFields = false;  // "Include my defined data fields"
    bool mailingLabels = false; // "Print as mailing labels" (wins over the other two)

    // The options as the open report window has them ticked; all unticked
    // without a report window.
    static MemberReportOptions fromReportWindow();
};

// What a mailing label shows of a member (texts as stored; a city or zip
// code id naming no row gives "").
struct MemberAddress {
    QString firstName;
    QString middleName;
    QString lastName;
    QString street1;
    QString street2;
    QString city;
    QString state;
    QString zip;
};

// The report window's options DCheck1..DCheck3, all unticked, placed in
// its option area, followed by the export options. Run by the window's load.
void SetupMemberReportOptions();

// The build the report window runs (at once when it opens, and on each
// Create Report): the members whose ids the member viewer left in
// hx().ReportMemberSet, with the window's options.
void PrintMemberReport(ReportPrinter &printer);

// The report of the members with the ids, in that order. Labels: see
// PrintMailingLabels. Otherwise the page set-up, the heading "Members",
// then the blank sheet, or one block per member (a new page instead of
// the logo line when a block would start more than 10000 twips down the
// page; 400 twips between blocks), or, when no listed member exists any
// more, "There are no members to print.". Database errors reach the caller.
void PrintMemberReport(ReportPrinter &printer, const QList<qint32> &memberIds, const MemberReportOptions &options);

// Mailing labels of the members with the ids, in that order: margins 500
// left and right, 900 top and bottom, 10 pt; three across (at 0, 4000 and
// 8000 twips from the left margin) and ten down (1450 twips apart, the
// first row at the top margin), row by row, on as many sheets as needed.
// Every line prints whole inside its label: one wider than its label's
// room (up to the next label less an eighth of an inch; in the last
// column up to the right margin) is set smaller, down to 7 pt, and one
// still too wide wraps at blanks. A label whose lines would then run
// past its row is set smaller as a whole until they fit. No members: one
// empty sheet.
void PrintMailingLabels(ReportPrinter &printer, const QList<qint32> &memberIds);

// The lines of a member's label (index 0 to 3 for lines 1 to 4): first,
// middle and last name, each without the blanks at its ends; street 1; street 2 ("" when there is none: the
// label leaves the line out); the city and ", " when there is a city, then
// the state, a blank and the zip code.
std::array<QString, 4> BuildLabelLines(const MemberAddress &member);

// The blank member sheet, below a heading already printed on the
// printer (after SetupReportPrinter): up to four empty member blocks in
// bold, each with the logo line, while a block starts at most 12000 twips
// down the page. withMyDataFields adds the five "My Data" captions the
// last member-report build read.
void PrintBlankMemberPage(ReportPrinter &printer, bool withMyDataFields);
