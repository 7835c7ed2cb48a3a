#include "DisplayMarker.h"

DisplayMarker::DisplayMarker(RecordKind kind) : m_kind(kind) {}

QString DisplayMarker::idArray(const QList<qint32> &ids)
{
    QStringList parts;
    parts.reserve(ids.size());
    for (qint32 id : ids)
        if (id > 0)
            parts << QString::number(id);
    return parts.isEmpty() ? QString() : QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}

QString DisplayMarker::linkTest(const LinkTable &t, const QString &extra) const
{
    return QStringLiteral("%1 in (select l.%2 from %3 l where l.%4 in (select value from json_each(?))%5)")
        .arg(QLatin1String(LinkTables::recordIdColumn(m_kind)), QLatin1String(t.ownerColumn), QLatin1String(t.table),
             QLatin1String(t.itemColumn), extra);
}

void DisplayMarker::addLinkLimit(CheckGridKind kind, const QList<qint32> &ids)
{
    if (m_nonePasses)
        return;
    const LinkTable *t = LinkTables::link(m_kind, kind);
    const QString array = idArray(ids);
    if (!t || array.isEmpty()) {
        // Nothing ticked: no record is linked to "nothing", and the limits
        // after this one have nobody left to test.
        m_nonePasses = true;
        return;
    }
    m_tests << linkTest(*t, QString());
    m_params << array;
}

void DisplayMarker::addActiveLinkLimit(CheckGridKind kind, const QList<qint32> &activeIds,
                                       const QList<qint32> &inactiveIds)
{
    if (m_nonePasses)
        return;
    const LinkTable *t = LinkTables::link(m_kind, kind);
    const QString active = idArray(activeIds);
    const QString inactive = idArray(inactiveIds);
    if (!t || !t->activeColumn || (active.isEmpty() && inactive.isEmpty())) {
        m_nonePasses = true;
        return;
    }
    const QString column = QLatin1String(t->activeColumn);
    QStringList either;
    if (!active.isEmpty()) {
        either << linkTest(*t, QStringLiteral(" and l.%1").arg(column));
        m_params << active;
    }
    if (!inactive.isEmpty()) {
        either << linkTest(*t, QStringLiteral(" and not l.%1").arg(column));
        m_params << inactive;
    }
    m_tests << QLatin1Char('(') + either.join(QLatin1String(" or ")) + QLatin1Char(')');
}

void DisplayMarker::addMyDataLimit(int n, const QString &text)
{
    if (m_nonePasses || n < 1 || n > 5)
        return;
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return;
    // As many characters of the field as were typed (substr() counts
    // characters, not UTF-16 units), both sides upper-cased: the capital
    // of a letter may be longer ("ß" is "SS").
    m_tests << QStringLiteral("ucase(substr(u%1, 1, %2)) = ?").arg(n).arg(typed.toUcs4().size());
    m_params << Db::upper(typed);
}

void DisplayMarker::addCondition(const QString &test, const Params &params)
{
    if (m_nonePasses)
        return;
    m_tests << QLatin1Char('(') + test + QLatin1Char(')');
    m_params << params;
}

QString DisplayMarker::statement() const
{
    // What a record's mark must become; a Null outcome (a Null user
    // field) fails like a false one.
    const QString target = m_nonePasses    ? QStringLiteral("0")
                           : m_tests.isEmpty() ? QStringLiteral("-1")
                                               : QStringLiteral("case when ") + m_tests.join(QLatin1String(" and "))
                                                     + QStringLiteral(" then -1 else 0 end");
    // The outcome is that of marking every record and then clearing each
    // one that fails a limit, but in one pass that writes only the rows
    // whose mark changes: on a large library the writing is nearly all of
    // the cost. A mark is -1 or 0, so a mark that must change flips.
    return QStringLiteral("update %1 set displayit = case when displayit = 0 then -1 else 0 end where displayit <> ")
               .arg(QLatin1String(LinkTables::recordTable(m_kind)))
        + target;
}

Params DisplayMarker::parameters() const
{
    return m_nonePasses ? Params() : m_params;
}

void DisplayMarker::mark() const
{
    Db::Transaction tx;
    Db::exec(statement(), parameters());
    tx.commit();
}
