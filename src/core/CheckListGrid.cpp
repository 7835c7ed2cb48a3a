#include "CheckListGrid.h"

#include "Db.h"
#include "KeyboardReach.h"
#include "LinkTables.h"
#include "ListColumns.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStyledItemDelegate>
#include <algorithm>
#include <vector>

namespace {

constexpr int kIdColumn = 0;
constexpr int kNameColumn = 1;
constexpr int kKeyColumn = 2;
constexpr int kActiveColumn = 3;
// Where a filled row remembers its place in the fill query's name order.
constexpr int kRankRole = Qt::UserRole + 1;
// Column 1's starting width on grids with the Active column (2300 twips).
constexpr int kActiveLayoutNameWidth = 153;

const QString kActiveTitle = QStringLiteral("Active");

// Paints the Active column's check box in the middle of its cell; the
// other columns keep the standard look.
class CheckListDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const QVariant check = index.data(Qt::CheckStateRole);
        if (index.column() != kActiveColumn || !check.isValid()
            || !index.data(Qt::DisplayRole).toString().isEmpty()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QWidget *w = opt.widget;
        QStyle *style = w ? w->style() : QApplication::style();
        QStyleOptionViewItem cell(opt);
        cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, w);

        QStyleOptionViewItem box(opt);
        QRect r = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, w);
        r.moveCenter(option.rect.center());
        box.rect = r;
        box.state &= ~QStyle::State_HasFocus;
        box.state |= (check.toInt() == Qt::Checked) ? QStyle::State_On : QStyle::State_Off;
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, w);
    }
};

// Redraw off for the life of the object, and always back on at its end,
// also when a query throws half-way.
class RedrawOff {
public:
    explicit RedrawOff(QWidget *w) : m_w(w) { m_w->setUpdatesEnabled(false); }
    ~RedrawOff() { m_w->setUpdatesEnabled(true); }
    RedrawOff(const RedrawOff &) = delete;
    RedrawOff &operator=(const RedrawOff &) = delete;

private:
    QWidget *m_w;
};

QTableWidgetItem *newCell(const QString &text = QString())
{
    auto *it = new QTableWidgetItem(text);
    // Never ItemIsUserCheckable: a box changes only through the program.
    it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return it;
}

QTableWidgetItem *headerCell(const QString &title)
{
    auto *it = new QTableWidgetItem(title);
    it->setTextAlignment(Qt::AlignCenter);
    QFont f = it->font();
    f.setBold(!title.isEmpty());
    it->setFont(f);
    return it;
}

// One kind of check-list grid: its title and the query that fills it (id,
// name in name order) from the kind's reference table in the catalogue.
// The links that mark it come from the catalogue too.
struct GridKind {
    QString title;
    QString fillSql;
};

GridKind makeGridKind(CheckGridKind kind, const char *title)
{
    const RefTable &ref = LinkTables::reference(kind);
    const QString table = QLatin1String(ref.table), id = QLatin1String(ref.idColumn);
    const QString name = QLatin1String(ref.nameColumn);
    return {QLatin1String(title), QStringLiteral("select %1, %2 from %3 order by %4, %1")
                                      .arg(id, name, table, Db::keyColumn(table, name))};
}

const GridKind &gridKind(CheckGridKind kind)
{
    static const GridKind kinds[] = {
        makeGridKind(CheckGridKind::Vocals, "Vocalizing"),
        makeGridKind(CheckGridKind::Themes, "Themes"),
        makeGridKind(CheckGridKind::Orchestration, "Orchestration"),
        makeGridKind(CheckGridKind::Choirs, "Choirs"),
        makeGridKind(CheckGridKind::Composers, "Composer/Arranger"),
        makeGridKind(CheckGridKind::Sections, "Section"),
    };
    return kinds[static_cast<int>(kind)];
}

// The query reading the linked ids of an owner record (and on the member
// choir links the active flag); empty when that owner has no such links.
QString linkSql(CheckGridKind kind, int owner)
{
    const int which = owner < 0 ? -owner : owner;
    // Members are the only owners of sections: any owner code but 0 marks them.
    if (which == 0 || (kind != CheckGridKind::Sections
                       && (which < int(RecordKind::Collection) || which > int(RecordKind::Member))))
        return {};
    const RecordKind ownerKind = kind == CheckGridKind::Sections ? RecordKind::Member : RecordKind(which);
    const LinkTable *t = LinkTables::link(ownerKind, kind);
    if (!t)
        return {};
    const QString columns = t->activeColumn
                                ? QStringLiteral("%1, %2").arg(QLatin1String(t->itemColumn), QLatin1String(t->activeColumn))
                                : QLatin1String(t->itemColumn);
    return QStringLiteral("select %1 from %2 where %3 = ?")
        .arg(columns, QLatin1String(t->table), QLatin1String(t->ownerColumn));
}

