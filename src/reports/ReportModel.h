#pragma once
// The page model of a report: finished pages of positioned text runs,
// pictures and boxes (table cells, shading), all in twips (1440 to the
// inch) from the page's top-left corner. A built, opened or appended
// report is one ReportDocument; the preview, the enlarged preview and the
// PDF writer all draw it through ReportRenderer, so they show the same
// thing. A document is a value: copies share their pages, and nothing
// changes a document once it is made (appending or cutting a page range
// makes a new one).
//
// A document keeps each finished page packed (a few kilobytes where its
// items would take tens) and unpacks a page when it is asked for; past
// the first few tens of megabytes the packed pages go to a scratch file
// (ReportScratch), so a report of a million anthems takes little memory.
// Reading pages is safe from several threads at once.

#include <QColor>
#include <QFont>
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>

namespace Twips {
inline constexpr int PerInch = 1440;
inline constexpr int PerPoint = 20;
// US Letter.
inline constexpr int LetterWidth = 12240;
inline constexpr int LetterHeight = 15840;
} // namespace Twips

// What one report document may hold: pages of a sane size and shape,
// items near their page and pictures of a bounded total size, so that a
// damaged or crafted file can never make the preview, the PDF writer or
// the layout of items ask for gigabytes or overflow a coordinate.
namespace ReportLimits {
inline constexpr int MinPageSide = Twips::PerInch / 2;
inline constexpr int MaxPageSide = 50 * Twips::PerInch;
inline constexpr int MaxPageAspect = 10; // longer side over shorter side
// Item coordinates (x, y, baseline) and extents (width, height) stay
// within this many twips of the page's corner.
inline constexpr int MaxItemExtent = 2 * MaxPageSide;
// The pictures of one document, decoded (4 bytes a pixel), together.
inline constexpr qint64 MaxPictureBytes = 32 * 1024 * 1024;

bool pageSizeOk(qint64 width, qint64 height);
bool itemOk(qint64 x, qint64 y, qint64 width, qint64 height);
inline qint64 pictureBytes(qint64 width, qint64 height) { return width * height * 4; }
} // namespace ReportLimits

// A font as a report asks for it. The name is kept as asked ("arial");
// qfont() draws it with the installed metric-compatible face.
struct FontSpec {
    QString name = QStringLiteral("Arial");
    int sizeTwips = 200; // 10 pt
    bool bold = false;
    bool italic = false;
    bool underline = false;

    double sizePoints() const { return sizeTwips / double(Twips::PerPoint); }
    // The font to measure and draw with; its pixel size is the size in
    // twips, so one pixel of the font is one twip of the page.
    QFont qfont() const;
    // The installed family that draws the asked name ("Liberation Sans"
    // for Arial).
    static QString resolvedFamily(const QString &name);

    bool operator==(const FontSpec &o) const
    {
        return sizeTwips == o.sizeTwips && bold == o.bold && italic == o.italic
            && underline == o.underline && name.compare(o.name, Qt::CaseInsensitive) == 0;
    }
    bool operator!=(const FontSpec &o) const { return !(*this == o); }
};
size_t qHash(const FontSpec &f, size_t seed = 0);

// Text drawn at (x, baseline); width is its advance as measured when it
// was laid out.
struct ReportTextItem {
    qint32 x = 0;
    qint32 baseline = 0;
    qint32 width = 0;
    quint16 font = 0; // index into ReportDocument::fonts()
    QRgb color = 0xff000000;
    QString text;
    bool operator==(const ReportTextItem &o) const
    {
        return x == o.x && baseline == o.baseline && width == o.width && font == o.font
            && color == o.color && text == o.text;
    }
};

// A filled and/or outlined rectangle: table cells and their shading.
struct ReportBoxItem {
    QRect rect;
    QRgb fill = 0; // alpha 0: not filled
    bool border = false;
    bool operator==(const ReportBoxItem &o) const
    {
        return rect == o.rect && fill == o.fill && border == o.border;
    }
};

struct ReportPictureItem {
    QRect rect;
    qint32 image = 0; // index into ReportDocument::images()
    bool operator==(const ReportPictureItem &o) const { return rect == o.rect && image == o.image; }
};

