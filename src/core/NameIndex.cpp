#include "NameIndex.h"

#include "Db.h"
#include "DbStatement.h"
#include "RecordNav.h"

#include <algorithm>
#include <cstring>

static_assert(RecordCursor<NameIndex>);

int NameIndex::letterOf(const QString &name)
{
    if (!name.isEmpty()) {
        const char16_t c = name.at(0).unicode();
        if (c >= u'A' && c <= u'Z')
            return c - u'A';
        if (c >= u'a' && c <= u'z')
            return c - u'a';
        if (c < 0x80)
            return 0;
    }
    // Characters outside ASCII take the shared rule (a few upper-case to
    // a plain letter, e.g. the long s).
    const QString letter = LetterOfName(name);
    return letter.at(0).unicode() - u'A';
}

int NameIndex::letterOfUtf8(QByteArrayView name)
{
    if (name.isEmpty())
        return 0;
    const auto c = static_cast<unsigned char>(name.front());
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a';
    if (c < 0x80)
        return 0;
    // The first character only: the rule looks at nothing more.
    const qsizetype n = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : 2;
    return letterOf(QString::fromUtf8(name.first(std::min(n, name.size()))));
}

void NameIndex::load(const QString &listSql)
{
    std::vector<Row> fresh;
    std::vector<char> names;
    int counts[26] = {};
    {
        Db::Statement rows(listSql);
        while (rows.next()) {
            const QByteArrayView name = rows.utf8(1);
            const int letter = letterOfUtf8(name);
            fresh.push_back(Row{rows.integer(0), quint32(names.size()), quint32(name.size()), quint8(letter)});
            names.insert(names.end(), name.begin(), name.end());
            ++counts[letter];
        }
    }
    m_rows.swap(fresh);
    m_names.swap(names);
    m_unusedBytes = 0;
    std::copy(std::begin(counts), std::end(counts), std::begin(m_letterCount));
    m_pos = m_rows.empty() ? -1 : 0;
}

void NameIndex::clear()
{
    m_rows.clear();
    m_names.clear();
    m_unusedBytes = 0;
    std::fill(std::begin(m_letterCount), std::end(m_letterCount), 0);
    m_pos = -1;
}

QByteArrayView NameIndex::bytesAt(int row) const
{
    const Row &r = m_rows.at(size_t(row));
    return QByteArrayView(m_names.data() + r.at, qsizetype(r.length));
}

QString NameIndex::nameAt(int row) const
{
    return QString::fromUtf8(bytesAt(row));
}

NameIndex::Row NameIndex::rowFor(qint32 id, const QString &name)
{
    const QByteArray bytes = name.toUtf8();
    const Row r{id, quint32(m_names.size()), quint32(bytes.size()), quint8(letterOf(name))};
    m_names.insert(m_names.end(), bytes.begin(), bytes.end());
    return r;
}

void NameIndex::compactNames()
{
    if (m_unusedBytes < 4096 || m_unusedBytes * 2 < qsizetype(m_names.size()))
        return;
    std::vector<char> names;
    names.reserve(m_names.size() - size_t(m_unusedBytes));
    for (Row &r : m_rows) {
        const quint32 at = quint32(names.size());
        names.insert(names.end(), m_names.begin() + r.at, m_names.begin() + r.at + r.length);
        r.at = at;
    }
    m_names.swap(names);
    m_unusedBytes = 0;
}

int NameIndex::rowOf(qint32 id) const
{
    const auto it = std::find_if(m_rows.begin(), m_rows.end(), [id](const Row &r) { return r.id == id; });
    return it == m_rows.end() ? -1 : int(it - m_rows.begin());
}

