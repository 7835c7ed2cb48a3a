#include "ReportModel.h"

#include "ReportFonts.h"
#include "ReportScratch.h"

#include <QHash>
#include <QVarLengthArray>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>

// ---- fonts ---------------------------------------------------------------

QString FontSpec::resolvedFamily(const QString &name)
{
    // The reports ask for the usual office faces; their metric-compatible
    // twins keep line breaks where the report's author expects them.
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("arial") || n == QLatin1String("helvetica"))
        return QStringLiteral("Liberation Sans");
    if (n == QLatin1String("times new roman") || n == QLatin1String("times"))
        return QStringLiteral("Liberation Serif");
    if (n == QLatin1String("courier new") || n == QLatin1String("courier"))
        return QStringLiteral("Liberation Mono");
    return name.trimmed();
}

QFont FontSpec::qfont() const
{
    QFont f(resolvedFamily(name));
    f.setPixelSize(qMax(1, sizeTwips));
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    // Unhinted outlines measure the same at every scale, so the preview,
    // the PDF and the layout agree.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

size_t qHash(const FontSpec &f, size_t seed)
{
    // Names compare without case; fold them without allocating.
    size_t h = seed;
    for (const QChar c : f.name)
        h = h * 31 + c.toCaseFolded().unicode();
    return qHashMulti(h, f.sizeTwips, f.bold, f.italic, f.underline);
}

namespace ReportFonts {

Metrics::Metrics(const QFont &f)
    : fm(f), ascent(fm.ascent()), descent(fm.descent()), leading(qMax<qreal>(0, fm.leading())),
      lineSpacing(fm.ascent() + fm.descent() + qMax<qreal>(0, fm.leading())), m_sums(f)
{
    for (qreal &a : m_latin)
        a = -1;
}

qreal Metrics::width(const QString &s) const
{
    if (m_sums.pairsAreExact() && TextWidths::isSimple(s))
        return m_sums.estimate(s);
    auto it = m_widths.constFind(s);
    if (it != m_widths.constEnd())
        return *it;
    if (m_widths.size() > 50000)
        m_widths.clear();
    const qreal w = fm.horizontalAdvance(s);
    m_widths.insert(s, w);
    return w;
}

qreal Metrics::charAdvance(QChar c) const
{
    const ushort u = c.unicode();
    if (u < 256) {
        if (m_latin[u] < 0)
            m_latin[u] = fm.horizontalAdvance(c);
        return m_latin[u];
    }
    return fm.horizontalAdvance(c);
}

qreal Metrics::roughWidth(const QString &s) const
{
    qreal w = 0;
    for (const QChar c : s)
        w += charAdvance(c);
    return w;
}

int Metrics::fit(const QString &s, qreal avail, bool cut, qreal *w) const
{
    // Candidates come from the characters' own advances; the one taken is
    // measured as drawn (kerning included), stepping back or on a blank
    // when that differs near the edge.
    const int n = int(s.size());
    QVarLengthArray<qreal, 256> pre(n + 1);
    pre[0] = 0;
    for (int i = 0; i < n; ++i)
        pre[i + 1] = pre[i] + charAdvance(s.at(i));
    auto isBreak = [&](int i) { return i > 0 && i < n && s.at(i) == QLatin1Char(' ') && s.at(i - 1) != QLatin1Char(' '); };
    constexpr qreal Slack = 60;
    int best = -1;
    for (int i = 1; i < n; ++i) {
        if (!isBreak(i))
            continue;
        if (pre[i] <= avail)
            best = i;
        else
            break;
    }
    auto nextBreak = [&](int i) {
        int j = i + 1;
        while (j < n && !isBreak(j))
            ++j;
        return j < n ? j : -1;
    };
    while (best > 0) {
        qreal bw = width(s.left(best));
        if (bw > avail) {
            int j = best - 1;
            while (j > 0 && !isBreak(j))
                --j;
            best = j > 0 ? j : -1;
            continue;
        }
        // A later blank may still fit once kerning is counted.
        for (int next = nextBreak(best); next > 0 && pre[next] <= avail + Slack; next = nextBreak(next)) {
            const qreal nw = width(s.left(next));
            if (nw > avail)
                break;
            best = next;
            bw = nw;
        }
        *w = bw;
        return best;
    }
    if (!cut)
        return 0;
    int k = 1;
    while (k < n && pre[k + 1] <= avail)
        ++k;
    while (k > 1 && width(s.left(k)) > avail)
        --k;
    while (k < n && width(s.left(k + 1)) <= avail)
        ++k;
    *w = width(s.left(k));
    return k;
}

QList<WrappedLine> Metrics::wrap(const QString &text, qreal maxWidth) const
{
    QList<WrappedLine> out;
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (const QString &para : paragraphs) {
        QString rest = para;
        if (rest.isEmpty()) {
            out.append(WrappedLine());
            continue;
        }
        while (!rest.isEmpty()) {
            if (roughWidth(rest) <= maxWidth + 200) {
                const qreal w = width(rest);
                if (w <= maxWidth) {
                    out.append(WrappedLine{rest, w});
                    break;
                }
            }
            qreal w = 0;
            const int n = fit(rest, maxWidth, true, &w);
            out.append(WrappedLine{rest.left(n), w});
            rest = rest.mid(n);
            while (rest.startsWith(QLatin1Char(' ')))
                rest.remove(0, 1);
        }
    }
    return out;
}

namespace {
struct Cache {
    QHash<FontSpec, QFont> fonts;
    QHash<FontSpec, std::shared_ptr<Metrics>> metrics;
};
// One per thread: the PDF of a long report is drawn on several threads,
// and fonts are never shared between threads.
Cache &cache()
{
    static thread_local Cache c;
    return c;
}
} // namespace

const QFont &font(const FontSpec &spec)
{
    auto &fonts = cache().fonts;
    auto it = fonts.find(spec);
    if (it == fonts.end())
        it = fonts.insert(spec, spec.qfont());
    return *it;
}

const Metrics &metrics(const FontSpec &spec)
{
    auto &m = cache().metrics;
    auto it = m.find(spec);
    if (it == m.end())
        it = m.insert(spec, std::make_shared<Metrics>(font(spec)));
    return **it;
}

} // namespace ReportFonts

// ---- limits ------------------------------------------------------------------

namespace ReportLimits {

bool pageSizeOk(qint64 width, qint64 height)
{
    if (width < MinPageSide || height < MinPageSide || width > MaxPageSide || height > MaxPageSide)
        return false;
    const qint64 longer = qMax(width, height);
    const qint64 shorter = qMin(width, height);
    return longer <= shorter * MaxPageAspect;
}

bool itemOk(qint64 x, qint64 y, qint64 width, qint64 height)
{
    auto within = [](qint64 v, qint64 lo) { return v >= lo && v <= MaxItemExtent; };
    return within(x, -MaxItemExtent) && within(y, -MaxItemExtent) && within(width, 0) && within(height, 0);
}

} // namespace ReportLimits

// ---- packed pages ------------------------------------------------------------

namespace {

// A page packed: its numbers as variable-length integers (positions as
// the difference to the item before), its texts as UTF-8 (UTF-16 where a
// text is not valid Unicode). A page of a long report takes about a
// tenth of the memory its items take.
class Packer {
public:
    void var(quint64 v)
    {
        while (v >= 0x80) {
            m_out.append(char(v | 0x80));
            v >>= 7;
        }
        m_out.append(char(v));
    }
    void signedVar(qint64 v) { var((quint64(v) << 1) ^ quint64(v >> 63)); }
    void rect(const QRect &r)
    {
        signedVar(r.x());
        signedVar(r.y());
        signedVar(r.width());
        signedVar(r.height());
    }
    void u32(quint32 v)
    {
        const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        m_out.append(b, 4);
    }
    void text(const QString &s)
    {
        const char16_t *p = reinterpret_cast<const char16_t *>(s.constData());
        const qsizetype n = s.size();
        bool ascii = true;
        for (qsizetype i = 0; i < n && ascii; ++i)
            ascii = p[i] < 0x80;
        if (ascii) {
            var(quint64(n) << 1);
            const qsizetype at = m_out.size();
            m_out.resize(at + n);
            char *o = m_out.data() + at;
            for (qsizetype i = 0; i < n; ++i)
                o[i] = char(p[i]);
        } else if (s.isValidUtf16()) {
            const QByteArray u = s.toUtf8();
            var(quint64(u.size()) << 1);
            m_out.append(u);
        } else {
            // Half of a character pair (a long word cut at the margin):
            // kept as it is.
            var((quint64(n) << 1) | 1);
            m_out.append(reinterpret_cast<const char *>(p), n * 2);
        }
    }
    QByteArray take() { return m_out; }

private:
    QByteArray m_out;
};

class Unpacker {
public:
    explicit Unpacker(const QByteArray &packed) : m_data(packed)
    {
        m_p = reinterpret_cast<const uchar *>(m_data.constData());
        m_end = m_p + m_data.size();
    }
    bool ok() const { return m_ok; }
    quint64 var()
    {
        quint64 v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (m_p >= m_end) {
                m_ok = false;
                return 0;
            }
            const uchar b = *m_p++;
            v |= quint64(b & 0x7f) << shift;
            if (!(b & 0x80))
                return v;
        }
        m_ok = false;
        return 0;
    }
    qint64 signedVar()
    {
        const quint64 v = var();
        return qint64(v >> 1) ^ -qint64(v & 1);
    }
    QRect rect()
    {
        const int x = int(signedVar()), y = int(signedVar()), w = int(signedVar()), h = int(signedVar());
        return QRect(x, y, w, h);
    }
    quint32 u32()
    {
        if (m_end - m_p < 4) {
            m_ok = false;
            return 0;
        }
        const quint32 v = quint32(m_p[0]) | quint32(m_p[1]) << 8 | quint32(m_p[2]) << 16 | quint32(m_p[3]) << 24;
        m_p += 4;
        return v;
    }
    QString text()
    {
        const quint64 head = var();
        const quint64 n = head >> 1;
        const quint64 bytes = (head & 1) ? n * 2 : n;
        if (bytes > quint64(m_end - m_p)) {
            m_ok = false;
            return {};
        }
        const char *p = reinterpret_cast<const char *>(m_p);
        m_p += bytes;
        if (head & 1) {
            QString s(qsizetype(n), Qt::Uninitialized);
            memcpy(s.data(), p, bytes);
            return s;
        }
        return QString::fromUtf8(p, qsizetype(n));
    }

private:
    QByteArray m_data;
    const uchar *m_p = nullptr;
    const uchar *m_end = nullptr;
    bool m_ok = true;
};

QByteArray packPage(const ReportPage &page)
{
    Packer o;
    o.var(quint64(page.size.width()));
    o.var(quint64(page.size.height()));
    o.var(quint64(page.boxes.size()));
    for (const ReportBoxItem &b : page.boxes) {
        o.rect(b.rect);
        o.u32(b.fill);
        o.var(b.border ? 1 : 0);
    }
    o.var(quint64(page.pictures.size()));
    for (const ReportPictureItem &p : page.pictures) {
        o.rect(p.rect);
        o.signedVar(p.image);
    }
    o.var(quint64(page.texts.size()));
    qint32 x = 0, baseline = 0;
    QRgb color = 0xff000000;
    for (const ReportTextItem &t : page.texts) {
        o.signedVar(qint64(t.x) - x);
        o.signedVar(qint64(t.baseline) - baseline);
        o.signedVar(t.width);
        // The font and whether the colour changes, in one number.
        o.var((quint64(t.font) << 1) | (t.color != color ? 1 : 0));
        if (t.color != color)
            o.u32(t.color);
        o.text(t.text);
        x = t.x;
        baseline = t.baseline;
        color = t.color;
    }
    return o.take();
}

ReportPage unpackPage(const QByteArray &packed)
{
    Unpacker in(packed);
    ReportPage page;
    const int w = int(in.var());
    const int h = int(in.var());
    page.size = QSize(w, h);
    const quint64 boxes = in.var();
    for (quint64 i = 0; i < boxes && in.ok(); ++i) {
        ReportBoxItem b;
        b.rect = in.rect();
        b.fill = in.u32();
        b.border = in.var() != 0;
        page.boxes.append(b);
    }
    const quint64 pictures = in.var();
    for (quint64 i = 0; i < pictures && in.ok(); ++i) {
        ReportPictureItem p;
        p.rect = in.rect();
        p.image = qint32(in.signedVar());
        page.pictures.append(p);
    }
    const quint64 texts = in.var();
    page.texts.reserve(qsizetype(std::min<quint64>(texts, 100000)));
    qint64 x = 0, baseline = 0;
    QRgb color = 0xff000000;
    for (quint64 i = 0; i < texts && in.ok(); ++i) {
        ReportTextItem t;
        x += in.signedVar();
        baseline += in.signedVar();
        t.x = qint32(x);
        t.baseline = qint32(baseline);
        t.width = qint32(in.signedVar());
        const quint64 fontAndColor = in.var();
        t.font = quint16(fontAndColor >> 1);
        if (fontAndColor & 1)
            color = in.u32();
        t.color = color;
        t.text = in.text();
        page.texts.append(std::move(t));
    }
    // Packed here and never changed; bytes that could not be read back
    // (the scratch file gone) show as an empty page rather than a wrong one.
    return in.ok() ? page : ReportPage();
}

} // namespace

