#pragma once
// The report engine that report builds draw on: a pen that prints text on
// US Letter pages, line by line, wrapping at the right margin and starting
// a new page at the bottom margin, plus pictures, tables and a running
// page header. It builds the immutable page model (ReportDocument) that
// the preview and the PDF writer draw, and writes the Rich Text or HTML
// export named before the build while the build draws.
//
// All lengths are twips (1440 to the inch), measured from the page's
// top-left corner; font sizes are points.
//
// The pen: currentX/currentY is where the next text starts; currentY is
// the top of the current line. Text continues the line; "\n" ends it and
// the next line starts at marginLeft + indentLeft. Runs of different sizes
// on one line share one baseline. A line that would cross the bottom
// margin moves to a new page.

#include "ReportModel.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

enum class PageOrientation { Portrait = 0, Landscape = 1 };

// How text sits on its line: Left continues from the pen; Right is flush
// with the right margin; Center is centred between the margins.
enum class TextAlign { Left, Center, Right };

// Export written while a report is built (values as the report window's
// export options give them).
enum class ExportFormat { Html = 0, Dhtml = 1, PagedHtml = 2, PagedDhtml = 3, Rtf = 4 };

// Cell properties a build may set on a table before endTable().
enum class TableProp {
    Bold,      // value: bool
    Align,     // value: int(TextAlign)
    BackColor, // value: QColor
    TextColor, // value: QColor
};

class ReportExporter;

class ReportPrinter {
public:
    // Row and column wildcards of tableCell(); rows count from 0 (the
    // header row), columns from 1.
    static constexpr int AllRows = -1;
    static constexpr int AllCols = -1;

    ReportPrinter();
    ~ReportPrinter();
    ReportPrinter(const ReportPrinter &) = delete;
    ReportPrinter &operator=(const ReportPrinter &) = delete;

    // ---- document ---------------------------------------------------
    // Discards the document shown and the page header and puts the pen
    // back to its start: margins 1440, no indent, Arial 10 black, left
    // aligned (the state every build starts from). The orientation and the
    // export settings stay.
    void clear();
    // Starts a new document on page 1; the previous document is dropped.
    void startDoc();
    // Finishes the last page and, when an export file is named, writes it.
    void endDoc();
    // Drops a document being built (a build that failed): the pages built
    // so far are discarded and no export file is written.
    void abortDoc();
    bool isDocOpen() const;
    // Finishes the current page and starts the next one.
    void newPage();
    // Pages of the document (also while it is being built).
    int pageCount() const;
    const ReportDocument &document() const;
    // Replaces the document shown (an opened report document).
    void setDocument(const ReportDocument &doc);
    // Adds a document's pages after the ones shown.
    void appendDocument(const ReportDocument &doc);

    // ---- page -------------------------------------------------------
    PageOrientation orientation() const;
    void setOrientation(PageOrientation o); // for pages started afterwards
    int pageWidth() const;  // of the orientation set
    int pageHeight() const;
    int marginLeft() const;
    void setMarginLeft(int twips);
    int marginRight() const;
    void setMarginRight(int twips);
    int marginTop() const;
    void setMarginTop(int twips);
    int marginBottom() const;
    void setMarginBottom(int twips);
    // Lines after the next line end start at marginLeft + indentLeft.
    int indentLeft() const;
    void setIndentLeft(int twips);

    // ---- pen --------------------------------------------------------
    int currentX() const;
    void setCurrentX(int twips);
    int currentY() const;
    // Moving the pen down or up ends the line being printed.
    void setCurrentY(int twips);

    // ---- font and colour --------------------------------------------
    QString fontName() const;
    void setFontName(const QString &name); // "arial" draws Liberation Sans
    double fontSize() const;
    void setFontSize(double points);
    bool fontBold() const;
    void setFontBold(bool on);
    bool fontItalic() const;
    void setFontItalic(bool on);
    bool fontUnderline() const;
    void setFontUnderline(bool on);
    FontSpec font() const;
    void setFont(const FontSpec &f);
    QColor textColor() const;
    void setTextColor(const QColor &c);
    // A colour given as 0x00BBGGRR (blue in the high byte).
    static QColor winColor(quint32 bgr);
    TextAlign textAlign() const;
    void setTextAlign(TextAlign a);

    // ---- text -------------------------------------------------------
    // Prints text at the pen and continues the line; each "\n" ends the
    // line. Text wraps at the right margin (at blanks; a word longer than
    // the line is cut).
    void text(const QString &s);

    // ---- running page header ----------------------------------------
    // "left|centre|right"; "%d" becomes the page number. Printed in the
    // top margin of every page, in the header font, as each page is
    // finished.
    void setHeader(const QString &leftCentreRight);
    // The same from its three parts, so a "|" in a part is just text.
    void setHeader(const QString &left, const QString &centre, const QString &right);
    QString header() const; // "left|centre|right"
    FontSpec headerFont() const;
    void setHeaderFont(const FontSpec &f);

    // ---- pictures ---------------------------------------------------
    // Draws a picture with its top-left corner at (x, y); a size of -1
    // takes the picture's own size (pictureWidth/pictureHeight). The pen
    // does not move.
    void drawPicture(const QImage &image, int x, int y, int width = -1, int height = -1);
    // A picture's natural size in twips, from its resolution (96 dpi when
    // it has none).
    static int pictureWidth(const QImage &image);
    static int pictureHeight(const QImage &image);

    // ---- tables -----------------------------------------------------
    // startTable() ... endTable() collects a table; it is laid out at
    // endTable(), after any tableCell() settings. addTable() outside such
    // a block lays its table out at once.
    void startTable();
    // formats: one per column: an optional alignment "<" left, "^" centre,
    // ">" right, then a width ("1in", "2.5cm", "30mm", "72pt", or twips).
    // header: the header row's cells (none: no header row). rows: the
    // body rows, each a list of cells ("\n" breaks a line inside a cell).
    // A header row is repeated at the top of every page the table runs
    // onto. append adds the rows to the table begun by an earlier call.
    // An invalid colour means no shading.
    void addTable(const QStringList &formats, const QStringList &header,
                  const QList<QStringList> &rows, const QColor &headerShade = QColor(),
                  const QColor &bodyShade = QColor(), bool append = false);
    // Sets a property of cells: row 0 is the header row, body rows count
    // from 1; columns count from 1; AllRows / AllCols for every one.
    void tableCell(TableProp prop, int row, int col, const QVariant &value);
    void endTable();

    // ---- export -----------------------------------------------------
    // The file the build exports to; "" for none. Read at startDoc().
    QString exportFile() const;
    void setExportFile(const QString &path);
    ExportFormat exportFormat() const;
    void setExportFormat(ExportFormat f);
    // After endDoc(): the files really written, and why an export failed
    // ("" when it did not).
    QStringList exportedFiles() const;
    QString exportError() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Parses one column format of addTable() ("^1in"); false when it is not
// one.
bool parseColumnFormat(const QString &format, TextAlign *align, int *widthTwips);
