// A database the program made and used stays an ordinary SQLite file:
// plain SQLite, with none of the program's functions, reads it in name
// order, changes it and checks it, and the program then picks up what the
// other tool wrote.
#include "AnthemRecord.h"
#include "Db.h"
#include "DbFiles.h"
#include "DeleteAnthemCascade.h"
#include "ListRefresh.h"
#include "NameIndex.h"
#include "TestSupport.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

using testdb::column;

} // namespace

class TestPlainSqlite : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
    }
    void cleanup()
    {
        m_prompter.reset();
        m_folder.reset();
    }

    void otherToolsReadWriteAndCheckTheFile()
    {
        // Used by the program: names added from the editors' add buttons
        // and anthems saved with their links, Unicode among them.
        m_prompter->inputAnswers << QString("Dvořák") << QString("bach");
        QVERIFY(AddNewComposer());
        QVERIFY(AddNewComposer());
        m_prompter->inputAnswers << QString("Ökumene");
        QVERIFY(AddNewTheme());
        const qint32 dvorak = Db::scalar("select composerid from composer where composer = 'Dvořák'").toInt();
        QMap<QString, qint32> ids;
        for (const QString &t : QStringList{"Zebra", "apple", "Élan", "éclair", "Ärger", "elan"}) {
            AnthemRecord r;
            r.anthem = t;
            const QList<LinkChoice> links{LinkChoice{CheckGridKind::Composers, {dvorak}, {}}};
            ids[t] = AnthemData::save(r, links, true);
        }
        AnthemRecord renamed = *AnthemData::load(ids["elan"]);
        renamed.anthem = "ELAN";
        AnthemData::save(renamed, {}, false);
        const QString path = Db::path();
        Db::close();

        RawDb raw(path);
        // Nothing in the schema is ours alone.
        for (const QString &sql : raw.column("select sql from sqlite_master where sql is not null")) {
            QVERIFY2(!sql.contains(QRegularExpression("collate\\s+(?!nocase\\b)", QRegularExpression::CaseInsensitiveOption)),
                     qPrintable(sql));
            QVERIFY2(!sql.contains(QRegularExpression("\\b(namekey|ucase)\\s*\\(", QRegularExpression::CaseInsensitiveOption)),
                     qPrintable(sql));
        }
        // What a new user tries first; the keys give the program's order.
        QCOMPARE(raw.column("select Anthem from anthem order by Anthem").size(), 6);
        QCOMPARE(raw.column("select Anthem from anthem order by anthemkey, anthemid"),
                 QStringList({"apple", "Ärger", "éclair", "ELAN", "Élan", "Zebra"}));
        QCOMPARE(raw.column("select composer from composer order by composerkey"), QStringList({"bach", "Dvořák"}));
        // Written by the other tool, without keys.
        QVERIFY(raw.exec("insert into anthem (Anthem) values ('Ångström')"));
        QVERIFY(raw.exec("update anthem set Anthem = 'aardvark' where Anthem = 'Zebra'"));
        QVERIFY(raw.exec("update anthem set Anthem = 'ÉCLAIR' where Anthem = 'éclair'")); // é is beyond SQLite's upper()
        QVERIFY(raw.exec("update anthem set Memo1 = 'note' where Anthem = 'apple'"));
        QVERIFY(raw.exec("delete from anthem where Anthem = 'Ärger'"));
        QVERIFY(raw.exec("insert into themes (theme) values ('advent')"));
        QCOMPARE(raw.value("select count(*) from anthem where anthemkey is null"), QString("3"));
        QCOMPARE(raw.column("pragma integrity_check"), QStringList({"ok"}));
        // A copy as the shell's .backup makes it.
        {
            RawDb copy(m_folder->file("backup.mdb"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            sqlite3_backup *b = sqlite3_backup_init(copy.handle(), "main", raw.handle(), "main");
            QVERIFY(b);
            QCOMPARE(sqlite3_backup_step(b, -1), SQLITE_DONE);
            sqlite3_backup_finish(b);
            QCOMPARE(copy.column("pragma integrity_check"), QStringList({"ok"}));
        }

        // The program fills what the other tool left without a key.
        QString error;
        QVERIFY2(Db::open(path, &error), qPrintable(error));
        QCOMPARE(Db::scalar("select count(*) from anthem where anthemkey is null").toInt(), 0);
        QCOMPARE(column("select Anthem from anthem order by anthemkey, anthemid"),
                 QStringList({"aardvark", "Ångström", "apple", "ÉCLAIR", "ELAN", "Élan"}));
        QCOMPARE(column("select theme from themes order by themekey"), QStringList({"advent", "Ökumene"}));
        NameIndex index;
        index.load("select anthemid, Anthem from anthem order by anthemkey, anthemid");
        for (int r = 1; r < index.count(); ++r)
            QVERIFY(Db::compareNames(index.nameAt(r - 1), index.nameAt(r)) <= 0);
    }

    void userObjectsOnSqlitesUpperStaySound()
    {
        // What a user adds in the shell on SQLite's own upper(), and two
        // anthems the shell writes (without keys).
        const QString path = Db::path();
        Db::close();
        {
            RawDb raw(path);
            QVERIFY(raw.exec("create index anthem_upper on anthem (upper(Anthem))"));
            QVERIFY(raw.exec("create index anthem_upper_some on anthem (Catalog) where upper(Anthem) > 'M'"));
            QVERIFY(raw.exec("create view anthem_shout as select anthemid, upper(Anthem) as shout from anthem"));
            QVERIFY(raw.exec("insert into anthem (Anthem, Catalog) values ('ölberg', 'x'), ('ölberg zwei', 'y')"));
        }
        QString error;
        QVERIFY2(Db::open(path, &error), qPrintable(error));
        RawDb raw(path);
        // What the shell finds wrong after a step of the program; "" for nothing.
        const auto problems = [&] {
            QStringList out;
            const QStringList check = raw.column("pragma integrity_check");
            if (check != QStringList({"ok"}))
                out << check;
            if (testdb::count("select count(*) from anthem where anthemkey is not namekey(Anthem)") != 0)
                out << "a key is not its name's";
            const QString view = "select shout from anthem_shout order by anthemid";
            if (column(view) != raw.column(view))
                out << "the view reads otherwise";
            return out.join("; ");
        };
        const auto idOf = [](const QString &title) {
            return testdb::count("select anthemid from anthem where Anthem = ?", {title});
        };

        AnthemRecord added;
        added.anthem = QString("straße neu");
        AnthemData::save(added, {}, true);
        QCOMPARE(problems(), QString());
        const qint32 id = idOf("ölberg");
        for (const QString &title : {QString("Ölberg"), QString("ölberg")}) { // case only, beyond ASCII
            AnthemRecord r = *AnthemData::load(id);
            r.anthem = title;
            AnthemData::save(r, {}, false);
            QCOMPARE(problems(), QString());
            QCOMPARE(testdb::column("select anthemkey from anthem where anthemid = ?", {id}),
                     QStringList({Db::nameKey("ölberg")}));
        }
        DeleteAnthemCascade(idOf("ölberg zwei"));
        QCOMPARE(problems(), QString());
        QCOMPARE(Db::scalar("select upper('straße ö')").toString(), QString("STRAßE ö")); // SQLite's own
    }

    void everyConnectionOfTheProgramKeepsKeys()
    {
        // A connection of the generators: a name written without its key,
        // and one changed only in case beyond ASCII (the schema's own
        // triggers clear its key), get their keys at once.
        const QString path = Db::path();
        Db::close();
        QString error;
        {
            QSqlDatabase db = Db::openNamed("writer", path, false, &error);
            QVERIFY2(db.isValid(), qPrintable(error));
            Db::exec(db, "insert into composer (composer) values ('ölberg')");
            Db::exec(db, "insert into composer (composer, composerkey) values ('ärger', ?)", {Db::nameKey("ärger")});
            Db::exec(db, "update composer set composer = 'Ärger', composerkey = ? where composer = 'ärger'",
                     {Db::nameKey("Ärger")});
        }
        Db::closeNamed("writer");
        RawDb raw(path);
        QCOMPARE(raw.column("select composerkey from composer where composer in ('ölberg', 'Ärger') order by 1"),
                 QStringList({Db::nameKey("Ärger"), Db::nameKey("ölberg")}));
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
};

QTEST_MAIN(TestPlainSqlite)
#include "tst_plainsqlite.moc"