// Packed pages held in memory, a document at the most; the rest go to
// the scratch file.
static std::atomic<qint64> g_heldPageBytes{32 * 1024 * 1024};

qint64 ReportDocument::heldPageBytes()
{
    return g_heldPageBytes;
}

void ReportDocument::setHeldPageBytes(qint64 bytes)
{
    g_heldPageBytes = std::max<qint64>(0, bytes);
}

QByteArray ReportDocument::packedPage(int index) const
{
    const Packed &p = m_pages.at(index);
    if (p.at < 0)
        return p.bytes;
    return m_scratch ? m_scratch->read(p.at, p.size) : QByteArray();
}

ReportPage ReportDocument::page(int index) const
{
    return unpackPage(packedPage(index));
}

QList<ReportPage> ReportDocument::pages() const
{
    QList<ReportPage> out;
    out.reserve(m_pages.size());
    for (int i = 0; i < m_pages.size(); ++i)
        out.append(page(i));
    return out;
}

void ReportDocument::appendPage(const ReportPage &page)
{
    Packed p;
    p.bytes = packPage(page);
    if (m_heldBytes + p.bytes.size() > g_heldPageBytes) {
        if (!m_scratch)
            m_scratch = std::make_shared<ReportScratch>();
        const qint64 at = m_scratch->append(p.bytes);
        // A scratch file that takes nothing more leaves the page in memory.
        if (at >= 0) {
            p.at = at;
            p.size = p.bytes.size();
            p.bytes = QByteArray();
        }
    }
    m_heldBytes += p.bytes.size();
    m_pages.append(std::move(p));
}

