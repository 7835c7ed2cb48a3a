#include "NameIndex.h"

#include "Db.h"
#include "DbStatement.h"
#include "RecordNav.h"

#include <algorithm>
#include <cstring>

static_assert(RecordCursor<NameIndex>);

int NameIndex::letterOf(const QString &name)
{
    return fileLetter(initialOf(name));
}

int NameIndex::initialOf(const QString &text)
{
    if (!text.isEmpty()) {
        const char16_t c = text.at(0).unicode();
        if (c >= u'A' && c <= u'Z')
            return c - u'A';
        if (c >= u'a' && c <= u'z')
            return c - u'a';
        if (c < 0x80)
            return kNoLetter;
    }
    // Characters outside ASCII take the shared rule (a few upper-case to
    // a plain letter, e.g. the long s); what it files under A begins with
    // no letter.
    const QString first = text.isEmpty() ? QString() : QString(text.at(0)).toUpper();
    const QString letter = LetterOfName(text);
    return first == letter ? letter.at(0).unicode() - u'A' : kNoLetter;
}

int NameIndex::initialOfUtf8(QByteArrayView text)
{
    if (text.isEmpty())
        return kNoLetter;
    const auto c = static_cast<unsigned char>(text.front());
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a';
    if (c < 0x80)
        return kNoLetter;
    // The first character only: the rule looks at nothing more.
    const qsizetype n = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : 2;
    return initialOf(QString::fromUtf8(text.first(std::min(n, text.size()))));
}

namespace {

// The sort key of a row as kept: the key columns' UTF-8 joined by a zero
// byte, which sorts below every byte of a key (a key may hold U+0001), so
// comparing the joined bytes compares the columns one after the other.
void appendKey(std::vector<char> &out, QByteArrayView key, bool first)
{
    if (!first)
        out.push_back('\0');
    out.insert(out.end(), key.begin(), key.end());
}

// "last, first middle", each part without its leading and trailing
// blanks (as SQLite's trim() takes them: spaces only).
void appendPersonName(std::vector<char> &out, QByteArrayView last, QByteArrayView first, QByteArrayView middle)
{
    const auto append = [&out](QByteArrayView part) {
        while (!part.isEmpty() && part.front() == ' ')
            part = part.sliced(1);
        while (!part.isEmpty() && part.back() == ' ')
            part.chop(1);
        out.insert(out.end(), part.begin(), part.end());
    };
    append(last);
    out.push_back(',');
    out.push_back(' ');
    append(first);
    out.push_back(' ');
    append(middle);
}

QByteArray joinedKey(const QStringList &keys)
{
    QByteArray out;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (i > 0)
            out.append('\0');
        out.append(keys.at(i).toUtf8());
    }
    return out;
}

