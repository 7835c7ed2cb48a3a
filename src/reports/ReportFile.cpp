#include "ReportFile.h"

#include "Fmt.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QSaveFile>
#include <algorithm>
#include <limits>

namespace ReportFile {

namespace {

// A report document file: signature, format version, payload length, the
// payload (QDataStream) and the SHA-256 of the payload.
const QByteArray Signature("VELMORA REPORT\r\n\x1a\n", 18);
constexpr quint32 FormatVersion = 1;
constexpr int HashSize = 32;
constexpr qint64 HeadSize = 18 + 4 + 8;

// Passes what is written on to a device, adding it to a hash and a count:
// the payload is written as it is made, never held whole.
class HashingWriter : public QIODevice {
public:
    explicit HashingWriter(QIODevice *to) : m_to(to), m_hash(QCryptographicHash::Sha256) { open(WriteOnly); }
    qint64 written() const { return m_written; }
    QByteArray hash() const { return m_hash.result(); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 n = m_to->write(data, size);
        if (n > 0) {
            m_hash.addData(QByteArrayView(data, n));
            m_written += n;
        }
        return n;
    }

private:
    QIODevice *m_to;
    QCryptographicHash m_hash;
    qint64 m_written = 0;
};

// Reads a part of a device (the payload) as a device of its own, so a
// stream never reads past it.
class Window : public QIODevice {
public:
    Window(QIODevice *from, qint64 size) : m_from(from), m_left(size) { open(ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 left() const { return m_left; }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        if (m_left <= 0)
            return -1;
        const qint64 n = m_from->read(data, std::min(max, m_left));
        if (n > 0)
            m_left -= n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
    qint64 bytesAvailable() const override { return m_left + QIODevice::bytesAvailable(); }

private:
    QIODevice *m_from;
    qint64 m_left;
};

void writePayload(const ReportDocument &doc, int first, int last, QIODevice *device)
{
    QDataStream out(device);
    out.setVersion(QDataStream::Qt_6_4);
    out << quint32(doc.fonts().size());
    for (const FontSpec &f : doc.fonts())
        out << f.name << qint32(f.sizeTwips) << quint8((f.bold ? 1 : 0) | (f.italic ? 2 : 0) | (f.underline ? 4 : 0));
    out << quint32(doc.images().size());
    for (const QImage &img : doc.images()) {
        QByteArray png;
        QBuffer buf(&png);
        buf.open(QIODevice::WriteOnly);
        img.save(&buf, "PNG");
        out << png << qint32(img.dotsPerMeterX()) << qint32(img.dotsPerMeterY());
    }
    out << quint32(last - first + 1);
    for (int i = first; i <= last; ++i) {
        const ReportPage page = doc.page(i);
        out << qint32(page.size.width()) << qint32(page.size.height());
        out << quint32(page.boxes.size());
        for (const ReportBoxItem &b : page.boxes)
            out << qint32(b.rect.x()) << qint32(b.rect.y()) << qint32(b.rect.width()) << qint32(b.rect.height())
                << quint32(b.fill) << quint8(b.border ? 1 : 0);
        out << quint32(page.pictures.size());
        for (const ReportPictureItem &p : page.pictures)
            out << qint32(p.rect.x()) << qint32(p.rect.y()) << qint32(p.rect.width()) << qint32(p.rect.height())
                << qint32(p.image);
        out << quint32(page.texts.size());
        for (const ReportTextItem &t : page.texts)
            out << qint32(t.x) << qint32(t.baseline) << qint32(t.width) << quint16(t.font) << quint32(t.color) << t.text;
    }
}

// Writes the file's bytes: the head with the length the payload turns out
// to have (the device must be seekable), the payload, its hash.
bool writeDocument(const ReportDocument &doc, int first, int last, QIODevice *device)
{
    QDataStream head(device);
    const qint64 start = device->pos();
    head.writeRawData(Signature.constData(), int(Signature.size()));
    head << FormatVersion << quint64(0);
    HashingWriter payload(device);
    writePayload(doc, first, last, &payload);
    const QByteArray hash = payload.hash();
    if (device->write(hash) != hash.size())
        return false;
    const qint64 end = device->pos();
    if (!device->seek(start + HeadSize - 8))
        return false;
    head << quint64(payload.written());
    return head.status() == QDataStream::Ok && device->seek(end);
}

// Reads a document from a file's bytes on a device of that size: the
// head and the payload's hash checked first, then the payload read page by
// page.
bool readDocument(QIODevice *device, qint64 size, ReportDocument *out, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QString notOurs = QStringLiteral("it is not a report document");
    if (size < Signature.size() || device->read(Signature.size()) != Signature)
        return fail(notOurs);
    QDataStream head(device);
    quint32 version = 0;
    quint64 length = 0;
    head >> version >> length;
    if (head.status() != QDataStream::Ok)
        return fail(QStringLiteral("the file is damaged or incomplete"));
    if (version != FormatVersion)
        return fail(QStringLiteral("it was written in a format this program does not know (version %1)").arg(version));
    if (length > quint64(size) || HeadSize + qint64(length) + HashSize != size)
        return fail(QStringLiteral("the file is damaged or incomplete"));
    const qint64 start = device->pos();
    {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        qint64 left = qint64(length);
        while (left > 0) {
            const QByteArray block = device->read(std::min<qint64>(left, 1 << 20));
            if (block.isEmpty())
                return fail(QStringLiteral("the file is damaged or incomplete"));
            hash.addData(block);
            left -= block.size();
        }
        if (hash.result() != device->read(HashSize))
            return fail(QStringLiteral("the file is damaged"));
    }
    if (!device->seek(start))
        return fail(QStringLiteral("the file is damaged or incomplete"));

    const QString damaged = QStringLiteral("the file's contents are damaged");
    Window payload(device, qint64(length));
    QDataStream in(&payload);
    in.setVersion(QDataStream::Qt_6_4);
    const quint32 limit = quint32(std::min<quint64>(length, std::numeric_limits<quint32>::max())); // no count can exceed the bytes there are
    quint32 n = 0;
    QList<FontSpec> fonts;
    in >> n;
    if (n > limit)
        return fail(damaged);
    for (quint32 i = 0; i < n && in.status() == QDataStream::Ok; ++i) {
        FontSpec f;
        qint32 size = 0;
        quint8 flags = 0;
        in >> f.name >> size >> flags;
        f.sizeTwips = size;
        f.bold = flags & 1;
        f.italic = flags & 2;
        f.underline = flags & 4;
        fonts.append(f);
    }
    QList<QImage> images;
    in >> n;
    if (in.status() != QDataStream::Ok || n > limit)
        return fail(damaged);
    // A small PNG may unpack to a huge picture: the sizes its headers
    // declare are added up before any is unpacked.
    qint64 pictureBytes = 0;
    for (quint32 i = 0; i < n && in.status() == QDataStream::Ok; ++i) {
        QByteArray png;
        qint32 dx = 0, dy = 0;
        in >> png >> dx >> dy;
        QBuffer buffer(&png);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "PNG");
        const QSize declared = reader.size();
        if (declared.isEmpty())
            return fail(damaged);
        pictureBytes += ReportLimits::pictureBytes(declared.width(), declared.height());
        if (pictureBytes > ReportLimits::MaxPictureBytes)
            return fail(damaged);
        QImage img = reader.read();
        if (img.isNull() || img.size() != declared)
            return fail(damaged);
        img = img.convertToFormat(QImage::Format_ARGB32);
        if (dx > 0)
            img.setDotsPerMeterX(dx);
        if (dy > 0)
            img.setDotsPerMeterY(dy);
        images.append(img);
    }
    QString why;
    ReportDocumentBuilder builder;
    if (in.status() == QDataStream::Ok && (!builder.setFonts(fonts, &why) || !builder.setImages(images, &why)))
        return fail(why);
    in >> n;
    if (in.status() != QDataStream::Ok || n > limit)
        return fail(damaged);
    for (quint32 i = 0; i < n && in.status() == QDataStream::Ok; ++i) {
        ReportPage page;
        qint32 w = 0, h = 0;
        in >> w >> h;
        if (in.status() != QDataStream::Ok || !ReportLimits::pageSizeOk(w, h))
            return fail(damaged);
        page.size = QSize(w, h);
        quint32 count = 0;
        in >> count;
        if (count > limit)
            return fail(damaged);
        for (quint32 k = 0; k < count && in.status() == QDataStream::Ok; ++k) {
            qint32 x, y, bw, bh;
            quint32 fill;
            quint8 border;
            in >> x >> y >> bw >> bh >> fill >> border;
            if (!ReportLimits::itemOk(x, y, bw, bh))
                return fail(damaged);
            page.boxes.append(ReportBoxItem{QRect(x, y, bw, bh), fill, border != 0});
        }
        in >> count;
        if (count > limit)
            return fail(damaged);
        for (quint32 k = 0; k < count && in.status() == QDataStream::Ok; ++k) {
            qint32 x, y, pw, ph, img;
            in >> x >> y >> pw >> ph >> img;
            if (!ReportLimits::itemOk(x, y, pw, ph))
                return fail(damaged);
            page.pictures.append(ReportPictureItem{QRect(x, y, pw, ph), img});
        }
        in >> count;
        if (count > limit)
            return fail(damaged);
        for (quint32 k = 0; k < count && in.status() == QDataStream::Ok; ++k) {
            ReportTextItem t;
            qint32 x, b, tw;
            quint16 font;
            quint32 color;
            in >> x >> b >> tw >> font >> color >> t.text;
            if (!ReportLimits::itemOk(x, b, tw, 0))
                return fail(damaged);
            t.x = x;
            t.baseline = b;
            t.width = tw;
            t.font = font;
            t.color = color;
            // A document saved by an earlier version may hold them.
            t.text = Fmt::withoutControls(t.text);
            page.texts.append(t);
        }
        if (in.status() != QDataStream::Ok)
            break;
        if (!builder.addPage(page, &why))
            return fail(why);
    }
    if (in.status() != QDataStream::Ok || payload.left() != 0)
        return fail(damaged);
    if (out)
        *out = builder.document();
    return true;
}

} // namespace

QByteArray encode(const ReportDocument &doc)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeDocument(doc, 0, doc.pageCount() - 1, &buffer);
    return bytes;
}

bool decode(const QByteArray &bytes, ReportDocument *out, QString *error)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readDocument(&buffer, bytes.size(), out, error);
}

bool save(const ReportDocument &doc, const QString &path, QString *error, int first, int last)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    // A range is a document of its own (its fonts and pictures only).
    const ReportDocument part = (first == 0 && last == 0) ? doc : doc.pageRange(first, last);
    if (part.isEmpty())
        return fail(QStringLiteral("There are no pages to save."));
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), f.errorString()));
    if (!writeDocument(part, 0, part.pageCount() - 1, &f) || f.error() != QFileDevice::NoError || !f.commit()) {
        const QString why = f.errorString();
        f.cancelWriting();
        return fail(QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), why));
    }
    return true;
}

bool load(const QString &path, ReportDocument *out, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1 could not be opened: %2").arg(QDir::toNativeSeparators(path), f.errorString());
        return false;
    }
    QString why;
    if (!readDocument(&f, f.size(), out, &why)) {
        if (error)
            *error = QStringLiteral("%1 cannot be opened: %2.").arg(QDir::toNativeSeparators(path), why);
        return false;
    }
    return true;
}

} // namespace ReportFile
