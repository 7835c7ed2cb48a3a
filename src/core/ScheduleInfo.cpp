#include "ScheduleInfo.h"

#include "Db.h"
#include "Fmt.h"

namespace ScheduleInfo {

QString text()
{
    return Fmt::nz(Db::scalar(QStringLiteral("select info from schedinfo order by rowid limit 1")));
}

void store(const QString &text)
{
    const QString value = text.isNull() ? QLatin1String("") : text;
    Db::Transaction tx;
    const QVariant row = Db::scalar(QStringLiteral("select rowid from schedinfo where ChoirID = 0 order by rowid limit 1"));
    if (!row.isValid())
        Db::exec(QStringLiteral("insert into schedinfo (info, ChoirID) values (?, 0)"), {value});
    else
        Db::exec(QStringLiteral("update schedinfo set info = ?, ChoirID = 0 where rowid = ?"), {value, row});
    tx.commit();
}

} // namespace ScheduleInfo
