#include "ReportExport.h"

#include "Fmt.h"
#include "ReportFonts.h"
#include "ReportScratch.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <functional>

void splitExportTitle(const QString &title, QString *base, QString *ext)
{
    const int dot = int(title.indexOf(QLatin1Char('.')));
    if (dot < 0) {
        *base = title;
        ext->clear();
        return;
    }
    *base = title.left(dot);
    *ext = title.mid(dot);
}

namespace {

bool writeWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), f.errorString());
        return false;
    }
    if (f.write(bytes) != bytes.size() || !f.commit()) {
        *error = QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), f.errorString());
        f.cancelWriting();
        return false;
    }
    return true;
}

// A file written piece by piece, whole or not at all.
class PieceFile {
public:
    explicit PieceFile(const QString &path) : m_path(path), m_file(path) { m_ok = m_file.open(QIODevice::WriteOnly); }
    void write(const QByteArray &bytes)
    {
        if (m_ok && m_file.write(bytes) != bytes.size())
            m_ok = false;
    }
    bool commit(QString *error)
    {
        if (m_ok && m_file.commit())
            return true;
        *error = QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(m_path), m_file.errorString());
        m_file.cancelWriting();
        return false;
    }

private:
    QString m_path;
    QSaveFile m_file;
    bool m_ok = false;
};

// What an export gathers for its files while the report is built (a page
// of HTML, a stretch of Rich Text), kept in a scratch file rather than in
// memory: a report of a million anthems exports as well as a short one.
class Pieces {
public:
    void append(const QByteArray &bytes)
    {
        Piece p;
        p.size = bytes.size();
        p.at = m_scratch.append(bytes);
        // Without room in the scratch file the piece stays in memory.
        if (p.at < 0)
            p.held = bytes;
        m_pieces.append(p);
    }
    int count() const { return int(m_pieces.size()); }
    QByteArray at(int i) const
    {
        const Piece &p = m_pieces.at(i);
        return p.at < 0 ? p.held : m_scratch.read(p.at, p.size);
    }
    // False when a piece could not be read back (the scratch file damaged
    // behind our back): the export then fails rather than lose text.
    bool readable(const QByteArray &piece, int i) const { return piece.size() == m_pieces.at(i).size; }

private:
    struct Piece {
        qint64 at = -1;
        qint64 size = 0;
        QByteArray held;
    };
    ReportScratch m_scratch;
    QList<Piece> m_pieces;
};

// The text of a page around its body: a document made with a marker for
// a body and cut at it (the title is escaped, so never holds the marker).
template <class Document> std::pair<QByteArray, QByteArray> aroundBody(const Document &document, const QString &title)
{
    const QByteArray whole = document(title, QString(QChar(1))).toUtf8();
    const qsizetype at = whole.indexOf('\x01');
    return {whole.left(at), whole.mid(at + 1)};
}

// Writes files one after another, every one or none: files this export
// already wrote are removed again when a later one fails.
class AllOrNone {
public:
    bool write(const QString &path, const QByteArray &bytes, QString *error)
    {
        if (!writeWhole(path, bytes, error)) {
            undo();
            return false;
        }
        m_done << path;
        return true;
    }
    void undo()
    {
        for (const QString &p : std::as_const(m_done))
            QFile::remove(p);
        m_done.clear();
    }
    QStringList done() const { return m_done; }

private:
    QStringList m_done;
};

QString pagedName(const QString &path, int number)
{
    const QFileInfo fi(path);
    QString base, ext;
    splitExportTitle(fi.fileName(), &base, &ext);
    return fi.dir().filePath(base + QString::number(number) + ext);
}

// The links from page i (0-based) of a paged export's n files to the
// previous and the next one; none for a single page.
QByteArray pageLinks(const QString &path, int i, int n)
{
    if (n <= 1)
        return {};
    QString nav = QLatin1String("<div class=\"nav\">");
    if (i > 0)
        nav += QStringLiteral("<a href=\"%1\">Previous</a> ")
                   .arg(QFileInfo(pagedName(path, i)).fileName().toHtmlEscaped());
    if (i + 1 < n)
        nav += QStringLiteral("<a href=\"%1\">Next</a>")
                   .arg(QFileInfo(pagedName(path, i + 2)).fileName().toHtmlEscaped());
    nav += QLatin1String("</div>\n");
    return nav.toUtf8();
}

QString pt(double twips)
{
    return QString::number(twips / 20.0, 'f', 2) + QLatin1String("pt");
}

using Fmt::isControl;
using Fmt::withoutControls;

QString htmlEscape(const QString &s)
{
    QString out = withoutControls(s).toHtmlEscaped();
    out.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    return out;
}

