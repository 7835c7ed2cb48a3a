#include "AnthemGridModel.h"

AnthemGridModel::AnthemGridModel(QObject *parent)
    : RowsTableModel(ColumnCount, {QStringLiteral("Anthem"), QStringLiteral("Member of Collection")}, parent)
{
}

QVariant AnthemGridModel::cellData(const AnthemListRow &r, int column, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    switch (column) {
    case AnthemColumn: return r.anthem;
    case CollectionColumn: return r.collection;
    case AnthemIdColumn: return r.anthemId;
    // An anthem outside any collection leaves the cell empty.
    case CollectionIdColumn: return r.collectionId > 0 ? QVariant(r.collectionId) : QVariant();
    }
    return {};
}
