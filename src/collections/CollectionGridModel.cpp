#include "CollectionGridModel.h"

#include "Fmt.h"
#include "ListColumns.h"

// An index's internal id: 0 on a collection's node, the node's row + 1 on
// one of its anthems.

CollectionGridModel::CollectionGridModel(QObject *parent) : QAbstractItemModel(parent) {}

void CollectionGridModel::setOutline(CollectionOutline outline)
{
    beginResetModel();
    m_outline = std::move(outline);
    endResetModel();
}

void CollectionGridModel::clear()
{
    setOutline({});
}

QModelIndex CollectionGridModel::collectionIndex(int row, int column) const
{
    return index(row, column);
}

bool CollectionGridModel::isCollection(const QModelIndex &index) const
{
    return index.isValid() && index.internalId() == 0;
}

bool CollectionGridModel::isAnthem(const QModelIndex &index) const
{
    return index.isValid() && index.internalId() != 0;
}

qint32 CollectionGridModel::collectionId(const QModelIndex &index) const
{
    return isCollection(index) ? m_outline.collections.at(index.row()).id : 0;
}

qint32 CollectionGridModel::anthemId(const QModelIndex &index) const
{
    const CollectionAnthem *a = anthemAt(index);
    return a ? a->id : 0;
}

const CollectionAnthem *CollectionGridModel::anthemAt(const QModelIndex &index) const
{
    if (!isAnthem(index))
        return nullptr;
    const CollectionOutline::Node &n = m_outline.collections.at(int(index.internalId() - 1));
    return &m_outline.anthems.at(n.firstAnthem + index.row());
}

QModelIndex CollectionGridModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= ColumnCount)
        return {};
    if (!parent.isValid())
        return row < m_outline.collections.size() ? createIndex(row, column, quintptr(0)) : QModelIndex();
    if (!isCollection(parent) || parent.column() != 0)
        return {};
    if (row >= m_outline.collections.at(parent.row()).anthemCount)
        return {};
    return createIndex(row, column, quintptr(parent.row()) + 1);
}

QModelIndex CollectionGridModel::parent(const QModelIndex &child) const
{
    if (!isAnthem(child))
        return {};
    return createIndex(int(child.internalId() - 1), 0, quintptr(0));
}

int CollectionGridModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(m_outline.collections.size());
    if (isCollection(parent) && parent.column() == 0)
        return m_outline.collections.at(parent.row()).anthemCount;
    return 0;
}

int CollectionGridModel::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

bool CollectionGridModel::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0;
}

QVariant CollectionGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == IdRole)
        return isCollection(index) ? collectionId(index) : anthemId(index);
    if (role != Qt::DisplayRole)
        return {};
    // A node shows its name in the first column only, an anthem its title
    // in the second only; without control characters, as the result lists.
    if (isCollection(index))
        return index.column() == CollectionColumn
            ? QVariant(Fmt::withoutControls(m_outline.collections.at(index.row()).name))
            : QVariant();
    return index.column() == AnthemColumn ? QVariant(Fmt::withoutControls(anthemAt(index)->title)) : QVariant();
}

QVariant CollectionGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return ListColumns::headerData({QStringLiteral("Collection"), QStringLiteral("Anthems")}, section, orientation, role);
}

Qt::ItemFlags CollectionGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isAnthem(index))
        f |= Qt::ItemNeverHasChildren;
    return f;
}
