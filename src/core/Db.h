#pragma once
// The one open database connection of the program and the few ways the
// rest of the code talks to it. Every statement takes bound parameters;
// user text never becomes part of SQL text.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVector>
#include <QPair>
#include <stdexcept>

class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

using Params = QVariantList;

namespace Db {

// Opens an existing database file as the main connection. Never creates a
// file: a missing file, a file that is not a database, or a database
// without our tables all fail with a readable reason.
bool open(const QString &path, QString *error);
void close();
bool isOpen();
QString path();
QSqlDatabase connection();

// Opens (creating when asked) an extra connection with our SQL functions;
// used by the template generator and the benchmark's data generator.
QSqlDatabase openNamed(const QString &connectionName, const QString &path,
                       bool mayCreate, QString *error);
void closeNamed(const QString &connectionName);

// Registers ucase() and the UNOCASE collation on a connection: SQLite's
// own upper() and NOCASE only know ASCII. (substr() counts characters,
// so it serves as Left().)
bool installFunctions(QSqlDatabase &db, QString *error);

// Runs a statement; throws DbError on failure. Returns rows affected.
int exec(const QString &sql, const Params &params = {});
int exec(QSqlDatabase &db, const QString &sql, const Params &params = {});

// A prepared, executed, forward-only query; throws DbError on failure.
QSqlQuery query(const QString &sql, const Params &params = {});
QSqlQuery query(QSqlDatabase &db, const QString &sql, const Params &params = {});

// First column of the first row, or an invalid QVariant when there is none.
QVariant scalar(const QString &sql, const Params &params = {});
bool exists(const QString &sql, const Params &params = {});

// The id SQLite gave the last inserted row.
qint64 lastInsertId();

// Reads (integer, text) rows fast, for in-memory indexes of large tables
// (the first column as an id, the second as text; Null text reads as "").
QVector<QPair<qint32, QString>> idTextRows(const QString &sql, const Params &params = {});

// Compares two names the way the UNOCASE collation orders them, so an
// in-memory index stays in the database's order.
int compareNames(const QString &a, const QString &b);

// Runs a script of statements separated by ';' at line ends (the schema).
void runScript(QSqlDatabase &db, const QString &script);

// One unit of work: everything between construction and commit() lands
// together or not at all. Nested transactions become savepoints, so a
// routine that needs a transaction can be called inside another one.
class Transaction {
public:
    Transaction();
    ~Transaction();
    void commit();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    QString m_savepoint;
    bool m_done = false;
};

// Unicode upper-casing as the database functions do it.
QString upper(const QString &text);

} // namespace Db
