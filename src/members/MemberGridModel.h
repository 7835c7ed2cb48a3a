#pragma once
// The member viewer's result list as a table model: the member's name
// "Last, First Middle" under the header "Member" and, hidden, the
// memberid.

#include "MemberSelection.h"
#include "RowsTableModel.h"

class MemberGridModel : public RowsTableModel<MemberListRow> {
    Q_OBJECT
public:
    enum Column { NameColumn, MemberIdColumn, ColumnCount };

    explicit MemberGridModel(QObject *parent = nullptr);

protected:
    QVariant cellData(const MemberListRow &row, int column, int role) const override;
};
