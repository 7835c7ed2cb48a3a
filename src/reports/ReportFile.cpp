#include "ReportFile.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QSaveFile>

namespace ReportFile {

namespace {

// A report document file: signature, format version, payload length, the
// payload (QDataStream) and the SHA-256 of the payload.
const QByteArray Signature("VELMORA REPORT\r\n\x1a\n", 18);
constexpr quint32 FormatVersion = 1;
constexpr int HashSize = 32;

QByteArray payloadOf(const ReportDocument &doc)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
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
    out << quint32(doc.pageCount());
    for (const ReportPage &page : doc.pages()) {
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
    return bytes;
}

} // namespace

QByteArray encode(const ReportDocument &doc)
{
    const QByteArray payload = payloadOf(doc);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.writeRawData(Signature.constData(), int(Signature.size()));
    out << FormatVersion << quint64(payload.size());
    out.writeRawData(payload.constData(), int(payload.size()));
    const QByteArray hash = QCryptographicHash::hash(payload, QCryptographicHash::Sha256);
    out.writeRawData(hash.constData(), int(hash.size()));
    return bytes;
}

bool decode(const QByteArray &bytes, ReportDocument *out, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QString notOurs = QStringLiteral("it is not a report document");
    if (!bytes.startsWith(Signature))
        return fail(notOurs);
    QDataStream head(bytes);
    head.skipRawData(int(Signature.size()));
    quint32 version = 0;
    quint64 length = 0;
    head >> version >> length;
    if (head.status() != QDataStream::Ok)
        return fail(QStringLiteral("the file is damaged or incomplete"));
    if (version != FormatVersion)
        return fail(QStringLiteral("it was written in a format this program does not know (version %1)").arg(version));
    const qint64 start = Signature.size() + 4 + 8;
    if (length > quint64(bytes.size()) || start + qint64(length) + HashSize != bytes.size())
        return fail(QStringLiteral("the file is damaged or incomplete"));
    const QByteArray payload = bytes.mid(start, qsizetype(length));
    const QByteArray hash = bytes.mid(start + qint64(length), HashSize);
    if (QCryptographicHash::hash(payload, QCryptographicHash::Sha256) != hash)
        return fail(QStringLiteral("the file is damaged"));

    const QString damaged = QStringLiteral("the file's contents are damaged");
    QDataStream in(payload);
    in.setVersion(QDataStream::Qt_6_4);
    const quint32 limit = quint32(payload.size()); // no count can exceed the bytes there are
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
    QList<ReportPage> pages;
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
            page.texts.append(t);
        }
        pages.append(page);
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return fail(damaged);
    QString why;
    ReportDocument doc;
    if (!ReportDocument::fromParts(fonts, images, pages, &doc, &why))
        return fail(why);
    if (out)
        *out = doc;
    return true;
}

bool save(const ReportDocument &doc, const QString &path, QString *error, int first, int last)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const ReportDocument part = (first == 0 && last == 0) ? doc : doc.pageRange(first, last);
    if (part.isEmpty())
        return fail(QStringLiteral("There are no pages to save."));
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), f.errorString()));
    const QByteArray bytes = encode(part);
    if (f.write(bytes) != bytes.size() || !f.commit()) {
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
    const QByteArray bytes = f.readAll();
    QString why;
    if (!decode(bytes, out, &why)) {
        if (error)
            *error = QStringLiteral("%1 cannot be opened: %2.").arg(QDir::toNativeSeparators(path), why);
        return false;
    }
    return true;
}

} // namespace ReportFile
