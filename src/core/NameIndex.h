#pragma once
// A record editor's records in its order, kept in memory: the id, the
// name key (an anthem's or a collection's name, a member's "Last, First
// Middle") and the key's letter of every record, with a current-row
// cursor and the begin and end markers a record set has. The whole table
// is read once; saves and deletes then update the index in place, so a
// large library is never re-read after each change. The order is the
// list query's: name keys as Db::compareNames compares them, then ids.
//
// The names are kept as the database gives them (UTF-8, one block for
// all) and become text only when asked for: opening an editor on a
// million records reads them without making a million strings, and the
// name list makes text of one letter's names only.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QVector>
#include <QtGlobal>
#include <vector>

class NameIndex {
public:
    // How consecutive keys form one item of the name list: exactly equal
    // (anthems, collections) or equal when upper-cased (members).
    enum class Runs { Exact, CaseBlind };

    explicit NameIndex(Runs runs = Runs::Exact) : m_runs(runs) {}

    // One item of the name list: a key, or a key shared by several
    // consecutive records followed by " {n}", with the first of them.
    struct NameItem {
        QString text;
        qint32 firstId = 0;
    };

    // Reads every record's id and name key from the list query (id, key,
    // in the editor's order); the cursor goes to the first row. Database
    // errors reach the caller and leave the index as it was.
    void load(const QString &listSql);
    void clear();

    int count() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    qint32 idAt(int row) const { return m_rows.at(row).id; }
    QString nameAt(int row) const;
    // 0 for A ... 25 for Z: the letter the key files under.
    int letterAt(int row) const { return m_rows.at(row).letter; }
    // The row of an id; -1 when the index does not hold it.
    int rowOf(qint32 id) const;

    // Adds a record in its place and returns its row. The cursor stays on
    // the record it stood on.
    int insert(qint32 id, const QString &name);
    // Gives a record a new key (moving it to its new place); adds it when
    // it is missing. Returns its row.
    int rename(qint32 id, const QString &name);
    // False when the id is not there. The cursor goes to the first row.
    bool remove(qint32 id);

    // The cursor, as a record set has it.
    bool bof() const { return m_pos < 0 || m_rows.empty(); }
    bool eof() const { return m_pos >= int(m_rows.size()) || m_rows.empty(); }
    bool onRecord() const { return !bof() && !eof(); }
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    int position() const { return m_pos; }
    // Rows outside the index are refused (false, no move).
    bool setPosition(int row);
    // The record under the cursor; 0 and "" when there is none.
    qint32 currentId() const;
    QString currentName() const;

    // Whether any key files under the letter (0 for A ... 25 for Z).
    bool hasLetter(int letter) const;
    // The first row whose key files under the letter; -1 when none.
    int firstRowOfLetter(int letter) const;
    // The name list of a letter: the keys that file under it in order, one
    // item per run of consecutive keys that are equal by the Runs rule.
    QVector<NameItem> nameList(int letter) const;

    // 0 for A ... 25 for Z; anything that does not begin with A to Z
    // (after upper-casing) files under A (LetterOfName's rule).
    static int letterOf(const QString &name);

private:
    struct Row {
        qint32 id = 0;
        quint32 at = 0;     // where the name starts in m_names
        quint32 length = 0; // its bytes
        quint8 letter = 0;
    };
    // The letter of a name as the database gives it (UTF-8).
    static int letterOfUtf8(QByteArrayView name);
    // A row for the name, its bytes added to m_names.
    Row rowFor(qint32 id, const QString &name);
    QByteArrayView bytesAt(int row) const;
    // The row before which a record with this key and id belongs.
    int placeFor(qint32 id, const QString &name) const;
    bool sameRun(const QString &a, const QString &b) const;
    void countLetter(int letter, int delta);
    // Drops the bytes of names no row refers to any more, once they are
    // the greater part of m_names.
    void compactNames();

    std::vector<Row> m_rows;
    std::vector<char> m_names;
    qsizetype m_unusedBytes = 0;
    int m_letterCount[26] = {};
    int m_pos = -1;
    Runs m_runs = Runs::Exact;
};
