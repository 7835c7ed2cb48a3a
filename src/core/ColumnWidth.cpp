#include "ColumnWidth.h"

#include <QFontMetrics>
#include <algorithm>
#include <vector>

namespace {
// How many of the longest texts are measured.
constexpr int kMeasuredTexts = 32;
} // namespace

int widestTextWidth(const QFontMetrics &fm, qsizetype count, const std::function<const QString &(qsizetype)> &textAt)
{
    std::vector<const QString *> longest;
    longest.reserve(kMeasuredTexts + 1);
    auto longer = [](const QString *a, const QString *b) { return a->size() > b->size(); };
    for (qsizetype i = 0; i < count; ++i) {
        const QString *t = &textAt(i);
        if (int(longest.size()) == kMeasuredTexts && t->size() <= longest.back()->size())
            continue;
        longest.insert(std::upper_bound(longest.begin(), longest.end(), t, longer), t);
        if (int(longest.size()) > kMeasuredTexts)
            longest.pop_back();
    }
    int w = 0;
    for (const QString *t : longest)
        w = std::max(w, fm.horizontalAdvance(*t));
    return w;
}