// One finished page. Drawn in the order boxes, pictures, texts.
struct ReportPage {
    QSize size{Twips::LetterWidth, Twips::LetterHeight};
    QList<ReportBoxItem> boxes;
    QList<ReportPictureItem> pictures;
    QList<ReportTextItem> texts;
    bool isLandscape() const { return size.width() > size.height(); }
};

class ReportScratch;

// A place in a document's text: a page (1-based), a line of that page
// (0-based, as pageLines() counts them) and a character of that line.
struct ReportTextPos {
    int page = 0;
    int line = 0;
    int column = 0;
    bool isNull() const { return page <= 0; }
};

class ReportDocument {
public:
    ReportDocument() = default;

    bool isEmpty() const { return m_pages.isEmpty(); }
    int pageCount() const { return int(m_pages.size()); }
    // A page, unpacked; index is 0-based.
    ReportPage page(int index) const;
    // Every page unpacked: for small documents.
    QList<ReportPage> pages() const;
    const QList<FontSpec> &fonts() const { return m_fonts; }
    const QList<QImage> &images() const { return m_images; }

    // A new document: this one's pages followed by other's.
    ReportDocument appended(const ReportDocument &other) const;
    // A new document of pages first..last (1-based, inclusive, clamped to
    // the pages there are); empty when the range holds no page.
    ReportDocument pageRange(int first, int last) const;

    // Case-insensitive search for text from page startPage (1-based) on;
    // a hit may span the runs of one line. Returns the 1-based page of the
    // first hit and its rectangle in twips, or 0 when there is none.
    int find(const QString &text, int startPage, QRect *hit = nullptr) const;
    // The same from a place on a page: the first hit that starts there or
    // after it. Returns where the hit starts; a null place when there is none.
    ReportTextPos find(const QString &text, const ReportTextPos &from, QRect *hit = nullptr) const;
    // The text of a page, line by line from top to bottom (runs on one
    // baseline joined), for searching and tests.
    QStringList pageLines(int index) const;

    // Same pages, fonts and pictures (compared by content, not by index).
    bool operator==(const ReportDocument &o) const;
    bool operator!=(const ReportDocument &o) const { return !(*this == o); }

    // The bytes of packed pages this document keeps in memory (the others
    // are in its scratch file).
    qint64 heldBytes() const { return m_heldBytes; }
    // How many bytes of packed pages a document keeps in memory before it
    // puts the rest in its scratch file (tests lower it).
    static qint64 heldPageBytes();
    static void setHeldPageBytes(qint64 bytes);

    // Builds a document from its parts, checking that every item refers to
    // a font and picture that exists; false (and the reason) otherwise.
    static bool fromParts(QList<FontSpec> fonts, QList<QImage> images, QList<ReportPage> pages,
                          ReportDocument *out, QString *error);

private:
    friend class ReportPrinter;
    friend class ReportDocumentBuilder;
    int fontIndex(const FontSpec &f);
    int imageIndex(const QImage &img);
    void appendPage(const ReportPage &page);
    // Copies pages first..last (0-based) of src, their fonts and pictures
    // taken into this document's tables.
    void addPagesOf(const ReportDocument &src, int first, int last);

    // A packed page: its bytes, or where the scratch file holds them.
    struct Packed {
        QByteArray bytes;
        qint64 at = -1;
        qint64 size = 0;
    };
    QByteArray packedPage(int index) const;

    QList<FontSpec> m_fonts;
    QList<QImage> m_images;
    QList<Packed> m_pages;
    // Shared by the copies of a document; only ever appended to.
    std::shared_ptr<ReportScratch> m_scratch;
    qint64 m_heldBytes = 0;
};

// Builds a document part by part, each checked as
// ReportDocument::fromParts() checks it: a report document read from a
// file, page by page, without holding its pages unpacked.
class ReportDocumentBuilder {
public:
    // The fonts and pictures, before any page.
    bool setFonts(QList<FontSpec> fonts, QString *error);
    bool setImages(QList<QImage> images, QString *error);
    bool addPage(const ReportPage &page, QString *error);
    ReportDocument document() const { return m_doc; }

private:
    ReportDocument m_doc;
};