void setKey(CheckListGrid *grid, int row, const QString &key)
{
    QTableWidgetItem *it = grid->item(row - 1, kKeyColumn);
    if (!it) {
        it = newCell();
        grid->setItem(row - 1, kKeyColumn, it);
    }
    it->setText(key);
}

// Ticks the rows linked to the owner and sorts them first; with no link
// found the rows are sorted by name.
void markLinks(CheckGridKind kind, CheckListGrid *grid, int owner, qint32 id, bool withActive)
{
    bool found = false;
    if (const QString sql = linkSql(kind, owner); !sql.isEmpty()) {
        QSqlQuery q = Db::query(sql, {id});
        const bool hasActive = q.record().count() > 1;
        QHash<qint32, int> rowOfId;
        for (int r = 1; r < grid->Rows(); ++r)
            if (!rowOfId.contains(grid->idAt(r)))
                rowOfId.insert(grid->idAt(r), r);
        while (q.next()) {
            if (q.value(0).isNull())
                continue;
            const auto it = rowOfId.constFind(q.value(0).toInt());
            if (it == rowOfId.constEnd())
                continue; // an entry no longer in the list
            const int r = it.value();
            grid->setCheckState(r, kNameColumn, CheckListGrid::Checked);
            setKey(grid, r, QStringLiteral("0"));
            if (withActive && hasActive) {
                const QVariant active = q.value(1);
                if (!active.isNull() && active.toInt() != 0)
                    grid->setCheckState(r, kActiveColumn, CheckListGrid::Checked);
            }
            found = true;
        }
    }
    grid->sortDataRows(found ? kKeyColumn : kNameColumn);
}

// The name column (and the Active column) fit their titles and texts.
void sizeColumns(CheckListGrid *grid)
{
    try {
        if (grid->hasActiveColumn())
            grid->fitColumnToTexts(kActiveColumn);
        grid->fitColumnToTexts(kNameColumn);
    } catch (...) {
    }
}

} // namespace

CheckListGrid::CheckListGrid(QWidget *parent) : QTableWidget(parent)
{
    setColumnCount(3);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSortingEnabled(false);
    setWordWrap(false);
    tabLeavesGrid(this);
    // Scrolled by pixels: the grid shows one column, which scrolling by
    // whole columns could not move at all.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(new CheckListDelegate(this));
    setColumnHidden(kIdColumn, true);
    setColumnHidden(kKeyColumn, true);
}

int CheckListGrid::Rows() const
{
    return rowCount() + 1;
}

int CheckListGrid::Row() const
{
    return currentIndex().isValid() ? currentIndex().row() + 1 : 0;
}

void CheckListGrid::setRow(int row)
{
    if (row < 1 || row >= Rows()) {
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
        return;
    }
    const int col = currentColumn() >= 0 ? currentColumn() : kNameColumn;
    setCurrentCell(row - 1, col);
}

int CheckListGrid::Col() const
{
    return currentIndex().isValid() ? currentIndex().column() : -1;
}

void CheckListGrid::setCol(int column)
{
    if (Row() > 0 && column >= 0 && column < columnCount())
        setCurrentCell(Row() - 1, column);
}

QString CheckListGrid::header(int column) const
{
    const QTableWidgetItem *it = horizontalHeaderItem(column);
    return it ? it->text() : QString();
}

QString CheckListGrid::text(int row, int column) const
{
    if (row == 0)
        return header(column);
    const QTableWidgetItem *it = item(row - 1, column);
    return it ? it->text() : QString();
}

qint32 CheckListGrid::idAt(int row) const
{
    return text(row, kIdColumn).trimmed().toInt();
}

QString CheckListGrid::nameAt(int row) const
{
    return text(row, kNameColumn);
}

QString CheckListGrid::sortKeyAt(int row) const
{
    return text(row, kKeyColumn);
}

int CheckListGrid::checkState(int row, int column) const
{
    if (row < 1 || row >= Rows())
        return 0;
    const QTableWidgetItem *it = item(row - 1, column);
    if (!it)
        return 0;
    const QVariant v = it->data(Qt::CheckStateRole);
    if (!v.isValid())
        return 0;
    return v.toInt() == Qt::Checked ? Checked : Unchecked;
}

