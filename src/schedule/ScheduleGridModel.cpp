#include "ScheduleGridModel.h"

#include <QBrush>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>

ScheduleGridModel::ScheduleGridModel(QObject *parent) : RowsTableModel(ColumnCount, {}, parent) {}

QString ScheduleGridModel::text(int row, int column) const
{
    return data(index(row, column)).toString();
}

QVariant ScheduleGridModel::cellData(const ScheduleGridRow &r, int column, int role) const
{
    switch (role) {
    case Qt::DisplayRole:
        if (column == AmpmColumn)
            return r.ampm;
        if (r.heading)
            return column == DateColumn ? r.dateText : QString();
        switch (column) {
        case CollectionIdColumn: return QString::number(r.collectionId);
        case AnthemIdColumn: return QString::number(r.anthemId);
        case TypeColumn: return r.type;
        case TitleColumn: return r.title;
        case SchedIdColumn: return QString::number(r.schedId);
        default: return QString();
        }
    case Qt::TextAlignmentRole:
        // The Date and Type columns are centred, as their headers.
        if (column == DateColumn || column == TypeColumn)
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::FontRole:
        if (r.heading) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    case Qt::BackgroundRole:
        if (r.heading)
            return QBrush(QGuiApplication::palette().color(QPalette::AlternateBase).darker(108));
        return {};
    case DateRole:
        return r.date;
    case HeadingRole:
        return r.heading;
    default:
        return {};
    }
}

QVariant ScheduleGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole) {
        switch (section) {
        case DateColumn: return QStringLiteral("Date");
        case TypeColumn: return QStringLiteral("Type");
        case TitleColumn: return QStringLiteral("Anthem/Collection");
        default: return QString();
        }
    }
    if (role == Qt::TextAlignmentRole && (section == DateColumn || section == TypeColumn))
        return int(Qt::AlignCenter);
    return {};
}
