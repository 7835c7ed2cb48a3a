#include "MemberSelection.h"

#include "Db.h"
#include "DbStatement.h"
#include "DisplayMarker.h"
#include "Fmt.h"
#include "MemberRecord.h"

#include <cmath>

namespace {

// A member passes when the month of its date column is the month the
// text names; a text that is no month passes nobody (no date has month 0),
// and an empty one is left out.
void addMonthLimit(DisplayMarker &marker, const char *column, const QString &text)
{
    if (text.trimmed().isEmpty())
        return;
    marker.addCondition(QStringLiteral("cast(strftime('%m', %1) as integer) = ?").arg(QLatin1String(column)),
                        {MemberSelection::monthOf(text)});
}

} // namespace

namespace MemberSelection {

int monthOf(const QString &text)
{
    const std::optional<double> number = Fmt::parseNumber(text);
    if (!number || *number != std::floor(*number) || *number < 1 || *number > 12)
        return 0;
    return int(*number);
}

void mark(const MemberLimits &limits)
{
    DisplayMarker marker(RecordKind::Member);
    if (limits.sectionsTicked)
        marker.addLinkLimit(CheckGridKind::Sections, limits.sectionIds);
    if (limits.instrumentsTicked)
        marker.addLinkLimit(CheckGridKind::Orchestration, limits.instrumentIds);
    if (limits.choirsTicked)
        marker.addActiveLinkLimit(CheckGridKind::Choirs, limits.activeChoirIds, limits.inactiveChoirIds);
    for (int k = 0; k < 5; ++k)
        if (limits.myDataTicked[k])
            marker.addMyDataLimit(k + 1, limits.myDataText[k]);
    if (limits.birthdayTicked)
        addMonthLimit(marker, "Birthday", limits.birthdayMonth);
    if (limits.anniversaryTicked)
        addMonthLimit(marker, "Aniversary", limits.anniversaryMonth);
    marker.mark();
}

QVector<MemberListRow> list(bool filteredOnly)
{
    QVector<MemberListRow> rows;
    Db::Statement q(filteredOnly ? QStringLiteral("select memberid, LName, FName, MName from member "
                                                  "where displayit <> 0 order by lnamekey, fnamekey, mnamekey, memberid")
                                 : QStringLiteral("select memberid, LName, FName, MName from member "
                                                  "order by lnamekey, fnamekey, mnamekey, memberid"));
    while (q.next())
        rows.append({q.integer(0), MemberData::listKey(q.text(1), q.text(2), q.text(3))});
    return rows;
}

bool exists(qint32 memberId)
{
    return Db::scalar(QStringLiteral("select count(*) from member where memberid = ?"), {memberId}).toInt() > 0;
}

} // namespace MemberSelection
