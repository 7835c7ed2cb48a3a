// The viewers' set-based filter, on each kind of record: link limits (OR
// within one, AND across), the member choirs' active and inactive links,
// the "My Data" prefix limits, a viewer's own conditions, what is written
// and that a failure writes nothing.
#include "Db.h"
#include "DisplayMarker.h"
#include "TestSupport.h"

#include <QSqlQuery>
#include <QtTest>

namespace {

qint32 insert(const QString &sql, const Params &p = {})
{
    Db::exec(sql, p);
    return qint32(Db::lastInsertId());
}

// The names whose mark is -1, in id order.
QStringList marked(const QString &table, const QString &nameColumn)
{
    QStringList out;
    QSqlQuery q = Db::query(QStringLiteral("select %1, displayit from %2 order by rowid").arg(nameColumn, table));
    while (q.next()) {
        const int mark = q.value(1).toInt();
        if (mark != -1 && mark != 0)
            out << QStringLiteral("bad mark %1").arg(mark);
        if (mark == -1)
            out << q.value(0).toString();
    }
    return out;
}

QStringList collections() { return marked("collection", "Collection"); }
QStringList members() { return marked("member", "LName"); }

} // namespace

class TestDisplayMarker : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
    }
    void cleanup() { m_folder.reset(); }

    void linkLimitsCombine()
    {
        const qint32 advent = insert("insert into themes (theme) values ('Advent')");
        const qint32 lent = insert("insert into themes (theme) values ('Lent')");
        const qint32 bach = insert("insert into composer (composer) values ('Bach')");
        const qint32 a = insert("insert into collection (Collection) values ('A')");
        const qint32 b = insert("insert into collection (Collection) values ('B')");
        insert("insert into collection (Collection) values ('C')");
        Db::exec("insert into col_th_l (collectionid, themeid) values (?, ?), (?, ?)", {a, advent, b, lent});
        Db::exec("insert into col_com_l (collectionid, composerid) values (?, ?)", {b, bach});

        DisplayMarker none(RecordKind::Collection);
        none.mark();
        QCOMPARE(collections(), QStringList({"A", "B", "C"}));

        DisplayMarker either(RecordKind::Collection);
        either.addLinkLimit(CheckGridKind::Themes, {advent, lent, 0, -3});
        either.mark();
        QCOMPARE(collections(), QStringList({"A", "B"}));

        DisplayMarker both(RecordKind::Collection);
        both.addLinkLimit(CheckGridKind::Themes, {advent, lent});
        both.addLinkLimit(CheckGridKind::Composers, {bach});
        both.mark();
        QCOMPARE(collections(), QStringList({"B"}));

        // Nothing ticked in a ticked limit: no record passes, whatever
        // follows it.
        DisplayMarker nothing(RecordKind::Collection);
        nothing.addLinkLimit(CheckGridKind::Themes, {});
        nothing.addCondition("1 = 1");
        nothing.addMyDataLimit(1, "");
        nothing.mark();
        QCOMPARE(collections(), QStringList());

        // Far beyond any limit on bound parameters.
        QList<qint32> many;
        for (qint32 id = 100000; id < 140000; ++id)
            many << id;
        many << bach;
        DisplayMarker large(RecordKind::Collection);
        large.addLinkLimit(CheckGridKind::Composers, many);
        large.mark();
        QCOMPARE(collections(), QStringList({"B"}));
    }

    void memberChoirsActiveOrNot()
    {
        const qint32 senior = insert("insert into choir (choir) values ('Senior')");
        const qint32 youth = insert("insert into choir (choir) values ('Youth')");
        const qint32 ann = insert("insert into member (LName) values ('Ann')");
        const qint32 bob = insert("insert into member (LName) values ('Bob')");
        const qint32 cy = insert("insert into member (LName) values ('Cy')");
        Db::exec("insert into chr_m_l (memberid, choirid, isactive) values (?, ?, -1), (?, ?, 0), (?, ?, -1)",
                 {ann, senior, bob, senior, cy, youth});

        DisplayMarker active(RecordKind::Member);
        active.addActiveLinkLimit(CheckGridKind::Choirs, {senior}, {});
        active.mark();
        QCOMPARE(members(), QStringList({"Ann"}));

        DisplayMarker inactive(RecordKind::Member);
        inactive.addActiveLinkLimit(CheckGridKind::Choirs, {}, {senior});
        inactive.mark();
        QCOMPARE(members(), QStringList({"Bob"}));

        DisplayMarker mixed(RecordKind::Member);
        mixed.addActiveLinkLimit(CheckGridKind::Choirs, {youth}, {senior});
        mixed.mark();
        QCOMPARE(members(), QStringList({"Bob", "Cy"}));

        DisplayMarker nothing(RecordKind::Member);
        nothing.addActiveLinkLimit(CheckGridKind::Choirs, {}, {});
        nothing.mark();
        QCOMPARE(members(), QStringList());

        // A birthday month as a member viewer adds it.
        Db::exec("update member set Birthday = '1990-12-24' where memberid = ?", {cy});
        DisplayMarker december(RecordKind::Member);
        december.addCondition("cast(strftime('%m', Birthday) as integer) = ?", {12});
        december.mark();
        QCOMPARE(members(), QStringList({"Cy"}));
    }

    void myDataPrefixes()
    {
        for (const char *u : {"Abbey", "ABC", " ab lead", "xyz"})
            insert("insert into collection (Collection, u2) values (?, ?)", {QString::fromUtf8(u), QString::fromUtf8(u)});
        insert("insert into collection (Collection, u2) values ('élan', ?)", {QString::fromUtf8("élan")});
        insert("insert into collection (Collection) values ('none')");

        DisplayMarker ab(RecordKind::Collection);
        ab.addMyDataLimit(2, "  aB ");
        ab.mark();
        QCOMPARE(collections(), QStringList({"Abbey", "ABC"}));

        DisplayMarker accented(RecordKind::Collection);
        accented.addMyDataLimit(2, QString::fromUtf8("ÉL"));
        accented.mark();
        QCOMPARE(collections(), QStringList({QString::fromUtf8("élan")}));

        // A letter whose capital is longer ("ß" is "SS") counts once: the
        // field's first five characters are compared with "Straß".
        insert("insert into collection (Collection, u2) values ('street', ?)", {QString::fromUtf8("Straße 5")});
        DisplayMarker sharp(RecordKind::Collection);
        sharp.addMyDataLimit(2, QString::fromUtf8(" Straß"));
        sharp.mark();
        QCOMPARE(collections(), QStringList({"street"}));
        Db::exec("delete from collection where Collection = 'street'");

        DisplayMarker quote(RecordKind::Collection);
        quote.addMyDataLimit(2, "O'B");
        quote.mark();
        QCOMPARE(collections(), QStringList());

        DisplayMarker empty(RecordKind::Collection);
        empty.addMyDataLimit(2, "   ");
        empty.addMyDataLimit(9, "ab"); // no such field: left out
        empty.mark();
        QCOMPARE(collections().size(), 6);
    }

    void aFailureWritesNothing()
    {
        insert("insert into anthem (Anthem, displayit) values ('kept', 0)");
        insert("insert into anthem (Anthem, displayit) values ('gone', -1)");
        Db::exec("create trigger stuck before update on anthem begin select raise(abort, 'locked'); end");
        DisplayMarker m(RecordKind::Anthem);
        m.addCondition("Anthem = 'kept'");
        QVERIFY_THROWS_EXCEPTION(DbError, m.mark());
        QCOMPARE(marked("anthem", "Anthem"), QStringList({"gone"}));
        Db::exec("drop trigger stuck");
        m.mark();
        QCOMPARE(marked("anthem", "Anthem"), QStringList({"kept"}));
        QCOMPARE(DisplayMarker::idArray({3, 0, -1, 12}), QString("[3,12]"));
        QVERIFY(DisplayMarker::idArray({0}).isEmpty());
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
};

QTEST_MAIN(TestDisplayMarker)
#include "tst_displaymarker.moc"
