#include "ReportPrinter.h"

#include "Fmt.h"
#include "ReportExport.h"
#include "ReportFonts.h"
#include "ReportInternal.h"

#include <QHash>
#include <QRegularExpression>
#include <cmath>

namespace {

constexpr int CellPadX = 60;
constexpr int CellPadY = 30;
constexpr int DefaultMargin = 1440;

struct Run {
    QString text;
    FontSpec font;
    QRgb color = 0xff000000;
    TextAlign align = TextAlign::Left;
    qreal x = 0; // left-aligned runs only
    qreal width = 0;
};

struct PendingLine {
    bool active = false;
    int top = 0;
    qreal startX = 0;
    qreal leftEnd = 0;
    qreal rightWidth = 0;
    qreal centerWidth = 0;
    QList<Run> runs;
};

struct CellProp {
    TableProp prop;
    int row;
    int col;
    QVariant value;
};

struct Table {
    bool defined = false;
    QList<TextAlign> aligns;
    QList<int> widths;
    QStringList header;
    QList<QStringList> rows;
    QColor headerShade;
    QColor bodyShade;
    FontSpec font;
    QRgb color = 0xff000000;
    QList<CellProp> props;
};

} // namespace

struct ReportPrinter::Impl {
    ReportDocument doc;
    QHash<FontSpec, int> fontIdx;
    QHash<qint64, int> imageIdx;

    bool open = false;
    ReportPage page;
    PageOrientation orientation = PageOrientation::Portrait;
    int mL = DefaultMargin, mR = DefaultMargin, mT = DefaultMargin, mB = DefaultMargin;
    int indent = 0;
    qreal penX = DefaultMargin;
    int penY = DefaultMargin;
    FontSpec font;
    QColor color = Qt::black;
    TextAlign align = TextAlign::Left;
    QString hdrL, hdrC, hdrR;
    FontSpec hdrFont;
    PendingLine line;

    bool tableBlock = false;
    Table table;

    QString exportFile;
    ExportFormat exportFormat = ExportFormat::PagedHtml;
    std::unique_ptr<ReportExporter> exporter;
    QStringList exported;
    QString exportError;

    QSize orientedSize() const
    {
        return orientation == PageOrientation::Landscape ? QSize(Twips::LetterHeight, Twips::LetterWidth)
                                                         : QSize(Twips::LetterWidth, Twips::LetterHeight);
    }
    int pageBottom() const { return page.size.height() - mB; }
    int rightEdge() const { return page.size.width() - mR; }
    int lineStart() const { return mL + indent; }

    int fontIndex(const FontSpec &f)
    {
        auto it = fontIdx.find(f);
        if (it != fontIdx.end())
            return *it;
        doc.m_fonts.append(f);
        const int i = int(doc.m_fonts.size()) - 1;
        fontIdx.insert(f, i);
        return i;
    }
    int imageIndex(const QImage &img)
    {
        auto it = imageIdx.find(img.cacheKey());
        if (it != imageIdx.end())
            return *it;
        const int i = doc.imageIndex(img);
        imageIdx.insert(img.cacheKey(), i);
        return i;
    }

    // Drops the document being built or shown, and its export.
    void discardDocument()
    {
        open = false;
        doc = ReportDocument();
        fontIdx.clear();
        imageIdx.clear();
        page = ReportPage();
        line = PendingLine();
        table = Table();
        tableBlock = false;
        exporter.reset();
    }

    void ensureOpen()
    {
        if (!open)
            startDoc();
    }

    void startDoc()
    {
        doc = ReportDocument();
        fontIdx.clear();
        imageIdx.clear();
        line = PendingLine();
        table = Table();
        tableBlock = false;
        exported.clear();
        exportError.clear();
        exporter.reset();
        if (!exportFile.trimmed().isEmpty())
            exporter = ReportExporter::create(exportFormat, exportFile);
        open = true;
        startPage();
    }

    void startPage()
    {
        page = ReportPage();
        page.size = orientedSize();
        penX = lineStart();
        penY = mT;
        if (exporter)
            exporter->beginPage(int(doc.m_pages.size()) + 1,
                                ExportPageInfo{page.size, mL, mR, mT, mB});
    }