// ---- document --------------------------------------------------------------

int ReportDocument::fontIndex(const FontSpec &f)
{
    const int i = int(m_fonts.indexOf(f));
    if (i >= 0)
        return i;
    m_fonts.append(f);
    return int(m_fonts.size()) - 1;
}

int ReportDocument::imageIndex(const QImage &img)
{
    const QImage norm = img.convertToFormat(QImage::Format_ARGB32);
    for (int i = 0; i < m_images.size(); ++i) {
        if (m_images.at(i) == norm)
            return i;
    }
    m_images.append(norm);
    return int(m_images.size()) - 1;
}

// Re-points the pages' font and picture indexes into this document's
// tables, adding what they lack.
void ReportDocument::addPagesOf(const ReportDocument &src, int first, int last)
{
    QList<FontSpec> &fonts = m_fonts;
    QList<QImage> &images = m_images;
    QHash<int, int> fontMap;
    QHash<int, int> imageMap;
    auto mapFont = [&](int i) {
        auto it = fontMap.find(i);
        if (it != fontMap.end())
            return *it;
        const FontSpec &f = src.fonts().at(i);
        int j = int(fonts.indexOf(f));
        if (j < 0) {
            fonts.append(f);
            j = int(fonts.size()) - 1;
        }
        fontMap.insert(i, j);
        return j;
    };
    auto mapImage = [&](int i) {
        auto it = imageMap.find(i);
        if (it != imageMap.end())
            return *it;
        const QImage &img = src.images().at(i);
        int j = -1;
        for (int k = 0; k < images.size(); ++k) {
            if (images.at(k) == img) {
                j = k;
                break;
            }
        }
        if (j < 0) {
            images.append(img);
            j = int(images.size()) - 1;
        }
        imageMap.insert(i, j);
        return j;
    };
    for (int p = first; p <= last; ++p) {
        ReportPage page = src.page(p);
        for (ReportTextItem &t : page.texts)
            t.font = quint16(mapFont(t.font));
        for (ReportPictureItem &pic : page.pictures)
            pic.image = mapImage(pic.image);
        appendPage(page);
    }
}

