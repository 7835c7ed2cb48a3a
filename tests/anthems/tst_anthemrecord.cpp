// The anthem editor's data layer: the one write of an anthem with its
// performed date and links.
#include "AnthemRecord.h"
#include "Db.h"
#include "TestSupport.h"

#include <QtTest>

class TestAnthemRecord : public QObject {
    Q_OBJECT
private slots:
    void init() { m_folder = std::make_unique<TempProgramFolder>(); QVERIFY(m_folder->ok()); }
    void cleanup() { m_folder.reset(); }

    void aSaveThatCannotBeCompletedWritesNothing()
    {
        Db::exec("insert into collection (Collection) values ('Book')");
        const qint32 coll = qint32(Db::lastInsertId());
        AnthemRecord r;
        r.anthem = "Kept";
        r.collectionId = coll;
        r.lastPerformed = QDate(2020, 12, 24);
        const QList<LinkChoice> links{{CheckGridKind::Themes, {2}, {}}};
        r.id = AnthemData::save(r, links, true);

        // A link that cannot be written: the row and the other links stay.
        Db::exec("create trigger no_orch before insert on a_orch_l begin select raise(abort, 'locked'); end");
        AnthemRecord changed = r;
        changed.anthem = "Changed";
        changed.lastPerformed = QDate(2021, 1, 1);
        const QList<LinkChoice> more{{CheckGridKind::Themes, {}, {}}, {CheckGridKind::Orchestration, {1}, {}}};
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

QTEST_MAIN(TestAnthemRecord)
#include "tst_anthemrecord.moc"