    QStringList headerParts(int number) const
    {
        const QString n = QString::number(number);
        return {QString(hdrL).replace(QLatin1String("%d"), n), QString(hdrC).replace(QLatin1String("%d"), n),
                QString(hdrR).replace(QLatin1String("%d"), n)};
    }

    void finishPage()
    {
        const int number = int(doc.m_pages.size()) + 1;
        const QStringList parts = headerParts(number);
        if (!(parts.at(0).isEmpty() && parts.at(1).isEmpty() && parts.at(2).isEmpty())) {
            const auto &m = ReportFonts::metrics(hdrFont);
            const int top = qMax(0, int(std::lround((mT - m.lineSpacing) / 2)));
            const int baseline = top + int(std::lround(m.ascent));
            const int fi = fontIndex(hdrFont);
            const int left = mL;
            const int right = page.size.width() - mR;
            auto put = [&](const QString &s, int which) {
                if (s.isEmpty())
                    return;
                const qreal w = m.width(s);
                qreal x = left;
                if (which == 1)
                    x = (left + right - w) / 2;
                else if (which == 2)
                    x = right - w;
                page.texts.append(ReportTextItem{int(std::lround(x)), baseline, int(std::lround(w)),
                                                 quint16(fi), 0xff000000, s});
            };
            put(parts.at(0), 0);
            put(parts.at(1), 1);
            put(parts.at(2), 2);
        }
        doc.appendPage(page);
        if (exporter)
            exporter->endPage(doc, page, int(doc.m_pages.size()) - 1, {hdrL, hdrC, hdrR}, hdrFont);
        page = ReportPage();
    }

    void newPage()
    {
        ensureOpen();
        flushLine(false);
        finishPage();
        startPage();
    }

    // ---- lines ----------------------------------------------------------

    void beginLineIfNeeded()
    {
        if (line.active)
            return;
        line = PendingLine();
        line.active = true;
        line.top = penY;
        line.startX = penX;
        line.leftEnd = penX;
    }

    // Ends the pending line: places it (on a new page when it would cross
    // the bottom margin) and, when advance, moves the pen to the next line.
    void flushLine(bool advance, bool wrapped = false)
    {
        if (!line.active) {
            if (advance) {
                const auto &m = ReportFonts::metrics(font);
                if (exporter) {
                    ExportLine el;
                    el.font = font;
                    el.top = penY;
                    el.height = int(std::ceil(m.lineSpacing));
                    el.startX = int(penX);
                    exporter->line(el);
                }
                penY += int(std::ceil(m.lineSpacing));
                penX = lineStart();
            }
            return;
        }
        qreal asc = 0, desc = 0, lead = 0;
        for (const Run &r : line.runs) {
            const auto &m = ReportFonts::metrics(r.font);
            asc = qMax(asc, m.ascent);
            desc = qMax(desc, m.descent);
            lead = qMax(lead, m.leading);
        }
        if (line.runs.isEmpty()) {
            const auto &m = ReportFonts::metrics(font);
            asc = m.ascent;
            desc = m.descent;
            lead = m.leading;
        }
        const int height = int(std::ceil(asc + desc + lead));
        int top = line.top;
        if (top + height > pageBottom() && top > mT) {
            finishPage();
            startPage();
            top = mT;
        }
        const int baseline = top + int(std::lround(asc));
        qreal rightX = rightEdge() - line.rightWidth;
        qreal centerX = (mL + rightEdge() - line.centerWidth) / 2;
        ExportLine el;
        el.font = font;
        el.top = top;
        el.height = height;
        el.startX = int(std::lround(line.startX));
        el.wrapped = wrapped;
        for (Run &r : line.runs) {
            qreal x = r.x;
            if (r.align == TextAlign::Right) {
                x = rightX;
                rightX += r.width;
            } else if (r.align == TextAlign::Center) {
                x = centerX;
                centerX += r.width;
            }
            r.x = x;
            page.texts.append(ReportTextItem{int(std::lround(x)), baseline, int(std::lround(r.width)),
                                             quint16(fontIndex(r.font)), r.color, r.text});
            if (exporter)
                el.runs.append(ExportRun{r.text, r.font, QColor::fromRgba(r.color), r.align,
                                         int(std::lround(x)), int(std::lround(r.width))});
        }
        if (exporter)
            exporter->line(el);
        line = PendingLine();
        if (advance) {
            penY = top + height;
            penX = lineStart();
        } else {
            penY = top;
        }
    }

