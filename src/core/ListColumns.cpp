#include "ListColumns.h"

#include "TextWidths.h"

#include <QEvent>
#include <QHash>
#include <QHeaderView>
#include <QHelpEvent>
#include <QStyle>
#include <QTableView>
#include <QToolTip>
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

int cellsWidth(const QTableView *view, int column)
{
    const QAbstractItemModel *model = view->model();
    if (!model || column < 0 || column >= model->columnCount())
        return 0;
    const TextWidths &widths = TextWidths::of(view->font());
    const int n = model->rowCount();
    std::vector<qreal> upper(size_t(n), 0);
    qreal widestLower = 0;
    for (int r = 0; r < n; ++r) {
        const QString text = model->index(r, column).data(Qt::DisplayRole).toString();
        // Trailing blanks, which a cell does not count, make the sum an
        // upper bound only.
        qsizetype end = text.size();
        while (end > 0 && text.at(end - 1).isSpace())
            --end;
        const qreal whole = widths.estimate(text);
        upper[size_t(r)] = whole;
        widestLower = std::max(widestLower, end == text.size() ? whole : widths.estimate(text.left(end)));
    }
    const qreal margin = 2 + widestLower / 50;
    QHash<QString, int> measured;
    int content = 0;
    for (int r = 0; r < n; ++r) {
        if (upper[size_t(r)] + margin < widestLower)
            continue;
        const QModelIndex index = model->index(r, column);
        const QString text = index.data(Qt::DisplayRole).toString();
        auto it = measured.constFind(text);
        if (it == measured.constEnd())
            it = measured.insert(text, view->sizeHintForIndex(index).width());
        content = std::max(content, it.value());
    }
    if (n > 0 && view->showGrid())
        content += 1;
    return content;
}

FittedColumns::FittedColumns(QTableView *view) : QObject(view), m_view(view), m_viewport(view->viewport())
{
    setObjectName(QStringLiteral("FittedColumns"));
    m_view->setTextElideMode(Qt::ElideRight);
    m_view->installEventFilter(this);
    m_viewport->installEventFilter(this);
}

FittedColumns &FittedColumns::of(QTableView *view)
{
    for (QObject *child : view->children())
        if (auto *f = dynamic_cast<FittedColumns *>(child))
            return *f;
    return *new FittedColumns(view);
}

void FittedColumns::setNeeded(int column, int width)
{
    m_needed.insert(column, width);
    refit();
}

// However little room there is, a column stays this wide.
constexpr int kNarrowest = 16;

void FittedColumns::refit()
{
    // Widths that change can show or hide a scroll bar, which resizes the
    // visible part at once: that asks for one more round, not a nested one.
    if (m_fitting) {
        m_again = true;
        return;
    }
    m_fitting = true;
    for (int round = 0; round < 3; ++round) {
        m_again = false;
        fitOnce();
        if (!m_again)
            break;
    }
    m_fitting = false;
}

void FittedColumns::fitOnce()
{
    const QHeaderView *header = m_view->horizontalHeader();
    const int columns = m_view->model() ? m_view->model()->columnCount() : 0;
    auto title = [&](int c) { return header->isHidden() ? 0 : std::max(0, header->sectionSizeHint(c)); };
    struct Want {
        int column;
        int width; // the larger of its title and its cells
    };
    std::vector<Want> wants;
    int room = m_viewport->width();
    for (int c = 0; c < columns; ++c) {
        if (m_view->isColumnHidden(c))
            continue;
        if (m_needed.contains(c))
            wants.push_back({c, std::max(title(c), m_needed.value(c))});
        else
            room -= m_view->columnWidth(c);
    }
    // An unshown list has no width of its own yet: its columns fit their
    // contents whole until it shows. A shown one shares its room: a column
    // that needs no more than an even share of what is left is whole, the
    // wider ones share the rest evenly.
    if (m_view->isVisible()) {
        std::vector<Want> byWidth = wants;
        std::stable_sort(byWidth.begin(), byWidth.end(), [](const Want &a, const Want &b) { return a.width < b.width; });
        QHash<int, int> given;
        int left = int(byWidth.size());
        for (const Want &w : byWidth) {
            const int share = std::max(0, room) / left--;
            given.insert(w.column, std::max(std::min(w.width, share), std::min(w.width, kNarrowest)));
            room -= given.value(w.column);
        }
        for (Want &w : wants)
            w.width = given.value(w.column);
    }
    for (const Want &w : wants)
        if (m_view->columnWidth(w.column) != w.width)
            m_view->setColumnWidth(w.column, w.width);
}

bool FittedColumns::isCut(const QModelIndex &index) const
{
    if (!index.isValid() || !m_needed.contains(index.column()))
        return false;
    const int needed = m_view->sizeHintForIndex(index).width() + (m_view->showGrid() ? 1 : 0);
    return needed > m_view->columnWidth(index.column());
}

bool FittedColumns::eventFilter(QObject *watched, QEvent *event)
{
    // The view is looked at only for the events named here: others come
    // also while it is being destroyed.
    switch (event->type()) {
    case QEvent::Show:
        if (watched == m_view)
            refit();
        break;
    case QEvent::Resize:
        if (watched == m_viewport)
            refit();
        break;
    case QEvent::ToolTip:
        if (watched == m_viewport) {
            const auto *help = static_cast<QHelpEvent *>(event);
            const QModelIndex index = m_view->indexAt(help->pos());
            // A cell's own tooltip wins; a cut text shows whole.
            if (isCut(index) && !index.data(Qt::ToolTipRole).isValid()) {
                QToolTip::showText(help->globalPos(), index.data(Qt::DisplayRole).toString(), m_viewport,
                                   m_view->visualRect(index));
                return true;
            }
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace ListColumns
