#pragma once
// The schedule viewer's grid as a table model, in the viewer's seven
// columns: hidden collectionid and anthemid, "Date", "Type",
// "Anthem/Collection", hidden schedid and hidden AM/PM. Heading rows (one
// per service) show bold on a shaded band; every cell may hold several
// lines.

#include "RowsTableModel.h"
#include "ScheduleSelection.h"

class ScheduleGridModel : public RowsTableModel<ScheduleGridRow> {
    Q_OBJECT
public:
    enum Column {
        CollectionIdColumn = 0,
        AnthemIdColumn = 1,
        DateColumn = 2,
        TypeColumn = 3,
        TitleColumn = 4,
        SchedIdColumn = 5,
        AmpmColumn = 6,
        ColumnCount = 7
    };
    // The service date of a row (a QDate), as the grid's row data.
    static constexpr int DateRole = Qt::UserRole + 1;
    static constexpr int HeadingRole = Qt::UserRole + 2;

    explicit ScheduleGridModel(QObject *parent = nullptr);

    // The cell's text as the grid shows it (ids as numbers, empty on
    // heading rows).
    QString text(int row, int column) const;

    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    QVariant cellData(const ScheduleGridRow &row, int column, int role) const override;
};
