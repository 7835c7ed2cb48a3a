#pragma once
// The anthem viewer's result list as a table model: the title, the
// collection it belongs to, and hidden, the anthemid and the collectionid.

#include "AnthemSelection.h"
#include "RowsTableModel.h"

class AnthemGridModel : public RowsTableModel<AnthemListRow> {
    Q_OBJECT
public:
    enum Column { AnthemColumn, CollectionColumn, AnthemIdColumn, CollectionIdColumn, ColumnCount };

    explicit AnthemGridModel(QObject *parent = nullptr);

protected:
    QVariant cellData(const AnthemListRow &row, int column, int role) const override;
};