namespace {

struct LineIndex {
    QString text;
    QList<int> runOf;    // per character: index of its text item, -1 for a gap
    QList<int> offsetIn; // per character: offset inside its item
};

// The lines of a page: items on one baseline, left to right; a tab stands
// for a gap between items (table columns), so a search does not match
// across it.
QList<LineIndex> pageLineIndex(const ReportPage &page)
{
    QList<int> order(page.texts.size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const ReportTextItem &x = page.texts.at(a);
        const ReportTextItem &y = page.texts.at(b);
        if (x.baseline != y.baseline)
            return x.baseline < y.baseline;
        return x.x < y.x;
    });
    QList<LineIndex> lines;
    int lastBaseline = INT_MIN;
    int lastEnd = 0;
    for (int idx : order) {
        const ReportTextItem &t = page.texts.at(idx);
        if (lines.isEmpty() || t.baseline != lastBaseline) {
            lines.append(LineIndex());
            lastBaseline = t.baseline;
        } else if (t.x > lastEnd + 60) {
            LineIndex &l = lines.last();
            l.text += QLatin1Char('\t');
            l.runOf.append(-1);
            l.offsetIn.append(0);
        }
        LineIndex &l = lines.last();
        l.text += t.text;
        for (int k = 0; k < t.text.size(); ++k) {
            l.runOf.append(idx);
            l.offsetIn.append(k);
        }
        lastEnd = t.x + t.width;
    }
    return lines;
}

} // namespace