    qreal available() const
    {
        return rightEdge() - qMax(penX, line.leftEnd) - line.rightWidth - line.centerWidth;
    }

    void addRun(const QString &s, qreal width)
    {
        Run r;
        r.text = s;
        r.font = font;
        r.color = color.rgba();
        r.align = align;
        r.width = width;
        if (align == TextAlign::Left) {
            r.x = penX;
            penX += width;
            line.leftEnd = qMax(line.leftEnd, penX);
        } else if (align == TextAlign::Right) {
            line.rightWidth += width;
        } else {
            line.centerWidth += width;
        }
        line.runs.append(r);
    }

    // Prints a piece of text without line feeds, wrapping at the margin.
    void printSegment(QString rest)
    {
        const auto &m = ReportFonts::metrics(font);
        while (!rest.isEmpty()) {
            beginLineIfNeeded();
            const qreal avail = available();
            if (m.roughWidth(rest) <= avail + 200) {
                const qreal w = m.width(rest);
                if (w <= avail) {
                    addRun(rest, w);
                    return;
                }
            }
            const bool lineHasText = !line.runs.isEmpty() || penX > lineStart() + 1;
            qreal w = 0;
            const int n = m.fit(rest, avail, !lineHasText, &w);
            if (n > 0)
                addRun(rest.left(n), w);
            // What does not fit goes on below.
            flushLine(true, true);
            rest = rest.mid(n);
            while (rest.startsWith(QLatin1Char(' ')))
                rest.remove(0, 1);
        }
    }

    void text(const QString &s)
    {
        ensureOpen();
        if (tableBlock && table.defined)
            layoutTable();
        // Most texts are one piece without line ends: no list of pieces.
        if (!s.contains(QLatin1Char('\n')) && !s.contains(QLatin1Char('\r'))) {
            if (!s.isEmpty())
                printSegment(s);
            return;
        }
        if (s.size() == 1 && s.front() == QLatin1Char('\n')) {
            flushLine(true);
            return;
        }
        const QStringList parts = s.split(QLatin1Char('\n'));
        for (int i = 0; i < parts.size(); ++i) {
            QString part = parts.at(i);
            part.remove(QLatin1Char('\r'));
            if (!part.isEmpty())
                printSegment(part);
            if (i + 1 < parts.size())
                flushLine(true);
        }
    }

    // ---- tables -----------------------------------------------------------

    void layoutTable();
};

// ---- tables ---------------------------------------------------------------

bool parseColumnFormat(const QString &format, TextAlign *align, int *widthTwips)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*([<^>]?)\\s*([0-9]*\\.?[0-9]+)\\s*(in|cm|mm|pt|tw)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(format);
    if (!m.hasMatch())
        return false;
    TextAlign a = TextAlign::Left;
    if (m.captured(1) == QLatin1String("^"))
        a = TextAlign::Center;
    else if (m.captured(1) == QLatin1String(">"))
        a = TextAlign::Right;
    const double v = m.captured(2).toDouble();
    const QString unit = m.captured(3).toLower();
    double tw = v;
    if (unit == QLatin1String("in"))
        tw = v * 1440;
    else if (unit == QLatin1String("cm"))
        tw = v * 1440 / 2.54;
    else if (unit == QLatin1String("mm"))
        tw = v * 144 / 2.54;
    else if (unit == QLatin1String("pt"))
        tw = v * 20;
    if (tw <= 0 || tw > 100 * 1440)
        return false;
    if (align)
        *align = a;
    if (widthTwips)
        *widthTwips = int(std::lround(tw));
    return true;
}

