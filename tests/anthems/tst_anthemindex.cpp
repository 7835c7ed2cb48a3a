// The anthem editor's data layer: the in-memory title index and the one
// write of an anthem with its performed date and links.
#include "AnthemIndex.h"
#include "AnthemRecord.h"
#include "Db.h"
#include "RecordNav.h"
#include "TestSupport.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

qint32 addAnthem(const QString &title)
{
    Db::exec("insert into anthem (Anthem) values (?)", {title});
    return qint32(Db::lastInsertId());
}

QList<qint32> order(const AnthemIndex &index)
{
    QList<qint32> out;
    for (int r = 0; r < index.count(); ++r)
        out << index.idAt(r);
    return out;
}

QList<qint32> databaseOrder()
{
    QList<qint32> out;
    QSqlQuery q = Db::query("select anthemid from anthem order by Anthem, anthemid");
    while (q.next())
        out << q.value(0).toInt();
    return out;
}

QStringList texts(const QVector<AnthemIndex::NameItem> &items)
{
    QStringList out;
    for (const auto &i : items)
        out << i.text;
    return out;
}

} // namespace

class TestAnthemIndex : public QObject {
    Q_OBJECT
private slots:
    void init() { m_folder = std::make_unique<TempProgramFolder>(); QVERIFY(m_folder->ok()); }
    void cleanup() { m_folder.reset(); }

    void staysInTheDatabaseOrderThroughChanges()
    {
        const QStringList titles{"Abide", "abide", "Éternel", "Etude", "1st Noel", " Blank", "zion", "Zion",
                                 "Ärger", "amen", "Amen", "O Come", "o come", "[Bracket", "_under", "Été"};
        for (const QString &t : titles)
            addAnthem(t);
        AnthemIndex index;
        index.load();
        QCOMPARE(order(index), databaseOrder());

        // Random saves and deletes applied to both, the index in place.
        QRandomGenerator rng(7);
        for (int step = 0; step < 200; ++step) {
            const QString t = titles.at(int(rng.bounded(titles.size()))) + (rng.bounded(2) ? "" : " x");
            const int what = int(rng.bounded(3));
            if (what == 0 || index.isEmpty()) {
                index.insert(addAnthem(t), t);
            } else {
                const qint32 id = index.idAt(int(rng.bounded(index.count())));
                if (what == 1) {
                    Db::exec("update anthem set Anthem = ? where anthemid = ?", {t, id});
                    index.rename(id, t);
                } else {
                    Db::exec("delete from anthem where anthemid = ?", {id});
                    QVERIFY(index.remove(id));
                }
            }
            QCOMPARE(order(index), databaseOrder());
        }
        QVERIFY(!index.remove(999999));
    }

    void nameListsAndLetters()
    {
        const qint32 a1 = addAnthem("Amazing Grace");
        addAnthem("Amazing Grace");
        addAnthem("Amazing grace"); // differs in case: its own item
        const qint32 digit = addAnthem("1st Noel");
        addAnthem(" Blank start");
        addAnthem("Be Still");
        AnthemIndex index;
        index.load();

        QCOMPARE(texts(index.nameList(0)),
                 QStringList({" Blank start", "1st Noel", "Amazing Grace {2}", "Amazing grace"}));
        QCOMPARE(index.nameList(0).at(2).firstId, a1);
        QCOMPARE(texts(index.nameList(1)), QStringList({"Be Still"}));
        QVERIFY(index.nameList(2).isEmpty());
        QVERIFY(index.hasLetter(0) && index.hasLetter(1) && !index.hasLetter(2));
        QCOMPARE(index.idAt(index.firstRowOfLetter(0)), qint32(index.idAt(0)));
        QCOMPARE(index.letterOf("1st Noel"), 0);
        QCOMPARE(index.letterOf("zebra"), 25);
        QCOMPARE(index.letterOf(""), 0);
        QCOMPARE(index.letterOf("Ölberg"), 0);

        // Only titles without a letter: A still has a list and a button.
        Db::exec("delete from anthem where Anthem like 'A%' or Anthem like 'B%'");
        index.load();
        QVERIFY(index.hasLetter(0));
        QCOMPARE(texts(index.nameList(0)), QStringList({" Blank start", "1st Noel"}));
        QCOMPARE(index.idAt(index.firstRowOfLetter(0)), index.idAt(0));
        QVERIFY(index.rowOf(digit) >= 0);
    }

