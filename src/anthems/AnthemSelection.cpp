#include "AnthemSelection.h"

#include "Db.h"

#include <QPair>
#include <QSqlDriver>
#include <QStringList>
#include <algorithm>
#include <sqlite3.h>

namespace {

struct LinkTable {
    const char *table;
    const char *itemColumn;
};

// Indexed by AnthemLimits::ListLimit.
const LinkTable kLinkTables[AnthemLimits::ListLimitCount] = {
    {"a_v_l", "vocalsid"},
    {"a_com_l", "composerid"},
    {"a_th_l", "themeid"},
    {"a_orch_l", "orchid"},
    {"a_chr_l", "choirid"},
};

// The ids as a JSON array, the one bound parameter of an id list: any
// number of checked entries fits, and only numbers ever reach it.
QString idArray(const QList<qint32> &ids)
{
    QStringList parts;
    parts.reserve(ids.size());
    for (qint32 id : ids)
        if (id > 0)
            parts << QString::number(id);
    return parts.isEmpty() ? QString() : QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}

// A statement read straight from SQLite: the list of a large library has
// hundreds of thousands of values, and wrapping each in a QVariant costs
// more than reading them.
class RawStatement {
public:
    explicit RawStatement(const char *sql)
    {
        QSqlDatabase db = Db::connection();
        const QVariant v = db.driver()->handle();
        if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
            throw DbError(QStringLiteral("The SQLite driver gave no connection handle."));
        m_db = *static_cast<sqlite3 *const *>(v.data());
        if (sqlite3_prepare_v2(m_db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(m_db)));
    }
    ~RawStatement() { sqlite3_finalize(m_stmt); }
    RawStatement(const RawStatement &) = delete;
    RawStatement &operator=(const RawStatement &) = delete;

    bool next()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(m_db)));
        return false;
    }
    qint32 integer(int column) const { return qint32(sqlite3_column_int64(m_stmt, column)); }
    bool isNull(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }
    // Null reads as "".
    QString text(int column) const
    {
        const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        return t ? QString::fromUtf8(t, sqlite3_column_bytes(m_stmt, column)) : QString();
    }

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace

namespace AnthemSelection {

void mark(const AnthemLimits &limits)
{
    // The test every anthem must pass, built from fixed text; user text
    // and ids travel as bound parameters.
    QStringList tests;
    Params params;
    bool nonePasses = false;
    for (int i = 0; i < AnthemLimits::ListLimitCount; ++i) {
        if (!limits.listTicked[i])
            continue;
        const QString ids = idArray(limits.listIds[i]);
        if (ids.isEmpty()) {
            // Nothing checked: no anthem is linked to "nothing", and the
            // limits after this one have nobody left to test.
            nonePasses = true;
            params.clear();
            tests.clear();
            break;
        }
        tests << QStringLiteral("anthemid in (select l.anthemid from %1 l where l.%2 in (select value from json_each(?)))")
                     .arg(QLatin1String(kLinkTables[i].table), QLatin1String(kLinkTables[i].itemColumn));
        params << ids;
    }
    if (!nonePasses) {
        for (int k = 0; k < 5; ++k) {
            if (!limits.myDataTicked[k])
                continue;
            const QString text = Db::upper(limits.myDataText[k].trimmed());
            if (text.isEmpty())
                continue;
            // substr() counts characters, not UTF-16 units.
            tests << QStringLiteral("ucase(substr(u%1, 1, %2)) = ?").arg(k + 1).arg(text.toUcs4().size());
            params << text;
        }
        if (limits.loanedOut)
            tests << QStringLiteral("coalesce(LoanedTo, '') <> ''");
    }

    // What an anthem's mark must become; a Null outcome (a Null user
    // field) fails like a false one.
    const QString target = nonePasses ? QStringLiteral("0")
        : tests.isEmpty()             ? QStringLiteral("-1")
                                      : QStringLiteral("case when ") + tests.join(QLatin1String(" and "))
                                            + QStringLiteral(" then -1 else 0 end");

    // The outcome is that of marking every anthem and then clearing each
    // one that fails a limit, but in one pass that writes only the rows
    // whose mark changes: on a large library the writing is nearly all of
    // the cost. A mark is -1 or 0, so a mark that must change flips.
    Db::Transaction tx;
    Db::exec(QStringLiteral("update anthem set displayit = case when displayit = 0 then -1 else 0 end "
                            "where displayit <> ") + target,
             params);
    tx.commit();
}

QVector<AnthemListRow> list(bool filteredOnly)
{
    // Title order comes from the title index alone (it holds the id), so
    // no row is read out of order; the rows themselves come in one pass
    // over the table. Reading the rows in title order instead costs a
    // random look-up per anthem, several times slower on a large library.
    RawStatement order("select anthemid from anthem order by anthemkey, anthemid");
    QVector<QPair<qint32, int>> positions; // (anthemid, place in the list)
    while (order.next())
        positions.append({order.integer(0), int(positions.size())});
    const int n = int(positions.size());
    std::sort(positions.begin(), positions.end());

    // Both in id order: one walk pairs each row with its place.
    QVector<AnthemListRow> byPosition(n);
    QVector<bool> present(n, false);
    RawStatement rows(filteredOnly
                          ? "select a.anthemid, a.Anthem, c.collectionid, c.Collection from anthem a "
                            "left join collection c on c.collectionid = a.collectionid where a.displayit <> 0 "
                            "order by a.anthemid"
                          : "select a.anthemid, a.Anthem, c.collectionid, c.Collection from anthem a "
                            "left join collection c on c.collectionid = a.collectionid order by a.anthemid");
    int k = 0;
    while (rows.next()) {
        const qint32 id = rows.integer(0);
        while (k < n && positions.at(k).first < id)
            ++k;
        if (k == n || positions.at(k).first != id)
            continue;
        const int at = positions.at(k).second;
        AnthemListRow &r = byPosition[at];
        r.anthemId = id;
        r.anthem = rows.text(1);
        r.collectionId = rows.isNull(2) ? 0 : rows.integer(2);
        r.collection = rows.text(3);
        present[at] = true;
    }

    QVector<AnthemListRow> listed;
    listed.reserve(filteredOnly ? int(std::count(present.begin(), present.end(), true)) : n);
    for (int i = 0; i < n; ++i)
        if (present.at(i))
            listed.append(std::move(byPosition[i]));
    return listed;
}

} // namespace AnthemSelection