ReportDocument ReportDocument::appended(const ReportDocument &other) const
{
    ReportDocument out = *this;
    if (other.isEmpty())
        return out;
    out.addPagesOf(other, 0, other.pageCount() - 1);
    return out;
}

ReportDocument ReportDocument::pageRange(int first, int last) const
{
    ReportDocument out;
    first = qMax(1, first);
    last = qMin(pageCount(), last);
    if (first > last)
        return out;
    out.addPagesOf(*this, first - 1, last - 1);
    return out;
}

QStringList ReportDocument::pageLines(int index) const
{
    QStringList out;
    if (index < 0 || index >= pageCount())
        return out;
    for (const LineIndex &l : pageLineIndex(page(index)))
        out << l.text;
    return out;
}

int ReportDocument::find(const QString &text, int startPage, QRect *hit) const
{
    return find(text, ReportTextPos{qMax(1, startPage), 0, 0}, hit).page;
}

ReportTextPos ReportDocument::find(const QString &text, const ReportTextPos &from, QRect *hit) const
{
    if (hit)
        *hit = QRect();
    if (text.isEmpty())
        return {};
    for (int p = qMax(1, from.page); p <= pageCount(); ++p) {
        const ReportPage page = this->page(p - 1);
        const QList<LineIndex> lines = pageLineIndex(page);
        const bool fromHere = p == from.page;
        for (int li = fromHere ? qMax(0, from.line) : 0; li < lines.size(); ++li) {
            const LineIndex &l = lines.at(li);
            const int start = fromHere && li == from.line ? qMax(0, from.column) : 0;
            const int at = int(l.text.indexOf(text, start, Qt::CaseInsensitive));
            if (at < 0)
                continue;
            if (hit) {
                QRectF r;
                for (int c = at; c < at + text.size(); ++c) {
                    const int run = l.runOf.at(c);
                    if (run < 0)
                        continue;
                    const ReportTextItem &t = page.texts.at(run);
                    const auto &m = ReportFonts::metrics(m_fonts.at(t.font));
                    const int k = l.offsetIn.at(c);
                    const qreal x0 = t.x + m.width(t.text.left(k));
                    const qreal x1 = t.x + m.width(t.text.left(k + 1));
                    const QRectF cr(QPointF(x0, t.baseline - m.ascent), QPointF(x1, t.baseline + m.descent));
                    r = r.isNull() ? cr : r.united(cr);
                }
                *hit = r.toAlignedRect();
            }
            return {p, li, at};
        }
    }
    return {};
}