QString cssFont(const FontSpec &f)
{
    QString family = QStringLiteral("'%1'").arg(f.name);
    const QString resolved = FontSpec::resolvedFamily(f.name);
    if (resolved.compare(f.name, Qt::CaseInsensitive) != 0)
        family += QStringLiteral(",'%1'").arg(resolved);
    family += QLatin1String(",sans-serif");
    QString css = QStringLiteral("font-family:%1;font-size:%2").arg(family, pt(f.sizeTwips));
    if (f.bold)
        css += QLatin1String(";font-weight:bold");
    if (f.italic)
        css += QLatin1String(";font-style:italic");
    if (f.underline)
        css += QLatin1String(";text-decoration:underline");
    return css;
}

QString cssColor(const QColor &c)
{
    return c.name(QColor::HexRgb);
}

bool unreadable(QString *error)
{
    *error = QStringLiteral("the report's text could not be read back from the temporary folder");
    return false;
}

// Writes the pages an HTML or DHTML export gathered between the head and
// the tail of its document: all in one file, or when paged each in a file
// of its own with links to the pages beside it; body(i, page) makes page
// i's part of its file.
bool writeHtmlPages(const Pieces &pages, const QString &path, bool paged, const QByteArray &head,
                    const QByteArray &tail, const std::function<QByteArray(int, const QByteArray &)> &body,
                    QStringList *written, QString *error)
{
    const int n = pages.count();
    if (!paged) {
        PieceFile f(path);
        f.write(head);
        for (int i = 0; i < n; ++i) {
            const QByteArray page = pages.at(i);
            if (!pages.readable(page, i))
                return unreadable(error);
            f.write(body(i, page));
        }
        f.write(tail);
        if (!f.commit(error))
            return false;
        *written = QStringList{path};
        return true;
    }
    AllOrNone files;
    for (int i = 0; i < n; ++i) {
        const QByteArray page = pages.at(i);
        if (!pages.readable(page, i)) {
            files.undo();
            return unreadable(error);
        }
        if (!files.write(pagedName(path, i + 1), head + body(i, page) + pageLinks(path, i, n) + tail, error))
            return false;
    }
    *written = files.done();
    return true;
}

QByteArray pngBytes(const QImage &img)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return bytes;
}

struct PendingPicture {
    QImage image;
    QRect rect;
};

// What the flow exports share: pictures wait for the line they stand
// beside (drawn inline before its text) or stand alone when no line
// overlaps them; vertical gaps and indents are measured against the page.
class FlowExporter : public ReportExporter {
public:
    void beginPage(int number, const ExportPageInfo &info) override
    {
        m_info = info;
        m_lastBottom = info.marginTop;
        m_pageNumber = number;
        if (number > 1)
            pageBreak();
    }

    void picture(const QImage &image, const QRect &rect) override
    {
        m_pics.append(PendingPicture{image, rect});
    }

protected:
    virtual void pageBreak() = 0;
    virtual void standalonePicture(const PendingPicture &p, int gap, int indent) = 0;

    // Pictures overlapping the line go with it; the others are written
    // before it on their own.
    QList<PendingPicture> takePictures(int top, int bottom)
    {
        QList<PendingPicture> inlined;
        QList<PendingPicture> rest;
        for (const PendingPicture &p : m_pics) {
            if (p.rect.top() < bottom && p.rect.bottom() > top)
                inlined.append(p);
            else
                rest.append(p);
        }
        m_pics.clear();
        for (const PendingPicture &p : rest)
            standaloneAndAdvance(p);
        return inlined;
    }

    // Takes the pictures that go with a line and widens the line's start
    // (top and left) to take them in.
    QList<PendingPicture> takeLinePictures(const ExportLine &l, int *top, int *left)
    {
        QList<PendingPicture> inl = takePictures(l.top, l.top + l.height);
        *top = l.top;
        *left = l.startX;
        for (const PendingPicture &p : inl) {
            *top = qMin(*top, p.rect.top());
            *left = qMin(*left, p.rect.left());
        }
        return inl;
    }

    void flushPictures()
    {
        const QList<PendingPicture> pics = m_pics;
        m_pics.clear();
        for (const PendingPicture &p : pics)
            standaloneAndAdvance(p);
    }

    int gapBefore(int top) const { return qMax(0, top - m_lastBottom); }
    int indentOf(int x) const { return qMax(0, x - m_info.marginLeft); }
    int textWidth() const { return m_info.size.width() - m_info.marginLeft - m_info.marginRight; }

    ExportPageInfo m_info;
    ExportPageInfo m_firstInfo;
    int m_lastBottom = 0;
    int m_pageNumber = 0;
    QList<PendingPicture> m_pics;

private:
    void standaloneAndAdvance(const PendingPicture &p)
    {
        standalonePicture(p, gapBefore(p.rect.top()), indentOf(p.rect.left()));
        m_lastBottom = qMax(m_lastBottom, p.rect.bottom() + 1);
    }
};

