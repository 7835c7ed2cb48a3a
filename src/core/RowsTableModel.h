#pragma once
// A read-only table model over a list of rows kept in memory, for the
// viewers' result lists: the rows are replaced whole in one reset, so a
// list of a hundred thousand rows fills and scrolls without delay. A list
// gives its column count and how a row's cells read (and, when it needs
// to, its own header). The text a cell shows leaves out the control
// characters a stored name may hold, as the reports do.

#include "Fmt.h"
#include "ListColumns.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

template <class Row> class RowsTableModel : public QAbstractTableModel {
public:
    // headers: the header texts by column (bold, centred; none past the
    // list's end).
    RowsTableModel(int columns, QStringList headers, QObject *parent)
        : QAbstractTableModel(parent), m_columns(columns), m_headers(std::move(headers))
    {
    }

    void setRows(QVector<Row> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }
    void clear() { setRows({}); }
    const QVector<Row> &rows() const { return m_rows; }
    // row is 0-based over the rows (the header is not a row here).
    const Row &rowAt(int row) const { return m_rows.at(row); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_columns;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override
    {
        return ListColumns::headerData(m_headers, section, orientation, role);
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const final
    {
        const Row *row = rowOf(index);
        if (!row)
            return {};
        QVariant value = cellData(*row, index.column(), role);
        if (role == Qt::DisplayRole && value.typeId() == QMetaType::QString)
            return Fmt::withoutControls(value.toString());
        return value;
    }

protected:
    // What a row holds in the column for the role, as stored.
    virtual QVariant cellData(const Row &row, int column, int role) const = 0;

    // The row of a valid index, else nullptr.
    const Row *rowOf(const QModelIndex &index) const
    {
        return index.isValid() && index.row() < m_rows.size() ? &m_rows.at(index.row()) : nullptr;
    }

private:
    QVector<Row> m_rows;
    int m_columns;
    QStringList m_headers;
};
