#include "ArchivePastSchedule.h"

#include "Db.h"
#include "Fmt.h"
#include "ScheduleNotes.h"

void ArchivePastSchedule(const QDate &today)
{
    const Params before{Fmt::dateToDb(today)};
    Db::Transaction tx;
    ScheduleNotes::dropForArchivedDates(today);
    // Every past entry with a collection or an anthem becomes a performed
    // date with its date and choir; no check for an equal row already there.
    Db::exec(QStringLiteral("insert into col_lperform (Lperform, collectionid, ChoirID) "
                            "select SchedDate, collectionid, ChoirID from schedule "
                            "where scheddate < ? and collectionid > 0 order by schedid"),
             before);
    Db::exec(QStringLiteral("insert into a_lperform (Lperform, anthemid, ChoirID) "
                            "select SchedDate, anthemid, ChoirID from schedule "
                            "where scheddate < ? and anthemid > 0 order by schedid"),
             before);
    Db::exec(QStringLiteral("delete from schedule where scheddate < ?"), before);
    tx.commit();
}
