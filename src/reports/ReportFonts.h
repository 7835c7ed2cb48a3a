#pragma once
// Fonts and metrics of the page model, cached per font. Sizes are pixel
// sizes in twips, so every measure comes out in twips whatever draws it.

#include "ReportModel.h"

#include <QFont>
#include <QFontMetricsF>

namespace ReportFonts {

struct Metrics {
    explicit Metrics(const QFont &f)
        : fm(f), ascent(fm.ascent()), descent(fm.descent()), leading(qMax<qreal>(0, fm.leading())),
          lineSpacing(fm.ascent() + fm.descent() + qMax<qreal>(0, fm.leading()))
    {
    }
    QFontMetricsF fm;
    qreal ascent;
    qreal descent;
    qreal leading;
    qreal lineSpacing;
    qreal width(const QString &s) const { return fm.horizontalAdvance(s); }
};

const QFont &font(const FontSpec &spec);
const Metrics &metrics(const FontSpec &spec);

} // namespace ReportFonts
