// The schema, the SQL conventions and the record-set layer.
#include "Db.h"
#include "Schema.h"
#include "TestSupport.h"

#include <QRandomGenerator>
#include <QSqlRecord>
#include <QtTest>

namespace {

// Every table and column the program reads or writes, with the key
// columns of the names listed in name order.
const QMap<QString, QStringList> &expectedSchema()
{
    static const QMap<QString, QStringList> s = {
        {"anthem", {"anthemid", "Anthem", "Catalog", "Location", "Memo1", "Memo2", "Pages", "LoanedTo",
                    "PerformTime", "u1", "u2", "u3", "u4", "u5", "DatePurchased", "CostPerCopy",
                    "NumCopies", "collectionid", "displayit", "anthemkey"}},
        {"collection", {"collectionid", "Collection", "Catalog", "Location", "Memo1", "Pages", "LoanedTo",
                        "PerformTime", "u1", "u2", "u3", "u4", "u5", "DatePurchased", "CostPerCopy",
                        "NumCopies", "displayit", "collectionkey"}},
        {"member", {"memberid", "LName", "FName", "MName", "Street1", "Street2", "State", "CityID", "ZipID",
                    "SchoolID", "HPhone", "CPhone", "FPhone", "grade", "Age", "Sex", "Parent", "Email",
                    "Memo1", "u1", "u2", "u3", "u4", "u5", "Birthday", "Aniversary", "displayit", "lnamekey",
                    "fnamekey", "mnamekey"}},
        {"themes", {"themeid", "theme", "Description", "themekey"}},
        {"vocals", {"vocalsid", "vocals", "vocalskey"}},
        {"composer", {"composerid", "composer", "composerkey"}},
        {"orchestration", {"orchid", "orchestration", "orchestrationkey"}},
        {"choir", {"ChoirID", "choir", "Description", "info", "choirkey"}},
        {"vocalsm", {"vocalsmid", "vocals", "vocalskey"}},
        {"city", {"CityID", "City", "citykey"}},
        {"zip", {"ZipID", "Zip", "zipkey"}},
        {"school", {"SchoolID", "School", "schoolkey"}},
        {"state", {"statea"}},
        {"labels", {"datatype", "label1", "label2", "label3", "label4", "label5"}},
        {"schedule", {"schedid", "ChoirID", "SchedDate", "AMPM", "call", "Anthem", "Offertory",
                      "Benediction", "other", "collectionid", "anthemid"}},
        {"schednotes", {"SchedDate", "AMPM", "notes"}},
        {"schedinfo", {"info", "ChoirID"}},
        {"a_lperform", {"RNum", "Lperform", "anthemid", "ChoirID", "other"}},
        {"col_lperform", {"RNum", "Lperform", "collectionid", "ChoirID", "other"}},
        {"a_th_l", {"anthemid", "themeid"}},
        {"a_chr_l", {"anthemid", "choirid"}},
        {"a_orch_l", {"anthemid", "orchid"}},
        {"a_com_l", {"anthemid", "composerid"}},
        {"a_v_l", {"anthemid", "vocalsid"}},
        {"col_th_l", {"collectionid", "themeid"}},
        {"col_chr_l", {"collectionid", "choirid"}},
        {"col_orch_l", {"collectionid", "orchid"}},
        {"col_com_l", {"collectionid", "composerid"}},
        {"col_v_l", {"collectionid", "vocalsid"}},
        {"chr_m_l", {"memberid", "choirid", "isactive"}},
        {"m_vm_l", {"memberid", "vocalsmid"}},
        {"m_orch_l", {"memberid", "orchid"}},
    };
    return s;
}

} // namespace

class TestDatabase : public QObject {
    Q_OBJECT
private slots:
    void init() { m_folder = std::make_unique<TempProgramFolder>(); QVERIFY(m_folder->ok()); }
    void cleanup() { m_folder.reset(); }

    void everyTableAndColumnExists()
    {
        QCOMPARE(expectedSchema().size(), 32);
        for (auto it = expectedSchema().begin(); it != expectedSchema().end(); ++it) {
            QSqlQuery q = Db::query(QStringLiteral("select * from %1 limit 0").arg(it.key()));
            const QSqlRecord rec = q.record();
            for (const QString &col : it.value())
                QVERIFY2(rec.indexOf(col) >= 0, qPrintable(it.key() + "." + col));
            QCOMPARE(rec.count(), it.value().size());
        }
    }

