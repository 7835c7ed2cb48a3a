#pragma once
// The anthem editor's records in title order, kept in memory: the id, the
// title and the title's letter of every anthem, with a current-row cursor
// and the begin and end markers a record set has. The whole table is read
// once; saves and deletes then update the index in place, so a large
// library is never re-read after each change. The order is the database's
// "order by anthemkey, anthemid" (titles compared as Db::compareNames
// compares them).

#include <QList>
#include <QString>
#include <QVector>
#include <QtGlobal>

class AnthemIndex {
public:
    // One item of the name list: a title, or a title shared by several
    // consecutive anthems followed by " {n}", with the first of them.
    struct NameItem {
        QString text;
        qint32 firstId = 0;
    };

    // Reads every anthem's id and title; the cursor goes to the first row.
    // Database errors reach the caller and leave the index as it was.
    void load();
    void clear();

    int count() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    qint32 idAt(int row) const { return m_rows.at(row).id; }
    const QString &titleAt(int row) const { return m_rows.at(row).title; }
    // 0 for A ... 25 for Z: the letter the title files under.
    int letterAt(int row) const { return m_rows.at(row).letter; }
    // The row of an id; -1 when the index does not hold it.
    int rowOf(qint32 id) const;

    // Adds an anthem in its place and returns its row. The cursor stays on
    // the record it stood on.
    int insert(qint32 id, const QString &title);
    // Gives an anthem a new title (moving it to its new place); adds it
    // when it is missing. Returns its row.
    int rename(qint32 id, const QString &title);
    // False when the id is not there. The cursor goes to the first row.
    bool remove(qint32 id);

    // The cursor, as a record set has it.
    bool bof() const { return m_pos < 0 || m_rows.isEmpty(); }
    bool eof() const { return m_pos >= m_rows.size() || m_rows.isEmpty(); }
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
    QString currentTitle() const;

    // Whether any title files under the letter (0 for A ... 25 for Z).
    bool hasLetter(int letter) const;
    // The first row whose title files under the letter; -1 when none.
    int firstRowOfLetter(int letter) const;
    // The name list of a letter: the titles that file under it in title
    // order, one item per run of consecutive, exactly equal titles.
    QVector<NameItem> nameList(int letter) const;

    // 0 for A ... 25 for Z; anything that does not begin with A to Z
    // (after upper-casing) files under A.
    static int letterOf(const QString &title);

private:
    struct Row {
        qint32 id = 0;
        quint8 letter = 0;
        QString title;
    };
    // The row before which an anthem with this title and id belongs.
    int placeFor(qint32 id, const QString &title) const;
    void countLetter(int letter, int delta);

    QVector<Row> m_rows;
    int m_letterCount[26] = {};
    int m_pos = -1;
};