bool ReportDocument::operator==(const ReportDocument &o) const
{
    if (pageCount() != o.pageCount())
        return false;
    const bool sameTables = m_fonts == o.m_fonts && m_images == o.m_images;
    for (int p = 0; p < pageCount(); ++p) {
        // Pages pack the same way every time: the same bytes, the same page.
        if (sameTables && packedPage(p) == o.packedPage(p))
            continue;
        const ReportPage a = page(p);
        const ReportPage b = o.page(p);
        if (a.size != b.size || a.boxes != b.boxes || a.texts.size() != b.texts.size()
            || a.pictures.size() != b.pictures.size())
            return false;
        if (sameTables) {
            if (a.texts != b.texts || a.pictures != b.pictures)
                return false;
            continue;
        }
        for (int i = 0; i < a.texts.size(); ++i) {
            ReportTextItem x = a.texts.at(i);
            ReportTextItem y = b.texts.at(i);
            if (m_fonts.at(x.font) != o.m_fonts.at(y.font))
                return false;
            x.font = y.font = 0;
            if (!(x == y))
                return false;
        }
        for (int i = 0; i < a.pictures.size(); ++i) {
            const ReportPictureItem &x = a.pictures.at(i);
            const ReportPictureItem &y = b.pictures.at(i);
            if (x.rect != y.rect || m_images.at(x.image) != o.m_images.at(y.image))
                return false;
        }
    }
    return true;
}

bool ReportDocument::fromParts(QList<FontSpec> fonts, QList<QImage> images, QList<ReportPage> pages,
                               ReportDocument *out, QString *error)
{
    ReportDocumentBuilder builder;
    if (!builder.setFonts(std::move(fonts), error) || !builder.setImages(std::move(images), error))
        return false;
    for (const ReportPage &page : std::as_const(pages))
        if (!builder.addPage(page, error))
            return false;
    if (out)
        *out = builder.document();
    return true;
}

// ---- building part by part ---------------------------------------------------

bool ReportDocumentBuilder::setFonts(QList<FontSpec> fonts, QString *error)
{
    for (const FontSpec &f : fonts) {
        if (f.sizeTwips <= 0 || f.sizeTwips > 20000 || f.name.isEmpty()) {
            if (error)
                *error = QStringLiteral("it names an impossible font");
            return false;
        }
    }
    m_doc.m_fonts = std::move(fonts);
    return true;
}

bool ReportDocumentBuilder::setImages(QList<QImage> images, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    for (QImage &img : images) {
        if (img.isNull())
            return fail(QStringLiteral("one of its pictures cannot be read"));
        if (img.format() != QImage::Format_ARGB32)
            img = img.convertToFormat(QImage::Format_ARGB32);
    }
    qint64 pictureBytes = 0;
    for (const QImage &img : images)
        pictureBytes += ReportLimits::pictureBytes(img.width(), img.height());
    if (pictureBytes > ReportLimits::MaxPictureBytes)
        return fail(QStringLiteral("its pictures are too large"));
    m_doc.m_images = std::move(images);
    return true;
}

bool ReportDocumentBuilder::addPage(const ReportPage &page, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!ReportLimits::pageSizeOk(page.size.width(), page.size.height()))
        return fail(QStringLiteral("it has a page of an impossible size"));
    for (const ReportTextItem &t : page.texts) {
        if (t.font >= m_doc.m_fonts.size())
            return fail(QStringLiteral("a text refers to a font it does not hold"));
    }
    for (const ReportPictureItem &p : page.pictures) {
        if (p.image < 0 || p.image >= m_doc.m_images.size())
            return fail(QStringLiteral("a picture refers to an image it does not hold"));
    }
    m_doc.appendPage(page);
    return true;
}
