#pragma once
// The notes of a service (one date with "AM" or "PM"), kept in schednotes.
// Notes belong to the service, shared by every choir singing in it, and
// they go once nothing of theirs is scheduled any more. Every rule about
// when they go lives here, so the schedule viewer, the anthem and
// collection deletions and the start-up archive cannot drift apart:
//
// - a deleted entry (schedule viewer): the service's notes go when no
//   choir has an entry left in that service;
// - a deleted anthem or collection: the notes of each date it was
//   scheduled on go, AM and PM alike, when the date has no entry left;
// - the archive: the notes of every date whose entries it archives.
//
// Data only; the callers run these inside their own transaction.

#include <QDate>
#include <QString>

namespace ScheduleNotes {

// The notes of a service: those of its first notes row, "" when it has
// none (Null reads as "").
QString text(const QDate &date, const QString &ampm);
// True when the service has a notes row (possibly with empty notes).
bool exists(const QDate &date, const QString &ampm);
// Stores the notes as given (an empty text too): edits the service's
// first notes row, or adds one.
void store(const QDate &date, const QString &ampm, const QString &notes);

// After an entry of the service was deleted. True when notes were dropped.
bool dropIfServiceEmpty(const QDate &date, const QString &ampm);
// After entries of a date were deleted. True when notes were dropped.
bool dropIfDateEmpty(const QDate &date);
// Before the entries dated before today are archived: drops the notes of
// every date that has such an entry. Notes of dates without entries stay.
void dropForArchivedDates(const QDate &today);

} // namespace ScheduleNotes
