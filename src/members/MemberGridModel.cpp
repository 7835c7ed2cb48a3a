#include "MemberGridModel.h"

MemberGridModel::MemberGridModel(QObject *parent)
    : RowsTableModel(ColumnCount, {QStringLiteral("Member")}, parent)
{
}

QVariant MemberGridModel::cellData(const MemberListRow &r, int column, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    return column == NameColumn ? QVariant(r.name) : QVariant(r.memberId);
}
