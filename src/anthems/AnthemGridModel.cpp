#include "AnthemGridModel.h"

#include "ListColumns.h"

AnthemGridModel::AnthemGridModel(QObject *parent) : QAbstractTableModel(parent) {}

void AnthemGridModel::setRows(QVector<AnthemListRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void AnthemGridModel::clear()
{
    setRows({});
}

int AnthemGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int AnthemGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AnthemGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || role != Qt::DisplayRole)
        return {};
    const AnthemListRow &r = m_rows.at(index.row());
    switch (index.column()) {
    case AnthemColumn: return r.anthem;
    case CollectionColumn: return r.collection;
    case AnthemIdColumn: return r.anthemId;
    // An anthem outside any collection leaves the cell empty.
    case CollectionIdColumn: return r.collectionId > 0 ? QVariant(r.collectionId) : QVariant();
    }
    return {};
}

QVariant AnthemGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return ListColumns::headerData({QStringLiteral("Anthem"), QStringLiteral("Member of Collection")}, section, orientation, role);
}

Qt::ItemFlags AnthemGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
