#pragma once
// A statement read straight from SQLite, for lists of a large library
// (hundreds of thousands of values, where wrapping each in a QVariant
// costs more than reading it) and for the checks that look at a database
// file through a connection of their own. Bound parameters as with
// Db::query; errors are DbError, with SQLite's result code.

#include "Db.h"

#include <QByteArrayView>

struct sqlite3;
struct sqlite3_stmt;

namespace Db {

class Statement {
public:
    // On the main connection.
    explicit Statement(const QString &sql, const Params &params = {});
    // On a connection of the caller's own, which must outlive the statement.
    Statement(sqlite3 *handle, const QString &sql, const Params &params = {});
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // The storage class of a column's value in the current row.
    enum Type { Integer = 1, Float = 2, Text = 3, Blob = 4, Null = 5 };

    // Steps to the next row; false after the last.
    bool next();
    // How many columns a row has.
    int columnCount() const;
    Type type(int column) const;
    qint32 integer(int column) const;
    qint64 integer64(int column) const;
    bool isNull(int column) const;
    // Null reads as "".
    QString text(int column) const;
    // The text as SQLite holds it (UTF-8), without a copy: valid until the
    // next step. Null reads as empty.
    QByteArrayView utf8(int column) const;
    // A blob's bytes, without a copy: valid until the next step.
    QByteArrayView blob(int column) const;
    // The value as QSqlQuery::value() types it: integer (qlonglong), real
    // (double), text (QString), blob (QByteArray), Null (a null QVariant).
    QVariant value(int column) const;

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace Db
