#include "ReportPdf.h"

#include "ReportRenderer.h"
#include "ReportScratch.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace ReportPdf {

namespace {

QPageLayout layoutFor(const ReportPage &page)
{
    const bool landscape = page.isLandscape();
    const QSize portrait = landscape ? page.size.transposed() : page.size;
    // Page sizes are whole twips; points are twips / 20.
    const QPageSize size(QSizeF(portrait.width() / 20.0, portrait.height() / 20.0), QPageSize::Point,
                         QString(), QPageSize::FuzzyMatch);
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Point);
}

// Pages first..last (0-based, inclusive) as one PDF on the device.
bool writePages(const ReportDocument &doc, int first, int last, QIODevice *device)
{
    QPdfWriter writer(device);
    writer.setResolution(1440); // one device unit is one twip
    writer.setCreator(QStringLiteral("The Velmora"));
    ReportPage page = doc.page(first);
    writer.setPageLayout(layoutFor(page));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (int i = first; i <= last; ++i) {
        if (i > first) {
            page = doc.page(i);
            writer.setPageLayout(layoutFor(page));
            writer.newPage();
        }
        ReportRenderer::drawPage(painter, doc, page, false);
    }
    return painter.end();
}

// ---- joining PDFs ------------------------------------------------------------
//
// A long report is written as several PDFs at once, a run of pages each,
// and then joined into one: every object of each part is copied with a
// number of its own in the whole, the references in its dictionary
// changed to match (stream data is copied as it is); the parts' page trees
// become one. The parts are the writer's own output, whose shape is known:
// a cross-reference table of every object and a trailer naming the
// catalog and the document information.

bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool isDelimiter(char c)
{
    return isSpace(c) || c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}'
        || c == '/' || c == '%';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// One part: its objects' places, and the objects that are not copied as
// they are (catalog, page tree, information).
struct Part {
    QByteArray bytes;
    std::map<int, std::pair<qint64, qint64>> objects; // number -> [start, end)
    int root = 0;
    int info = 0;
    int pages = 0;
    QList<int> kids;
};

// The integer at p (after blanks), or -1; p moves past it.
qint64 readInt(const QByteArray &b, qint64 &p)
{
    while (p < b.size() && isSpace(b.at(p)))
        ++p;
    if (p >= b.size() || !isDigit(b.at(p)))
        return -1;
    qint64 v = 0;
    while (p < b.size() && isDigit(b.at(p)) && v < (qint64(1) << 40))
        v = v * 10 + (b.at(p++) - '0');
    return v;
}

// "N 0 R" at p (after blanks): N, or -1.
int readRef(const QByteArray &b, qint64 &p)
{
    const qint64 n = readInt(b, p);
    const qint64 gen = readInt(b, p);
    while (p < b.size() && isSpace(b.at(p)))
        ++p;
    if (n < 0 || gen != 0 || p >= b.size() || b.at(p) != 'R')
        return -1;
    ++p;
    return int(n);
}

int refAfter(const QByteArray &b, qint64 from, qint64 to, const char *key)
{
    const qint64 at = b.indexOf(key, from);
    if (at < 0 || at >= to)
        return -1;
    qint64 p = at + qstrlen(key);
    return readRef(b, p);
}

