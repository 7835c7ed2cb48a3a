#include "DbStatement.h"

#include <QSqlDriver>
#include <sqlite3.h>

namespace Db {

static_assert(Statement::Integer == SQLITE_INTEGER && Statement::Float == SQLITE_FLOAT
              && Statement::Text == SQLITE_TEXT && Statement::Blob == SQLITE_BLOB && Statement::Null == SQLITE_NULL);

namespace {

sqlite3 *mainHandle()
{
    QSqlDatabase db = connection();
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        throw DbError(QStringLiteral("The SQLite driver gave no connection handle."));
    return *static_cast<sqlite3 *const *>(v.data());
}

} // namespace

Statement::Statement(const QString &sql, const Params &params) : Statement(mainHandle(), sql, params) {}

Statement::Statement(sqlite3 *handle, const QString &sql, const Params &params) : m_db(handle)
{
    if (!m_db)
        throw DbError(QStringLiteral("There is no database connection."), SQLITE_MISUSE);
    const QByteArray text = sql.toUtf8();
    if (const int rc = sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_stmt, nullptr);
        rc != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(m_db)), rc);
    for (int i = 0; i < params.size(); ++i) {
        const QVariant &p = params.at(i);
        int rc = SQLITE_OK;
        if (p.isNull()) {
            rc = sqlite3_bind_null(m_stmt, i + 1);
        } else {
            switch (p.metaType().id()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(m_stmt, i + 1, p.toLongLong());
                break;
            case QMetaType::Double:
                rc = sqlite3_bind_double(m_stmt, i + 1, p.toDouble());
                break;
            default: {
                const QByteArray b = p.toString().toUtf8();
                rc = sqlite3_bind_text(m_stmt, i + 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK) {
            const QString why = QString::fromUtf8(sqlite3_errmsg(m_db));
            sqlite3_finalize(m_stmt);
            m_stmt = nullptr;
            throw DbError(why, rc);
        }
    }
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

bool Statement::next()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(m_db)), rc);
    return false;
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

Statement::Type Statement::type(int column) const
{
    return Type(sqlite3_column_type(m_stmt, column));
}

QByteArrayView Statement::blob(int column) const
{
    const auto *b = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
    return b ? QByteArrayView(b, sqlite3_column_bytes(m_stmt, column)) : QByteArrayView();
}

qint32 Statement::integer(int column) const
{
    return qint32(sqlite3_column_int64(m_stmt, column));
}

qint64 Statement::integer64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

QString Statement::text(int column) const
{
    const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return t ? QString::fromUtf8(t, sqlite3_column_bytes(m_stmt, column)) : QString();
}

QByteArrayView Statement::utf8(int column) const
{
    const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return t ? QByteArrayView(t, sqlite3_column_bytes(m_stmt, column)) : QByteArrayView();
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_TEXT: return QVariant(text(column));
    case SQLITE_BLOB: return QVariant(blob(column).toByteArray());
    default: return QVariant();
    }
}

} // namespace Db