void ReportPrinter::Impl::layoutTable()
{
    if (!table.defined)
        return;
    Table t = std::move(table);
    table = Table();
    if (line.active)
        flushLine(true);

    const int cols = int(t.widths.size());
    const bool hasHeader = !t.header.isEmpty();
    // Every row as cells, the header first.
    QList<QStringList> rows;
    if (hasHeader)
        rows.append(t.header);
    rows.append(t.rows);
    const int firstBody = hasHeader ? 0 : 1; // row number of rows[0] in tableCell terms

    struct Cell {
        QString text;
        bool bold = false;
        TextAlign align = TextAlign::Left;
        QColor back;
        QColor fore;
        QList<ReportFonts::WrappedLine> lines;
    };
    QList<QList<Cell>> cells(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        const int rowNo = r + firstBody;
        const bool isHeader = hasHeader && r == 0;
        QList<Cell> &rc = cells[r];
        rc.resize(cols);
        for (int c = 0; c < cols; ++c) {
            Cell &cell = rc[c];
            cell.text = c < rows.at(r).size() ? Fmt::withoutControls(rows.at(r).at(c)) : QString();
            cell.align = t.aligns.at(c);
            cell.back = isHeader ? t.headerShade : t.bodyShade;
            cell.fore = QColor::fromRgba(t.color);
            for (const CellProp &p : t.props) {
                if (p.row != AllRows && p.row != rowNo)
                    continue;
                if (p.col != AllCols && p.col != c + 1)
                    continue;
                switch (p.prop) {
                case TableProp::Bold: cell.bold = p.value.toBool(); break;
                case TableProp::Align: cell.align = TextAlign(p.value.toInt()); break;
                case TableProp::BackColor: cell.back = p.value.value<QColor>(); break;
                case TableProp::TextColor: cell.fore = p.value.value<QColor>(); break;
                }
            }
            FontSpec f = t.font;
            f.bold = f.bold || cell.bold;
            cell.lines = ReportFonts::metrics(f).wrap(cell.text, qMax(1, t.widths.at(c) - 2 * CellPadX));
        }
    }

    const auto &base = ReportFonts::metrics(t.font);
    const int lineH = int(std::ceil(base.lineSpacing));
    const int x0 = lineStart();
    auto rowLines = [&](int r) {
        int n = 1;
        for (const Cell &c : cells.at(r))
            n = qMax(n, int(c.lines.size()));
        return n;
    };
    const int headerH = hasHeader ? rowLines(0) * lineH + 2 * CellPadY : 0;

    // The rows placed on the page being laid out, for the export: each
    // page's rows go out with that page.
    QList<QList<ExportCell>> pageRows;
    QList<int> pageRowHeights;
    bool pageStartsWithHeader = false;
    auto exportPageRows = [&]() {
        if (exporter && !pageRows.isEmpty()) {
            ExportTable et;
            et.widths = t.widths;
            et.hasHeader = pageStartsWithHeader;
            et.font = t.font;
            et.x = lineStart();
            et.lineHeight = int(std::ceil(ReportFonts::metrics(t.font).lineSpacing));
            et.rows = pageRows;
            et.rowHeights = pageRowHeights;
            exporter->table(et);
        }
        pageRows.clear();
        pageRowHeights.clear();
        pageStartsWithHeader = false;
    };

    // A slice of a row: lines [from, from + count) of each cell.
    auto drawSlice = [&](int r, int from, int count, int y) {
        int x = x0;
        const int h = count * lineH + 2 * CellPadY;
        for (int c = 0; c < cols; ++c) {
            const Cell &cell = cells.at(r).at(c);
            const int w = t.widths.at(c);
            ReportBoxItem box;
            box.rect = QRect(x, y, w, h);
            box.border = true;
            if (cell.back.isValid())
                box.fill = cell.back.rgba();
            page.boxes.append(box);
            FontSpec f = t.font;
            f.bold = f.bold || cell.bold;
            const int fi = fontIndex(f);
            for (int k = from; k < from + count && k < cell.lines.size(); ++k) {
                const QString &s = cell.lines.at(k).text;
                if (s.isEmpty())
                    continue;
                const qreal tw = cell.lines.at(k).width;
                qreal tx = x + CellPadX;
                if (cell.align == TextAlign::Center)
                    tx = x + (w - tw) / 2;
                else if (cell.align == TextAlign::Right)
                    tx = x + w - CellPadX - tw;
                const int baseline = y + CellPadY + (k - from) * lineH + int(std::lround(base.ascent));
                page.texts.append(ReportTextItem{int(std::lround(tx)), baseline, int(std::lround(tw)),
                                                 quint16(fi), cell.fore.rgba(), s});
            }
            x += w;
        }
        if (exporter) {
            if (pageRows.isEmpty())
                pageStartsWithHeader = hasHeader && r == 0;
            QList<ExportCell> er;
            for (const Cell &c : cells.at(r)) {
                ExportCell ec{c.text, {}, c.bold, c.align, c.back, c.fore};
                for (int k = from; k < from + count && k < c.lines.size(); ++k)
                    ec.lines << c.lines.at(k).text;
                // A row cut by a page break keeps only its lines on this page.
                if (from > 0 || count < c.lines.size())
                    ec.text = ec.lines.join(QLatin1Char('\n'));
                er.append(ec);
            }
            pageRows.append(er);
            pageRowHeights.append(h);
        }
        return h;
    };

    int y = penY;
    bool rowOnPage = false; // a body row stands on this page already
    auto freshPage = [&]() {
        exportPageRows();
        finishPage();
        startPage();
        y = mT;
        rowOnPage = false;
        if (hasHeader)
            y += drawSlice(0, 0, rowLines(0), y);
    };

    const int bodyStart = hasHeader ? 1 : 0;
    if (hasHeader) {
        // The header goes with the first body row.
        const int firstH = rows.size() > 1 ? rowLines(1) * lineH + 2 * CellPadY : 0;
        if (y + headerH + firstH > pageBottom() && y > mT) {
            finishPage();
            startPage();
            y = mT;
        }
        y += drawSlice(0, 0, rowLines(0), y);
    }
    for (int r = bodyStart; r < rows.size(); ++r) {
        const int n = rowLines(r);
        const int h = n * lineH + 2 * CellPadY;
        if (y + h > pageBottom() && (rowOnPage || y > mT + headerH))
            freshPage();
        if (y + h <= pageBottom()) {
            y += drawSlice(r, 0, n, y);
            rowOnPage = true;
            continue;
        }
        // A row taller than a page: its lines continue on the next pages.
        int from = 0;
        while (from < n) {
            int fit = (pageBottom() - y - 2 * CellPadY) / lineH;
            if (fit < 1) {
                freshPage();
                fit = qMax(1, (pageBottom() - y - 2 * CellPadY) / lineH);
            }
            const int count = qMin(fit, n - from);
            y += drawSlice(r, from, count, y);
            rowOnPage = true;
            from += count;
            if (from < n)
                freshPage();
        }
    }

    exportPageRows();
    penY = y;
    penX = lineStart();
}

