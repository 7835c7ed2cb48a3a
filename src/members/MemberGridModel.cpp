#include "MemberGridModel.h"

MemberGridModel::MemberGridModel(QObject *parent)
    : RowsTableModel(ColumnCount, {QStringLiteral("Member")}, parent)
{
}

QVariant MemberGridModel::data(const QModelIndex &index, int role) const
{
    const MemberListRow *r = rowOf(index);
    if (!r || role != Qt::DisplayRole)
        return {};
    return index.column() == NameColumn ? QVariant(r->name) : QVariant(r->memberId);
}
