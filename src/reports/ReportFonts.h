#pragma once
// Fonts and metrics of the page model, cached per font. Sizes are pixel
// sizes in twips, so every measure comes out in twips whatever draws it.

#include "ReportModel.h"
#include "TextWidths.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QString>

namespace ReportFonts {

struct WrappedLine {
    QString text;
    qreal width = 0;
};

struct Metrics {
    explicit Metrics(const QFont &f);
    QFontMetricsF fm;
    qreal ascent;
    qreal descent;
    qreal leading;
    qreal lineSpacing;

    // The advance of a text as drawn: summed from its characters where
    // that is exact (TextWidths), else measured (and cached).
    qreal width(const QString &s) const;
    // The sum of the characters' own advances: close to width(), cheap.
    qreal roughWidth(const QString &s) const;
    // How many characters of s start a line avail wide: the longest prefix
    // ending before a blank that fits; when none does and cut is set, the
    // most characters that fit (at least one). 0 when nothing fits and cut
    // is not set. *w receives the prefix's width.
    int fit(const QString &s, qreal avail, bool cut, qreal *w) const;
    // The lines of text that fit maxWidth: each "\n" ends one; a line
    // breaks at blanks (dropped at the break) and a word longer than the
    // line inside the word.
    QList<WrappedLine> wrap(const QString &text, qreal maxWidth) const;

private:
    qreal charAdvance(QChar c) const;
    TextWidths m_sums;
    mutable QHash<QString, qreal> m_widths;
    mutable qreal m_latin[256];
};

// The font and metrics of a spec, kept for the thread that asks.
const QFont &font(const FontSpec &spec);
const Metrics &metrics(const FontSpec &spec);

} // namespace ReportFonts
