#pragma once
// Draws one page of the page model with any QPainter. The painter's
// coordinates are set by the caller; the page is drawn in twips, so the
// caller scales by (device dots per inch / 1440). Pages may be drawn on
// several threads at once, each with its own painter.

#include "ReportModel.h"

class QPainter;

namespace ReportRenderer {

// Draws page index (0-based) of doc in twips, white background included
// when paintBackground.
void drawPage(QPainter &painter, const ReportDocument &doc, int index, bool paintBackground = true);
// The same for a page already unpacked from doc.
void drawPage(QPainter &painter, const ReportDocument &doc, const ReportPage &page, bool paintBackground = true);

} // namespace ReportRenderer
