#pragma once
// The one free text printed under "All Choirs" in the choir schedule
// report, kept in schedinfo: the report's options show it and the report
// window's "Save current Information" stores it.

#include <QString>

namespace ScheduleInfo {

// The text of the first schedinfo row; "" when there is none (Null reads
// as "").
QString text();
// Stores the text (an empty text too, never Null) in the row of ChoirID 0,
// adding that row when there is none. One transaction.
void store(const QString &text);

} // namespace ScheduleInfo