// ---- HTML (flowing), single or one file per page ----------------------------

class HtmlExporter : public FlowExporter {
public:
    HtmlExporter(const QString &path, bool paged) : m_path(path), m_paged(paged) {}

    void line(const ExportLine &l) override
    {
        if (m_open) {
            // The line goes on with a paragraph that wrapped at the margin.
            QString html = QStringLiteral(" ");
            for (const ExportRun &r : l.runs)
                html += span(r);
            m_cur += html;
            m_lastBottom = l.top + l.height;
            if (!l.wrapped)
                closeParagraph();
            return;
        }
        int top = 0;
        int left = 0;
        const QList<PendingPicture> inl = takeLinePictures(l, &top, &left);
        QString style = QStringLiteral("min-height:%1").arg(pt(l.height));
        const int gap = gapBefore(top);
        if (gap > 0)
            style += QStringLiteral(";margin-top:%1").arg(pt(gap));
        const int indent = indentOf(left);
        if (indent > 0)
            style += QStringLiteral(";margin-left:%1").arg(pt(indent));
        bool onlyCentre = !l.runs.isEmpty();
        for (const ExportRun &r : l.runs)
            onlyCentre = onlyCentre && r.align == TextAlign::Center;
        if (onlyCentre)
            style += QLatin1String(";text-align:center");
        QString html = QStringLiteral("<div class=\"l\" style=\"%1\">").arg(style);
        QString right;
        for (const ExportRun &r : l.runs) {
            if (r.align == TextAlign::Right)
                right += span(r);
        }
        if (!right.isEmpty())
            html += QStringLiteral("<span style=\"float:right\">%1</span>").arg(right);
        for (const PendingPicture &p : inl)
            html += img(p, QStringLiteral("vertical-align:top;margin-right:%1").arg(pt(qMax(0, l.startX - p.rect.right()))));
        for (const ExportRun &r : l.runs) {
            if (r.align != TextAlign::Right)
                html += span(r);
        }
        if (l.runs.isEmpty() && inl.isEmpty())
            html += QStringLiteral("<span style=\"%1\">&nbsp;</span>").arg(cssFont(l.font));
        m_cur += html;
        m_open = true;
        if (!l.wrapped)
            closeParagraph();
        m_lastBottom = l.top + l.height;
        for (const PendingPicture &p : inl)
            m_lastBottom = qMax(m_lastBottom, p.rect.bottom() + 1);
    }

    void table(const ExportTable &t) override
    {
        closeParagraph();
        flushPictures();
        QString html = QStringLiteral("<table class=\"t\" style=\"margin-left:%1;%2\">\n<colgroup>")
                           .arg(pt(indentOf(t.x)), cssFont(t.font));
        int total = 0;
        for (int w : t.widths) {
            html += QStringLiteral("<col style=\"width:%1\">").arg(pt(w));
            total += w;
        }
        html += QLatin1String("</colgroup>\n");
        for (int r = 0; r < t.rows.size(); ++r) {
            const bool header = t.hasHeader && r == 0;
            if (header)
                html += QLatin1String("<thead>");
            if (r == (t.hasHeader ? 1 : 0))
                html += QLatin1String("<tbody>");
            html += QLatin1String("<tr>");
            for (const ExportCell &c : t.rows.at(r)) {
                QString style;
                if (c.bold)
                    style += QLatin1String("font-weight:bold;");
                else if (header)
                    style += QLatin1String("font-weight:normal;");
                style += QStringLiteral("text-align:%1;")
                             .arg(c.align == TextAlign::Center ? QLatin1String("center")
                                  : c.align == TextAlign::Right ? QLatin1String("right")
                                                                : QLatin1String("left"));
                if (c.back.isValid())
                    style += QStringLiteral("background:%1;").arg(cssColor(c.back));
                if (c.fore.isValid() && c.fore != Qt::black)
                    style += QStringLiteral("color:%1;").arg(cssColor(c.fore));
                const QLatin1String tag(header ? "th" : "td");
                html += QStringLiteral("<%1 style=\"%2\">%3</%1>").arg(tag, style, htmlEscape(c.text));
            }
            html += QLatin1String("</tr>\n");
            if (header)
                html += QLatin1String("</thead>\n");
        }
        if (t.rows.size() > (t.hasHeader ? 1 : 0))
            html += QLatin1String("</tbody>");
        html += QLatin1String("</table>\n");
        Q_UNUSED(total);
        m_cur += html;
    }

