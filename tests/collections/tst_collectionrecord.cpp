// The collection record: load, save in the stored widths, performed
// dates, links rewritten whole, the loaned-to text carried to the
// collection's anthems, the name list's order and the cost and copies
// boxes read as the editor shows them. Checked with SQL on a temp database.
#include "CollectionRecord.h"
#include "CollectionTestUtil.h"
#include "Fmt.h"

using namespace coltest;

namespace {

// The five kinds of link of a collection, as the editor's grids tick them.
struct Links {
    QList<qint32> themes, vocals, orchestration, choirs, composers;

    operator QList<LinkChoice>() const
    {
        return {{CheckGridKind::Themes, themes, {}},
                {CheckGridKind::Vocals, vocals, {}},
                {CheckGridKind::Orchestration, orchestration, {}},
                {CheckGridKind::Choirs, choirs, {}},
                {CheckGridKind::Composers, composers, {}}};
    }
};

Links linksOf(qint32 id)
{
    Links l;
    l.themes = linked("col_th_l", "themeid", id);
    l.vocals = linked("col_v_l", "vocalsid", id);
    l.orchestration = linked("col_orch_l", "orchid", id);
    l.choirs = linked("col_chr_l", "choirid", id);
    l.composers = linked("col_com_l", "composerid", id);
    return l;
}

QString loanedTo(qint32 anthem)
{
    return Db::scalar("select LoanedTo from anthem where anthemid = ?", {anthem}).toString();
}

} // namespace

