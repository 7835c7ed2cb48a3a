#pragma once
// A statement read straight from SQLite on the main connection, for lists
// of a large library: hundreds of thousands of values, where wrapping
// each in a QVariant costs more than reading it. Bound parameters as with
// Db::query; errors are DbError.

#include "Db.h"

struct sqlite3;
struct sqlite3_stmt;

namespace Db {

class Statement {
public:
    explicit Statement(const QString &sql, const Params &params = {});
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // Steps to the next row; false after the last.
    bool next();
    qint32 integer(int column) const;
    bool isNull(int column) const;
    // Null reads as "".
    QString text(int column) const;

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace Db
