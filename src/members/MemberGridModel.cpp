#include "MemberGridModel.h"

#include "ListColumns.h"

MemberGridModel::MemberGridModel(QObject *parent) : QAbstractTableModel(parent) {}

void MemberGridModel::setRows(QVector<MemberListRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void MemberGridModel::clear()
{
    setRows({});
}

int MemberGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int MemberGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MemberGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || role != Qt::DisplayRole)
        return {};
    const MemberListRow &r = m_rows.at(index.row());
    return index.column() == NameColumn ? QVariant(r.name) : QVariant(r.memberId);
}

QVariant MemberGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return ListColumns::headerData({QStringLiteral("Member")}, section, orientation, role);
}

Qt::ItemFlags MemberGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
