#include "AnthemSelection.h"

#include "DbStatement.h"
#include "DisplayMarker.h"

#include <QPair>
#include <algorithm>

namespace AnthemSelection {

void mark(const AnthemLimits &limits)
{
    DisplayMarker marker(RecordKind::Anthem);
    limits.addTo(marker);
    marker.mark();
}

QVector<AnthemListRow> list(bool filteredOnly)
{
    // Title order comes from the title index alone (it holds the id), so
    // no row is read out of order; the rows themselves come in one pass
    // over the table. Reading the rows in title order instead costs a
    // random look-up per anthem, several times slower on a large library.
    Db::Statement order(QStringLiteral("select anthemid from anthem order by anthemkey, anthemid"));
    QVector<QPair<qint32, int>> positions; // (anthemid, place in the list)
    while (order.next())
        positions.append({order.integer(0), int(positions.size())});
    const int n = int(positions.size());
    std::sort(positions.begin(), positions.end());

    // Both in id order: one walk pairs each row with its place.
    QVector<AnthemListRow> byPosition(n);
    QVector<bool> present(n, false);
    Db::Statement rows(filteredOnly
                          ? QStringLiteral("select a.anthemid, a.Anthem, c.collectionid, c.Collection from anthem a "
                            "left join collection c on c.collectionid = a.collectionid where a.displayit <> 0 "
                            "order by a.anthemid")
                          : QStringLiteral("select a.anthemid, a.Anthem, c.collectionid, c.Collection from anthem a "
                            "left join collection c on c.collectionid = a.collectionid order by a.anthemid"));
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
