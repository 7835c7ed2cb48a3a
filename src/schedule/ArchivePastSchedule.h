#pragma once
#include <QDate>

// Turns the schedule entries dated before today into performed dates and
// removes them, with the notes of their dates; one transaction.
void ArchivePastSchedule(const QDate &today);
