#pragma once
// The columns of the viewers' result lists (anthems, collections,
// members): their headers, bold and centred, and their widths, sized to
// the contents quickly whatever the number of rows: the widest text is
// among the longest ones, so only the longest few are measured.
//
// And the columns of the lists that must show every entry readable (the
// reference lists, the check-list grids): they fit their contents but
// stay within the list, a longer text cut at its end with the whole text
// in its tooltip.

#include "Fmt.h"

#include <QFontMetrics>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <vector>

class QAbstractItemView;
class QTableView;

namespace ListColumns {

// How many of the longest texts are measured.
constexpr int MeasuredTexts = 32;

// A list model's headerData: the header texts by column (none past the
// list's end), bold and centred; no vertical header.
QVariant headerData(const QStringList &headers, int section, Qt::Orientation orientation, int role);

// The width in pixels of the widest text textOf(row) of the rows.
template <class Rows, class TextOf> int widestText(const Rows &rows, TextOf textOf, const QFontMetrics &fm)
{
    std::vector<const QString *> longest;
    longest.reserve(MeasuredTexts + 1);
    auto longer = [](const QString *a, const QString *b) { return a->size() > b->size(); };
    for (const auto &row : rows) {
        const QString *t = &textOf(row);
        if (int(longest.size()) == MeasuredTexts && t->size() <= longest.back()->size())
            continue;
        longest.insert(std::upper_bound(longest.begin(), longest.end(), t, longer), t);
        if (int(longest.size()) > MeasuredTexts)
            longest.pop_back();
    }
    int w = 0;
    for (const QString *t : longest)
        w = std::max(w, fm.horizontalAdvance(Fmt::withoutControls(*t)));
    return w;
}

// The width a column of the view needs for its bold header or its
// widest text, with the view's cell padding.
int neededWidth(const QAbstractItemView *view, const QString &header, int widestText);

// Makes the column exactly that wide.
void fit(QTableView *view, int column, const QString &header, int widestText);

// The width the cells of a column need, as the view measures a cell, over
// every row however many there are. The cells of a column look alike but
// for their texts, so the widest cell holds the widest text; the sum of
// the characters' advances (TextWidths) tells it within a pixel or two,
// and only the cells that could be the widest within that margin are
// measured, each distinct text once.
int cellsWidth(const QTableView *view, int column);

// The columns of a list that fit their contents within the list's width.
// Each column given a width is as wide as the larger of its title and its
// cells, but while the list is shown the columns share the list's width
// (what the columns not fitted here leave of it): each is whole when it
// can be, the wider ones share the rest evenly. A text wider than its
// cell is cut at its end, and its tooltip shows it whole. The columns are
// fitted again when the list is shown and whenever its visible part
// changes size: sums over a few columns, however many rows there are.
class FittedColumns : public QObject {
public:
    // The view's fitter, made on first use; it lives as the view's child.
    static FittedColumns &of(QTableView *view);

    // The width the column's cells need (cellsWidth() or the caller's);
    // the columns are fitted again.
    void setNeeded(int column, int width);
    void refit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit FittedColumns(QTableView *view);
    void fitOnce();
    // Whether the text of the cell is cut for want of room.
    bool isCut(const QModelIndex &index) const;
    QTableView *m_view;
    QWidget *m_viewport;
    QMap<int, int> m_needed;
    bool m_fitting = false;
    bool m_again = false;
};

} // namespace ListColumns
