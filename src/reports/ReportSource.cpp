#include "ReportSource.h"

#include "Db.h"
#include "Module.h"

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

QHash<int, QStringList> ReportSource::linkedNames(RecordKind owner, CheckGridKind kind, int from, int to) const
{
    QHash<int, QStringList> out;
    const LinkTable *l = LinkTables::link(owner, kind);
    if (!l)
        return out;
    const RefTable &n = LinkTables::reference(kind);
    const QString sql =
        QStringLiteral("select r.pos, n.%1 from temp.report_ids r join %2 l on l.%3 = r.id "
                       "join %4 n on n.%5 = l.%6 where r.pos >= ? and r.pos < ? "
                       "order by r.pos, n.%7, n.%5")
            .arg(QLatin1String(n.nameColumn), QLatin1String(l->table), QLatin1String(l->ownerColumn),
                 QLatin1String(n.table), QLatin1String(n.idColumn), QLatin1String(l->itemColumn),
                 Db::keyColumn(QLatin1String(n.table), QLatin1String(n.nameColumn)));
    for (const auto &row : Db::idTextRows(sql, {from, to}))
        out[row.first].append(row.second);
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
