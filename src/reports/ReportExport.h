#pragma once
// The exports a report writes while it is built: Rich Text, HTML and paged
// HTML follow the flow of the build (lines of text runs, pictures, tables,
// page breaks); DHTML and paged DHTML place every item of each finished
// page where the page model has it. Content is gathered during the build
// and the files are written at its end, each whole or not at all.

#include "ReportModel.h"
#include "ReportPrinter.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>

struct ExportRun {
    QString text;
    FontSpec font;
    QColor color;
    TextAlign align = TextAlign::Left;
    int x = 0;
    int width = 0;
};

// One printed line; runs empty for an empty line (then font gives its
// height).
struct ExportLine {
    QList<ExportRun> runs;
    FontSpec font;
    int top = 0;
    int height = 0;
    int startX = 0; // where the line's left-aligned text starts
    bool wrapped = false; // ended at the margin: the next line goes on with it
};

struct ExportCell {
    QString text;
    QStringList lines; // the text as the page breaks it into lines
    bool bold = false;
    TextAlign align = TextAlign::Left;
    QColor back; // invalid: none
    QColor fore;
};

// The rows of a table that stand on one page (a table running over
// several pages is exported page by page, its header row repeated).
struct ExportTable {
    QList<int> widths; // twips
    QList<QList<ExportCell>> rows; // the header row first when hasHeader
    QList<int> rowHeights;         // twips, as the page has them
    int lineHeight = 0;            // of one line of a cell
    bool hasHeader = false;
    FontSpec font;
    int x = 0;
};

struct ExportPageInfo {
    QSize size;
    int marginLeft = 0;
    int marginRight = 0;
    int marginTop = 0;
    int marginBottom = 0;
};

class ReportExporter {
public:
    virtual ~ReportExporter() = default;
    static std::unique_ptr<ReportExporter> create(ExportFormat format, const QString &path);

    virtual void beginPage(int number, const ExportPageInfo &info) = 0;
    virtual void line(const ExportLine &line) = 0;
    virtual void picture(const QImage &image, const QRect &rect) = 0;
    virtual void table(const ExportTable &table) = 0;
    // A page is finished (page, number index + 1 of doc); header holds the
    // page header's three parts as set ("%d" standing for the page number).
    virtual void endPage(const ReportDocument &doc, const ReportPage &page, int index, const QStringList &header,
                         const FontSpec &headerFont) = 0;
    // Writes the file(s); false with the reason when one could not be
    // written (files of this export already written are removed again).
    virtual bool finish(QStringList *written, QString *error) = 0;
};

// How far above its bottom margin the content of a Rich Text page must end
// at the most: room for a word processor that lays a line out a little
// taller or wider than the report does.
inline constexpr int RtfFootSafety = 300;

// "rpt.htm" -> ("rpt", ".htm"); "my.report.htm" -> ("my", ".report.htm");
// a title without "." is all base.
void splitExportTitle(const QString &title, QString *base, QString *ext);
