// The viewer's list read from the database: every anthem or only the
// marked ones, by title as the database orders titles, with the name of
// the collection each belongs to, for a few marks and for many, and for
// ids far beyond the number of anthems.
#include "AnthemSelection.h"
#include "Db.h"
#include "TestSupport.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

// The list as one plain statement gives it.
QVector<AnthemListRow> expected(bool filteredOnly)
{
    QVector<AnthemListRow> out;
    QSqlQuery q = Db::query(QStringLiteral("select a.anthemid, a.Anthem, c.collectionid, c.Collection from anthem a "
                                           "left join collection c on c.collectionid = a.collectionid %1 "
                                           "order by a.anthemkey, a.anthemid")
                                .arg(filteredOnly ? "where a.displayit <> 0" : ""));
    while (q.next())
        out.append(AnthemListRow{q.value(0).toInt(), q.value(2).toInt(), q.value(1).toString(), q.value(3).toString()});
    return out;
}

QStringList described(const QVector<AnthemListRow> &rows)
{
    QStringList out;
    for (const AnthemListRow &r : rows)
        out << QStringLiteral("%1|%2|%3|%4").arg(r.anthemId).arg(r.anthem).arg(r.collectionId).arg(r.collection);
    return out;
}

} // namespace

class TestAnthemSelection : public QObject {
    Q_OBJECT
private slots:
    void init() { m_folder = std::make_unique<TempProgramFolder>(); QVERIFY(m_folder->ok()); }
    void cleanup() { m_folder.reset(); }

    void listsInTitleOrderWithCollections()
    {
        const QStringList titles{"Abide", "abide", "Éternel", "Etude", "1st Noel", " Blank", "zion", "Zion", "",
                                 "Ärger", "amen", "Amen", "O Come", "o come", "[Bracket", "_under", "Été", "Psalm"};
        Db::Transaction tx;
        for (const char *c : {"Carols", "Easter", "", "Lent"})
            Db::exec("insert into collection (Collection) values (?)", {QString::fromUtf8(c)});
        Db::exec("insert into collection (Collection) values (null)");
        QRandomGenerator rng(9);
        for (int i = 0; i < 400; ++i) {
            // Collections that exist, none (0 or null), and one that is gone.
            const int pick = int(rng.bounded(8));
            const QVariant collection = pick == 6 ? QVariant() : pick == 7 ? QVariant(77) : QVariant(pick);
            Db::exec("insert into anthem (Anthem, collectionid) values (?, ?)",
                     {i % 37 == 0 ? QVariant() : QVariant(titles.at(int(rng.bounded(titles.size())))), collection});
        }
        tx.commit();

        auto check = [&](const char *what) {
            QCOMPARE(described(AnthemSelection::list(false)), described(expected(false)));
            QVERIFY2(described(AnthemSelection::list(true)) == described(expected(true)), what);
        };
        Db::exec("update anthem set displayit = 0");
        check("none marked");
        QVERIFY(AnthemSelection::list(true).isEmpty());
        Db::exec("update anthem set displayit = -1 where anthemid % 97 = 3");
        check("a few marked");
        Db::exec("update anthem set displayit = -1 where anthemid % 3 = 0");
        check("many marked");
        Db::exec("update anthem set displayit = -1");
        check("all marked");

        // Ids far beyond the number of anthems.
        Db::exec("insert into anthem (anthemid, Anthem, collectionid, displayit) values (20000000, 'Far', 1, -1)");
        Db::exec("insert into anthem (anthemid, Anthem, collectionid, displayit) values (-5, 'Negative', 2, -1)");
        Db::exec("update anthem set displayit = 0 where anthemid between 1 and 1000 and anthemid % 50 <> 0");
        check("a few marked, far ids");
        Db::exec("update anthem set displayit = -1");
        check("all marked, far ids");
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
};

QTEST_MAIN(TestAnthemSelection)
#include "tst_anthemselection.moc"
