// The member-section check grid: the "Section" header, refills in name
// order, the marks of one member sorted first for any owner code but 0,
// a re-mark that keeps the rows without reading the sections again, an
// empty table and a section without a name.
#include "CheckListGrid.h"
#include "MemberTestUtil.h"

using namespace membertest;

namespace {

QStringList names(const CheckListGrid &g)
{
    QStringList out;
    for (int r = 1; r < g.Rows(); ++r)
        out << g.nameAt(r);
    return out;
}

QString checks(const CheckListGrid &g)
{
    QString out;
    for (int r = 1; r < g.Rows(); ++r)
        out += QString::number(g.checkState(r, 1));
    return out;
}

QString keys(const CheckListGrid &g)
{
    QString out;
    for (int r = 1; r < g.Rows(); ++r)
        out += g.sortKeyAt(r);
    return out;
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
            QCOMPARE(int(g.horizontalHeaderItem(1)->textAlignment()), int(Qt::AlignCenter));
            QVERIFY(g.isColumnHidden(0) && g.isColumnHidden(2));
            QVERIFY(g.updatesEnabled());
        }
    }

    void aMembersSectionsComeFirstForAnyOwnerCode()
    {
        const qint32 tenor = insert("insert into vocalsm (vocals) values ('Tenor')");
        const qint32 alto = insert("insert into vocalsm (vocals) values ('alto')");
        const qint32 bass = insert("insert into vocalsm (vocals) values ('Bass')");
        const qint32 soprano = insert("insert into vocalsm (vocals) values ('Soprano')");
        link(7, tenor);
        link(7, bass);
        link(7, 9999); // a section no longer listed marks nothing
        link(8, soprano);

        CheckListGrid g;
        // Owner 0: name order, nothing ticked, nothing sorted.
        FillSectionCheckGrid(&g, 0, 7);
        QCOMPARE(names(g), (QStringList{"alto", "Bass", "Soprano", "Tenor"}));
        QCOMPARE(checks(g), QStringLiteral("2222"));
        QCOMPARE(keys(g), QStringLiteral("1111"));
        QCOMPARE(g.Row(), 0);

        // The editor shows member 7 with the code -2: only the sign counts.
        FillSectionCheckGrid(&g, -2, 7);
        QCOMPARE(names(g), (QStringList{"Bass", "Tenor", "alto", "Soprano"}));
        QCOMPARE(checks(g), QStringLiteral("1122"));
        QCOMPARE(keys(g), QStringLiteral("0011"));
        QCOMPARE(g.checkedIdSet(), (QSet<qint32>{tenor, bass}));
        QCOMPARE(g.idAt(1), bass);

        // Member 8 next: member 7's ticks go first.
        FillSectionCheckGrid(&g, -3, 8);
        QCOMPARE(names(g), (QStringList{"Soprano", "alto", "Bass", "Tenor"}));
        QCOMPARE(checks(g), QStringLiteral("1222"));

        // Codes the other grids do not know mark sections all the same.
        for (int owner : {1, -1, 2, 3, 5, -9}) {
            FillSectionCheckGrid(&g, owner, 7);
            QVERIFY2(checks(g) == QStringLiteral("1122"), qPrintable(QString::number(owner)));
            QCOMPARE(g.checkedIdSet(), (QSet<qint32>{tenor, bass}));
        }

        // No links: nothing ticked, sorted by name.
        FillSectionCheckGrid(&g, -2, 42);
        QCOMPARE(names(g), (QStringList{"alto", "Bass", "Soprano", "Tenor"}));
        QCOMPARE(checks(g), QStringLiteral("2222"));
        QCOMPARE(keys(g), QStringLiteral("1111"));
        QVERIFY(g.updatesEnabled());
        Q_UNUSED(alto);
    }

    void aReMarkKeepsTheRowsItHas()
    {
        insert("insert into vocalsm (vocals) values ('Alto')");
        const qint32 tenor = insert("insert into vocalsm (vocals) values ('Tenor')");
        link(3, tenor);
        CheckListGrid g;
        FillSectionCheckGrid(&g, 0, 0);
        // A section added since: a negative code does not read the table again.
        insert("insert into vocalsm (vocals) values ('Bass')");
        FillSectionCheckGrid(&g, -2, 3);
        QCOMPARE(names(g), (QStringList{"Tenor", "Alto"}));
        // A positive code refills and marks.
        FillSectionCheckGrid(&g, 2, 3);
        QCOMPARE(names(g), (QStringList{"Tenor", "Alto", "Bass"}));
        QCOMPARE(checks(g), QStringLiteral("122"));
        // The editor's clear: everything unticked, back in name order.
        ResetCheckGrid(&g, 2);
        QCOMPARE(names(g), (QStringList{"Alto", "Bass", "Tenor"}));
        QCOMPARE(checks(g), QStringLiteral("222"));
    }

    void aSectionWithoutANameShowsAnEmptyCell()
    {
        const qint32 unnamed = insert("insert into vocalsm (vocals) values (null)");
        insert("insert into vocalsm (vocals) values ('Alto')");
        link(5, unnamed);
        CheckListGrid g;
        FillSectionCheckGrid(&g, 3, 5);
        QCOMPARE(names(g), (QStringList{"", "Alto"}));
        QCOMPARE(checks(g), QStringLiteral("12"));
        QCOMPARE(g.idAt(1), unnamed);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
};

QTEST_MAIN(TestMemberSectionGrid)
#include "tst_membersectiongrid.moc"