void CheckListGrid::setCheckState(int row, int column, int state)
{
    if (row < 1 || row >= Rows() || column < 0 || column >= columnCount())
        return;
    QTableWidgetItem *it = item(row - 1, column);
    if (!it) {
        it = newCell();
        setItem(row - 1, column, it);
    }
    if (column == kActiveColumn)
        it->setTextAlignment(Qt::AlignCenter);
    it->setCheckState(state == Checked ? Qt::Checked : Qt::Unchecked);
}

bool CheckListGrid::hasActiveColumn() const
{
    return columnCount() > kActiveColumn && header(kActiveColumn) == kActiveTitle;
}

QList<qint32> CheckListGrid::checkedIds() const
{
    QList<qint32> ids;
    for (int r = 1; r < Rows(); ++r)
        if (isChecked(r))
            ids << idAt(r);
    return ids;
}

QSet<qint32> CheckListGrid::checkedIdSet() const
{
    const QList<qint32> ids = checkedIds();
    return QSet<qint32>(ids.begin(), ids.end());
}

void CheckListGrid::setCheckedIds(const QSet<qint32> &ids)
{
    for (int r = 1; r < Rows(); ++r)
        setCheckState(r, kNameColumn, ids.contains(idAt(r)) ? Checked : Unchecked);
}

void CheckListGrid::fitColumnToTexts(int column)
{
    if (column < 0 || column >= columnCount())
        return;
    ListColumns::FittedColumns::of(this).setNeeded(column, ListColumns::cellsWidth(this, column));
}

void CheckListGrid::sortDataRows(int column)
{
    const int n = rowCount();
    const int cols = columnCount();
    if (n < 2 || column < 0 || column >= cols)
        return;
    struct Line {
        int row;
        int rank;
        bool numeric;
        double number;
        QString key; // upper-cased
    };
    std::vector<Line> lines;
    lines.reserve(n);
    for (int r = 0; r < n; ++r) {
        Line l{r, r, false, 0.0, QString()};
        const QTableWidgetItem *idItem = item(r, kIdColumn);
        const QVariant rank = idItem ? idItem->data(kRankRole) : QVariant();
        if (rank.isValid())
            l.rank = rank.toInt();
        if (column != kNameColumn) {
            const QTableWidgetItem *keyItem = item(r, column);
            const QString text = keyItem ? keyItem->text() : QString();
            l.number = text.toDouble(&l.numeric);
            l.key = Db::upper(text);
        }
        lines.push_back(std::move(l));
    }
    // The name column sorts in the fill query's order, which is the
    // database's own name order; any other column by its value (numbers
    // by value, texts without regard to case), then by name.
    std::stable_sort(lines.begin(), lines.end(), [column](const Line &a, const Line &b) {
        if (column != kNameColumn) {
            if (a.numeric && b.numeric) {
                if (a.number != b.number)
                    return a.number < b.number;
            } else {
                const int c = QString::compare(a.key, b.key, Qt::CaseSensitive);
                if (c != 0)
                    return c < 0;
            }
        }
        return a.rank < b.rank;
    });
    // Only rows that change place are moved: showing the next record in an
    // editor usually moves a handful of rows, not the whole list.
    QVector<QVector<QTableWidgetItem *>> taken(n);
    for (int r = 0; r < n; ++r) {
        const int from = lines[r].row;
        if (from == r)
            continue;
        taken[from].resize(cols);
        for (int c = 0; c < cols; ++c)
            taken[from][c] = takeItem(from, c);
    }
    for (int r = 0; r < n; ++r) {
        const int from = lines[r].row;
        if (from == r)
            continue;
        for (int c = 0; c < cols; ++c)
            if (taken[from][c])
                setItem(r, c, taken[from][c]);
    }
}

void CheckListGrid::mousePressEvent(QMouseEvent *e)
{
    QTableWidget::mousePressEvent(e);
    m_pressed = e->button() == Qt::LeftButton ? indexAt(e->position().toPoint()) : QModelIndex();
}

void CheckListGrid::mouseReleaseEvent(QMouseEvent *e)
{
    QTableWidget::mouseReleaseEvent(e);
    const QModelIndex at = indexAt(e->position().toPoint());
    const bool click = e->button() == Qt::LeftButton && at.isValid() && at == m_pressed;
    m_pressed = QModelIndex();
    // One click, one signal: the press and the release on the same cell.
    if (click)
        emit cellActivatedByUser(at.row() + 1, at.column());
}

void CheckListGrid::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Space && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (Row() > 0)
            emit cellActivatedByUser(Row(), Col());
        e->accept();
        return;
    }
    QTableWidget::keyPressEvent(e);
}

