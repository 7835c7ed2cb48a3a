#include "ListColumns.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableView>

namespace ListColumns {

void fit(QTableView *view, int column, const QString &header, int widestText)
{
    QFont bold = view->horizontalHeader()->font();
    bold.setBold(true);
    const int headerWidth = QFontMetrics(bold).horizontalAdvance(header);
    const int padding = 2 * view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 12;
    view->setColumnWidth(column, std::max(headerWidth, widestText) + padding);
}

} // namespace ListColumns
