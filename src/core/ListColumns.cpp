#include "ListColumns.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableView>
#include <QTreeView>

namespace ListColumns {

QVariant headerData(const QStringList &headers, int section, Qt::Orientation orientation, int role)
{
    if (orientation != Qt::Horizontal)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return headers.value(section);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::FontRole: {
        QFont f;
        f.setBold(true);
        return f;
    }
    default:
        return {};
    }
}

int neededWidth(const QAbstractItemView *view, const QString &header, int widestText)
{
    // The headers are drawn bold, in the header's own font.
    const QHeaderView *h = nullptr;
    if (const auto *table = qobject_cast<const QTableView *>(view))
        h = table->horizontalHeader();
    else if (const auto *tree = qobject_cast<const QTreeView *>(view))
        h = tree->header();
    QFont bold = h ? h->font() : view->font();
    bold.setBold(true);
    const int headerWidth = QFontMetrics(bold).horizontalAdvance(header);
    const int padding = 2 * view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 12;
    return std::max(headerWidth, widestText) + padding;
}

void fit(QTableView *view, int column, const QString &header, int widestText)
{
    view->setColumnWidth(column, neededWidth(view, header, widestText));
}

} // namespace ListColumns
