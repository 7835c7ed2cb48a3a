// The record editors' in-memory index: the database's order kept through
// changes, the name list's runs, the letters and the wrap-around move.
#include "Db.h"
#include "NameIndex.h"
#include "RecordNav.h"
#include "TestSupport.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

const QString kListSql = QStringLiteral("select anthemid, Anthem from anthem order by anthemkey, anthemid");

qint32 addAnthem(const QString &title)
{
    Db::exec("insert into anthem (Anthem) values (?)", {title});
    return qint32(Db::lastInsertId());
}

QList<qint32> order(const NameIndex &index)
{
    QList<qint32> out;
    for (int r = 0; r < index.count(); ++r)
        out << index.idAt(r);
    return out;
}

QList<qint32> databaseOrder()
{
    QList<qint32> out;
    QSqlQuery q = Db::query(kListSql);
    while (q.next())
        out << q.value(0).toInt();
    return out;
}

QStringList items(const NameIndex &index, QChar letter)
{
    QStringList out;
    for (const NameIndex::NameItem &i : index.nameList(letter.unicode() - u'A'))
        out << i.text;
    return out;
}

} // namespace

class TestNameIndex : public QObject {
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
        NameIndex index;
        index.load(kListSql);
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
        QVERIFY_THROWS_EXCEPTION(DbError, index.load("select nothing from nowhere"));
        QCOMPARE(order(index), databaseOrder()); // a failed read changes nothing
    }

    // Records with sort keys of their own (members: last, first and middle
    // name keys in turn) stay in the database's order through changes, and
    // file under the letter of their letter text, not of the name shown.
    void keyedRecordsStayInTheDatabaseOrder()
    {
        // Read in the table's order: the index sorts.
        const QString sql = "select memberid, LName, FName, MName, lnamekey, fnamekey, mnamekey from member";
        auto entry = [](const QString &last, const QString &first, const QString &middle) {
            return NameIndex::Entry{last.trimmed() + ", " + first + " " + middle, last,
                                    {Db::nameKey(last), Db::nameKey(first), Db::nameKey(middle)}};
        };
        auto add = [](const QString &last, const QString &first, const QString &middle) {
            Db::exec("insert into member (LName, FName, MName) values (?, ?, ?)", {last, first, middle});
            return qint32(Db::lastInsertId());
        };
        auto databaseOrder = [&] {
            QList<qint32> out;
            QSqlQuery q = Db::query(sql + " order by lnamekey, fnamekey, mnamekey, memberid");
            while (q.next())
                out << q.value(0).toInt();
            return out;
        };
        const qint32 junior = add("Smith Jr", "Bob", "");
        const qint32 adam = add("Smith", "Adam", "");
        const qint32 smithB = add("Smith", "", "B");
        const qint32 blank = add(" Baker", "Ann", "");
        const qint32 accented = add(QString::fromUtf8("Émile"), "Zoe", "");
        const qint32 plain = add("Emile", "Zoe", "");
        NameIndex index(NameIndex::Runs::CaseBlind, NameIndex::Order::Keys);
        index.load(sql);
        QCOMPARE(order(index), databaseOrder());
        // By last name first: "Smith" (then its first names) before "Smith Jr".
        QCOMPARE(order(index), (QList<qint32>{blank, plain, accented, smithB, adam, junior}));
        // " Baker" shows as "Baker, Ann" but files under A, beginning with
        // no letter (as "Émile" does).
        QCOMPARE(items(index, 'A'), QStringList({"Baker, Ann ", QString::fromUtf8("Émile, Zoe ")}));
        QVERIFY(items(index, 'B').isEmpty());
        QCOMPARE(index.firstRowBeginningWith(0), -1);
        QCOMPARE(index.idAt(index.firstRowBeginningWith('E' - 'A')), plain);

        const QStringList lasts{"Smith", "smith", "Smith Jr", " Baker", QString::fromUtf8("Émile"), "Emile", "Abe",
                                QString::fromUtf8("Ölund"), "O'Brien", "4th", ""};
        const QStringList firsts{"", "Bob", "bob", "Adam", QString::fromUtf8("Ádam"), "Zed"};
        QRandomGenerator rng(11);
        for (int step = 0; step < 300; ++step) {
            const QString last = lasts.at(int(rng.bounded(lasts.size())));
            const QString first = firsts.at(int(rng.bounded(firsts.size())));
            const QString middle = rng.bounded(2) ? QString() : firsts.at(int(rng.bounded(firsts.size())));
            const int what = int(rng.bounded(3));
            if (what == 0 || index.isEmpty()) {
                index.insert(add(last, first, middle), entry(last, first, middle));
            } else {
                const qint32 id = index.idAt(int(rng.bounded(index.count())));
                if (what == 1) {
                    Db::exec("update member set LName = ?, FName = ?, MName = ? where memberid = ?",
                             {last, first, middle, id});
                    const int row = index.rename(id, entry(last, first, middle));
                    QCOMPARE(index.letterAt(row), last.startsWith(' ') ? 0 : NameIndex::letterOf(last));
                } else {
                    Db::exec("delete from member where memberid = ?", {id});
                    QVERIFY(index.remove(id));
                }
            }
            QCOMPARE(order(index), databaseOrder());
        }
        NameIndex fresh(NameIndex::Runs::CaseBlind, NameIndex::Order::Keys);
        fresh.load(sql);
        for (int letter = 0; letter < 26; ++letter) {
            QCOMPARE(index.hasLetter(letter), fresh.hasLetter(letter));
            QCOMPARE(items(index, QChar('A' + letter)), items(fresh, QChar('A' + letter)));
            QCOMPARE(index.firstRowBeginningWith(letter), fresh.firstRowBeginningWith(letter));
        }
        // A list statement without its keys is refused, the index kept.
        QVERIFY_THROWS_EXCEPTION(DbError, index.load("select memberid, LName, FName, MName from member"));
        QCOMPARE(order(index), databaseOrder());
    }

    void runsLettersAndTheNameList()
    {
        const qint32 first = addAnthem("Psalm 23");
        addAnthem("Psalm 23");
        addAnthem("psalm 23");
        const qint32 praise = addAnthem("Praise Him");
        const qint32 digit = addAnthem("1 Corinthians");
        addAnthem(QString::fromUtf8("Ölberg"));

        NameIndex exact;
        exact.load(kListSql);
        QCOMPARE(items(exact, 'P'), QStringList({"Praise Him", "Psalm 23 {2}", "psalm 23"}));
        QCOMPARE(exact.nameList('P' - 'A').at(1).firstId, first);
        // Names that do not begin with A to Z file under A.
        QCOMPARE(items(exact, 'A'), QStringList({"1 Corinthians", QString::fromUtf8("Ölberg")}));
        QVERIFY(exact.hasLetter(0) && exact.hasLetter('P' - 'A') && !exact.hasLetter('Q' - 'A'));
        // Filed under A is not beginning with A: the letter click's first
        // record of A is one that does.
        QCOMPARE(exact.firstRowBeginningWith(0), -1);
        QCOMPARE(exact.idAt(exact.firstRowBeginningWith('P' - 'A')), praise);
        QCOMPARE(exact.firstRowBeginningWith('Q' - 'A'), -1);
        const qint32 amen = addAnthem("amen");
        exact.insert(amen, "amen");
        QCOMPARE(exact.idAt(exact.firstRowBeginningWith(0)), amen);
        QCOMPARE(exact.idAt(0), digit); // still first in the list of A
        exact.remove(amen);
        QVERIFY(items(exact, 'Q').isEmpty());

        // Keys that differ only in case form one run, spelled as the first.
        NameIndex caseBlind(NameIndex::Runs::CaseBlind);
        caseBlind.load(kListSql);
        QCOMPARE(items(caseBlind, 'P'), QStringList({"Praise Him", "Psalm 23 {3}"}));

        // The letters follow renames and deletes.
        exact.rename(digit, "Zion");
        QVERIFY(exact.hasLetter('Z' - 'A'));
        QCOMPARE(items(exact, 'A'), QStringList({QString::fromUtf8("Ölberg")}));
        exact.remove(digit);
        QVERIFY(!exact.hasLetter('Z' - 'A'));
    }

    // The names are kept as the database's bytes and read back as stored,
    // with the letters the names file under, also after many changes.
    void namesReadBackAsStored()
    {
        const QStringList titles{QString::fromUtf8("élan"), QString::fromUtf8("Ölberg"), QString::fromUtf8("ſanctus"),
                                 QString::fromUtf8("😀 Joy"), QString::fromUtf8("主の祈り"), "", "7 Last Words",
                                 "amen", "Zion"};
        for (const QString &t : titles)
            addAnthem(t);
        Db::exec("insert into anthem (Anthem) values (null)");
        NameIndex index;
        index.load(kListSql);
        auto sameAsDatabase = [&] {
            QSqlQuery q = Db::query(kListSql);
            int r = 0;
            while (q.next()) {
                if (r >= index.count() || index.idAt(r) != q.value(0).toInt() || index.nameAt(r) != q.value(1).toString()
                    || index.letterAt(r) != NameIndex::letterOf(q.value(1).toString()))
                    return false;
                ++r;
            }
            return r == index.count();
        };
        QVERIFY(sameAsDatabase());
        QCOMPARE(index.letterAt(index.rowOf(index.idAt(0))), index.letterAt(0));
        QCOMPARE(NameIndex::letterOf(QString::fromUtf8("ſanctus")), int('S' - 'A'));

        // Enough renames to leave most of the kept bytes unused, which are
        // then dropped: every name still reads as stored.
        QRandomGenerator rng(3);
        for (int step = 0; step < 300; ++step) {
            const qint32 id = index.idAt(int(rng.bounded(index.count())));
            const QString t = titles.at(int(rng.bounded(titles.size()))) + QString(40, QChar('x' + step % 3));
            Db::exec("update anthem set Anthem = ? where anthemid = ?", {t, id});
            index.rename(id, t);
        }
        QVERIFY(sameAsDatabase());
        NameIndex fresh;
        fresh.load(kListSql);
        for (int letter = 0; letter < 26; ++letter) {
            QCOMPARE(index.hasLetter(letter), fresh.hasLetter(letter));
            QCOMPARE(items(index, QChar('A' + letter)), items(fresh, QChar('A' + letter)));
        }
    }

    void movesWrapAroundBothEnds()
    {
        for (const char *t : {"Alpha", "Beta", "Gamma"})
            addAnthem(t);
        NameIndex index;
        index.load(kListSql);
        QCOMPARE(index.currentName(), QString("Alpha"));
        MoveRecordWrap(2, index);
        QCOMPARE(index.currentName(), QString("Gamma"));
        MoveRecordWrap(1, index);
        QCOMPARE(index.currentName(), QString("Alpha"));
        MoveRecordWrap(1, index);
        QCOMPARE(index.currentName(), QString("Beta"));
        MoveRecordWrap(0, index);
        QCOMPARE(index.currentName(), QString("Beta"));
        QVERIFY(!index.setPosition(3));
        QVERIFY(index.setPosition(2));

        Db::exec("delete from anthem where Anthem <> 'Beta'");
        NameIndex one;
        one.load(kListSql);
        MoveRecordWrap(1, one);
        MoveRecordWrap(2, one);
        QCOMPARE(one.currentName(), QString("Beta"));

        NameIndex none;
        MoveRecordWrap(1, none);
        MoveRecordWrap(2, none);
        QVERIFY(none.bof() && none.eof() && !none.onRecord());
        QCOMPARE(none.currentId(), 0);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
};

QTEST_MAIN(TestNameIndex)
#include "tst_nameindex.moc"
