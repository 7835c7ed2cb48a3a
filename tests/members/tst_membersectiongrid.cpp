// The member-section check grid as the member windows use it: any owner
// code but 0 marks the member's sections and sorts them first (the editor
// passes -2), a re-mark keeps the rows without reading the sections
// again, and an empty table shows the "Section" header alone.
#include "CheckListGrid.h"
#include "MemberTestUtil.h"

using namespace membertest;

namespace {

QString state(const CheckListGrid &g)
{
    QStringList out;
    for (int r = 1; r < g.Rows(); ++r)
        out << g.nameAt(r) + ':' + QString::number(g.checkState(r, 1)) + g.sortKeyAt(r);
    return out.join(' ');
}

void link(qint32 member, qint32 section)
{
    Db::exec("insert into m_vm_l (memberid, vocalsmid) values (?, ?)", {member, section});
}

} // namespace

class TestMemberSectionGrid : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
    }
    void cleanup() { m_folder.reset(); }

    void anEmptyTableShowsTheHeaderOnly()
    {
        link(1, 1);
        CheckListGrid g;
        for (int owner : {0, 3, -2}) {
            FillSectionCheckGrid(&g, owner, 1);
            QCOMPARE(g.Rows(), 1);
            QCOMPARE(g.header(1), QStringLiteral("Section"));
            QVERIFY(g.horizontalHeaderItem(1)->font().bold());
            QVERIFY(g.updatesEnabled());
        }
    }

    void aMembersSectionsComeFirstForAnyOwnerCode()
    {
        const qint32 tenor = insert("insert into vocalsm (vocals) values ('Tenor')");
        insert("insert into vocalsm (vocals) values ('alto')");
        const qint32 bass = insert("insert into vocalsm (vocals) values ('Bass')");
        const qint32 soprano = insert("insert into vocalsm (vocals) values ('Soprano')");
        link(7, tenor);
        link(7, bass);
        link(7, 9999); // a section no longer listed marks nothing
        link(8, soprano);

        CheckListGrid g;
        FillSectionCheckGrid(&g, 0, 7); // refill only: name order, nothing marked
        QCOMPARE(state(g), QStringLiteral("alto:21 Bass:21 Soprano:21 Tenor:21"));
        FillSectionCheckGrid(&g, -2, 7);
        QCOMPARE(state(g), QStringLiteral("Bass:10 Tenor:10 alto:21 Soprano:21"));
        // The next member first loses the previous one's ticks.
        FillSectionCheckGrid(&g, -3, 8);
        QCOMPARE(state(g), QStringLiteral("Soprano:10 alto:21 Bass:21 Tenor:21"));
        // Only the sign of the code counts.
        for (int owner : {1, -1, 2, 5, -9}) {
            FillSectionCheckGrid(&g, owner, 7);
            QVERIFY2(state(g) == QStringLiteral("Bass:10 Tenor:10 alto:21 Soprano:21"), qPrintable(QString::number(owner)));
        }
        // No links: nothing ticked, by name.
        FillSectionCheckGrid(&g, -2, 42);
        QCOMPARE(state(g), QStringLiteral("alto:21 Bass:21 Soprano:21 Tenor:21"));
        QCOMPARE(g.Row(), 0);
    }

    void aReMarkKeepsTheRowsItHas()
    {
        insert("insert into vocalsm (vocals) values ('Alto')");
        const qint32 tenor = insert("insert into vocalsm (vocals) values ('Tenor')");
        link(3, tenor);
        CheckListGrid g;
        FillSectionCheckGrid(&g, 0, 0);
        insert("insert into vocalsm (vocals) values ('Bass')");
        FillSectionCheckGrid(&g, -2, 3);
        QCOMPARE(state(g), QStringLiteral("Tenor:10 Alto:21"));
        FillSectionCheckGrid(&g, 2, 3); // a positive code refills and marks
        QCOMPARE(state(g), QStringLiteral("Tenor:10 Alto:21 Bass:21"));
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
};

QTEST_MAIN(TestMemberSectionGrid)
#include "tst_membersectiongrid.moc"
