#include "AnthemIndex.h"

#include "Db.h"
#include "RecordNav.h"

static_assert(RecordCursor<AnthemIndex>);

int AnthemIndex::letterOf(const QString &title)
{
    if (!title.isEmpty()) {
        const char16_t c = title.at(0).unicode();
        if (c >= u'A' && c <= u'Z')
            return c - u'A';
        if (c >= u'a' && c <= u'z')
            return c - u'a';
        if (c < 0x80)
            return 0;
    }
    // Characters outside ASCII take the shared rule (a few upper-case to
    // a plain letter, e.g. the long s).
    const QString letter = LetterOfName(title);
    return letter.at(0).unicode() - u'A';
}

void AnthemIndex::load()
{
    QVector<QPair<qint32, QString>> rows =
        Db::idTextRows(QStringLiteral("select anthemid, Anthem from anthem order by anthemkey, anthemid"));
    QVector<Row> fresh;
    fresh.reserve(rows.size());
    int counts[26] = {};
    for (auto &r : rows) {
        const int letter = letterOf(r.second);
        fresh.append(Row{r.first, quint8(letter), std::move(r.second)});
        ++counts[letter];
    }
    m_rows.swap(fresh);
    std::copy(std::begin(counts), std::end(counts), std::begin(m_letterCount));
    m_pos = m_rows.isEmpty() ? -1 : 0;
}

void AnthemIndex::clear()
{
    m_rows.clear();
    std::fill(std::begin(m_letterCount), std::end(m_letterCount), 0);
    m_pos = -1;
}

int AnthemIndex::rowOf(qint32 id) const
{
    const Row *begin = m_rows.constData();
    const Row *end = begin + m_rows.size();
    for (const Row *r = begin; r != end; ++r)
        if (r->id == id)
            return int(r - begin);
    return -1;
}

int AnthemIndex::placeFor(qint32 id, const QString &title) const
{
    int lo = 0;
    int hi = int(m_rows.size());
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const Row &r = m_rows.at(mid);
        const int c = Db::compareNames(r.title, title);
        if (c < 0 || (c == 0 && r.id < id))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

void AnthemIndex::countLetter(int letter, int delta)
{
    m_letterCount[letter] += delta;
}

int AnthemIndex::insert(qint32 id, const QString &title)
{
    const int at = placeFor(id, title);
    const int letter = letterOf(title);
    m_rows.insert(at, Row{id, quint8(letter), title});
    countLetter(letter, +1);
    if (m_pos >= at && m_rows.size() > 1)
        ++m_pos;
    else if (m_pos < 0)
        m_pos = 0;
    return at;
}

int AnthemIndex::rename(qint32 id, const QString &title)
{
    const int row = rowOf(id);
    if (row < 0)
        return insert(id, title);
    const qint32 current = currentId();
    countLetter(m_rows.at(row).letter, -1);
    m_rows.remove(row);
    const int at = placeFor(id, title);
    const int letter = letterOf(title);
    m_rows.insert(at, Row{id, quint8(letter), title});
    countLetter(letter, +1);
    if (current != 0)
        m_pos = rowOf(current);
    return at;
}

bool AnthemIndex::remove(qint32 id)
{
    const int row = rowOf(id);
    if (row < 0)
        return false;
    countLetter(m_rows.at(row).letter, -1);
    m_rows.remove(row);
    m_pos = m_rows.isEmpty() ? -1 : 0;
    return true;
}

void AnthemIndex::moveFirst()
{
    if (!m_rows.isEmpty())
        m_pos = 0;
}

void AnthemIndex::moveLast()
{
    if (!m_rows.isEmpty())
        m_pos = int(m_rows.size()) - 1;
}

void AnthemIndex::moveNext()
{
    if (!eof())
        ++m_pos;
}

void AnthemIndex::movePrevious()
{
    if (!bof())
        --m_pos;
}

bool AnthemIndex::setPosition(int row)
{
    if (row < 0 || row >= m_rows.size())
        return false;
    m_pos = row;
    return true;
}

qint32 AnthemIndex::currentId() const
{
    return onRecord() ? m_rows.at(m_pos).id : 0;
}

QString AnthemIndex::currentTitle() const
{
    return onRecord() ? m_rows.at(m_pos).title : QString();
}

bool AnthemIndex::hasLetter(int letter) const
{
    return letter >= 0 && letter < 26 && m_letterCount[letter] > 0;
}

int AnthemIndex::firstRowOfLetter(int letter) const
{
    if (!hasLetter(letter))
        return -1;
    for (int r = 0; r < m_rows.size(); ++r)
        if (m_rows.at(r).letter == letter)
            return r;
    return -1;
}

QVector<AnthemIndex::NameItem> AnthemIndex::nameList(int letter) const
{
    QVector<NameItem> items;
    if (!hasLetter(letter))
        return items;
    const QString *prev = nullptr;
    qint32 firstId = 0;
    int n = 0;
    auto flush = [&] {
        if (!prev)
            return;
        items.append(NameItem{n >= 2 ? *prev + QStringLiteral(" {") + QString::number(n) + QLatin1Char('}') : *prev,
                              firstId});
    };
    for (const Row &r : m_rows) {
        if (r.letter != letter)
            continue;
        if (prev && r.title == *prev) {
            ++n;
            continue;
        }
        flush();
        prev = &r.title;
        firstId = r.id;
        n = 1;
    }
    flush();
    return items;
}
