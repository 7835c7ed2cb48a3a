#pragma once
// The text of SQL statements as SQLite reads it: words, string literals,
// quoted names and comments told apart, so that a clause can be found or
// taken out without touching a string, a comment or a name that only
// looks like it. The text is SQLite's own bytes (UTF-8), taken as they
// are: bytes that are not UTF-8 come through unchanged.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>

namespace SqlText {

// A name as SQLite compares names (of collations, tables, columns, ...):
// its ASCII letters upper-cased, every other character as it is.
QString folded(const QString &name);
bool sameName(const QString &a, const QString &b);

// Whether the statement names the collation in a COLLATE clause
// (COLLATE UNOCASE, collate "unocase", ...); a string or a comment
// holding the words does not count.
bool namesCollation(const QByteArray &sql, const QString &collation);

// The collations the columns of a CREATE TABLE statement declare, by the
// column's name folded(); a column without one is not listed.
QHash<QString, QString> columnCollations(const QByteArray &createTable);

// The statement with every "COLLATE <collation>" clause taken out (with
// the spaces before it; a comment inside it stays), except where
// `instead` gives a column of a CREATE TABLE statement another
// collation: there the clause names that one. `instead` is asked with
// the column's name and answers "" for none. Where SQLite would read a
// comment beside the clause as part of the column's type (before
// GENERATED ALWAYS), the clause names BINARY, what a column without one
// has. A space is left where the words on either side would run
// together.
QByteArray replaceCollation(const QByteArray &sql, const QString &collation,
                            const std::function<QString(const QString &column)> &instead = {});

// Whether `after` is `before` but for "COLLATE <collation>" clauses taken
// out (the comments inside them kept) or, in a column definition, naming
// BINARY or the collation `instead` gives for the column. Compared token
// by token: words, names, strings and comments must be the same; only
// the spaces between them may differ.
bool onlyCollationChanged(const QByteArray &before, const QByteArray &after, const QString &collation,
                          const std::function<QString(const QString &column)> &instead = {});

// The expressions of the CHECK constraints of a CREATE TABLE statement,
// in their order, as written but with a space for each comment, so that
// one can be put into a query whole.
QList<QByteArray> checkExpressions(const QByteArray &createTable);

} // namespace SqlText
