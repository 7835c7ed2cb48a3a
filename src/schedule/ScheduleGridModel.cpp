#include "ScheduleGridModel.h"

#include <QBrush>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>

ScheduleGridModel::ScheduleGridModel(QObject *parent) : QAbstractTableModel(parent) {}

void ScheduleGridModel::setRows(QVector<ScheduleGridRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

QString ScheduleGridModel::text(int row, int column) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    const ScheduleGridRow &r = m_rows.at(row);
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
    default: return {};
    }
}

int ScheduleGridModel::lineCount(int row) const
{
    const ScheduleGridRow &r = m_rows.at(row);
    const QString &tall = r.heading ? r.dateText : r.title;
    return int(tall.count(QLatin1Char('\n'))) + 1;
}

int ScheduleGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ScheduleGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ScheduleGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const ScheduleGridRow &r = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::TextAlignmentRole:
        // The Date and Type columns are centred, as their headers.
        if (index.column() == DateColumn || index.column() == TypeColumn)
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

Qt::ItemFlags ScheduleGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
