#include "ReportSource.h"

#include "Db.h"
#include "DbStatement.h"
#include "Module.h"

#include <algorithm>

ReportSource::ReportSource(const ReportRecordSet &set) : ReportSource(set.open ? set.ids : QList<qint32>()) {}

ReportSource::ReportSource(const QList<qint32> &ids)
{
    store(ids);
}

ReportSource::~ReportSource()
{
    try {
        Db::exec(QStringLiteral("delete from temp.report_ids"));
    } catch (const DbError &) {
        // The database went first; the temporary table went with it.
    }
}

// The ids by position, in one statement: the list may hold a hundred
// thousand ids.
void ReportSource::store(const QList<qint32> &ids)
{
    Db::exec(QStringLiteral("create temp table if not exists report_ids "
                            "(pos integer primary key, id integer not null)"));
    Db::exec(QStringLiteral("delete from temp.report_ids"));
    m_size = int(ids.size());
    if (ids.isEmpty())
        return;
    QByteArray json;
    json.reserve(ids.size() * 7 + 2);
    json.append('[');
    for (int i = 0; i < ids.size(); ++i) {
        if (i)
            json.append(',');
        json.append(QByteArray::number(ids.at(i)));
    }
    json.append(']');
    Db::exec(QStringLiteral("insert into temp.report_ids (pos, id) select key, value from json_each(?)"),
             {QString::fromLatin1(json)});
}

void ReportSource::forEachSlice(int sliceSize, const std::function<void(int, int)> &visit) const
{
    if (sliceSize < 1)
        sliceSize = 1;
    for (int from = 0; from < m_size; from += sliceSize)
        visit(from, qMin(from + sliceSize, m_size));
}

const QHash<qint32, ReportSource::Entry> &ReportSource::entries(CheckGridKind kind) const
{
    auto it = m_entries.constFind(int(kind));
    if (it != m_entries.constEnd())
        return *it;
    const RefTable &n = LinkTables::reference(kind);
    QHash<qint32, Entry> byId;
    Db::Statement rows(QStringLiteral("select %1, %2 from %3 order by %4, %1")
                           .arg(QLatin1String(n.idColumn), QLatin1String(n.nameColumn), QLatin1String(n.table),
                                Db::keyColumn(QLatin1String(n.table), QLatin1String(n.nameColumn))));
    while (rows.next())
        byId.insert(rows.integer(0), Entry{rows.text(1), int(byId.size())});
    return *m_entries.insert(int(kind), byId);
}

QHash<int, QStringList> ReportSource::linkedNames(RecordKind owner, CheckGridKind kind, int from, int to) const
{
    QHash<int, QStringList> out;
    const LinkTable *l = LinkTables::link(owner, kind);
    if (!l)
        return out;
    const QHash<qint32, Entry> &names = entries(kind);
    // The links of each position; a link to an entry no longer listed
    // names nothing.
    QHash<int, QList<const Entry *>> linked;
    Db::Statement rows(QStringLiteral("select r.pos, l.%1 from temp.report_ids r join %2 l on l.%3 = r.id "
                                      "where r.pos >= ? and r.pos < ?")
                           .arg(QLatin1String(l->itemColumn), QLatin1String(l->table), QLatin1String(l->ownerColumn)),
                       {from, to});
    while (rows.next()) {
        if (rows.isNull(1))
            continue;
        const auto it = names.constFind(rows.integer(1));
        if (it != names.constEnd())
            linked[rows.integer(0)].append(&*it);
    }
    out.reserve(linked.size());
    for (auto it = linked.begin(); it != linked.end(); ++it) {
        QList<const Entry *> &entries = it.value();
        std::sort(entries.begin(), entries.end(), [](const Entry *a, const Entry *b) { return a->rank < b->rank; });
        QStringList list;
        list.reserve(entries.size());
        for (const Entry *e : std::as_const(entries))
            list.append(e->name);
        out.insert(it.key(), list);
    }
    return out;
}

QVector<QStringList> ReportSource::linkedNamesOfRows(RecordKind owner, CheckGridKind kind, int from, int to,
                                                     const QVector<int> &positions) const
{
    QVector<QStringList> out(positions.size());
    if (positions.isEmpty())
        return out;
    const QHash<int, QStringList> names = linkedNames(owner, kind, from, to);
    for (int i = 0; i < positions.size(); ++i)
        out[i] = names.value(positions.at(i));
    return out;
}