    void endPage(const ReportDocument &, const ReportPage &, int index, const QStringList &header,
                 const FontSpec &hdrFont) override
    {
        closeParagraph();
        flushPictures();
        const QString number = QString::number(index + 1);
        QString hdr;
        if (!(header.value(0).isEmpty() && header.value(1).isEmpty() && header.value(2).isEmpty())) {
            hdr = QStringLiteral("<div class=\"h\" style=\"%1\"><span class=\"hl\">%2</span><span class=\"hc\">%3</span>"
                                 "<span class=\"hr\">%4</span></div>\n")
                      .arg(cssFont(hdrFont), htmlEscape(QString(header.value(0)).replace(QLatin1String("%d"), number)),
                           htmlEscape(QString(header.value(1)).replace(QLatin1String("%d"), number)),
                           htmlEscape(QString(header.value(2)).replace(QLatin1String("%d"), number)));
            if (m_title.isEmpty())
                m_title = header.value(0).trimmed();
        }
        m_pages.append((hdr + m_cur).toUtf8());
        m_cur.clear();
    }

    bool finish(QStringList *written, QString *error) override
    {
        if (!m_cur.isEmpty())
            m_pages.append(m_cur.toUtf8());
        const QString title = m_title.isEmpty() ? QFileInfo(m_path).completeBaseName() : m_title;
        const auto [head, tail] = aroundBody(&HtmlExporter::document, title);
        // A page in a file of its own stands alone; in one file a rule
        // parts it from the page before.
        return writeHtmlPages(
            m_pages, m_path, m_paged, head, tail,
            [paged = m_paged](int i, const QByteArray &page) {
                return (!paged && i > 0 ? QByteArray("<hr class=\"pb\">\n") : QByteArray()) + "<div class=\"page\">\n"
                    + page + "</div>\n";
            },
            written, error);
    }

protected:
    void pageBreak() override {}

    void standalonePicture(const PendingPicture &p, int gap, int indent) override
    {
        closeParagraph();
        m_cur += QStringLiteral("<div class=\"l\" style=\"margin-top:%1;margin-left:%2\">%3</div>\n")
                     .arg(pt(gap), pt(indent), img(p, QString()));
    }

private:
    void closeParagraph()
    {
        if (!m_open)
            return;
        m_cur += QLatin1String("</div>\n");
        m_open = false;
    }

    QString span(const ExportRun &r) const
    {
        QString style = cssFont(r.font);
        if (r.color.isValid() && r.color != Qt::black)
            style += QStringLiteral(";color:%1").arg(cssColor(r.color));
        return QStringLiteral("<span style=\"%1\">%2</span>").arg(style, htmlEscape(r.text));
    }

    QString img(const PendingPicture &p, const QString &extra)
    {
        auto it = m_uris.find(p.image.cacheKey());
        if (it == m_uris.end())
            it = m_uris.insert(p.image.cacheKey(),
                               QStringLiteral("data:image/png;base64,") + QString::fromLatin1(pngBytes(p.image).toBase64()));
        QString style = QStringLiteral("width:%1;height:%2").arg(pt(p.rect.width()), pt(p.rect.height()));
        if (!extra.isEmpty())
            style += QLatin1Char(';') + extra;
        return QStringLiteral("<img alt=\"\" src=\"%1\" style=\"%2\">").arg(*it, style);
    }

    static QString document(const QString &title, const QString &body)
    {
        return QStringLiteral(
                   "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>%1</title>\n<style>\n"
                   "body{font-family:Arial,'Liberation Sans',sans-serif;margin:24pt}\n"
                   ".l{white-space:pre-wrap}\n"
                   ".h{display:flex;justify-content:space-between;margin-bottom:12pt}\n"
                   "table.t{border-collapse:collapse;margin-top:2pt;margin-bottom:2pt}\n"
                   "table.t td,table.t th{border:0.5pt solid #000;padding:1.5pt 3pt;vertical-align:top}\n"
                   "hr.pb{page-break-after:always}\n.nav{margin-top:18pt}\n"
                   "</style>\n</head>\n<body>\n%2</body>\n</html>\n")
            .arg(htmlEscape(title), body);
    }

    QString m_path;
    bool m_paged;
    bool m_open = false; // a paragraph div waits for the rest of its text
    QString m_title;
    QString m_cur;
    Pieces m_pages; // UTF-8
    QHash<qint64, QString> m_uris;
};

// ---- DHTML: every item where the page has it ----------------------------------

class DhtmlExporter : public ReportExporter {
public:
    DhtmlExporter(const QString &path, bool paged) : m_path(path), m_paged(paged) {}

    void beginPage(int, const ExportPageInfo &) override {}
    void line(const ExportLine &) override {}
    void picture(const QImage &, const QRect &) override {}
    void table(const ExportTable &) override {}

