#pragma once
// The anthem viewer: lists anthems by title with their collections,
// narrows the list by the limits the user ticks (linked vocalizations,
// composers/arrangers, themes, orchestration and choirs, the leading text
// of the five "My Data" fields, anthems on loan), opens an anthem or its
// collection on a double-click, and asks for the anthem report of exactly
// the anthems it lists.
//
// The list's ids, in list order, are left in hx().ReportAnthemSet for the
// report; they stay there when the viewer closes, so an open report
// window can still print them.

#include "AnthemSelection.h"
#include "ViewerForm.h"

class AnthemGridModel;
class QTableView;

class AnthemQDForm : public ViewerForm {
    Q_OBJECT
public:
    AnthemQDForm();
    ~AnthemQDForm() override;

    // Empties the list to its header.
    void SetupAnthemGrid();
    // Lists every anthem, or only those the last filter marked, and keeps
    // their ids for the report. Database errors reach the caller.
    void BuildAnthemGrid(bool filteredOnly);
    // Marks the anthems that pass the ticked limits, then lists them.
    void ApplyAnthemFilter();
    // The limits as the controls show them.
    AnthemLimits currentLimits() const;

    AnthemGridModel *gridModel() const { return m_model; }

protected:
    void buildList(bool filteredOnly) override { BuildAnthemGrid(filteredOnly); }
    void applyFilter() override { ApplyAnthemFilter(); }
    // The list's columns follow the window's size.
    void resizeEvent(QResizeEvent *event) override;

private:
    void gridDoubleClicked(int row, int column);
    void sizeGridColumns();

    QTableView *m_grid = nullptr;
    AnthemGridModel *m_model = nullptr;
};
