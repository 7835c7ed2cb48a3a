#pragma once
// An ordered, in-memory set of rows read by one query, with a current-row
// cursor and the begin and end markers the record windows rely on. Sets
// opened on one table with its key column can also add, edit and delete
// rows; each write is one bound statement on the main connection.
//
// Moving or reading past either end is a DbError, never a crash.

#include "Db.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class RecordSet {
public:
    RecordSet() = default;
    // A read-only set.
    explicit RecordSet(const QString &sql, const Params &params = {});
    // An updatable set over one table, keyed by keyColumn.
    static RecordSet forTable(const QString &table, const QString &keyColumn,
                              const QString &sql, const Params &params = {});

    bool isOpen() const { return m_open; }
    void close();

    int recordCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    bool bof() const { return m_pos < 0 || m_rows.isEmpty(); }
    bool eof() const { return m_pos >= m_rows.size() || m_rows.isEmpty(); }
    bool onRecord() const { return !bof() && !eof(); }

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();

    // The current row's index: what the original calls a bookmark.
    int bookmark() const;
    void setBookmark(int row);
    // Index of the row last added or edited; -1 when none.
    int lastModified() const { return m_lastModified; }

    QStringList columns() const { return m_columns; }
    bool hasColumn(const QString &name) const { return columnIndex(name) >= 0; }
    QVariant value(const QString &column) const;
    QVariant value(int column) const;
    // The value joined to an empty text: Null reads as "".
    QString text(const QString &column) const;
    bool isNull(const QString &column) const;

    // Record-by-record writes (sets made by forTable only).
    void addNew();
    void edit();
    void setValue(const QString &column, const QVariant &value);
    void update();
    void cancelUpdate();
    void deleteCurrent();

private:
    enum class Pending { None, Adding, Editing };

    int columnIndex(const QString &name) const;
    void load(const QString &sql, const Params &params);
    void requireCurrent() const;
    void requireOpen() const;
    void requireTable() const;

    bool m_open = false;
    QString m_table;
    QString m_key;
    QStringList m_columns;
    QVector<QVector<QVariant>> m_rows;
    int m_pos = -1;
    int m_lastModified = -1;
    Pending m_pending = Pending::None;
    QList<QPair<QString, QVariant>> m_changes;
};
