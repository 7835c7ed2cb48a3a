#pragma once
// A record editor's records in its order, kept in memory: the id, the
// name key (an anthem's or a collection's name, a member's "Last, First
// Middle") and the letter of every record, with a current-row cursor and
// the begin and end markers a record set has. The whole table is read
// once; saves and deletes then update the index in place, so a large
// library is never re-read after each change.
//
// The order is the list query's. Anthems and collections are ordered by
// their names (as Db::compareNames compares them), then ids, and file
// under their names' letters. Members are ordered by sort keys of their
// own (the key columns of last, first and middle name, in turn), then
// ids, and file under the letter of their last name as stored, which the
// name shown (trimmed names) need not begin with.
//
// The names and keys are kept as the database gives them (UTF-8, one
// block for all) and become text only when asked for: opening an editor
// on a million records reads them without making a million strings, and
// the name list makes text of one letter's names only.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>
#include <vector>

class NameIndex {
public:
    // How consecutive keys form one item of the name list: exactly equal
    // (anthems, collections) or equal when upper-cased (members).
    enum class Runs { Exact, CaseBlind };

    // What orders the records and gives their letters.
    //  Names: the list query reads (id, name); the names order the records
    //    and each files under its name's letter.
    //  Keys (members): the list query reads (id, last, first, middle,
    //    key, key, ...), in any order: the name shown is "last, first
    //    middle", each part without its leading and trailing blanks; the
    //    last name as read is what the record files under; the keys are
    //    key columns (Db::nameKey texts) that order the records, compared
    //    one after the other as the database compares them ("order by
    //    key1, key2, ..., id").
    enum class Order { Names, Keys };

    explicit NameIndex(Runs runs = Runs::Exact, Order order = Order::Names) : m_runs(runs), m_order(order) {}

    // A record as a save gives it: the name shown and, for Order::Keys,
    // the text it files under and its keys as the list query reads them.
    struct Entry {
        QString name;
        QString letterText;
        QStringList keys;
    };

    // One item of the name list: a key, or a key shared by several
    // consecutive records followed by " {n}", with the first of them.
    struct NameItem {
        QString text;
        qint32 firstId = 0;
    };

    // Reads every record from the list query (Names: in the editor's
    // order; Keys: sorted here); the cursor goes to the first row.
    // Database errors reach the caller and leave the index as it was.
    void load(const QString &listSql);
    void clear();

    int count() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    qint32 idAt(int row) const { return m_rows.at(size_t(row)).id; }
    QString nameAt(int row) const;
    // 0 for A ... 25 for Z: the letter the record files under.
    int letterAt(int row) const { return fileLetter(m_rows.at(size_t(row)).initial); }
    // The row of an id; -1 when the index does not hold it.
    int rowOf(qint32 id) const;

    // Adds a record in its place and returns its row. The cursor stays on
    // the record it stood on.
    int insert(qint32 id, const Entry &entry);
    int insert(qint32 id, const QString &name) { return insert(id, Entry{name, {}, {}}); }
    // Gives a record a new name (moving it to its new place); adds it when
    // it is missing. Returns its row.
    int rename(qint32 id, const Entry &entry);
    int rename(qint32 id, const QString &name) { return rename(id, Entry{name, {}, {}}); }
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

    // Whether any record files under the letter (0 for A ... 25 for Z).
    bool hasLetter(int letter) const;
    // The first row whose letter text begins with the letter (its first
    // character upper-cased is that letter); -1 when none does. A record
    // filed under A because its text begins with no letter at all (a
    // digit, a blank) does not count.
    int firstRowBeginningWith(int letter) const;
    // The name list of a letter: the names that file under it in order,
    // one item per run of consecutive names that are equal by the Runs
    // rule.
    QVector<NameItem> nameList(int letter) const;

    // 0 for A ... 25 for Z; anything that does not begin with A to Z
    // (after upper-casing) files under A (LetterOfName's rule).
    static int letterOf(const QString &name);

private:
    // A row's initial: 0 for A ... 25 for Z when the letter text begins
    // with that letter; kNoLetter when it begins with anything else (or
    // is empty), which files under A.
    static constexpr int kNoLetter = 26;
    static int fileLetter(int initial) { return initial == kNoLetter ? 0 : initial; }
    static int initialOf(const QString &text);
    static int initialOfUtf8(QByteArrayView text);

    struct Row {
        qint32 id = 0;
        quint32 at = 0;         // where the name starts in m_names
        quint32 nameLength = 0; // its bytes
        quint32 keyLength = 0;  // the sort key's bytes, right after the name
        quint8 initial = 0;
    };
    // A row for the entry, its bytes added to m_names.
    Row rowFor(qint32 id, const Entry &entry);
    QByteArrayView bytesAt(int row) const;
    QByteArrayView keyAt(int row) const;
    // The row before which a record with this entry and id belongs.
    int placeFor(qint32 id, const Entry &entry, QByteArrayView key) const;
    bool sameRun(const QString &a, const QString &b) const;
    // Drops the bytes of names no row refers to any more, once they are
    // the greater part of m_names.
    void compactNames();

    std::vector<Row> m_rows;
    std::vector<char> m_names;
    qsizetype m_unusedBytes = 0;
    // Rows per initial (the last: those filed under A without a letter).
    int m_initialCount[kNoLetter + 1] = {};
    int m_pos = -1;
    Runs m_runs = Runs::Exact;
    Order m_order = Order::Names;
};
