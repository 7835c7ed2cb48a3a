#include "RecordRow.h"

qint32 writeRecordRow(const RecordRowTable &t, const QStringList &columns, const Params &values, bool adding,
                      qint32 id)
{
    if (adding) {
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        Db::exec(QStringLiteral("insert into %1 (%2) values (%3)")
                     .arg(QLatin1String(t.table), columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                 values);
        return qint32(Db::lastInsertId());
    }
    Params p = values;
    p << id;
    const int n = Db::exec(QStringLiteral("update %1 set %2 = ? where %3 = ?")
                               .arg(QLatin1String(t.table), columns.join(QStringLiteral(" = ?, ")),
                                    QLatin1String(t.idColumn)),
                           p);
    if (n != 1)
        throw DbError(QStringLiteral("The %1 is no longer in the database; it may have been deleted "
                                     "from another window.")
                          .arg(QLatin1String(t.noun)));
    return id;
}
