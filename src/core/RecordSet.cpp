#include "RecordSet.h"

#include <QSqlRecord>

namespace {
const QString kNoCurrent = QStringLiteral("No current record.");
}

RecordSet::RecordSet(const QString &sql, const Params &params)
{
    load(sql, params);
}

RecordSet RecordSet::forTable(const QString &table, const QString &keyColumn,
                              const QString &sql, const Params &params)
{
    RecordSet rs;
    rs.m_table = table;
    rs.m_key = keyColumn;
    rs.load(sql, params);
    if (!rs.hasColumn(keyColumn))
        throw DbError(QStringLiteral("The query does not read the key column %1.").arg(keyColumn));
    return rs;
}

void RecordSet::load(const QString &sql, const Params &params)
{
    QSqlQuery q = Db::query(sql, params);
    const QSqlRecord rec = q.record();
    m_columns.clear();
    for (int i = 0; i < rec.count(); ++i)
        m_columns << rec.fieldName(i);
    m_rows.clear();
    const int n = int(m_columns.size());
    while (q.next()) {
        QVector<QVariant> row(n);
        for (int i = 0; i < n; ++i)
            row[i] = q.value(i);
        m_rows.push_back(std::move(row));
    }
    m_open = true;
    m_pos = 0;
    m_lastModified = -1;
    m_pending = Pending::None;
    m_changes.clear();
}

void RecordSet::close()
{
    m_open = false;
    m_rows.clear();
    m_columns.clear();
    m_pos = -1;
    m_lastModified = -1;
    m_pending = Pending::None;
    m_changes.clear();
}

void RecordSet::requireOpen() const
{
    if (!m_open)
        throw DbError(QStringLiteral("The record set is closed."));
}

void RecordSet::requireCurrent() const
{
    requireOpen();
    if (!onRecord())
        throw DbError(kNoCurrent);
}

void RecordSet::requireTable() const
{
    requireOpen();
    if (m_table.isEmpty())
        throw DbError(QStringLiteral("The record set cannot be updated."));
}

void RecordSet::moveFirst()
{
    requireOpen();
    if (m_rows.isEmpty())
        throw DbError(kNoCurrent);
    m_pos = 0;
}

void RecordSet::moveLast()
{
    requireOpen();
    if (m_rows.isEmpty())
        throw DbError(kNoCurrent);
    m_pos = int(m_rows.size()) - 1;
}

void RecordSet::moveNext()
{
    requireOpen();
    if (eof())
        throw DbError(kNoCurrent);
    ++m_pos;
}

void RecordSet::movePrevious()
{
    requireOpen();
    if (bof())
        throw DbError(kNoCurrent);
    --m_pos;
}

int RecordSet::bookmark() const
{
    requireCurrent();
    return m_pos;
}

void RecordSet::setBookmark(int row)
{
    requireOpen();
    if (row < 0 || row >= m_rows.size())
        throw DbError(QStringLiteral("Not a valid bookmark."));
    m_pos = row;
}

int RecordSet::columnIndex(const QString &name) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant RecordSet::value(const QString &column) const
{
    requireCurrent();
    const int i = columnIndex(column);
    if (i < 0)
        throw DbError(QStringLiteral("Item not found in this collection: %1.").arg(column));
    return m_rows.at(m_pos).at(i);
}

QVariant RecordSet::value(int column) const
{
    requireCurrent();
    if (column < 0 || column >= m_columns.size())
        throw DbError(QStringLiteral("Item not found in this collection."));
    return m_rows.at(m_pos).at(column);
}

QString RecordSet::text(const QString &column) const
{
    const QVariant v = value(column);
    return v.isNull() ? QString() : v.toString();
}

bool RecordSet::isNull(const QString &column) const
{
    return value(column).isNull();
}

void RecordSet::addNew()
{
    requireTable();
    m_pending = Pending::Adding;
    m_changes.clear();
}

void RecordSet::edit()
{
    requireTable();
    requireCurrent();
    m_pending = Pending::Editing;
    m_changes.clear();
}

void RecordSet::setValue(const QString &column, const QVariant &value)
{
    if (m_pending == Pending::None)
        throw DbError(QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    for (auto &c : m_changes) {
        if (c.first.compare(column, Qt::CaseInsensitive) == 0) {
            c.second = value;
            return;
        }
    }
    m_changes.append({column, value});
}

void RecordSet::cancelUpdate()
{
    m_pending = Pending::None;
    m_changes.clear();
}

void RecordSet::update()
{
    requireTable();
    if (m_pending == Pending::None)
        throw DbError(QStringLiteral("Update or CancelUpdate without AddNew or Edit."));

    Params params;
    QStringList names;
    for (const auto &c : m_changes) {
        names << c.first;
        params << c.second;
    }

    QVariant key;
    if (m_pending == Pending::Adding) {
        QString sql;
        if (names.isEmpty()) {
            sql = QStringLiteral("insert into %1 default values").arg(m_table);
        } else {
            QStringList marks;
            for (int i = 0; i < names.size(); ++i)
                marks << QStringLiteral("?");
            sql = QStringLiteral("insert into %1 (%2) values (%3)")
                      .arg(m_table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        }
        Db::exec(sql, params);
        key = Db::lastInsertId();
    } else {
        key = m_rows.at(m_pos).at(columnIndex(m_key));
        if (!names.isEmpty()) {
            QStringList sets;
            for (const QString &n : names)
                sets << n + QStringLiteral(" = ?");
            params << key;
            Db::exec(QStringLiteral("update %1 set %2 where %3 = ?")
                         .arg(m_table, sets.join(QStringLiteral(", ")), m_key),
                     params);
        }
    }

    // Read the stored row back, so defaults and conversions show as stored.
    QSqlQuery q = Db::query(QStringLiteral("select * from %1 where %2 = ?").arg(m_table, m_key), {key});
    QVector<QVariant> row(m_columns.size());
    if (q.next()) {
        const QSqlRecord rec = q.record();
        for (int i = 0; i < m_columns.size(); ++i) {
            const int src = rec.indexOf(m_columns.at(i));
            row[i] = src >= 0 ? q.value(src) : QVariant();
        }
    }
    if (m_pending == Pending::Adding) {
        m_rows.push_back(row);
        m_lastModified = int(m_rows.size()) - 1;
    } else {
        m_rows[m_pos] = row;
        m_lastModified = m_pos;
    }
    m_pending = Pending::None;
    m_changes.clear();
}

void RecordSet::deleteCurrent()
{
    requireTable();
    requireCurrent();
    const QVariant key = m_rows.at(m_pos).at(columnIndex(m_key));
    Db::exec(QStringLiteral("delete from %1 where %2 = ?").arg(m_table, m_key), {key});
    m_rows.removeAt(m_pos);
    // The cursor stays where the row was, which is the next row (or the end).
    m_lastModified = -1;
}
