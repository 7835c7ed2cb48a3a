#pragma once
// How wide texts are in one font, without laying each one out: the
// advance of every character and the adjustment of every pair of
// characters next to each other (kerning) are measured once, through
// QFontMetricsF like any text, and a text's width is their sum. Laying a
// text out costs microseconds; the sum costs a few table look-ups a
// character, which matters for lists and reports of a hundred thousand
// texts.
//
// Where a font shapes each character on its own and kerns by pairs (the
// Latin faces the reports use), the sum is exactly what
// QFontMetricsF::horizontalAdvance() gives. Whether it is, is tested on
// the font once, with texts that would show ligatures or other shaping
// across characters; width() then measures the usual way where the sum
// could differ (such fonts, and texts with characters outside the simple
// scripts), so it is always exact. estimate() always sums: close enough
// to choose the few texts that are worth measuring.
//
// Not thread-safe: one object per thread.

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <memory>

class TextWidths {
public:
    explicit TextWidths(const QFont &font);

    // The advance of the text as QFontMetricsF::horizontalAdvance() has it.
    qreal width(const QString &text) const;
    // The sum of the characters' and pairs' advances, whatever the text.
    qreal estimate(const QString &text) const;
    // Whether the sum is exact for texts of simple characters in this font.
    bool pairsAreExact() const { return m_pairsExact; }

    // Whether width() may sum the text: characters of the Latin, Greek and
    // Cyrillic letters, digits, blanks and common punctuation, none of
    // which a shaper joins or reorders.
    static bool isSimple(const QString &text);

    // The shared widths of a font, for the user-interface thread.
    static const TextWidths &of(const QFont &font);

private:
    qreal advance(char16_t c) const;
    qreal pair(char16_t a, char16_t b) const;
    bool testPairs() const;

    QFontMetricsF m_fm;
    mutable QHash<char16_t, qreal> m_advance;
    mutable QHash<quint32, qreal> m_pair;
    mutable qreal m_latin[128];
    // The pairs of ASCII characters, the most common by far; made on
    // first use.
    mutable std::unique_ptr<qreal[]> m_asciiPairs;
    bool m_pairsExact = false;
};
