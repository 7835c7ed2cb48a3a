#include "TextWidths.h"

#include <algorithm>
#include <memory>

namespace {

bool isSimpleChar(char16_t c)
{
    return (c >= 0x20 && c <= 0x7e)                   // ASCII
        || (c >= 0xa0 && c <= 0x24f && c != 0xad)     // Latin-1 and Latin Extended, no soft hyphen
        || (c >= 0x2010 && c <= 0x2027)               // dashes, quotes, bullets, ellipsis
        || (c >= 0x2030 && c <= 0x205e)               // per mille, primes, more punctuation
        || (c >= 0x20a0 && c <= 0x20c0);              // currency signs
}

// Texts that would show where a font does more than kern pairs: the
// usual ligatures, and characters of every simple range side by side.
QStringList probeTexts()
{
    QStringList probes;
    const QString prone = QStringLiteral("fiIlLtTjJbhkscQ");
    for (const QChar a : prone)
        for (const QChar b : prone)
            probes << QString(a) + b;
    probes << QStringLiteral("ffi") << QStringLiteral("ffl") << QStringLiteral("fff") << QStringLiteral("ffj")
           << QStringLiteral("fft") << QStringLiteral("Th") << QStringLiteral("st") << QStringLiteral("ct")
           << QStringLiteral("ij") << QStringLiteral("IJ");
    QString alphabet;
    for (char16_t c = 0x20; c <= 0x20c0; ++c)
        if (isSimpleChar(c))
            alphabet += QChar(c);
    // A fixed sequence: the same probes every time.
    quint32 seed = 1997;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (int i = 0; i < 24; ++i) {
        QString s;
        const int length = 4 + int(next() % 24);
        for (int k = 0; k < length; ++k)
            s += alphabet.at(int(next() % quint32(alphabet.size())));
        probes << s;
    }
    return probes;
}

} // namespace

TextWidths::TextWidths(const QFont &font) : m_fm(font)
{
    for (qreal &a : m_latin)
        a = -1;
    m_pairsExact = testPairs();
}

bool TextWidths::isSimple(const QString &text)
{
    for (const QChar c : text)
        if (!isSimpleChar(c.unicode()))
            return false;
    return true;
}

qreal TextWidths::advance(char16_t c) const
{
    if (c < 128) {
        if (m_latin[c] < 0)
            m_latin[c] = m_fm.horizontalAdvance(QChar(c));
        return m_latin[c];
    }
    auto it = m_advance.constFind(c);
    if (it == m_advance.constEnd())
        it = m_advance.insert(c, m_fm.horizontalAdvance(QChar(c)));
    return *it;
}

qreal TextWidths::pair(char16_t a, char16_t b) const
{
    constexpr qreal unknown = 1e30;
    if (a < 128 && b < 128) {
        if (!m_asciiPairs) {
            m_asciiPairs.reset(new qreal[128 * 128]);
            std::fill(m_asciiPairs.get(), m_asciiPairs.get() + 128 * 128, unknown);
        }
        qreal &w = m_asciiPairs[a * 128 + b];
        if (w == unknown) {
            const QChar both[2] = {QChar(a), QChar(b)};
            w = m_fm.horizontalAdvance(QString(both, 2)) - advance(a) - advance(b);
        }
        return w;
    }
    const quint32 key = (quint32(a) << 16) | b;
    auto it = m_pair.constFind(key);
    if (it == m_pair.constEnd()) {
        const QChar both[2] = {QChar(a), QChar(b)};
        it = m_pair.insert(key, m_fm.horizontalAdvance(QString(both, 2)) - advance(a) - advance(b));
    }
    return *it;
}

qreal TextWidths::estimate(const QString &text) const
{
    const QChar *p = text.constData();
    const qsizetype n = text.size();
    qreal w = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i].unicode();
        w += advance(c);
        if (i > 0)
            w += pair(p[i - 1].unicode(), c);
    }
    return w;
}

qreal TextWidths::width(const QString &text) const
{
    if (m_pairsExact && isSimple(text))
        return estimate(text);
    return m_fm.horizontalAdvance(text);
}

bool TextWidths::testPairs() const
{
    for (const QString &probe : probeTexts())
        if (estimate(probe) != m_fm.horizontalAdvance(probe))
            return false;
    return true;
}

const TextWidths &TextWidths::of(const QFont &font)
{
    static QHash<QFont, std::shared_ptr<TextWidths>> cache;
    auto it = cache.constFind(font);
    if (it == cache.constEnd())
        it = cache.insert(font, std::make_shared<TextWidths>(font));
    return **it;
}
