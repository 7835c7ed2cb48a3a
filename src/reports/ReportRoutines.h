#pragma once
// The routines every report build shares: the file dialog of the report
// window, the placing of its export options below a report's options, the
// page set-up, the page heading, the logo line and the export message.
// The heading, logo and export routines work on the printer that
// SetupReportPrinter last set up (every build calls it first), which is
// the report window's printer during a build.

#include "Prompter.h"

#include <QImage>
#include <QString>

class ReportPrinter;

// Asks for a file name with a filter written as "Description (*.x) | *.x;*.y"
// and a default name. Returns the chosen path and sets
// hx().ExportFileTitle to its file name; "" when cancelled (the title then
// stays as it was).
// A name typed without an extension gets the filter's first one (".pdf").
QString ShowFileDialog(const QString &filter, const QString &defaultName, FileMode mode = FileMode::Save);
// "HTML Files (*.htm; *html) | *.htm;*.html" -> "HTML Files (*.htm *.html)";
// several description|patterns pairs become several Qt filters.
QString qtFileFilter(const QString &filter);

// Moves the export options into the option area at Left 15, Top
// top + height + 100 (twips) and shows them. The form with noAscii serves
// builds that pass it; there is no ASCII export to hide.
void ArrangeReportForm(double top, double height);
void ArrangeReportForm(double top, double height, bool noAscii);

// Margins top and bottom 770, Arial 9, page header in Arial 9 italic; the
// printer becomes the one the routines below draw on.
void SetupReportPrinter(ReportPrinter &printer);
ReportPrinter *activeReportPrinter();

// The heading at the pen of a document just started: heading logo at
// x 1440, the title in 14 pt bold beside it, the long date and the time
// right-aligned in 8 pt italic, the page header "title||Page %d"; then the
// body starts 400 twips lower at x 1440 in 9 pt, left aligned.
void PrintReportHeading(const QString &title);
// The same with a centre text for the page header, subtitle lines printed
// below the title when not empty, and the logo line after the heading
// unless noLogo. compact is the form above (the only one reports use).
void PrintReportHeading(const QString &centreText, bool noLogo, const QString &title,
                        const QString &subtitle1, const QString &subtitle2, bool compact);
// The title of the last heading printed.
QString ReportHeadingText();

// The logo line before a record: picture 1 at (1440, pen y); pen to
// x 1440 and 125 twips down.
void PrintReportLogo();

// After endDoc(): tells which export file or files were written (nothing
// when exported is false). A failed export is reported as a failure.
void ShowExportResult(bool exported);
void ShowExportResult(bool ascii, bool exported);

// The report window's two pictures: 1 the logo line, 2 the heading logo.
QImage ReportPicture(int index);