// ---- public face -------------------------------------------------------------

ReportPrinter::ReportPrinter() : d(std::make_unique<Impl>())
{
    d->hdrFont = d->font;
}

ReportPrinter::~ReportPrinter()
{
    ReportInternal::printerDestroyed(this);
}

void ReportPrinter::clear()
{
    d->discardDocument();
    d->hdrL.clear();
    d->hdrC.clear();
    d->hdrR.clear();
    // Every build starts from the same pen, whatever the last one left.
    d->mL = d->mR = d->mT = d->mB = DefaultMargin;
    d->indent = 0;
    d->font = FontSpec();
    d->hdrFont = FontSpec();
    d->color = Qt::black;
    d->align = TextAlign::Left;
    d->penX = d->lineStart();
    d->penY = d->mT;
}

void ReportPrinter::startDoc()
{
    d->startDoc();
}

void ReportPrinter::endDoc()
{
    if (!d->open)
        return;
    if (d->table.defined)
        d->layoutTable();
    d->tableBlock = false;
    d->flushLine(false);
    d->finishPage();
    d->open = false;
    if (d->exporter) {
        QStringList written;
        QString error;
        if (!d->exporter->finish(&written, &error))
            d->exportError = error.isEmpty() ? QStringLiteral("The export file could not be written.") : error;
        d->exported = written;
        d->exporter.reset();
    }
}

void ReportPrinter::abortDoc()
{
    d->discardDocument();
    d->exported.clear();
}

bool ReportPrinter::isDocOpen() const
{
    return d->open;
}