    void endPage(const ReportDocument &doc, const ReportPage &page, int, const QStringList &header,
                 const FontSpec &) override
    {
        if (m_title.isEmpty())
            m_title = header.value(0).trimmed();
        QString html = QStringLiteral("<div class=\"page\" style=\"width:%1;height:%2\">\n")
                           .arg(pt(page.size.width()), pt(page.size.height()));
        for (const ReportBoxItem &b : page.boxes) {
            QString style = QStringLiteral("left:%1;top:%2;width:%3;height:%4")
                                .arg(pt(b.rect.x()), pt(b.rect.y()), pt(b.rect.width()), pt(b.rect.height()));
            if (qAlpha(b.fill) > 0)
                style += QStringLiteral(";background:%1").arg(QColor::fromRgba(b.fill).name());
            if (b.border)
                style += QLatin1String(";border:0.5pt solid #000;box-sizing:border-box");
            html += QStringLiteral("<div class=\"b\" style=\"%1\"></div>\n").arg(style);
        }
        for (const ReportPictureItem &p : page.pictures) {
            const QImage &img = doc.images().at(p.image);
            auto it = m_uris.find(img.cacheKey());
            if (it == m_uris.end())
                it = m_uris.insert(img.cacheKey(),
                                   QStringLiteral("data:image/png;base64,") + QString::fromLatin1(pngBytes(img).toBase64()));
            html += QStringLiteral("<img class=\"p\" alt=\"\" src=\"%1\" style=\"left:%2;top:%3;width:%4;height:%5\">\n")
                        .arg(*it, pt(p.rect.x()), pt(p.rect.y()), pt(p.rect.width()), pt(p.rect.height()));
        }
        for (const ReportTextItem &t : page.texts) {
            const FontSpec &f = doc.fonts().at(t.font);
            const auto &m = ReportFonts::metrics(f);
            QString style = QStringLiteral("left:%1;top:%2;%3")
                                .arg(pt(t.x), pt(t.baseline - m.ascent), cssFont(f));
            const QColor c = QColor::fromRgba(t.color);
            if (c != Qt::black)
                style += QStringLiteral(";color:%1").arg(c.name());
            html += QStringLiteral("<div class=\"t\" style=\"%1\">%2</div>\n").arg(style, htmlEscape(t.text));
        }
        html += QLatin1String("</div>\n");
        m_pages.append(html.toUtf8());
    }

    bool finish(QStringList *written, QString *error) override
    {
        const QString title = m_title.isEmpty() ? QFileInfo(m_path).completeBaseName() : m_title;
        const auto [head, tail] = aroundBody(&DhtmlExporter::document, title);
        return writeHtmlPages(
            m_pages, m_path, m_paged, head, tail, [](int, const QByteArray &page) { return page; }, written, error);
    }

private:
    static QString document(const QString &title, const QString &body)
    {
        return QStringLiteral(
                   "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>%1</title>\n<style>\n"
                   "body{background:#888;margin:0;padding:12pt 0}\n"
                   ".page{position:relative;margin:0 auto 12pt auto;background:#fff;overflow:hidden;"
                   "page-break-after:always}\n"
                   ".page>div,.page>img{position:absolute}\n.t{white-space:pre;line-height:1}\n"
                   ".nav{text-align:center;font-family:Arial,'Liberation Sans',sans-serif}\n.nav a{color:#fff}\n"
                   "</style>\n</head>\n<body>\n%2</body>\n</html>\n")
            .arg(htmlEscape(title), body);
    }

    QString m_path;
    bool m_paged;
    QString m_title;
    Pieces m_pages; // UTF-8
    QHash<qint64, QString> m_uris;
};

// ---- Rich Text ---------------------------------------------------------------

QByteArray rtfText(const QString &s)
{
    QByteArray out;
    out.reserve(s.size());
    for (const QChar ch : s) {
        const ushort u = ch.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == '\n') {
            out += "\\line ";
        } else if (isControl(u)) {
        } else if (u < 0x80) {
            out += char(u);
        } else {
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
        }
    }
    return out;
}

// Every report page becomes one word-processor page of the same size and
// margins: each printed line is a paragraph of its own with the exact
// height the page model gives it, pictures and table rows take the room
// they take on the page, and a page break stands where the report has
// one. Before a page is written its height is added up as a word
// processor lays it out; a page that would come closer to its bottom
// margin than RtfFootSafety has its gaps, and if need be its line
// heights, reduced to fit, so no page spills onto another.
class RtfExporter : public FlowExporter {
public:
    explicit RtfExporter(const QString &path) : m_path(path) {}

    void beginPage(int number, const ExportPageInfo &info) override
    {
        if (number == 1)
            m_firstInfo = info;
        FlowExporter::beginPage(number, info);
    }

