#pragma once
// The table rows of the choir schedule report, composed from its entries:
// one row per service (date and AM/PM) with the cells DATE, CALL, ANTHEM,
// OFFERTORY and BENEDICTION. Composition only; the report module reads
// the entries and prints the rows.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

struct ScheduleReportEntry {
    qint32 choirId = 0;
    // "" when no choir has the id.
    QString choirName;
    // As stored: a row begins where the stored date or AM/PM changes.
    QString storedDate;
    QDate date;
    QString ampm;
    // call, anthem, offertory, benediction.
    bool slotFlags[4] = {false, false, false, false};
    QString other;
    // The anthem's title in single quotes (else the collection's), then
    // two blanks and its composers joined by ", "; "" when it names
    // neither.
    QString title;
};

namespace ScheduleReportRows {

// The notes of a service; "" when it has none.
using NotesLookup = std::function<QString(const QString &storedDate, const QString &ampm)>;

// The quoted title with its composers, as an entry's cells show it.
QString entryTitle(const QString &name, const QStringList &composers);

// "MM/dd/yyyy AM", and on the next line the service's notes.
QString dateCell(const QDate &date, const QString &ampm, const QString &notes);

// The rows of the entries, which come in service order (and, combined,
// by choir id within a service). combined: a choir's first entry in a
// cell is preceded by its name in capitals and ":", with a blank line
// between choirs; otherwise the entries stand without a prefix.
QList<QStringList> compose(const QVector<ScheduleReportEntry> &entries, const NotesLookup &notes, bool combined);

} // namespace ScheduleReportRows