class TestCollectionRecord : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_lib.create();
    }
    void cleanup() { m_folder.reset(); }

    void loadReadsTheRowTheLatestDateAndTheAnthems()
    {
        const auto r = CollectionData::load(m_lib.carols);
        QVERIFY(r);
        QCOMPARE(r->id, m_lib.carols);
        QCOMPARE(r->collection, QStringLiteral("Carols Book"));
        QCOMPARE(r->catalog, QStringLiteral("C-1"));
        QCOMPARE(r->location, QStringLiteral("Shelf 2"));
        QCOMPARE(r->loanedTo, QStringLiteral("O'Brien"));
        QCOMPARE(r->u[0], QStringLiteral("Abbey"));
        QCOMPARE(r->u[1], QString()); // Null reads as ""
        QCOMPARE(r->datePurchased, QDate(1999, 6, 20));
        QCOMPARE(r->costPerCopy.value(), 12.5);
        QCOMPARE(r->numCopies.value(), 30);
        QCOMPARE(r->lastPerformed, QDate(2001, 12, 24));
        // Its anthems in title order, case-blind; nobody else's.
        QStringList titles;
        for (const CollectionAnthem &a : r->anthems)
            titles << a.title;
        QCOMPARE(titles, (QStringList{"amazing grace", "Joy to the World", "O Holy Night"}));
        QCOMPARE(r->anthems.first().id, m_lib.amazing);

        const auto bare = CollectionData::load(m_lib.hymnal);
        QVERIFY(bare);
        QCOMPARE(bare->costPerCopy.value_or(-1), 0.0); // the table's defaults ...
        QCOMPARE(bare->numCopies.value_or(-1), 0);
        Db::exec("update collection set CostPerCopy = null, NumCopies = null where collectionid = ?", {m_lib.hymnal});
        QVERIFY(!CollectionData::load(m_lib.hymnal)->costPerCopy); // ... Null stays none
        QVERIFY(!bare->lastPerformed.isValid());
        QVERIFY(bare->anthems.isEmpty());

        QVERIFY(!CollectionData::load(9999));
        // Anthems outside every collection carry 0: id 0 lists none of them.
        QVERIFY(CollectionData::anthems(0).isEmpty());
        QCOMPARE(CollectionData::anthems(m_lib.easterBook).size(), 1);
    }

    void theNameListIsInEditorOrder()
    {
        insert("insert into collection (Collection) values ('easter book')");
        QStringList names;
        QList<qint32> ids;
        for (const CollectionEntry &e : CollectionData::list()) {
            names << e.name;
            ids << e.id;
        }
        // By name without regard to case, ties by id.
        QCOMPARE(names, (QStringList{"Carols Book", "Easter Book", "easter book", "hymnal"}));
        QVERIFY(ids.at(1) < ids.at(2));
    }

    void aNewCollectionIsStoredInTheColumnWidths()
    {
        CollectionRecord r;
        // Cut by characters as the database counts them: neither bytes nor
        // UTF-16 units, and a character is never cut in half.
        r.collection = QString(120, QChar(0x00e9));
        r.catalog = QString::fromUtf8("\xF0\x9F\x8E\xB5").repeated(30); // a musical note, outside the BMP
        r.location = QString(60, 'l');
        r.memo1 = QString(5000, 'm');
        r.pages = QString(60, 'p');
        r.loanedTo = QString(300, 'o');
        r.performTime = QString(60, 't');
        r.u[4] = QString(400, 'u');
        r.datePurchased = QDate(2003, 2, 1);
        r.costPerCopy = 1234.5;
        r.numCopies = 1200;
        r.lastPerformed = QDate(2004, 4, 11);
        Links links;
        links.themes = {m_lib.lent};
        links.choirs = {m_lib.youth, m_lib.chancel};
        const CollectionSaveResult saved = CollectionData::save(r, links, true, QString());
        QVERIFY(saved.id > m_lib.hymnal);

        QSqlQuery q = Db::query("select length(Collection), Collection, length(Catalog), length(Location), "
                                "length(Memo1), length(Pages), length(LoanedTo), length(PerformTime), length(u5), "
                                "u1, DatePurchased, CostPerCopy, NumCopies, displayit from collection "
                                "where collectionid = ?",
                                {saved.id});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 100);
        QCOMPARE(q.value(1).toString(), QString(100, QChar(0x00e9)));
        QCOMPARE(q.value(2).toInt(), 20);
        QCOMPARE(Db::scalar("select Catalog from collection where collectionid = ?", {saved.id}).toString(),
                 QString::fromUtf8("\xF0\x9F\x8E\xB5").repeated(20));
        QCOMPARE(q.value(3).toInt(), 50);
        QCOMPARE(q.value(4).toInt(), 5000);
        QCOMPARE(q.value(5).toInt(), 50);
        QCOMPARE(q.value(6).toInt(), 250);
        QCOMPARE(q.value(7).toInt(), 50);
        QCOMPARE(q.value(8).toInt(), 400);
        QVERIFY(q.value(9).isNull());
        QCOMPARE(q.value(10).toString(), QStringLiteral("2003-02-01"));
        QCOMPARE(q.value(11).toDouble(), 1234.5);
        QCOMPARE(q.value(12).toInt(), 1200);
        QCOMPARE(q.value(13).toInt(), 0);
        // The performed date: date and id only, the rest the table's defaults.
        QSqlQuery p = Db::query("select Lperform, ChoirID, other from col_lperform where collectionid = ?", {saved.id});
        QVERIFY(p.next());
        QCOMPARE(p.value(0).toString(), QStringLiteral("2004-04-11"));
        QCOMPARE(p.value(1).toInt(), 0);
        QVERIFY(p.value(2).isNull());
        QVERIFY(!p.next());
        QCOMPARE(linksOf(saved.id).themes, QList<qint32>{m_lib.lent});
        QCOMPARE(linksOf(saved.id).choirs, (QList<qint32>{m_lib.chancel, m_lib.youth}));
        QVERIFY(linksOf(saved.id).composers.isEmpty());
        // A new collection has no anthems yet: the carried loan finds none.
        QVERIFY(saved.loanedToCarried);
        QCOMPARE(loanedTo(m_lib.joy), QStringLiteral("O'Brien"));

        // Emptied cost and copies boxes store no value.
        CollectionRecord again = *CollectionData::load(saved.id);
        again.costPerCopy.reset();
        again.numCopies.reset();
        again.lastPerformed = {};
        CollectionData::save(again, links, false, again.loanedTo);
        QVERIFY(Db::scalar("select CostPerCopy from collection where collectionid = ?", {saved.id}).isNull());
        QVERIFY(Db::scalar("select NumCopies from collection where collectionid = ?", {saved.id}).isNull());
        QCOMPARE(count("select count(*) from collection"), 4);
    }

    void performedDatesAreAddedOnlyWhenNew()
    {
        CollectionRecord r = *CollectionData::load(m_lib.carols);
        const Links links = linksOf(m_lib.carols);
        // The date shown is already recorded: nothing is added.
        CollectionData::save(r, links, false, r.loanedTo);
        QCOMPARE(count("select count(*) from col_lperform where collectionid = ?", {m_lib.carols}), 2);
        // An older date is added; the latest is still the one shown.
        r.lastPerformed = QDate(1995, 5, 7);
        CollectionData::save(r, links, false, r.loanedTo);
        QCOMPARE(count("select count(*) from col_lperform where collectionid = ? and Lperform = '1995-05-07'",
                       {m_lib.carols}),
                 1);
        QCOMPARE(CollectionData::load(m_lib.carols)->lastPerformed, QDate(2001, 12, 24));
        // An emptied date removes nothing.
        r.lastPerformed = {};
        CollectionData::save(r, links, false, r.loanedTo);
        QCOMPARE(count("select count(*) from col_lperform where collectionid = ?", {m_lib.carols}), 3);
        // Another collection's dates are its own.
        CollectionRecord e = *CollectionData::load(m_lib.easterBook);
        e.lastPerformed = QDate(2001, 12, 24);
        CollectionData::save(e, {}, false, e.loanedTo);
        QCOMPARE(count("select count(*) from col_lperform"), 4);
    }

    void linkTablesAreRewrittenWhole()
    {
        CollectionRecord r = *CollectionData::load(m_lib.carols);
        Links links;
        links.composers = {m_lib.bach};
        links.vocals = {m_lib.ssa, m_lib.satb};
        links.orchestration = {m_lib.brass};
        CollectionData::save(r, links, false, r.loanedTo);
        const Links stored = linksOf(m_lib.carols);
        QCOMPARE(stored.composers, QList<qint32>{m_lib.bach});
        QCOMPARE(stored.vocals, (QList<qint32>{m_lib.satb, m_lib.ssa}));
        QCOMPARE(stored.orchestration, QList<qint32>{m_lib.brass});
        QVERIFY(stored.themes.isEmpty()); // unticked everywhere: no rows left
        QVERIFY(stored.choirs.isEmpty());
        QCOMPARE(count("select count(*) from col_com_l where collectionid = ?", {m_lib.carols}), 1);
        // Other collections and the anthems' own links are untouched.
        QCOMPARE(linksOf(m_lib.easterBook).themes, QList<qint32>{m_lib.easter});
        QCOMPARE(count("select count(*) from a_orch_l where anthemid = ?", {m_lib.joy}), 2);
    }

    void theLoanedToTextReachesTheAnthemsOnlyWhenChanged()
    {
        Db::exec("update anthem set LoanedTo = 'their own' where anthemid = ?", {m_lib.amazing});
        CollectionRecord r = *CollectionData::load(m_lib.carols);
        const Links links = linksOf(m_lib.carols);
        // Unchanged against what was loaded: no anthem is touched.
        r.collection = QStringLiteral("Carols Book, renamed");
        QVERIFY(!CollectionData::save(r, links, false, r.loanedTo).loanedToCarried);
        QCOMPARE(loanedTo(m_lib.amazing), QStringLiteral("their own"));

        // Changed: every anthem of the collection takes it, no other anthem.
        const QString loaded = r.loanedTo;
        r.loanedTo = QStringLiteral("Mrs O'Neil's choir");
        QVERIFY(CollectionData::save(r, links, false, loaded).loanedToCarried);
        for (qint32 a : {m_lib.joy, m_lib.amazing, m_lib.holyNight})
            QCOMPARE(loanedTo(a), QStringLiteral("Mrs O'Neil's choir"));
        QVERIFY(Db::scalar("select LoanedTo from anthem where anthemid = ?", {m_lib.christ}).isNull());
        QVERIFY(Db::scalar("select LoanedTo from anthem where anthemid = ?", {m_lib.loose}).isNull());

        // The cut text is what they get; the comparison is case-sensitive.
        r.loanedTo = QString(300, 'x');
        CollectionData::save(r, links, false, QStringLiteral("Mrs O'Neil's choir"));
        QCOMPARE(loanedTo(m_lib.joy), QString(250, 'x'));
        r.loanedTo = QString(250, 'X');
        QVERIFY(CollectionData::save(r, links, false, QString(250, 'x')).loanedToCarried);
        QCOMPARE(loanedTo(m_lib.holyNight), QString(250, 'X'));

        // Emptied: theirs is emptied too.
        r.loanedTo.clear();
        QVERIFY(CollectionData::save(r, links, false, QString(250, 'X')).loanedToCarried);
        QCOMPARE(count("select count(*) from anthem where collectionid = ? and coalesce(LoanedTo, '') = ''",
                       {m_lib.carols}),
                 3);
        QCOMPARE(Fmt::nz(Db::scalar("select LoanedTo from collection where collectionid = ?", {m_lib.carols})),
                 QString());
    }

    void aFailedSaveWritesNothing()
    {
        CollectionRecord r = *CollectionData::load(m_lib.carols);
        const QString loaded = r.loanedTo;
        r.collection = QStringLiteral("Never stored");
        r.loanedTo = QStringLiteral("Nobody");
        r.lastPerformed = QDate(2010, 1, 1);
        // The last link table written fails after everything before it.
        Db::exec("drop table col_orch_l");
        QVERIFY_THROWS_EXCEPTION(DbError, CollectionData::save(r, {}, false, loaded));
        QCOMPARE(Db::scalar("select Collection from collection where collectionid = ?", {m_lib.carols}).toString(),
                 QStringLiteral("Carols Book"));
        QCOMPARE(count("select count(*) from col_lperform where collectionid = ?", {m_lib.carols}), 2);
        QCOMPARE(count("select count(*) from col_th_l where collectionid = ?", {m_lib.carols}), 2);
        QCOMPARE(loanedTo(m_lib.joy), QStringLiteral("O'Brien"));
        QVERIFY_THROWS_EXCEPTION(DbError, CollectionData::save(r, {}, true, QString()));
        QCOMPARE(count("select count(*) from collection"), 3);

        // A collection deleted meanwhile is not brought back with its links.
        CollectionRecord h = *CollectionData::load(m_lib.hymnal);
        Db::exec("delete from collection where collectionid = ?", {m_lib.hymnal});
        h.lastPerformed = QDate(2010, 1, 1);
        Links themes;
        themes.themes = {m_lib.lent};
        QVERIFY_THROWS_EXCEPTION(DbError, CollectionData::save(h, themes, false, h.loanedTo));
        QCOMPARE(count("select count(*) from col_lperform where collectionid = ?", {m_lib.hymnal}), 0);
        QCOMPARE(count("select count(*) from col_th_l where collectionid = ?", {m_lib.hymnal}), 0);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    Library m_lib;
};

QTEST_MAIN(TestCollectionRecord)
#include "tst_collectionrecord.moc"