bool parsePart(QByteArray bytes, Part *out)
{
    Part part;
    part.bytes = std::move(bytes);
    const QByteArray &b = part.bytes;
    const qint64 sx = b.lastIndexOf("startxref");
    if (sx < 0)
        return false;
    qint64 p = sx + 9;
    const qint64 xref = readInt(b, p);
    if (xref < 0 || xref >= b.size() || !b.mid(xref, 4).startsWith("xref"))
        return false;
    p = xref + 4;
    const qint64 firstNumber = readInt(b, p);
    const qint64 count = readInt(b, p);
    if (firstNumber != 0 || count < 1)
        return false;
    while (p < b.size() && isSpace(b.at(p)))
        ++p;
    // Entries of 20 bytes: offset, generation, n or f, end of line.
    std::vector<std::pair<qint64, int>> byOffset;
    for (qint64 n = 0; n < count; ++n) {
        const qint64 at = p + n * 20;
        if (at + 20 > b.size())
            return false;
        qint64 q = at;
        const qint64 offset = readInt(b, q);
        readInt(b, q);
        while (q < b.size() && isSpace(b.at(q)))
            ++q;
        if (offset < 0 || q >= b.size())
            return false;
        if (b.at(q) == 'n' && n > 0) {
            if (offset >= xref)
                return false;
            byOffset.emplace_back(offset, int(n));
        }
    }
    std::sort(byOffset.begin(), byOffset.end());
    for (size_t i = 0; i < byOffset.size(); ++i) {
        const qint64 start = byOffset[i].first;
        const qint64 end = i + 1 < byOffset.size() ? byOffset[i + 1].first : xref;
        qint64 q = start;
        if (readInt(b, q) != byOffset[i].second)
            return false;
        part.objects[byOffset[i].second] = {start, end};
    }
    const qint64 trailer = b.indexOf("trailer", p + count * 20);
    if (trailer < 0)
        return false;
    part.root = refAfter(b, trailer, sx, "/Root");
    part.info = refAfter(b, trailer, sx, "/Info");
    const auto root = part.objects.find(part.root);
    if (root == part.objects.end())
        return false;
    part.pages = refAfter(b, root->second.first, root->second.second, "/Pages");
    const auto pages = part.objects.find(part.pages);
    if (pages == part.objects.end())
        return false;
    const qint64 kids = b.indexOf("/Kids", pages->second.first);
    if (kids < 0 || kids >= pages->second.second)
        return false;
    p = b.indexOf('[', kids);
    if (p < 0 || p >= pages->second.second)
        return false;
    ++p;
    for (;;) {
        while (p < pages->second.second && isSpace(b.at(p)))
            ++p;
        if (p >= pages->second.second)
            return false;
        if (b.at(p) == ']')
            break;
        const int kid = readRef(b, p);
        if (kid < 0 || !part.objects.count(kid))
            return false;
        part.kids << kid;
    }
    *out = std::move(part);
    return true;
}

// The object copied with its new number and its references renumbered;
// a stream's data is copied untouched.
QByteArray renumbered(const QByteArray &b, qint64 start, qint64 end, const std::map<int, int> &numbers)
{
    QByteArray out;
    out.reserve(end - start + 16);
    auto newNumber = [&numbers](qint64 n) {
        const auto it = numbers.find(int(n));
        return it == numbers.end() ? -1 : it->second;
    };
    qint64 p = start;
    const qint64 own = readInt(b, p);
    out += QByteArray::number(newNumber(own));
    while (p < end) {
        const char c = b.at(p);
        if (c == '(') {
            // A string, copied whole (nested brackets, escapes).
            int depth = 0;
            const qint64 from = p;
            for (; p < end; ++p) {
                const char s = b.at(p);
                if (s == '\\') {
                    ++p;
                    continue;
                }
                if (s == '(')
                    ++depth;
                else if (s == ')' && --depth == 0) {
                    ++p;
                    break;
                }
            }
            out.append(b.constData() + from, p - from);
            continue;
        }
        if (c == 's' && b.mid(p, 6) == "stream" && p > start && isDelimiter(b.at(p - 1))
            && (p + 6 >= end || b.at(p + 6) == '\n' || b.at(p + 6) == '\r')) {
            out.append(b.constData() + p, end - p);
            break;
        }
        if (isDigit(c) && isDelimiter(b.at(p - 1))) {
            qint64 q = p;
            const int ref = readRef(b, q);
            if (ref >= 0 && (q >= end || isDelimiter(b.at(q)))) {
                out += QByteArray::number(newNumber(ref)) + " 0 R";
                p = q;
                continue;
            }
            // A plain number: copied with its digits.
            const qint64 from = p;
            while (p < end && isDigit(b.at(p)))
                ++p;
            out.append(b.constData() + from, p - from);
            continue;
        }
        out.append(c);
        ++p;
    }
    return out;
}

class Joined {
public:
    explicit Joined(QIODevice *out) : m_out(out) {}

    bool write(const QByteArray &bytes)
    {
        if (m_out->write(bytes) != bytes.size())
            return false;
        m_at += bytes.size();
        return true;
    }
    // Starts object n here.
    void place(int n)
    {
        if (n >= int(m_offsets.size()))
            m_offsets.resize(size_t(n) + 1, -1);
        m_offsets[size_t(n)] = m_at;
    }
    bool placed(int n) const { return n < int(m_offsets.size()) && m_offsets[size_t(n)] >= 0; }
    bool finish()
    {
        for (size_t n = 1; n < m_offsets.size(); ++n)
            if (m_offsets[n] < 0)
                return false;
        QByteArray x = "xref\n0 " + QByteArray::number(qint64(m_offsets.size())) + "\n0000000000 65535 f \n";
        for (size_t n = 1; n < m_offsets.size(); ++n)
            x += QByteArray::number(m_offsets[n]).rightJustified(10, '0') + " 00000 n \n";
        const qint64 xref = m_at;
        x += "trailer\n<<\n/Size " + QByteArray::number(qint64(m_offsets.size())) + " \n/Info 1 0 R\n/Root 2 0 R\n>>\n"
            + "startxref\n" + QByteArray::number(xref) + " \n%%EOF\n";
        return write(x);
    }

private:
    QIODevice *m_out;
    qint64 m_at = 0;
    std::vector<qint64> m_offsets{0};
};