    void fixedRowsOfTheTemplate()
    {
        QCOMPARE(Db::scalar("select count(*) from labels").toInt(), 3);
        for (int dt = 1; dt <= 3; ++dt) {
            QCOMPARE(Db::scalar("select count(*) from labels where datatype = ?", {dt}).toInt(), 1);
            QSqlQuery q = Db::query("select label1, label2, label3, label4, label5 from labels where datatype = ?", {dt});
            QVERIFY(q.next());
            for (int i = 0; i < 5; ++i)
                QVERIFY(!q.value(i).toString().isEmpty());
        }
        QVERIFY(Db::scalar("select count(*) from state").toInt() >= 50);
        QCOMPARE(Db::scalar("select count(*) from state where length(statea) <> 2").toInt(), 0);
        for (const char *t : {"anthem", "collection", "member", "schedule", "themes", "choir"})
            QCOMPARE(Db::scalar(QStringLiteral("select count(*) from %1").arg(t)).toInt(), 0);
    }

    void linkTablesAreIndexedBothWays()
    {
        for (const char *t : {"a_th_l", "a_chr_l", "a_orch_l", "a_com_l", "a_v_l", "col_th_l", "col_chr_l",
                                 "col_orch_l", "col_com_l", "col_v_l", "chr_m_l", "m_vm_l", "m_orch_l"}) {
            QSqlQuery cols = Db::query(QStringLiteral("select * from %1 limit 0").arg(t));
            const QString a = cols.record().fieldName(0), b = cols.record().fieldName(1);
            QSet<QString> leading;
            QSqlQuery idx = Db::query(QStringLiteral("select name from pragma_index_list('%1')").arg(t));
            while (idx.next()) {
                QSqlQuery info = Db::query(
                    QStringLiteral("select name from pragma_index_info('%1') where seqno = 0").arg(idx.value(0).toString()));
                if (info.next())
                    leading.insert(info.value(0).toString().toLower());
            }
            QVERIFY2(leading.contains(a.toLower()) && leading.contains(b.toLower()), qPrintable(t));
        }
    }

    void idsAreNeverReused()
    {
        Db::exec("insert into themes (theme) values (?)", {"Advent"});
        const qint64 first = Db::lastInsertId();
        Db::exec("delete from themes where themeid = ?", {first});
        Db::exec("insert into themes (theme) values (?)", {"Lent"});
        QVERIFY(Db::lastInsertId() > first);
    }

    void apostrophesAndUnicodeCase()
    {
        Db::exec("insert into composer (composer) values (?)", {"O'Brien"});
        Db::exec("insert into composer (composer) values (?)", {"Dvořák"});
        Db::exec("insert into composer (composer) values (?)", {"élan"});
        Db::exec("insert into composer (composer) values (?)", {"Bach"});
        QCOMPARE(Db::scalar("select composer from composer where ucase(composer) = ?", {Db::upper("o'brien")}).toString(),
                 QString("O'Brien"));
        // Matching ignores case beyond ASCII, as the name look-ups need.
        QCOMPARE(Db::scalar("select count(*) from composer where ucase(composer) = ?", {"DVOŘÁK"}).toInt(), 1);
        QCOMPARE(Db::scalar("select count(*) from composer where composerkey = ?", {Db::nameKey("ÉLAN")}).toInt(), 1);
        // Ordering ignores case too: "élan" sorts with the E's, not after Z.
        QSqlQuery rs = Db::query("select composer from composer order by composerkey, composerid");
        QStringList order;
        while (rs.next())
            order << rs.value(0).toString();
        QCOMPARE(order, QStringList({"Bach", "Dvořák", "élan", "O'Brien"}));
        // A statement cannot be changed by what a name holds.
        Db::exec("insert into themes (theme) values (?)", {"x'); delete from composer; --"});
        QCOMPARE(Db::scalar("select count(*) from composer").toInt(), 4);
        QCOMPARE(Db::scalar("select substr(composer, 1, 2) from composer where composer = 'Dvořák'").toString(),
                 QString("Dv"));
    }