    void line(const ExportLine &l) override
    {
        int top = 0;
        int left = 0;
        const QList<PendingPicture> inl = takeLinePictures(l, &top, &left);
        Para para = newPara(gapBefore(top));
        para.format = indentFormat(indentOf(left));
        bool hasRight = false;
        bool onlyCentre = !l.runs.isEmpty();
        for (const ExportRun &r : l.runs) {
            hasRight = hasRight || r.align == TextAlign::Right;
            onlyCentre = onlyCentre && r.align == TextAlign::Center;
        }
        if (hasRight)
            para.format += "\\tqr\\tx" + QByteArray::number(textWidth()); // tab stops count from the margin
        if (onlyCentre)
            para.format += "\\qc";
        FontSpec tallest = l.runs.isEmpty() ? l.font : l.runs.first().font;
        for (const ExportRun &r : l.runs) {
            if (r.font.sizeTwips > tallest.sizeTwips)
                tallest = r.font;
        }
        // The paragraph mark in the line's own size, so an empty line is as
        // tall as the report has it.
        para.format += "\\fs" + QByteArray::number(qMax(2, tallest.sizeTwips / 10));
        QByteArray &c = para.content;
        int bottom = l.top + l.height;
        int pictureHeight = 0;
        for (const PendingPicture &p : inl) {
            c += pict(p) + ' ';
            // The room between the picture and the text beside it.
            const int room = l.startX - p.rect.right() - 1;
            if (room > 0 && !l.runs.isEmpty())
                c += "{\\f" + QByteArray::number(fontIndex(l.runs.first().font.name)) + "\\fs"
                    + QByteArray::number(l.runs.first().font.sizeTwips / 10) + "\\expndtw" + QByteArray::number(room) + " }";
            bottom = qMax(bottom, p.rect.bottom() + 1);
            pictureHeight = qMax(pictureHeight, p.rect.height());
        }
        for (const ExportRun &r : l.runs) {
            if (r.align != TextAlign::Right)
                c += run(r);
        }
        if (hasRight) {
            c += "\\tab ";
            for (const ExportRun &r : l.runs) {
                if (r.align == TextAlign::Right)
                    c += run(r);
            }
        }
        if (l.runs.isEmpty())
            c += "{" + fmt(l.font, QColor()) + " }";
        if (inl.isEmpty()) {
            para.height = l.height;
        } else {
            // A picture stands on the baseline: the line is at least as tall
            // as the picture and the text's descent below it.
            para.atLeast = true;
            para.height = bottom - top;
            para.wpHeight = qMax(qMax(para.height, l.height),
                                 pictureHeight + descentOf(tallest));
        }
        m_page.append(para);
        m_lastBottom = bottom;
    }

    void table(const ExportTable &t) override
    {
        flushPictures();
        Para para = newPara(0);
        para.kind = Para::Table;
        if (para.breakBefore) {
            // A table cannot carry the break itself: a one-point paragraph
            // before it does.
            Para brk = para;
            brk.kind = Para::Break;
            brk.height = BreakHeight;
            m_page.append(brk);
            para.breakBefore = false;
        }
        para.table = t;
        for (int h : t.rowHeights)
            para.height += h;
        m_page.append(para);
    }

    void endPage(const ReportDocument &, const ReportPage &, int, const QStringList &header,
                 const FontSpec &hdrFont) override
    {
        flushPictures();
        if (m_header.isEmpty() && !(header.value(0).isEmpty() && header.value(1).isEmpty() && header.value(2).isEmpty())) {
            m_header = header;
            m_headerFont = hdrFont;
        }
        if (m_page.isEmpty() && m_pageNumber > 1) {
            // An empty report page is an empty page here too.
            Para empty = newPara(0);
            empty.format = "\\fs2";
            empty.height = BreakHeight;
            m_page.append(empty);
        }
        writePage();
    }

    bool finish(QStringList *written, QString *error) override
    {
        flushPictures();
        writePage();
        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
        // The header's font must be in the table before it is written.
        QByteArray header;
        if (!m_header.isEmpty()) {
            const int w = m_firstInfo.size.width() - m_firstInfo.marginLeft - m_firstInfo.marginRight;
            header = "{\\header\\pard\\plain\\tqc\\tx" + QByteArray::number(w / 2) + "\\tqr\\tx" + QByteArray::number(w)
                + " {" + fmt(m_headerFont, QColor()) + ' ' + headerPart(m_header.value(0)) + "\\tab "
                + headerPart(m_header.value(1)) + "\\tab " + headerPart(m_header.value(2)) + "}\\par}\n";
        }
        for (int i = 0; i < m_fonts.size(); ++i)
            out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 " + rtfText(m_fonts.at(i)) + ";}";
        out += "}\n{\\colortbl;";
        for (const QColor &c : m_colors)
            out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue"
                + QByteArray::number(c.blue()) + ';';
        out += "}\n";
        const ExportPageInfo &pi = m_firstInfo;
        out += "\\paperw" + QByteArray::number(pi.size.width()) + "\\paperh" + QByteArray::number(pi.size.height())
            + "\\margl" + QByteArray::number(pi.marginLeft) + "\\margr" + QByteArray::number(pi.marginRight)
            + "\\margt" + QByteArray::number(pi.marginTop) + "\\margb" + QByteArray::number(pi.marginBottom)
            + "\\headery" + QByteArray::number(qMax(0, pi.marginTop / 3));
        if (pi.size.width() > pi.size.height())
            out += "\\landscape";
        out += "\n\\sectd\n" + header;
        PieceFile f(m_path);
        f.write(out);
        for (int i = 0; i < m_written.count(); ++i) {
            const QByteArray piece = m_written.at(i);
            if (!m_written.readable(piece, i))
                return unreadable(error);
            f.write(piece);
        }
        f.write(m_body + "}\n");
        if (!f.commit(error))
            return false;
        *written = QStringList{m_path};
        return true;
    }

