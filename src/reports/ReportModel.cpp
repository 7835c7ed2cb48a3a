#include "ReportModel.h"

#include "ReportFonts.h"

#include <QHash>
#include <QVarLengthArray>
#include <algorithm>
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
      lineSpacing(fm.ascent() + fm.descent() + qMax<qreal>(0, fm.leading()))
{
    for (qreal &a : m_latin)
        a = -1;
}

qreal Metrics::width(const QString &s) const
{
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

namespace {
struct Cache {
    QHash<FontSpec, QFont> fonts;
    QHash<FontSpec, std::shared_ptr<Metrics>> metrics;
};
Cache &cache()
{
    static Cache c;
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

namespace {

// Copies pages into a document, re-pointing their font and picture
// indexes into the target's tables.
void addPages(ReportDocument &target, QList<FontSpec> &fonts, QList<QImage> &images,
              QList<ReportPage> &pages, const ReportDocument &src, int first, int last)
{
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
    Q_UNUSED(target);
    for (int p = first; p <= last; ++p) {
        ReportPage page = src.page(p);
        for (ReportTextItem &t : page.texts)
            t.font = quint16(mapFont(t.font));
        for (ReportPictureItem &pic : page.pictures)
            pic.image = mapImage(pic.image);
        pages.append(std::move(page));
    }
}

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
    addPages(out, out.m_fonts, out.m_images, out.m_pages, other, 0, other.pageCount() - 1);
    return out;
}

ReportDocument ReportDocument::pageRange(int first, int last) const
{
    ReportDocument out;
    first = qMax(1, first);
    last = qMin(pageCount(), last);
    if (first > last)
        return out;
    addPages(out, out.m_fonts, out.m_images, out.m_pages, *this, first - 1, last - 1);
    return out;
}

QStringList ReportDocument::pageLines(int index) const
{
    QStringList out;
    if (index < 0 || index >= pageCount())
        return out;
    for (const LineIndex &l : pageLineIndex(m_pages.at(index)))
        out << l.text;
    return out;
}

int ReportDocument::find(const QString &text, int startPage, QRect *hit) const
{
    if (text.isEmpty())
        return 0;
    for (int p = qMax(1, startPage); p <= pageCount(); ++p) {
        const ReportPage &page = m_pages.at(p - 1);
        for (const LineIndex &l : pageLineIndex(page)) {
            const int at = int(l.text.indexOf(text, 0, Qt::CaseInsensitive));
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
            return p;
        }
    }
    if (hit)
        *hit = QRect();
    return 0;
}

bool ReportDocument::operator==(const ReportDocument &o) const
{
    if (pageCount() != o.pageCount())
        return false;
    const bool sameTables = m_fonts == o.m_fonts && m_images == o.m_images;
    for (int p = 0; p < pageCount(); ++p) {
        const ReportPage &a = m_pages.at(p);
        const ReportPage &b = o.m_pages.at(p);
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
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    for (const FontSpec &f : fonts) {
        if (f.sizeTwips <= 0 || f.sizeTwips > 20000 || f.name.isEmpty())
            return fail(QStringLiteral("it names an impossible font"));
    }
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
    for (const ReportPage &page : pages) {
        if (!ReportLimits::pageSizeOk(page.size.width(), page.size.height()))
            return fail(QStringLiteral("it has a page of an impossible size"));
        for (const ReportTextItem &t : page.texts) {
            if (t.font >= fonts.size())
                return fail(QStringLiteral("a text refers to a font it does not hold"));
        }
        for (const ReportPictureItem &p : page.pictures) {
            if (p.image < 0 || p.image >= images.size())
                return fail(QStringLiteral("a picture refers to an image it does not hold"));
        }
    }
    if (out) {
        ReportDocument d;
        d.m_fonts = std::move(fonts);
        d.m_images = std::move(images);
        d.m_pages = std::move(pages);
        *out = std::move(d);
    }
    return true;
}
