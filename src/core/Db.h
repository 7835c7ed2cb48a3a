#pragma once
// The one open database connection of the program and the few ways the
// rest of the code talks to it. Every statement takes bound parameters;
// user text never becomes part of SQL text.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVector>
#include <QPair>
#include <stdexcept>

struct sqlite3;

class DbError : public std::runtime_error {
public:
    // code: SQLite's result code when SQLite refused the statement, else 0.
    explicit DbError(const QString &message, int code = 0)
        : std::runtime_error(message.toStdString()), m_message(message), m_code(code) {}
    QString message() const { return m_message; }
    int code() const { return m_code; }

private:
    QString m_message;
    int m_code = 0;
};

using Params = QVariantList;

namespace Db {

// Opens an existing database file as the main connection. Never creates a
// file. Before the connection opens, the file is checked and a database
// of the previous format converted (DbFile::prepare, without the page
// check start-up runs on its own); a file in use by another program,
// empty, damaged, unreadable or without every table and column of the
// schema fails with one message for the user, the file untouched. Then
// the name keys that other tools left empty are filled.
bool open(const QString &path, QString *error);
void close();
bool isOpen();
QString path();
QSqlDatabase connection();

// Opens (creating when asked) an extra connection with our SQL functions;
// used by the template generator and the benchmark's data generator.
// Without mayCreate the file is a database of the program and the
// connection gets the key triggers too (installKeyTriggers); a connection
// that creates the file installs them once the schema is in it.
QSqlDatabase openNamed(const QString &connectionName, const QString &path,
                       bool mayCreate, QString *error);
void closeNamed(const QString &connectionName);

// Registers the program's SQL functions on a connection: ucase()
// upper-cases all of Unicode, namekey() gives nameKey(). They live on our
// connections only; the schema never names them. (substr() counts
// characters, so it serves as Left().) No function or collation of
// SQLite's own is redefined: upper() and the rest give on our connections
// what they give in any other tool, so an index, check or generated
// column of the user's that calls them stays sound whoever writes the
// row. The program's queries use ucase().
bool installFunctions(QSqlDatabase &db, QString *error);
bool installFunctions(sqlite3 *handle);

// Temporary triggers on a connection (in its temp schema, never in the
// file): whatever statement writes a keyed name, its key follows, and a
// key the schema's stored triggers clear (they compare names with
// SQLite's ASCII-only upper()) is set again at once. Every connection of
// the program that writes names has them. Throws DbError.
void installKeyTriggers(QSqlDatabase &db);

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

// Names in name order.
//
// The database orders names without regard to case through key columns
// that the program keeps beside them; these are the keyed names:
//
//   anthem.Anthem -> anthemkey          collection.Collection -> collectionkey
//   member.LName, FName, MName -> lnamekey, fnamekey, mnamekey
//   themes.theme -> themekey            vocals.vocals -> vocalskey
//   composer.composer -> composerkey    orchestration.orchestration -> orchestrationkey
//   choir.choir -> choirkey             vocalsm.vocals -> vocalskey
//   city.City -> citykey                zip.Zip -> zipkey
//   school.School -> schoolkey
//
// Every statement that writes one of these names must write its key too,
// as nameKey() of the very text stored:
//
//   Db::exec("insert into themes (theme, themekey) values (?, ?)",
//            {name, Db::nameKey(name)});
//   Db::exec("update anthem set Anthem = ?, anthemkey = ? where anthemid = ?",
//            {title, Db::nameKey(title), id});
//
// Lists in name order read "order by <key>, <id>" (members: "order by
// lnamekey, fnamekey, mnamekey, memberid"); an index on the keys gives
// that order. On every connection of the program temporary triggers mend
// a key a statement forgets (installKeyTriggers), and keys other tools
// left empty are filled at open: neither is a reason to leave the key
// out.
struct NameKeyColumn {
    const char *table;
    const char *idColumn;
    const char *nameColumn;
    const char *keyColumn;
};
const QVector<NameKeyColumn> &nameKeyColumns();
// The key column of a keyed name ("" when the name has none).
QString keyColumn(const QString &table, const QString &nameColumn);

// The key of a name: the name upper-cased with its accents (and control
// characters) taken off; where that took anything off, followed by
// U+0001 and the upper-cased name (so "élan" files with the E's, right
// after "elan"). Two names have the same key exactly when they are equal
// but for case. Never a null text: "" for an empty or null name.
QString nameKey(const QString &name);

// Compares two names as their keys compare in the database (code point
// by code point, which is SQLite's binary order of UTF-8), so an
// in-memory list stays in the database's order. 0 for names equal but
// for case.
int compareNames(const QString &a, const QString &b);

// The values once each, names equal but for case counted as one (the
// first given is kept), in name order; empty values left out.
QStringList distinctNames(const QStringList &values);

// Gives a key to every keyed name that has none (rows other tools wrote).
// Returns how many were filled.
int fillMissingNameKeys(QSqlDatabase &db);

// Runs a script of SQL statements (the schema).
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

// Unicode upper-casing as ucase() does it on our connections.
QString upper(const QString &text);

} // namespace Db