// Joins the parts' files, in order, into out.
bool join(const std::vector<std::unique_ptr<QTemporaryFile>> &files, QIODevice *out)
{
    Joined whole(out);
    int next = 4; // 1 information, 2 catalog, 3 page tree
    QList<int> kids;
    for (size_t i = 0; i < files.size(); ++i) {
        QFile &f = *files[i];
        if (!f.seek(0))
            return false;
        Part part;
        if (!parsePart(f.readAll(), &part))
            return false;
        std::map<int, int> numbers;
        for (const auto &o : part.objects)
            numbers[o.first] = o.first == part.pages ? 3 : o.first == part.root ? 2 : o.first == part.info ? 1 : next++;
        if (i == 0) {
            // The first part's header and information stand for the whole.
            const qint64 first = part.objects.empty() ? 0 : std::min_element(part.objects.begin(), part.objects.end(),
                                                                           [](const auto &a, const auto &b) {
                                                                               return a.second.first < b.second.first;
                                                                           })->second.first;
            if (!whole.write(part.bytes.left(first)))
                return false;
        }
        for (const auto &o : part.objects) {
            const bool own = o.first != part.pages && o.first != part.root && o.first != part.info;
            if (!own && !(i == 0 && o.first != part.pages))
                continue;
            whole.place(numbers[o.first]);
            if (!whole.write(renumbered(part.bytes, o.second.first, o.second.second, numbers)))
                return false;
        }
        for (int kid : std::as_const(part.kids))
            kids << numbers[kid];
    }
    QByteArray tree = "3 0 obj\n<<\n/Type /Pages\n/Kids \n[\n";
    for (int kid : std::as_const(kids))
        tree += QByteArray::number(kid) + " 0 R\n";
    tree += "]\n/Count " + QByteArray::number(qint64(kids.size())) + "\n>>\nendobj\n";
    whole.place(3);
    if (!whole.write(tree))
        return false;
    if (!whole.placed(1)) {
        whole.place(1);
        if (!whole.write("1 0 obj\n<<\n>>\nendobj\n"))
            return false;
    }
    return whole.placed(2) && whole.finish();
}

// How many pages each part holds at the most: parts small enough to join
// without holding much at once.
constexpr int kPagesPerPart = 2000;
// Below this a document is written as one PDF.
constexpr int kPagesToSplit = 200;

} // namespace

bool write(const ReportDocument &doc, const QString &path, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (doc.isEmpty())
        return fail(QStringLiteral("There is no report to write."));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), file.errorString()));

    const int pages = doc.pageCount();
    const int threads = std::max(1, QThread::idealThreadCount());
    bool ok = true;
    if (pages < kPagesToSplit) {
        ok = writePages(doc, 0, pages - 1, &file);
    } else {
        // Runs of pages written at once on every processor, each into a
        // scratch file (removed again), then joined in order.
        const int parts = std::max({2, threads, (pages + kPagesPerPart - 1) / kPagesPerPart});
        std::vector<std::unique_ptr<QTemporaryFile>> files;
        for (int i = 0; i < parts && ok; ++i) {
            files.push_back(std::make_unique<QTemporaryFile>(
                QDir(ReportScratch::folder()).filePath(QStringLiteral("velmora-pdf-XXXXXX"))));
            ok = files.back()->open();
        }
        if (ok) {
            std::atomic<int> nextPart{0};
            std::atomic<bool> failed{false};
            auto work = [&] {
                for (int i = nextPart++; i < parts && !failed; i = nextPart++) {
                    const int first = int(qint64(pages) * i / parts);
                    const int last = int(qint64(pages) * (i + 1) / parts) - 1;
                    if (!writePages(doc, first, last, files[size_t(i)].get()) || !files[size_t(i)]->flush())
                        failed = true;
                }
            };
            std::vector<std::thread> workers;
            for (int t = 0; t < std::min(threads, parts); ++t)
                workers.emplace_back(work);
            for (std::thread &w : workers)
                w.join();
            ok = !failed && join(files, &file);
        }
    }
    if (!ok) {
        file.cancelWriting();
        return fail(QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(path)));
    }
    if (file.error() != QFileDevice::NoError || !file.commit()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), why));
    }
    return true;
}

} // namespace ReportPdf
