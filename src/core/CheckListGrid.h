#pragma once
// Check-list grids: one row per entry of a reference table with a check
// box, used by the record editors (ticked = linked to the record shown)
// and the viewers (ticked = accepted by the filter).
//
// Layout, in the grid's own terms: row 0 is the header; data rows are
// 1 to Rows() - 1. Column 0 (hidden) holds the entry's id, column 1 the
// name with the check box, column 2 (hidden) the sort key ("0" for a row
// the last mark found linked, "1" otherwise), and on the member windows'
// choir grids column 3 the "Active" check box.
//
// A check box never toggles itself: clicks and the space key emit
// cellActivatedByUser(), and the window's handler calls ToggleGridCheck.

#include "LinkTables.h"

#include <QList>
#include <QPersistentModelIndex>
#include <QSet>
#include <QString>
#include <QTableWidget>

class CheckListGrid : public QTableWidget {
    Q_OBJECT
public:
    enum CheckState { Checked = 1, Unchecked = 2 };

    explicit CheckListGrid(QWidget *parent = nullptr);

    // Rows counting the header row, as the grid routines count them.
    int Rows() const;
    // Current row: 0 for the header (no data row current).
    int Row() const;
    void setRow(int row);
    // Current column; -1 when no cell is current.
    int Col() const;
    void setCol(int column);

    QString header(int column) const;
    QString text(int row, int column) const;
    qint32 idAt(int row) const;       // column 0 as a number
    QString nameAt(int row) const;    // column 1
    QString sortKeyAt(int row) const; // column 2
    // 1 checked, 2 unchecked, 0 no check box.
    int checkState(int row, int column = 1) const;
    bool isChecked(int row, int column = 1) const { return checkState(row, column) == Checked; }
    void setCheckState(int row, int column, int state);

    bool hasActiveColumn() const;

    // The ids of the ticked data rows (column 1), in grid order.
    QList<qint32> checkedIds() const;
    QSet<qint32> checkedIdSet() const;
    // Ticks exactly the rows whose ids are in the set (column 1).
    void setCheckedIds(const QSet<qint32> &ids);

    // Makes a column as wide as its header and the widest of its cells, as
    // resizeColumnToContents() measures them, but over every row however
    // many there are (ListColumns::cellsWidth); while the grid is shown,
    // no wider than the grid, a longer name cut at its end with the whole
    // name in its tooltip (ListColumns::FittedColumns).
    void fitColumnToTexts(int column);

    // Puts the data rows in order of one column: the sort key column (2)
    // puts linked rows first, column 1 sorts by name. Rows that compare
    // equal keep the order the fill gave them (name order), so a mark
    // reads "linked first, each group by name".
    void sortDataRows(int column);

signals:
    // The user clicked a data cell or pressed space on it.
    void cellActivatedByUser(int row, int column);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    QPersistentModelIndex m_pressed;
};

// CheckGridOwner codes (RecordCodes.h): 0 refill only; 1, 2, 3 refill and
// mark the links of a collection, an anthem or a member; -1, -2, -3 keep
// the rows, clear the marks and mark again. The grid kinds and their
// tables: LinkTables.h.

// The one table-driven fill-and-mark routine behind all six fill routines.
// Database errors reach the caller; the grid always ends with redraw on.
void FillCheckGrid(CheckGridKind kind, CheckListGrid *grid, int owner, qint32 id, bool withActive = false);

void FillVocalsCheckGrid(CheckListGrid *grid, int owner, qint32 id);
void FillThemesCheckGrid(CheckListGrid *grid, int owner, qint32 id);
void FillOrchestrationCheckGrid(CheckListGrid *grid, int owner, qint32 id);
void FillComposerCheckGrid(CheckListGrid *grid, int owner, qint32 id);
void FillChoirCheckGrid(CheckListGrid *grid, int owner, qint32 id, bool withActive);
void FillSectionCheckGrid(CheckListGrid *grid, int owner, qint32 id);

// Clears all marks (column 1 unchecked, sort keys "1") and sorts on the column.
void ResetCheckGrid(CheckListGrid *grid, int sortColumn);
// Flips the check box of the current row in the column; nothing on the header.
void ToggleGridCheck(CheckListGrid *grid, int column);
// Ticks or clears column 1 of every data row.
void SetAllGridChecks(CheckListGrid *grid, bool checked);