    void inMemoryIndexFollowsTheDatabaseOrder()
    {
        const QStringList names = {"zeta", "Alpha", "alpha", "Émile", "eagle", "Zoë", "1 Hymn", "ábc", "Abd", "O'Neil"};
        for (const QString &n : names)
            Db::exec("insert into anthem (Anthem) values (?)", {n});
        const auto rows = Db::idTextRows("select anthemid, Anthem from anthem order by anthemkey, anthemid");
        QCOMPARE(rows.size(), names.size());
        for (int i = 1; i < rows.size(); ++i) {
            const int c = Db::compareNames(rows[i - 1].second, rows[i].second);
            QVERIFY2(c < 0 || (c == 0 && rows[i - 1].first < rows[i].first),
                     qPrintable(rows[i - 1].second + " / " + rows[i].second));
        }
        QCOMPARE(Db::compareNames("alpha", "ALPHA"), 0);
        QVERIFY(Db::compareNames("Émile", "eagle") > 0);
        QVERIFY(Db::compareNames("Émile", "Ezra") < 0);
        const auto one = Db::idTextRows("select anthemid, Anthem from anthem where anthemkey = ?", {Db::nameKey("o'neil")});
        QCOMPARE(one.size(), 1);
        QCOMPARE(one[0].second, QString("O'Neil"));
        QVERIFY_THROWS_EXCEPTION(DbError, Db::idTextRows("select nothing from nowhere"));
    }

    // The database's order of keys and the program's name comparison are
    // one order: case-blind, Unicode included, characters beyond U+FFFF
    // too; two names have one key exactly when they are equal but for case.
    void nameKeysAndCompareNamesAgree()
    {
        const QStringList pieces = {"a", "A", "z", "Z", "e", "E", "é", "É", "e\u0301", "ß", "SS", "ǅ", "σ", "Σ",
                                    "ς", "İ", "ı", "ﬁ", " ", "1", "_", "[", "\t", "\U0001F3B5", "\uFFFD",
                                    "\uE000", "Ω", "ω", "Å", "å"};
        QRandomGenerator rng(11);
        QStringList names;
        for (int i = 0; i < 400; ++i) {
            QString n;
            const int len = int(rng.bounded(4));
            for (int k = 0; k < len; ++k)
                n += pieces.at(int(rng.bounded(pieces.size())));
            names << n;
        }
        names << "Zebra" << "apple" << "Élan" << "elan" << "ELAN" << "eclair";
        for (int i = 0; i < names.size(); ++i) {
            // Half written with their key, half left to the connection.
            if (i % 2)
                Db::exec("insert into composer (composer, composerkey) values (?, ?)", {names[i], Db::nameKey(names[i])});
            else
                Db::exec("insert into composer (composer) values (?)", {names[i]});
        }
        const auto rows = Db::idTextRows("select composerid, composer from composer order by composerkey, composerid");
        QCOMPARE(rows.size(), names.size());
        for (int i = 1; i < rows.size(); ++i) {
            const int c = Db::compareNames(rows[i - 1].second, rows[i].second);
            QVERIFY2(c < 0 || (c == 0 && rows[i - 1].first < rows[i].first),
                     qPrintable(rows[i - 1].second + " / " + rows[i].second));
        }
        for (int i = 0; i < names.size(); i += 7) {
            for (int j = 0; j < names.size(); j += 5) {
                const bool sameUpper = Db::upper(names[i]) == Db::upper(names[j]);
                QCOMPARE(Db::nameKey(names[i]) == Db::nameKey(names[j]), sameUpper);
                QCOMPARE(Db::compareNames(names[i], names[j]) == 0, sameUpper);
                QCOMPARE(Db::compareNames(names[i], names[j]), -Db::compareNames(names[j], names[i]));
            }
        }
        QVERIFY(Db::compareNames("Zebra", "apple") > 0);
        QVERIFY(Db::compareNames("élan", "ELAN") > 0 && Db::compareNames("élan", "Emile") < 0);
        QVERIFY(!Db::nameKey(QString()).isNull());
        QCOMPARE(Db::distinctNames({"b", "abc", "", "ABC", "Élan", "élan", "B"}), QStringList({"abc", "b", "Élan"}));
    }

