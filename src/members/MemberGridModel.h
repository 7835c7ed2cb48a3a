#pragma once
// The member viewer's result list as a table model: the member's name
// "Last, First Middle" under the header "Member" and, hidden, the
// memberid. The rows are replaced whole in one reset, so the list of
// every member fills and scrolls without delay.

#include "MemberSelection.h"

#include <QAbstractTableModel>
#include <QVector>

class MemberGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, MemberIdColumn, ColumnCount };

    explicit MemberGridModel(QObject *parent = nullptr);

    void setRows(QVector<MemberListRow> rows);
    void clear();
    const QVector<MemberListRow> &rows() const { return m_rows; }
    // row is 0-based over the members (the header is not a row here).
    const MemberListRow &rowAt(int row) const { return m_rows.at(row); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QVector<MemberListRow> m_rows;
};
