#include "ScheduleReportRows.h"

#include "Db.h"
#include "Fmt.h"

namespace ScheduleReportRows {

namespace {

// Appends a block to a cell: the block alone in an empty cell, else after
// a blank line.
QString appendCellBlock(const QString &cell, const QString &block)
{
    return cell.isEmpty() ? block : cell + QStringLiteral("\n\n") + block;
}

// A line to a cell: the line alone in an empty cell, else on a line of
// its own.
QString appendLine(const QString &cell, const QString &line)
{
    return cell.isEmpty() ? line : cell + QLatin1Char('\n') + line;
}

struct RowBuilder {
    QString cells[4];
    bool firstInCell[4] = {true, true, true, true};

    void startFresh()
    {
        for (int k = 0; k < 4; ++k) {
            cells[k].clear();
            firstInCell[k] = true;
        }
    }
    void newChoir()
    {
        for (bool &f : firstInCell)
            f = true;
    }
    void add(int k, const ScheduleReportEntry &e, bool withPrefix)
    {
        QString &c = cells[k];
        if (withPrefix && firstInCell[k]) {
            c = appendCellBlock(c, Db::upper(e.choirName) + QLatin1Char(':'));
            firstInCell[k] = false;
        }
        // A line even for an empty title: the other text goes below it.
        c = c.isEmpty() ? e.title : c + QLatin1Char('\n') + e.title;
        if (!e.other.isEmpty())
            c = appendLine(c, e.other);
    }
};

} // namespace

QString entryTitle(const QString &name, const QStringList &composers)
{
    QString title = QLatin1Char('\'') + name + QLatin1Char('\'');
    if (!composers.isEmpty())
        title += QStringLiteral("  ") + composers.join(QStringLiteral(", "));
    return title;
}

QString dateCell(const QDate &date, const QString &ampm, const QString &notes)
{
    QString text = Fmt::mdy(date) + QLatin1Char(' ') + ampm;
    if (!notes.isEmpty())
        text += QLatin1Char('\n') + notes;
    return text;
}

QList<QStringList> compose(const QVector<ScheduleReportEntry> &entries, const NotesLookup &notes, bool combined)
{
    QList<QStringList> rows;
    RowBuilder row;
    bool open = false;
    QString rowDate;
    QString rowAmpm;
    QDate rowDay;
    qint32 choir = 0;
    auto closeRow = [&] {
        rows.append({dateCell(rowDay, rowAmpm, notes ? notes(rowDate, rowAmpm) : QString()), row.cells[0],
                     row.cells[1], row.cells[2], row.cells[3]});
    };
    for (const ScheduleReportEntry &e : entries) {
        if (!open || e.storedDate != rowDate || e.ampm != rowAmpm) {
            if (open)
                closeRow();
            open = true;
            row.startFresh();
            rowDate = e.storedDate;
            rowDay = e.date;
            rowAmpm = e.ampm;
        }
        // The choir id starts at 0: entries without a choir at the start
        // keep the empty name and the flags the row set.
        if (combined && e.choirId != choir) {
            choir = e.choirId;
            row.newChoir();
        }
        for (int k = 0; k < 4; ++k)
            if (e.slotFlags[k])
                row.add(k, e, combined);
    }
    if (open)
        closeRow();
    return rows;
}

} // namespace ScheduleReportRows