void ReportPrinter::newPage()
{
    if (d->table.defined)
        d->layoutTable();
    d->newPage();
}

int ReportPrinter::pageCount() const
{
    return d->doc.pageCount() + (d->open ? 1 : 0);
}

const ReportDocument &ReportPrinter::document() const
{
    return d->doc;
}

void ReportPrinter::setDocument(const ReportDocument &doc)
{
    abortDoc();
    d->doc = doc;
}

void ReportPrinter::appendDocument(const ReportDocument &doc)
{
    if (d->open)
        endDoc();
    d->doc = d->doc.appended(doc);
    d->fontIdx.clear();
    d->imageIdx.clear();
}

PageOrientation ReportPrinter::orientation() const { return d->orientation; }
void ReportPrinter::setOrientation(PageOrientation o) { d->orientation = o; }
int ReportPrinter::pageWidth() const { return d->orientedSize().width(); }
int ReportPrinter::pageHeight() const { return d->orientedSize().height(); }
int ReportPrinter::marginLeft() const { return d->mL; }
void ReportPrinter::setMarginLeft(int t) { d->mL = qMax(0, t); }
int ReportPrinter::marginRight() const { return d->mR; }
void ReportPrinter::setMarginRight(int t) { d->mR = qMax(0, t); }
int ReportPrinter::marginTop() const { return d->mT; }
void ReportPrinter::setMarginTop(int t) { d->mT = qMax(0, t); }
int ReportPrinter::marginBottom() const { return d->mB; }
void ReportPrinter::setMarginBottom(int t) { d->mB = qMax(0, t); }
int ReportPrinter::indentLeft() const { return d->indent; }
void ReportPrinter::setIndentLeft(int t) { d->indent = t; }

int ReportPrinter::currentX() const
{
    return int(std::lround(d->penX));
}

void ReportPrinter::setCurrentX(int t)
{
    d->penX = t;
}

int ReportPrinter::currentY() const
{
    return d->line.active ? d->line.top : d->penY;
}

void ReportPrinter::setCurrentY(int t)
{
    if (d->line.active && d->line.top != t) {
        const qreal x = d->penX;
        d->flushLine(false);
        d->penX = x;
    }
    d->penY = t;
}

QString ReportPrinter::fontName() const { return d->font.name; }
void ReportPrinter::setFontName(const QString &n) { d->font.name = n.trimmed().isEmpty() ? QStringLiteral("Arial") : n; }
double ReportPrinter::fontSize() const { return d->font.sizePoints(); }
void ReportPrinter::setFontSize(double pt) { d->font.sizeTwips = qBound(20, int(std::lround(pt * 20)), 20000); }
bool ReportPrinter::fontBold() const { return d->font.bold; }
void ReportPrinter::setFontBold(bool on) { d->font.bold = on; }
bool ReportPrinter::fontItalic() const { return d->font.italic; }
void ReportPrinter::setFontItalic(bool on) { d->font.italic = on; }
bool ReportPrinter::fontUnderline() const { return d->font.underline; }
void ReportPrinter::setFontUnderline(bool on) { d->font.underline = on; }
FontSpec ReportPrinter::font() const { return d->font; }
void ReportPrinter::setFont(const FontSpec &f) { d->font = f; }
QColor ReportPrinter::textColor() const { return d->color; }
void ReportPrinter::setTextColor(const QColor &c) { d->color = c.isValid() ? c : QColor(Qt::black); }
TextAlign ReportPrinter::textAlign() const { return d->align; }
void ReportPrinter::setTextAlign(TextAlign a) { d->align = a; }

QColor ReportPrinter::winColor(quint32 bgr)
{
    return QColor(int(bgr & 0xff), int((bgr >> 8) & 0xff), int((bgr >> 16) & 0xff));
}

void ReportPrinter::text(const QString &s)
{
    d->text(Fmt::withoutControls(s));
}

void ReportPrinter::setHeader(const QString &leftCentreRight)
{
    const QStringList parts = leftCentreRight.split(QLatin1Char('|'));
    setHeader(parts.value(0), parts.value(1), parts.mid(2).join(QLatin1Char('|')));
}

