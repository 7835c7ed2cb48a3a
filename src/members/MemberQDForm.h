#pragma once
// The member viewer: lists members by name, narrows the list by the
// limits the user ticks (member sections, instruments, choirs with an
// active or an inactive membership, the leading text of the five "My
// Data" fields, birthday month, membership-anniversary month), opens a
// member in the member editor on a double-click, and asks for the member
// report, blank member sheet or mailing labels of exactly the members it
// lists.
//
// The list's ids, in list order, are left in hx().ReportMemberSet for the
// report; they stay there when the viewer closes, so an open report
// window can still print them.

#include "MemberSelection.h"
#include "ViewerForm.h"

class MemberGridModel;
class QTableView;

class MemberQDForm : public ViewerForm {
    Q_OBJECT
public:
    MemberQDForm();
    ~MemberQDForm() override;

    // Empties the list to its header.
    void SetupMemberGrid();
    // Lists every member, or only those the last filter marked, and keeps
    // their ids for the report. Database errors reach the caller.
    void BuildMemberGrid(bool filteredOnly);
    // Marks the members that pass the ticked limits, then lists them.
    void ApplyMemberFilter();
    // The limits as the controls show them.
    MemberLimits currentLimits() const;

    MemberGridModel *gridModel() const { return m_model; }

protected:
    void buildList(bool filteredOnly) override { BuildMemberGrid(filteredOnly); }
    void applyFilter() override { ApplyMemberFilter(); }
    // The list's column follows the window's size.
    void resizeEvent(QResizeEvent *event) override;

private:
    void gridDoubleClicked(int row);
    void sizeGridColumns();

    QTableView *m_grid = nullptr;
    MemberGridModel *m_model = nullptr;
};
