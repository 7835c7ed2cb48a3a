#include "AnthemSelection.h"

#include "DbStatement.h"
#include "DisplayMarker.h"

#include <QByteArray>
#include <QHash>
#include <algorithm>
#include <vector>

namespace {

// Values by anthem id: a plain table over the ids a library usually has
// (1 to the highest), a hash for any other.
class IdTable {
public:
    explicit IdTable(qint32 maxId) : m_dense(maxId > 0 && maxId <= kDenseLimit ? size_t(maxId) + 1 : 0, 0) {}
    void set(qint32 id, qint32 value)
    {
        if (id >= 0 && size_t(id) < m_dense.size())
            m_dense[size_t(id)] = value;
        else
            m_sparse.insert(id, value);
    }
    qint32 get(qint32 id) const
    {
        if (id >= 0 && size_t(id) < m_dense.size())
            return m_dense[size_t(id)];
        return m_sparse.value(id, 0);
    }

private:
    static constexpr qint32 kDenseLimit = 8 * 1024 * 1024;
    std::vector<qint32> m_dense;
    QHash<qint32, qint32> m_sparse;
};

// The marked anthems read by id through the marks' index, in the list's
// order: by title key as the database compares it (its bytes; a missing
// key first), then by id.
template <class Fill> QVector<AnthemListRow> fewMarked(const Fill &fill)
{
    struct Marked {
        qint32 collectionId = 0;
        bool hasKey = false;
        qsizetype keyAt = 0; // the key's bytes in keys
        qsizetype keySize = 0;
    };
    QVector<AnthemListRow> rows;
    std::vector<Marked> marked;
    QByteArray keys;
    Db::Statement m(QStringLiteral("select anthemid, Anthem, collectionid, anthemkey, anthemkey is not null "
                                   "from anthem where displayit < 0 or displayit > 0"));
    while (m.next()) {
        AnthemListRow &r = rows.emplace_back();
        r.anthemId = m.integer(0);
        r.anthem = m.text(1);
        const QByteArrayView key = m.utf8(3);
        marked.push_back(Marked{m.isNull(2) ? 0 : m.integer(2), m.integer(4) != 0, keys.size(), key.size()});
        keys.append(key);
    }
    std::vector<int> order(marked.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    const char *bytes = keys.constData();
    std::sort(order.begin(), order.end(), [&](int x, int y) {
        const Marked &a = marked[size_t(x)];
        const Marked &b = marked[size_t(y)];
        if (a.hasKey != b.hasKey)
            return !a.hasKey;
        const int c = QByteArrayView(bytes + a.keyAt, a.keySize).compare(QByteArrayView(bytes + b.keyAt, b.keySize));
        return c != 0 ? c < 0 : rows.at(x).anthemId < rows.at(y).anthemId;
    });
    QVector<AnthemListRow> listed;
    listed.reserve(rows.size());
    for (int i : order) {
        AnthemListRow &r = rows[i];
        fill(r, marked[size_t(i)].collectionId);
        listed.append(std::move(r));
    }
    return listed;
}

} // namespace

namespace AnthemSelection {

void mark(const AnthemLimits &limits)
{
    marker(limits).mark();
}

DisplayMarker marker(const AnthemLimits &limits)
{
    DisplayMarker marker(RecordKind::Anthem);
    limits.addTo(marker);
    return marker;
}

QVector<AnthemListRow> list(bool filteredOnly)
{
    // Every collection's name once; the rows share them.
    QHash<qint32, QString> collections;
    {
        Db::Statement c(QStringLiteral("select collectionid, Collection from collection"));
        while (c.next())
            collections.insert(c.integer(0), c.text(1));
    }
    auto fill = [&collections](AnthemListRow &r, qint32 collectionId) {
        const auto it = collections.constFind(collectionId);
        if (collectionId != 0 && it != collections.constEnd()) {
            r.collectionId = collectionId;
            r.collection = *it;
        }
    };
    qint32 maxId = 0;
    {
        Db::Statement m(QStringLiteral("select max(anthemid) from anthem"));
        if (m.next())
            maxId = m.integer(0);
    }

    IdTable marked(maxId);
    int markedCount = 0;
    if (filteredOnly) {
        // The marks' index holds the ids: no row is read.
        Db::Statement m(QStringLiteral("select anthemid from anthem where displayit < 0 or displayit > 0"));
        while (m.next()) {
            marked.set(m.integer(0), 1);
            ++markedCount;
        }
        if (markedCount == 0)
            return {};
        // A few marked anthems are read by id and put in order here; more
        // are picked from the whole list in order, which costs the same
        // whatever their number.
        if (qint64(markedCount) * 8 < qint64(maxId))
            return fewMarked(fill);
    }

    // Each anthem's collection from the collections' index, which holds
    // the ids: no row is read.
    IdTable collectionOf(maxId);
    {
        Db::Statement c(QStringLiteral("select anthemid, collectionid from anthem where collectionid <> 0"));
        while (c.next())
            collectionOf.set(c.integer(0), c.integer(1));
    }
    // Title order and titles from the title index alone.
    QVector<AnthemListRow> listed;
    if (filteredOnly)
        listed.reserve(markedCount);
    Db::Statement order(QStringLiteral("select anthemid, Anthem from anthem order by anthemkey, anthemid"));
    while (order.next()) {
        const qint32 id = order.integer(0);
        if (filteredOnly && !marked.get(id))
            continue;
        AnthemListRow &r = listed.emplace_back();
        r.anthemId = id;
        r.anthem = order.text(1);
        fill(r, collectionOf.get(id));
    }
    return listed;
}

} // namespace AnthemSelection