    // Whatever statement writes a keyed name on the program's connection,
    // its key follows; a change of case only keeps its key.
    void keysFollowEveryWriteOfTheProgram()
    {
        auto key = [](qint64 id) { return Db::scalar("select themekey from themes where themeid = ?", {id}); };
        Db::exec("insert into themes (theme) values ('advent')");
        const qint64 id = Db::lastInsertId();
        QCOMPARE(key(id).toString(), QString("ADVENT"));
        Db::exec("update themes set theme = 'Épiphanie' where themeid = ?", {id});
        QCOMPARE(key(id).toString(), Db::nameKey("Épiphanie"));
        Db::exec("update themes set theme = 'ÉPIPHANIE' where themeid = ?", {id});
        QCOMPARE(key(id).toString(), Db::nameKey("épiphanie"));
        Db::exec("update themes set themekey = 'wrong' where themeid = ?", {id});
        QCOMPARE(key(id).toString(), Db::nameKey("épiphanie"));
        Db::exec("update themes set theme = null where themeid = ?", {id});
        QCOMPARE(key(id).toString(), QString(""));
        QVERIFY(!key(id).isNull());
        for (const Db::NameKeyColumn &c : Db::nameKeyColumns())
            QCOMPARE(Db::keyColumn(QString(c.table).toUpper(), c.nameColumn), QString(c.keyColumn));
        QVERIFY(Db::keyColumn("anthem", "Catalog").isEmpty());
        // Every key column of the schema is one the program keeps.
        QSet<QString> inSchema, kept;
        for (const Schema::Table &t : Schema::tables())
            for (const QString &col : t.columns)
                if (col.endsWith("key"))
                    inSchema << t.name + "." + col;
        for (const Db::NameKeyColumn &c : Db::nameKeyColumns())
            kept << QString(c.table) + "." + c.keyColumn;
        QCOMPARE(inSchema, kept);
    }

    void yesNoColumnsHoldOnlyMinusOneOrZero()
    {
        Db::exec("insert into anthem (Anthem) values ('A')");
        QVERIFY_THROWS_EXCEPTION(DbError, Db::exec("update anthem set displayit = 1"));
        QVERIFY_THROWS_EXCEPTION(DbError, Db::exec("update anthem set displayit = null"));
        Db::exec("update anthem set displayit = -1");
        QCOMPARE(Db::scalar("select displayit from anthem").toInt(), -1);
    }

    void transactionRollsBackEverything()
    {
        try {
            Db::Transaction tx;
            Db::exec("insert into themes (theme) values ('one')");
            Db::exec("insert into no_such_table values (1)");
            tx.commit();
            QFAIL("the bad statement did not throw");
        } catch (const DbError &) {
        }
        QCOMPARE(Db::scalar("select count(*) from themes").toInt(), 0);

        {
            Db::Transaction outer;
            Db::exec("insert into themes (theme) values ('kept')");
            try {
                Db::Transaction inner;
                Db::exec("insert into themes (theme) values ('dropped')");
                throw DbError("stop");
            } catch (const DbError &) {
            }
            outer.commit();
        }
        QCOMPARE(Db::scalar("select group_concat(theme) from themes").toString(), QString("kept"));
    }

    void openRefusesWhatIsNotOurDatabase()
    {
        Db::close();
        QString why;
        QVERIFY(!Db::open(m_folder->file("missing.mdb"), &why));
        QVERIFY(!QFile::exists(m_folder->file("missing.mdb"))); // never created silently
        QFile junk(m_folder->file("junk.mdb"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        QVERIFY(!Db::open(junk.fileName(), &why));
        QVERIFY(!why.isEmpty());
        QVERIFY(!Db::isOpen());
        // A database of someone else's tables.
        {
            QString e;
            QSqlDatabase other = Db::openNamed("other", m_folder->file("other.mdb"), true, &e);
            Db::exec(other, "create table t (x)");
        }
        Db::closeNamed("other");
        QVERIFY(!Db::open(m_folder->file("other.mdb"), &why));
        QVERIFY_THROWS_EXCEPTION(DbError, Db::exec("select 1"));
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
};

QTEST_MAIN(TestDatabase)
#include "tst_database.moc"
