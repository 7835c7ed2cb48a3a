#pragma once
// Sizing a list's column to its contents when it holds a hundred thousand
// texts: the widest text is among the longest ones, so only the longest
// few are measured.

#include <QString>
#include <functional>

class QFontMetrics;

// The advance of the widest of the count texts textAt(0) .. textAt(count - 1).
int widestTextWidth(const QFontMetrics &fm, qsizetype count, const std::function<const QString &(qsizetype)> &textAt);