void ReportPrinter::setHeader(const QString &left, const QString &centre, const QString &right)
{
    d->hdrL = Fmt::withoutControls(left);
    d->hdrC = Fmt::withoutControls(centre);
    d->hdrR = Fmt::withoutControls(right);
}

QString ReportPrinter::header() const
{
    if (d->hdrL.isEmpty() && d->hdrC.isEmpty() && d->hdrR.isEmpty())
        return QString();
    return d->hdrL + QLatin1Char('|') + d->hdrC + QLatin1Char('|') + d->hdrR;
}

FontSpec ReportPrinter::headerFont() const { return d->hdrFont; }
void ReportPrinter::setHeaderFont(const FontSpec &f) { d->hdrFont = f; }

int ReportPrinter::pictureWidth(const QImage &image)
{
    const double dpi = image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() * 0.0254 : 96.0;
    return int(std::lround(image.width() * 1440.0 / dpi));
}

int ReportPrinter::pictureHeight(const QImage &image)
{
    const double dpi = image.dotsPerMeterY() > 0 ? image.dotsPerMeterY() * 0.0254 : 96.0;
    return int(std::lround(image.height() * 1440.0 / dpi));
}

void ReportPrinter::drawPicture(const QImage &image, int x, int y, int width, int height)
{
    if (image.isNull())
        return;
    d->ensureOpen();
    if (d->table.defined && d->tableBlock)
        d->layoutTable();
    const int w = width >= 0 ? width : pictureWidth(image);
    const int h = height >= 0 ? height : pictureHeight(image);
    const QRect r(x, y, w, h);
    d->page.pictures.append(ReportPictureItem{r, d->imageIndex(image)});
    if (d->exporter)
        d->exporter->picture(image, r);
}

void ReportPrinter::startTable()
{
    d->ensureOpen();
    if (d->table.defined)
        d->layoutTable();
    d->tableBlock = true;
}

void ReportPrinter::addTable(const QStringList &formats, const QStringList &header,
                             const QList<QStringList> &rows, const QColor &headerShade,
                             const QColor &bodyShade, bool append)
{
    d->ensureOpen();
    Table &t = d->table;
    if (append && !t.defined && !d->tableBlock) {
        // Outside a table block the rows continue a table of their own.
        append = false;
    }
    if (!append || !t.defined) {
        if (t.defined)
            d->layoutTable();
        Table fresh;
        fresh.defined = true;
        for (const QString &f : formats) {
            TextAlign a = TextAlign::Left;
            int w = 1440;
            if (!parseColumnFormat(f, &a, &w)) {
                a = TextAlign::Left;
                w = 1440;
            }
            fresh.aligns.append(a);
            fresh.widths.append(w);
        }
        if (fresh.widths.isEmpty()) {
            const int n = qMax<int>(1, qMax<int>(int(header.size()), rows.isEmpty() ? 1 : int(rows.first().size())));
            const int w = (d->rightEdge() - d->lineStart()) / n;
            for (int i = 0; i < n; ++i) {
                fresh.aligns.append(TextAlign::Left);
                fresh.widths.append(w);
            }
        }
        fresh.header = header;
        fresh.headerShade = headerShade;
        fresh.bodyShade = bodyShade;
        fresh.font = d->font;
        fresh.color = d->color.rgba();
        t = std::move(fresh);
    }
    t.rows.append(rows);
    if (!d->tableBlock)
        d->layoutTable();
}

void ReportPrinter::tableCell(TableProp prop, int row, int col, const QVariant &value)
{
    if (!d->table.defined)
        return;
    d->table.props.append(CellProp{prop, row, col, value});
}

void ReportPrinter::endTable()
{
    d->tableBlock = false;
    if (d->table.defined)
        d->layoutTable();
}

QString ReportPrinter::exportFile() const { return d->exportFile; }
void ReportPrinter::setExportFile(const QString &path) { d->exportFile = path; }
ExportFormat ReportPrinter::exportFormat() const { return d->exportFormat; }
void ReportPrinter::setExportFormat(ExportFormat f) { d->exportFormat = f; }
QStringList ReportPrinter::exportedFiles() const { return d->exported; }
QString ReportPrinter::exportError() const { return d->exportError; }