protected:
    void pageBreak() override { m_breakPending = true; }

    void standalonePicture(const PendingPicture &p, int gap, int indent) override
    {
        Para para = newPara(gap);
        para.format = indentFormat(indent) + "\\fs2";
        para.content = pict(p);
        para.atLeast = true;
        para.height = p.rect.height();
        para.wpHeight = p.rect.height() + descentOf(FontSpec{QStringLiteral("Arial"), 20});
        m_page.append(para);
    }

private:
    static constexpr int BreakHeight = 20; // a one-point paragraph

    struct Para {
        enum Kind { Text, Break, Table } kind = Text;
        bool breakBefore = false;
        int gap = 0;        // space before, twips
        int height = 0;     // exact height, or the least height when atLeast
        bool atLeast = false;
        int wpHeight = 0;   // the height a word processor gives an atLeast paragraph
        QByteArray format;  // indents, tab stops, alignment, paragraph mark size
        QByteArray content; // runs and pictures
        ExportTable table;
    };

    Para newPara(int gap)
    {
        Para p;
        p.gap = gap;
        p.breakBefore = m_breakPending;
        m_breakPending = false;
        return p;
    }

    static QByteArray indentFormat(int indent)
    {
        return indent > 0 ? "\\li" + QByteArray::number(indent) : QByteArray();
    }

    static int descentOf(const FontSpec &f) { return int(std::ceil(ReportFonts::metrics(f).descent)); }

    // Writes the paragraphs of the page finished, fitted to its page.
    void writePage()
    {
        if (m_page.isEmpty())
            return;
        const ExportPageInfo &pi = m_info;
        const int room = pi.size.height() - pi.marginTop - pi.marginBottom - RtfFootSafety;
        qint64 gaps = 0, fixed = 0, scalable = 0;
        for (const Para &p : m_page) {
            gaps += p.gap;
            if (p.atLeast)
                fixed += qMax(p.height, p.wpHeight);
            else
                scalable += p.height;
        }
        double gapScale = 1.0;
        double lineScale = 1.0;
        if (gaps + fixed + scalable > room) {
            if (fixed + scalable <= room) {
                gapScale = double(room - fixed - scalable) / double(gaps);
            } else {
                gapScale = 0;
                lineScale = scalable > 0 ? qMax(0.0, double(room - fixed) / double(scalable)) : 1.0;
            }
        }
        auto scaled = [](int v, double f) { return f >= 1.0 ? v : int(std::floor(v * f)); };
        for (const Para &p : m_page) {
            if (p.kind == Para::Table) {
                writeTable(p.table, lineScale);
                continue;
            }
            QByteArray par = "\\pard\\plain";
            if (p.breakBefore)
                par += "\\pagebb";
            par += p.format;
            const int gap = scaled(p.gap, gapScale);
            if (gap > 0)
                par += "\\sb" + QByteArray::number(gap);
            if (p.atLeast)
                par += "\\sl" + QByteArray::number(p.height);
            else
                par += "\\sl-" + QByteArray::number(qMax(1, scaled(p.height, lineScale)));
            par += "\\slmult0";
            if (p.kind == Para::Break) {
                m_body += "{" + par + "\\fs2\\page\\par}\n";
                continue;
            }
            m_body += par + ' ' + p.content + "\\par\n";
        }
        m_page.clear();
        // Each page's part of the body waits in the scratch file.
        if (!m_body.isEmpty()) {
            m_written.append(m_body);
            m_body.clear();
        }
    }

    void writeTable(const ExportTable &t, double lineScale)
    {
        auto scaled = [lineScale](int v) { return lineScale >= 1.0 ? v : int(std::floor(v * lineScale)); };
        const int left = indentOf(t.x);
        const int lineHeight = qMax(1, scaled(t.lineHeight));
        for (int r = 0; r < t.rows.size(); ++r) {
            QByteArray row = "\\trowd\\trgaph60\\trleft" + QByteArray::number(left);
            if (t.hasHeader && r == 0)
                row += "\\trhdr";
            // The row's height as the page has it; its text in the middle.
            row += "\\trrh" + QByteArray::number(scaled(t.rowHeights.value(r, t.lineHeight)))
                + "\\trpaddt0\\trpaddb0\\trpaddft3\\trpaddfb3";
            int right = left;
            const QList<ExportCell> &cells = t.rows.at(r);
            for (int c = 0; c < cells.size(); ++c) {
                row += "\\clvertalc\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
                       "\\clbrdrr\\brdrs\\brdrw10";
                if (cells.at(c).back.isValid())
                    row += "\\clcbpat" + QByteArray::number(colorIndex(cells.at(c).back));
                right += t.widths.value(c, 1440);
                row += "\\cellx" + QByteArray::number(right);
            }
            row += '\n';
            for (const ExportCell &c : cells) {
                FontSpec f = t.font;
                f.bold = f.bold || c.bold;
                const QByteArray align = c.align == TextAlign::Center ? "\\qc"
                    : c.align == TextAlign::Right                      ? "\\qr"
                                                                       : "\\ql";
                // The cell's lines break where the page breaks them.
                const QString text = c.lines.isEmpty() ? c.text : c.lines.join(QLatin1Char('\n'));
                row += "\\pard\\plain\\intbl" + align + "\\sl-" + QByteArray::number(lineHeight) + "\\slmult0{"
                    + fmt(f, c.fore) + ' ' + rtfText(text) + "}\\cell\n";
            }
            row += "\\row\n";
            m_body += row;
        }
        m_body += "\\pard\\plain\n";
    }

    int fontIndex(const QString &name)
    {
        for (int i = 0; i < m_fonts.size(); ++i) {
            if (m_fonts.at(i).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        m_fonts.append(name);
        return int(m_fonts.size()) - 1;
    }

    int colorIndex(const QColor &c)
    {
        const QRgb rgb = c.rgb();
        for (int i = 0; i < m_colors.size(); ++i) {
            if (m_colors.at(i).rgb() == rgb)
                return i + 1;
        }
        m_colors.append(c);
        return int(m_colors.size());
    }

    QByteArray fmt(const FontSpec &f, const QColor &color)
    {
        QByteArray s = "\\f" + QByteArray::number(fontIndex(f.name)) + "\\fs" + QByteArray::number(f.sizeTwips / 10);
        if (f.bold)
            s += "\\b";
        if (f.italic)
            s += "\\i";
        if (f.underline)
            s += "\\ul";
        s += "\\cf" + QByteArray::number(colorIndex(color.isValid() ? color : QColor(Qt::black)));
        return s;
    }

    QByteArray run(const ExportRun &r) { return "{" + fmt(r.font, r.color) + ' ' + rtfText(r.text) + '}'; }

    static QByteArray headerPart(const QString &s)
    {
        const QStringList bits = s.split(QStringLiteral("%d"));
        QByteArray out;
        for (int i = 0; i < bits.size(); ++i) {
            if (i > 0)
                out += "{\\chpgn}";
            out += rtfText(bits.at(i));
        }
        return out;
    }

    QByteArray pict(const PendingPicture &p)
    {
        // A picture drawn again and again (the logo line of every record)
        // is made into hex once.
        auto it = m_hex.constFind(p.image.cacheKey());
        if (it == m_hex.constEnd())
            it = m_hex.insert(p.image.cacheKey(), pngBytes(p.image).toHex());
        const QByteArray &hex = *it;
        QByteArray s = "{\\pict\\pngblip\\picw" + QByteArray::number(p.image.width()) + "\\pich"
            + QByteArray::number(p.image.height()) + "\\picwgoal" + QByteArray::number(p.rect.width()) + "\\pichgoal"
            + QByteArray::number(p.rect.height()) + '\n';
        for (int i = 0; i < hex.size(); i += 128)
            s += hex.mid(i, 128) + '\n';
        s += '}';
        return s;
    }

    QString m_path;
    QHash<qint64, QByteArray> m_hex; // the pictures' PNG bytes in hex
    Pieces m_written; // the body of the pages written
    QByteArray m_body; // of the page being written
    QList<Para> m_page; // the paragraphs of the page being built
    QStringList m_fonts;
    QList<QColor> m_colors;
    QStringList m_header;
    FontSpec m_headerFont;
    bool m_breakPending = false;
};

} // namespace

std::unique_ptr<ReportExporter> ReportExporter::create(ExportFormat format, const QString &path)
{
    switch (format) {
    case ExportFormat::Rtf: return std::make_unique<RtfExporter>(path);
    case ExportFormat::Html: return std::make_unique<HtmlExporter>(path, false);
    case ExportFormat::PagedHtml: return std::make_unique<HtmlExporter>(path, true);
    case ExportFormat::Dhtml: return std::make_unique<DhtmlExporter>(path, false);
    case ExportFormat::PagedDhtml: return std::make_unique<DhtmlExporter>(path, true);
    }
    return std::make_unique<HtmlExporter>(path, false);
}
