#include "CollectionSelection.h"

#include "DbStatement.h"
#include "DisplayMarker.h"

#include <QHash>

QList<qint32> CollectionOutline::collectionIds() const
{
    QList<qint32> ids;
    ids.reserve(collections.size());
    for (const Node &n : collections)
        ids.append(n.id);
    return ids;
}

namespace CollectionSelection {

void mark(const CollectionLimits &limits)
{
    DisplayMarker marker(RecordKind::Collection);
    limits.addTo(marker);
    marker.mark();
}

CollectionOutline outline(bool filteredOnly)
{
    CollectionOutline out;
    const QString marked = filteredOnly ? QStringLiteral(" where c.displayit <> 0") : QString();

    Db::Statement collections(QStringLiteral("select c.collectionid, c.Collection from collection c%1 "
                                             "order by c.collectionkey, c.collectionid")
                                  .arg(marked));
    QHash<qint32, int> nodeOf;
    while (collections.next()) {
        CollectionOutline::Node n;
        n.id = collections.integer(0);
        n.name = collections.text(1);
        nodeOf.insert(n.id, int(out.collections.size()));
        out.collections.append(std::move(n));
    }
    if (out.collections.isEmpty())
        return out;

    // One ordered read for every node: each collection's anthems come
    // together, in title order.
    Db::Statement anthems(QStringLiteral("select a.collectionid, a.anthemid, a.Anthem from anthem a "
                                         "join collection c on c.collectionid = a.collectionid%1 "
                                         "order by a.collectionid, a.anthemkey, a.anthemid")
                              .arg(marked));
    qint32 current = 0;
    CollectionOutline::Node *node = nullptr;
    while (anthems.next()) {
        const qint32 collection = anthems.integer(0);
        if (!node || collection != current) {
            current = collection;
            const auto it = nodeOf.constFind(collection);
            // A collection marked or added between the two reads has no node.
            node = it == nodeOf.constEnd() ? nullptr : &out.collections[it.value()];
            if (node)
                node->firstAnthem = int(out.anthems.size());
        }
        if (!node)
            continue;
        out.anthems.append(CollectionAnthem{anthems.integer(1), anthems.text(2)});
        ++node->anthemCount;
    }
    return out;
}

} // namespace CollectionSelection
