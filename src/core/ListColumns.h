#pragma once
// The columns of the viewers' result lists (anthems, collections,
// members): their headers, bold and centred, and their widths, sized to
// the contents quickly whatever the number of rows: the widest text is
// among the longest ones, so only the longest few are measured.

#include "Fmt.h"

#include <QFontMetrics>
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

} // namespace ListColumns
