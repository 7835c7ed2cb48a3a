#include "ReportRenderer.h"

#include "ReportFonts.h"

#include <QPainter>

namespace ReportRenderer {

void drawPage(QPainter &p, const ReportDocument &doc, int index, bool paintBackground)
{
    if (index < 0 || index >= doc.pageCount())
        return;
    drawPage(p, doc, doc.page(index), paintBackground);
}

void drawPage(QPainter &p, const ReportDocument &doc, const ReportPage &page, bool paintBackground)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (paintBackground)
        p.fillRect(QRect(QPoint(0, 0), page.size), Qt::white);

    // Cell shading first, then the cell borders over it.
    for (const ReportBoxItem &b : page.boxes) {
        if (qAlpha(b.fill) > 0)
            p.fillRect(b.rect, QColor::fromRgba(b.fill));
    }
    QPen border(Qt::black);
    border.setWidthF(10); // half a point
    p.setPen(border);
    p.setBrush(Qt::NoBrush);
    for (const ReportBoxItem &b : page.boxes) {
        if (b.border)
            p.drawRect(b.rect);
    }
    for (const ReportPictureItem &pic : page.pictures)
        p.drawImage(QRectF(pic.rect), doc.images().at(pic.image));

    int lastFont = -1;
    QRgb lastColor = 0;
    bool penSet = false;
    for (const ReportTextItem &t : page.texts) {
        if (t.font != lastFont) {
            p.setFont(ReportFonts::font(doc.fonts().at(t.font)));
            lastFont = t.font;
        }
        if (!penSet || t.color != lastColor) {
            p.setPen(QColor::fromRgba(t.color));
            lastColor = t.color;
            penSet = true;
        }
        p.drawText(QPointF(t.x, t.baseline), t.text);
    }
    p.restore();
}

} // namespace ReportRenderer