void FillCheckGrid(CheckGridKind kind, CheckListGrid *grid, int owner, qint32 id, bool withActive)
{
    if (!grid)
        return;
    const GridKind &k = gridKind(kind);
    RedrawOff redraw(grid);

    if (owner >= 0) {
        // Read first: a failing query leaves the grid as it was.
        QSqlQuery q = Db::query(k.fillSql);
        QVector<QPair<QString, QString>> rows;
        while (q.next())
            rows.append({q.value(0).toString(), q.value(1).isNull() ? QString() : q.value(1).toString()});

        grid->clear();
        grid->setRowCount(0);
        if (withActive && grid->columnCount() <= kActiveColumn)
            grid->setColumnCount(kActiveColumn + 1);
        for (int c = 0; c < grid->columnCount(); ++c)
            grid->setHorizontalHeaderItem(c, headerCell(QString()));
        grid->setColumnHidden(kIdColumn, true);
        grid->setColumnHidden(kKeyColumn, true);
        if (withActive) {
            grid->setColumnWidth(kNameColumn, kActiveLayoutNameWidth);
            grid->setHorizontalHeaderItem(kActiveColumn, headerCell(kActiveTitle));
        }
        grid->setHorizontalHeaderItem(kNameColumn, headerCell(k.title));

        grid->setRowCount(int(rows.size()));
        for (int r = 0; r < rows.size(); ++r) {
            QTableWidgetItem *idItem = newCell(rows[r].first);
            idItem->setData(kRankRole, r);
            grid->setItem(r, kIdColumn, idItem);
            grid->setItem(r, kNameColumn, newCell(rows[r].second));
            grid->setItem(r, kKeyColumn, newCell(QStringLiteral("1")));
        }
    }
    if (grid->Rows() == 1) {
        // Nothing to mark; the title still shows whole.
        sizeColumns(grid);
        return;
    }

    for (int r = 1; r < grid->Rows(); ++r) {
        grid->setCheckState(r, kNameColumn, CheckListGrid::Unchecked);
        setKey(grid, r, QStringLiteral("1"));
        if (withActive)
            grid->setCheckState(r, kActiveColumn, CheckListGrid::Unchecked);
    }
    if (owner != 0)
        markLinks(kind, grid, owner, id, withActive);

    // Cosmetic last steps: nothing here may stop the fill.
    try {
        grid->scrollToTop();
        grid->setRow(0);
    } catch (...) {
    }
    // A mark changes no text, so the columns that fit their texts at the
    // refill still do.
    if (owner >= 0)
        sizeColumns(grid);
}

void FillVocalsCheckGrid(CheckListGrid *grid, int owner, qint32 id)
{
    FillCheckGrid(CheckGridKind::Vocals, grid, owner, id);
}

void FillThemesCheckGrid(CheckListGrid *grid, int owner, qint32 id)
{
    FillCheckGrid(CheckGridKind::Themes, grid, owner, id);
}

void FillOrchestrationCheckGrid(CheckListGrid *grid, int owner, qint32 id)
{
    FillCheckGrid(CheckGridKind::Orchestration, grid, owner, id);
}

void FillComposerCheckGrid(CheckListGrid *grid, int owner, qint32 id)
{
    FillCheckGrid(CheckGridKind::Composers, grid, owner, id);
}

void FillChoirCheckGrid(CheckListGrid *grid, int owner, qint32 id, bool withActive)
{
    FillCheckGrid(CheckGridKind::Choirs, grid, owner, id, withActive);
}

void FillSectionCheckGrid(CheckListGrid *grid, int owner, qint32 id)
{
    FillCheckGrid(CheckGridKind::Sections, grid, owner, id);
}

void ResetCheckGrid(CheckListGrid *grid, int sortColumn)
{
    if (!grid || grid->Rows() == 1)
        return;
    for (int r = 1; r < grid->Rows(); ++r) {
        grid->setCheckState(r, kNameColumn, CheckListGrid::Unchecked);
        setKey(grid, r, QStringLiteral("1"));
    }
    grid->sortDataRows(sortColumn);
}

void ToggleGridCheck(CheckListGrid *grid, int column)
{
    if (!grid)
        return;
    const int row = grid->Row();
    if (row == 0)
        return;
    grid->setCheckState(row, column,
                        grid->checkState(row, column) == CheckListGrid::Checked ? CheckListGrid::Unchecked
                                                                                : CheckListGrid::Checked);
}

void SetAllGridChecks(CheckListGrid *grid, bool checked)
{
    if (!grid || grid->Rows() == 1)
        return;
    for (int r = 1; r < grid->Rows(); ++r)
        grid->setCheckState(r, kNameColumn, checked ? CheckListGrid::Checked : CheckListGrid::Unchecked);
}
