#include "PerformedDates.h"

#include "Db.h"
#include "Fmt.h"

#include <QSqlQuery>

namespace PerformedDates {

namespace {
QString table(PerformedKind kind)
{
    return kind == PerformedKind::Anthem ? QStringLiteral("a_lperform") : QStringLiteral("col_lperform");
}
QString owner(PerformedKind kind)
{
    return kind == PerformedKind::Anthem ? QStringLiteral("anthemid") : QStringLiteral("collectionid");
}
} // namespace

QVector<PerformedRow> rows(PerformedKind kind, qint32 id)
{
    QVector<PerformedRow> out;
    QSqlQuery q = Db::query(QStringLiteral("select p.RNum, p.Lperform, p.ChoirID, p.other, c.choir from %1 p "
                                           "left join choir c on c.ChoirID = p.ChoirID "
                                           "where p.%2 = ? order by p.Lperform, p.RNum")
                                .arg(table(kind), owner(kind)),
                            {id});
    while (q.next()) {
        PerformedRow r;
        r.rnum = q.value(0).toInt();
        r.date = Fmt::dateFromDb(q.value(1));
        r.choirId = q.value(2).toInt();
        const QString other = Fmt::nz(q.value(3));
        if (!other.isEmpty())
            r.performer = other;
        else if (r.choirId > 0)
            r.performer = Fmt::nz(q.value(4));
        out.append(r);
    }
    return out;
}

bool setPerformer(PerformedKind kind, qint32 rnum, qint32 choirId, const QString &other)
{
    const bool choir = choirId > 0;
    const QString text = choir ? QString(QLatin1String("")) : other.trimmed();
    return Db::exec(QStringLiteral("update %1 set ChoirID = ?, other = ? where RNum = ?").arg(table(kind)),
                    {choir ? choirId : 0, text, rnum})
        > 0;
}

} // namespace PerformedDates
