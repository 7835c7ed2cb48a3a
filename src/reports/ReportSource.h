#pragma once
// What a record report prints: the ids its viewer listed, in list order
// (kept in hx() when the viewer closes), read afresh by id when the
// report is built, so a record changed since shows as it is now and one
// deleted since is left out. The anthem, collection and member reports
// all read their records through here.
//
// The ids are put, with their place in the list, in the temporary table
// temp.report_ids (pos, id), which a build's own statements join to read
// rows in slices:
//   select r.pos, a.Anthem ... from temp.report_ids r
//     join anthem a on a.anthemid = r.id
//     where r.pos >= ? and r.pos < ? order by r.pos
// The table is emptied again when the source goes. One source at a time.

#include "LinkTables.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QVector>
#include <functional>

struct ReportRecordSet;

class ReportSource {
public:
    // The ids of the set; none when the viewer never listed any.
    explicit ReportSource(const ReportRecordSet &set);
    explicit ReportSource(const QList<qint32> &ids);
    ~ReportSource();
    ReportSource(const ReportSource &) = delete;
    ReportSource &operator=(const ReportSource &) = delete;

    // The number of ids listed (deleted records included).
    int size() const { return m_size; }

    // Calls visit(from, to) for the positions [from, to) of each slice of
    // at most sliceSize ids, in list order.
    void forEachSlice(int sliceSize, const std::function<void(int from, int to)> &visit) const;

    // The names of the entries of a kind linked to each listed record of
    // the owner kind between the positions [from, to), by position, in
    // name order (ties by id). The entries' names are read once for the
    // whole report, the links slice by slice.
    QHash<int, QStringList> linkedNames(RecordKind owner, CheckGridKind kind, int from, int to) const;
    // The same names for the rows of a slice as a build read them: element
    // i holds the names of the record at the position positions[i].
    QVector<QStringList> linkedNamesOfRows(RecordKind owner, CheckGridKind kind, int from, int to,
                                           const QVector<int> &positions) const;

    static constexpr const char *Table = "temp.report_ids";

private:
    // The entries of a reference list: each id's name and its place in
    // name order.
    struct Entry {
        QString name;
        int rank = 0;
    };
    const QHash<qint32, Entry> &entries(CheckGridKind kind) const;

    void store(const QList<qint32> &ids);
    int m_size = 0;
    mutable QHash<int, QHash<qint32, Entry>> m_entries;
};
