// The anthem editor's data layer: the in-memory title index and the one
// write of an anthem with its performed date and links.
#include "AnthemIndex.h"
#include "AnthemRecord.h"
#include "Db.h"
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
    QSqlQuery q = Db::query("select anthemid from anthem order by anthemkey, anthemid");
    while (q.next())
        out << q.value(0).toInt();
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

    void aSaveThatCannotBeCompletedWritesNothing()
    {
        Db::exec("insert into collection (Collection) values ('Book')");
        const qint32 coll = qint32(Db::lastInsertId());
        AnthemRecord r;
        r.anthem = "Kept";
        r.collectionId = coll;
        r.lastPerformed = QDate(2020, 12, 24);
        AnthemLinks links;
        links.themes = {2};
        r.id = AnthemData::save(r, links, true);

        // A link that cannot be written: the row and the other links stay.
        Db::exec("create trigger no_orch before insert on a_orch_l begin select raise(abort, 'locked'); end");
        AnthemRecord changed = r;
        changed.anthem = "Changed";
        changed.lastPerformed = QDate(2021, 1, 1);
        AnthemLinks more = links;
        more.themes.clear();
        more.orchestration = {1};
        QVERIFY_THROWS_EXCEPTION(DbError, AnthemData::save(changed, more, false));
        QCOMPARE(AnthemData::load(r.id)->anthem, QString("Kept"));
        QCOMPARE(AnthemData::load(r.id)->lastPerformed, r.lastPerformed);
        QCOMPARE(Db::scalar("select group_concat(themeid) from a_th_l").toString(), QString("2"));

        // The anthem deleted meanwhile, or its collection: refused.
        changed.id = 999;
        QVERIFY_THROWS_EXCEPTION(DbError, AnthemData::save(changed, links, false));
        QCOMPARE(Db::scalar("select count(*) from a_th_l where anthemid = 999").toInt(), 0);
        changed.id = r.id;
        changed.collectionId = coll + 1;
        QVERIFY_THROWS_EXCEPTION(DbError, AnthemData::save(changed, links, false));
        QCOMPARE(AnthemData::load(r.id)->collectionId, coll);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
};

QTEST_MAIN(TestAnthemIndex)
#include "tst_anthemindex.moc"