int NameIndex::placeFor(qint32 id, const QString &name) const
{
    int lo = 0;
    int hi = int(m_rows.size());
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const int c = Db::compareNames(nameAt(mid), name);
        if (c < 0 || (c == 0 && m_rows[size_t(mid)].id < id))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

void NameIndex::countLetter(int letter, int delta)
{
    m_letterCount[letter] += delta;
}

int NameIndex::insert(qint32 id, const QString &name)
{
    const int at = placeFor(id, name);
    const Row row = rowFor(id, name);
    m_rows.insert(m_rows.begin() + at, row);
    countLetter(row.letter, +1);
    if (m_pos >= at && m_rows.size() > 1)
        ++m_pos;
    else if (m_pos < 0)
        m_pos = 0;
    return at;
}

int NameIndex::rename(qint32 id, const QString &name)
{
    const int row = rowOf(id);
    if (row < 0)
        return insert(id, name);
    const qint32 current = currentId();
    countLetter(m_rows[size_t(row)].letter, -1);
    m_unusedBytes += m_rows[size_t(row)].length;
    m_rows.erase(m_rows.begin() + row);
    const int at = placeFor(id, name);
    const Row fresh = rowFor(id, name);
    m_rows.insert(m_rows.begin() + at, fresh);
    countLetter(fresh.letter, +1);
    compactNames();
    if (current != 0)
        m_pos = rowOf(current);
    return at;
}

bool NameIndex::remove(qint32 id)
{
    const int row = rowOf(id);
    if (row < 0)
        return false;
    countLetter(m_rows[size_t(row)].letter, -1);
    m_unusedBytes += m_rows[size_t(row)].length;
    m_rows.erase(m_rows.begin() + row);
    compactNames();
    m_pos = m_rows.empty() ? -1 : 0;
    return true;
}

void NameIndex::moveFirst()
{
    if (!m_rows.empty())
        m_pos = 0;
}

void NameIndex::moveLast()
{
    if (!m_rows.empty())
        m_pos = int(m_rows.size()) - 1;
}

void NameIndex::moveNext()
{
    if (!eof())
        ++m_pos;
}

void NameIndex::movePrevious()
{
    if (!bof())
        --m_pos;
}

bool NameIndex::setPosition(int row)
{
    if (row < 0 || row >= int(m_rows.size()))
        return false;
    m_pos = row;
    return true;
}

qint32 NameIndex::currentId() const
{
    return onRecord() ? m_rows[size_t(m_pos)].id : 0;
}

QString NameIndex::currentName() const
{
    return onRecord() ? nameAt(m_pos) : QString();
}

bool NameIndex::hasLetter(int letter) const
{
    return letter >= 0 && letter < 26 && m_letterCount[letter] > 0;
}

int NameIndex::firstRowOfLetter(int letter) const
{
    if (!hasLetter(letter))
        return -1;
    const auto it =
        std::find_if(m_rows.begin(), m_rows.end(), [letter](const Row &r) { return r.letter == letter; });
    return it == m_rows.end() ? -1 : int(it - m_rows.begin());
}

QVector<NameIndex::NameItem> NameIndex::nameList(int letter) const
{
    QVector<NameItem> items;
    if (!hasLetter(letter))
        return items;
    QString prev;
    QByteArrayView prevBytes;
    bool any = false;
    qint32 firstId = 0;
    int n = 0;
    auto flush = [&] {
        if (!any)
            return;
        items.append(NameItem{n >= 2 ? prev + QStringLiteral(" {") + QString::number(n) + QLatin1Char('}') : prev,
                              firstId});
    };
    for (int i = 0; i < int(m_rows.size()); ++i) {
        const Row &r = m_rows[size_t(i)];
        if (r.letter != letter)
            continue;
        // The same bytes are the same name; only different bytes need the
        // names compared.
        const QByteArrayView bytes = bytesAt(i);
        if (any && bytes == prevBytes) {
            ++n;
            continue;
        }
        QString name = QString::fromUtf8(bytes);
        if (any && sameRun(name, prev)) {
            ++n;
            continue;
        }
        flush();
        prev = std::move(name);
        prevBytes = bytes;
        any = true;
        firstId = r.id;
        n = 1;
    }
    flush();
    return items;
}

bool NameIndex::sameRun(const QString &a, const QString &b) const
{
    if (a == b)
        return true;
    return m_runs == Runs::CaseBlind && Db::upper(a) == Db::upper(b);
}