// Bytes compared as SQLite compares text of the binary collation.
int compareBytes(QByteArrayView a, QByteArrayView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    if (n > 0)
        if (const int c = std::memcmp(a.data(), b.data(), size_t(n)))
            return c < 0 ? -1 : 1;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

void NameIndex::load(const QString &listSql)
{
    std::vector<Row> fresh;
    std::vector<char> names;
    int counts[kNoLetter + 1] = {};
    const bool keyed = m_order == Order::Keys;
    {
        Db::Statement rows(listSql);
        const int keyColumns = keyed ? rows.columnCount() - 4 : 0;
        if (keyed && keyColumns < 1)
            throw DbError(QStringLiteral("The list of records reads no sort key."));
        while (rows.next()) {
            // The name, or the last name that begins the name.
            const QByteArrayView text = rows.utf8(1);
            const int initial = initialOfUtf8(text);
            Row r{rows.integer(0), quint32(names.size()), 0, 0, quint8(initial)};
            if (keyed)
                appendPersonName(names, text, rows.utf8(2), rows.utf8(3));
            else
                names.insert(names.end(), text.begin(), text.end());
            r.nameLength = quint32(names.size() - r.at);
            for (int k = 0; k < keyColumns; ++k)
                appendKey(names, rows.utf8(4 + k), k == 0);
            r.keyLength = quint32(names.size() - r.at - r.nameLength);
            fresh.push_back(r);
            ++counts[initial];
        }
    }
    if (keyed) {
        // Sorted here rather than by the statement: the table read in its
        // stored order, page after page, and sorted in memory costs a
        // fraction of reading it row by row in the order of an index.
        const char *bytes = names.data();
        const auto keyOf = [bytes](const Row &r) {
            return QByteArrayView(bytes + r.at + r.nameLength, qsizetype(r.keyLength));
        };
        std::sort(fresh.begin(), fresh.end(), [&keyOf](const Row &a, const Row &b) {
            const int c = compareBytes(keyOf(a), keyOf(b));
            return c < 0 || (c == 0 && a.id < b.id);
        });
    }
    m_rows.swap(fresh);
    m_names.swap(names);
    m_unusedBytes = 0;
    std::copy(std::begin(counts), std::end(counts), std::begin(m_initialCount));
    m_pos = m_rows.empty() ? -1 : 0;
}

void NameIndex::clear()
{
    m_rows.clear();
    m_names.clear();
    m_unusedBytes = 0;
    std::fill(std::begin(m_initialCount), std::end(m_initialCount), 0);
    m_pos = -1;
}

QByteArrayView NameIndex::bytesAt(int row) const
{
    const Row &r = m_rows.at(size_t(row));
    return QByteArrayView(m_names.data() + r.at, qsizetype(r.nameLength));
}

QByteArrayView NameIndex::keyAt(int row) const
{
    const Row &r = m_rows.at(size_t(row));
    return QByteArrayView(m_names.data() + r.at + r.nameLength, qsizetype(r.keyLength));
}

QString NameIndex::nameAt(int row) const
{
    return QString::fromUtf8(bytesAt(row));
}

NameIndex::Row NameIndex::rowFor(qint32 id, const Entry &entry)
{
    const bool keyed = m_order == Order::Keys;
    const QByteArray name = entry.name.toUtf8();
    const QByteArray key = keyed ? joinedKey(entry.keys) : QByteArray();
    const Row r{id, quint32(m_names.size()), quint32(name.size()), quint32(key.size()),
                quint8(initialOf(keyed ? entry.letterText : entry.name))};
    m_names.insert(m_names.end(), name.begin(), name.end());
    m_names.insert(m_names.end(), key.begin(), key.end());
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
        names.insert(names.end(), m_names.begin() + r.at, m_names.begin() + r.at + r.nameLength + r.keyLength);
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

int NameIndex::placeFor(qint32 id, const Entry &entry, QByteArrayView key) const
{
    const bool keyed = m_order == Order::Keys;
    int lo = 0;
    int hi = int(m_rows.size());
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const int c = keyed ? compareBytes(keyAt(mid), key) : Db::compareNames(nameAt(mid), entry.name);
        if (c < 0 || (c == 0 && m_rows[size_t(mid)].id < id))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int NameIndex::insert(qint32 id, const Entry &entry)
{
    const QByteArray key = m_order == Order::Keys ? joinedKey(entry.keys) : QByteArray();
    const int at = placeFor(id, entry, key);
    const Row row = rowFor(id, entry);
    m_rows.insert(m_rows.begin() + at, row);
    ++m_initialCount[row.initial];
    if (m_pos >= at && m_rows.size() > 1)
        ++m_pos;
    else if (m_pos < 0)
        m_pos = 0;
    return at;
}

int NameIndex::rename(qint32 id, const Entry &entry)
{
    const int row = rowOf(id);
    if (row < 0)
        return insert(id, entry);
    const qint32 current = currentId();
    const Row &old = m_rows[size_t(row)];
    --m_initialCount[old.initial];
    m_unusedBytes += old.nameLength + old.keyLength;
    m_rows.erase(m_rows.begin() + row);
    const QByteArray key = m_order == Order::Keys ? joinedKey(entry.keys) : QByteArray();
    const int at = placeFor(id, entry, key);
    const Row fresh = rowFor(id, entry);
    m_rows.insert(m_rows.begin() + at, fresh);
    ++m_initialCount[fresh.initial];
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
    const Row &old = m_rows[size_t(row)];
    --m_initialCount[old.initial];
    m_unusedBytes += old.nameLength + old.keyLength;
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
    if (letter < 0 || letter >= 26)
        return false;
    return m_initialCount[letter] > 0 || (letter == 0 && m_initialCount[kNoLetter] > 0);
}

int NameIndex::firstRowBeginningWith(int letter) const
{
    if (letter < 0 || letter >= 26 || m_initialCount[letter] == 0)
        return -1;
    const auto it =
        std::find_if(m_rows.begin(), m_rows.end(), [letter](const Row &r) { return r.initial == letter; });
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
        if (fileLetter(r.initial) != letter)
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
