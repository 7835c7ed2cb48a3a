// What a record report reads: the viewer's ids in list order, read afresh
// by id in slices, deleted records left out, linked names by position.
#include "Db.h"
#include "Module.h"
#include "ReportSource.h"
#include "TestSupport.h"

#include <QSqlQuery>
#include <QtTest>

namespace {

using testdb::insert;

int stored()
{
    return Db::scalar("select count(*) from temp.report_ids").toInt();
}

} // namespace

class TestReportSource : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
    }
    void cleanup() { m_folder.reset(); }

    void listOrderSlicesAndDeletedRecords()
    {
        QList<qint32> ids;
        for (const char *n : {"Zeta", "Alpha", "Mu", "Beta", "Kappa"})
            ids << insert("insert into member (LName) values (?)", {QString::fromLatin1(n)});
        std::reverse(ids.begin(), ids.end()); // the viewer's order, not the table's
        ReportRecordSet set;
        set.open = true;
        set.ids = ids;
        Db::exec("delete from member where LName = 'Mu'"); // after the list was made

        QStringList read;
        QList<QPair<int, int>> slices;
        {
            ReportSource source(set);
            QCOMPARE(source.size(), 5);
            source.forEachSlice(2, [&](int from, int to) {
                slices.append({from, to});
                QSqlQuery q = Db::query("select r.pos, m.LName from temp.report_ids r "
                                        "join member m on m.memberid = r.id "
                                        "where r.pos >= ? and r.pos < ? order by r.pos",
                                        {from, to});
                while (q.next())
                    read << q.value(1).toString();
            });
            QCOMPARE(stored(), 5);
        }
        QCOMPARE(slices, (QList<QPair<int, int>>{{0, 2}, {2, 4}, {4, 5}}));
        QCOMPARE(read, QStringList({"Kappa", "Beta", "Alpha", "Zeta"}));
        QCOMPARE(stored(), 0); // emptied when the source goes

        // A viewer that never listed anything: nothing to read.
        set.release();
        ReportSource none(set);
        QCOMPARE(none.size(), 0);
        int visits = 0;
        none.forEachSlice(100, [&](int, int) { ++visits; });
        QCOMPARE(visits, 0);
    }

    void linkedNamesByPosition()
    {
        const qint32 alto = insert("insert into vocalsm (vocals) values ('Alto')");
        const qint32 bass = insert("insert into vocalsm (vocals) values ('bass')");
        const qint32 organ = insert("insert into orchestration (orchestration) values ('Organ')");
        const qint32 ann = insert("insert into member (LName) values ('Ann')");
        const qint32 bob = insert("insert into member (LName) values ('Bob')");
        const qint32 cy = insert("insert into member (LName) values ('Cy')");
        Db::exec("insert into m_vm_l (memberid, vocalsmid) values (?, ?), (?, ?), (?, ?)",
                 {bob, bass, bob, alto, ann, bass});
        Db::exec("insert into m_orch_l (memberid, orchid) values (?, ?)", {cy, organ});

        ReportSource source(QList<qint32>{bob, cy, ann});
        const QHash<int, QStringList> sections = source.linkedNames(RecordKind::Member, CheckGridKind::Sections, 0, 3);
        QCOMPARE(sections.value(0), QStringList({"Alto", "bass"}));
        QVERIFY(!sections.contains(1));
        QCOMPARE(sections.value(2), QStringList({"bass"}));
        // Only the slice asked for.
        QCOMPARE(source.linkedNames(RecordKind::Member, CheckGridKind::Sections, 1, 3).keys(), QList<int>({2}));
        QCOMPARE(source.linkedNames(RecordKind::Member, CheckGridKind::Orchestration, 0, 3).value(1),
                 QStringList({"Organ"}));
        // A kind the owner has no links of.
        QVERIFY(source.linkedNames(RecordKind::Member, CheckGridKind::Themes, 0, 3).isEmpty());

        // The same by the rows a build read: a row per position given, in
        // that order, those without links empty.
        QCOMPARE(source.linkedNamesOfRows(RecordKind::Member, CheckGridKind::Sections, 0, 3, {2, 0, 1}),
                 (QVector<QStringList>{{"bass"}, {"Alto", "bass"}, {}}));
        QVERIFY(source.linkedNamesOfRows(RecordKind::Member, CheckGridKind::Sections, 0, 3, {}).isEmpty());
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
};

QTEST_MAIN(TestReportSource)
#include "tst_reportsource.moc"
