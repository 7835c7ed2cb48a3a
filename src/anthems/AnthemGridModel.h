#pragma once
// The anthem viewer's result list as a table model: the title, the
// collection it belongs to, and hidden, the anthemid and the collectionid.
// The rows are replaced whole in one reset, so a list of a hundred
// thousand anthems fills and scrolls without delay.

#include "AnthemSelection.h"

#include <QAbstractTableModel>
#include <QVector>

class AnthemGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { AnthemColumn, CollectionColumn, AnthemIdColumn, CollectionIdColumn, ColumnCount };

    explicit AnthemGridModel(QObject *parent = nullptr);

    void setRows(QVector<AnthemListRow> rows);
    void clear();
    const QVector<AnthemListRow> &rows() const { return m_rows; }
    // row is 0-based over the anthems (the header is not a row here).
    const AnthemListRow &rowAt(int row) const { return m_rows.at(row); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QVector<AnthemListRow> m_rows;
};
