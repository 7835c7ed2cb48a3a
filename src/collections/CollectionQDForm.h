#pragma once
// The collection viewer: an outline of the collections by name, each
// with the anthems that belong to it; narrows the outline by the limits
// the user ticks (linked vocalizations, composers/arrangers, themes,
// orchestration and choirs, the leading text of the five "My Data"
// fields, collections on loan), opens a collection or an anthem on a
// double-click, and asks for the collections report of exactly the
// collections it lists.
//
// The outline's collection ids, in outline order, are left in
// hx().ReportCollectionSet for the report; they stay there when the
// viewer closes, so an open report window can still print them. The
// outline starts with every collection closed: the user opens one with
// its outline button (or the arrow keys) to see its anthems.

#include "CollectionSelection.h"
#include "ViewerForm.h"

class CollectionGridModel;
class QModelIndex;
class QTreeView;

class CollectionQDForm : public ViewerForm {
    Q_OBJECT
public:
    CollectionQDForm();
    ~CollectionQDForm() override;

    // Empties the outline to its header.
    void SetupCollectionGrid();
    // Shows every collection, or only those the last filter marked, with
    // their anthems, and keeps their ids for the report. Database errors
    // reach the caller and leave the outline as it was.
    void BuildCollectionGrid(bool filteredOnly);
    // Marks the collections that pass the ticked limits, then shows them.
    void ApplyCollectionFilter();
    // The limits as the controls show them.
    CollectionLimits currentLimits() const;

    CollectionGridModel *gridModel() const { return m_model; }
    QTreeView *grid() const { return m_grid; }

protected:
    void buildList(bool filteredOnly) override { BuildCollectionGrid(filteredOnly); }
    void applyFilter() override { ApplyCollectionFilter(); }
    // The outline's last column follows the outline's width.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void gridDoubleClicked(const QModelIndex &at);
    // Measures the names and titles of a new outline, then fits the columns.
    void sizeGridColumns();
    void fitGridColumns();

    QTreeView *m_grid = nullptr;
    CollectionGridModel *m_model = nullptr;
    // The widths the names and the titles need, with their headers.
    int m_needed[2] = {};
};