    void cursorWrapsAtBothEnds()
    {
        const qint32 a = addAnthem("A");
        const qint32 b = addAnthem("B");
        const qint32 c = addAnthem("C");
        AnthemIndex index;
        index.load();
        index.moveLast();
        MoveRecordWrap(1, index);
        QCOMPARE(index.currentId(), a);
        MoveRecordWrap(2, index);
        QCOMPARE(index.currentId(), c);
        MoveRecordWrap(2, index);
        QCOMPARE(index.currentId(), b);
        // A new title before the cursor keeps the cursor on its record.
        index.insert(addAnthem("0 first"), "0 first");
        QCOMPARE(index.currentId(), b);

        AnthemIndex empty;
        MoveRecordWrap(1, empty);
        QVERIFY(empty.bof() && empty.eof());
        QCOMPARE(empty.currentId(), 0);
    }

    void saveWritesEverythingInOneTransaction()
    {
        Db::exec("insert into collection (Collection) values ('Book')");
        const qint32 coll = qint32(Db::lastInsertId());
        for (int i = 1; i <= 3; ++i) {
            Db::exec("insert into themes (theme) values (?)", {QStringLiteral("T%1").arg(i)});
            Db::exec("insert into choir (choir) values (?)", {QStringLiteral("C%1").arg(i)});
        }
        AnthemRecord r;
        r.anthem = QString(120, 'x');
        r.catalog = "CAT-0001-ABCDEFGHIJKLMNOP";
        r.memo2 = "Verse 1\nVerse 2";
        r.u[4] = "fifth";
        r.datePurchased = QDate(2001, 3, 5);
        r.costPerCopy = 12.5;
        r.collectionId = coll;
        r.lastPerformed = QDate(2020, 12, 24);
        AnthemLinks links;
        links.themes = {1, 3};
        links.choirs = {2};
        const qint32 id = AnthemData::save(r, links, true);

        std::optional<AnthemRecord> back = AnthemData::load(id);
        QVERIFY(back);
        QCOMPARE(back->anthem.size(), AnthemRecord::AnthemWidth);
        QCOMPARE(back->catalog, QString("CAT-0001-ABCDEFGHIJK"));
        QCOMPARE(back->memo2, r.memo2);
        QCOMPARE(back->u[4], QString("fifth"));
        QCOMPARE(back->datePurchased, r.datePurchased);
        QCOMPARE(back->costPerCopy, std::optional<double>(12.5));
        QVERIFY(!back->numCopies); // Null, not the table's default
        QCOMPARE(back->collectionId, coll);
        QCOMPARE(back->lastPerformed, r.lastPerformed);
        QCOMPARE(Db::scalar("select DatePurchased from anthem where anthemid = ?", {id}).toString(), QString("2001-03-05"));

        // Saving again: the same date is not added twice; links rewritten whole.
        r.id = id;
        links.themes = {2};
        links.choirs.clear();
        AnthemData::save(r, links, false);
        QCOMPARE(Db::scalar("select count(*) from a_lperform where anthemid = ?", {id}).toInt(), 1);
        QCOMPARE(Db::scalar("select group_concat(themeid) from a_th_l where anthemid = ?", {id}).toString(), QString("2"));
        QCOMPARE(Db::scalar("select count(*) from a_chr_l where anthemid = ?", {id}).toInt(), 0);
        QVERIFY(Db::scalar("select ChoirID from a_lperform where anthemid = ?", {id}).toInt() == 0);

        // A failing link write leaves the row and the other links as they were.
        Db::exec("create trigger no_orch before insert on a_orch_l begin select raise(abort, 'locked'); end");
        AnthemRecord changed = r;
        changed.anthem = "Changed";
        links.orchestration = {1};
        QVERIFY_THROWS_EXCEPTION(DbError, AnthemData::save(changed, links, false));
        QCOMPARE(AnthemData::load(id)->anthem.size(), AnthemRecord::AnthemWidth);
        QCOMPARE(Db::scalar("select group_concat(themeid) from a_th_l where anthemid = ?", {id}).toString(), QString("2"));

        // An anthem deleted meanwhile, or a collection gone: refused, nothing written.
        links.orchestration.clear();
        changed.id = 999;
        QVERIFY_THROWS_EXCEPTION(DbError, AnthemData::save(changed, links, false));
        QCOMPARE(Db::scalar("select count(*) from a_th_l where anthemid = 999").toInt(), 0);
        changed.id = id;
        changed.collectionId = coll + 100;
        QVERIFY_THROWS_EXCEPTION(DbError, AnthemData::save(changed, links, false));
        QCOMPARE(AnthemData::load(id)->collectionId, coll);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
};

QTEST_MAIN(TestAnthemIndex)
#include "tst_anthemindex.moc"
