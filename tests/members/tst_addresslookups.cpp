// The address look-ups: texts to ids (case-blind, Unicode, untrimmed,
// first by id, quotes and wildcards as plain characters), ids to texts,
// the learning of a typed text, the editor's value lists and the state list.
#include "AddressLookups.h"
#include "MemberTestUtil.h"

#include <QComboBox>

using namespace membertest;

class TestAddressLookups : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
    }
    void cleanup() { m_folder.reset(); }

    void textsAndIdsFindEachOther()
    {
        const qint32 springfield = insert("insert into city (City) values ('Springfield')");
        const qint32 zurich = insert("insert into city (City) values (?)", {QString::fromUtf8("Zürich")});
        const qint32 coeur = insert("insert into city (City) values (?)", {"Coeur d'Alene"});
        const qint32 zip = insert("insert into zip (Zip) values ('62701-1234')");
        const qint32 stMarys = insert("insert into school (School) values (?)", {"St. Mary's"});
        const qint32 unnamed = insert("insert into school (School) values (null)");

        QCOMPARE(GetCityID("SPRINGFIELD"), springfield);
        QCOMPARE(GetCityID(QString::fromUtf8("ZÜRICH")), zurich);
        QCOMPARE(GetCityID("coeur D'ALENE"), coeur);
        QCOMPARE(GetZipID("62701-1234"), zip);
        QCOMPARE(GetSchoolID("st. mary's"), stMarys);
        // Not trimmed; quotes and wildcards are plain characters; no row: 0.
        for (const QString &text : QStringList{"Springfield ", " Springfield", "%", "Spring%", "_pringfield", "' or '1'='1", ""})
            QVERIFY2(GetCityID(text) == 0, qPrintable(text));
        QCOMPARE(GetZipID("62701"), 0);
        // Equal texts: the first row by id.
        const qint32 upper = insert("insert into city (City) values ('PARIS')");
        insert("insert into city (City) values ('Paris')");
        QCOMPARE(GetCityID("paris"), upper);

        QCOMPARE(GetCityName(coeur), QStringLiteral("Coeur d'Alene"));
        QCOMPARE(GetZipText(zip), QStringLiteral("62701-1234"));
        QCOMPARE(GetSchoolName(stMarys), QStringLiteral("St. Mary's"));
        // No row, or a Null text: "".
        Db::exec("delete from zip");
        QCOMPARE(GetZipText(zip), QString());
        QCOMPARE(GetZipText(0), QString());
        QCOMPARE(GetSchoolName(unnamed), QString());
    }

    void aTypedTextIsLearntOnceCaseBlindAndCut()
    {
        // Empty after trimming: no id, no row.
        QCOMPARE(LearnAddressText(AddressKind::City, "   "), 0);
        QCOMPARE(count("select count(*) from city"), 0);

        const qint32 a = LearnAddressText(AddressKind::City, "Springfield");
        QVERIFY(a > 0);
        QCOMPARE(LearnAddressText(AddressKind::City, "SPRINGFIELD"), a);
        QCOMPARE(count("select count(*) from city"), 1);
        // The test trims; the stored text does not.
        const qint32 padded = LearnAddressText(AddressKind::City, " Springfield");
        QVERIFY(padded != a);
        QCOMPARE(GetCityName(padded), QStringLiteral(" Springfield"));

        // Widths in characters: 50, 10 and 100. A character beyond the
        // Basic Multilingual Plane counts once and is never split.
        const QString longCity = QString(49, 'c') + QString::fromUtf8("🎵") + "tail";
        const qint32 c = LearnAddressText(AddressKind::City, longCity);
        QCOMPARE(GetCityName(c), QString(49, 'c') + QString::fromUtf8("🎵"));
        QCOMPARE(LearnAddressText(AddressKind::City, longCity + " more"), c); // the cut text is looked up
        QCOMPARE(GetZipText(LearnAddressText(AddressKind::Zip, "62701-12345678")), QStringLiteral("62701-1234"));
        const qint32 s = LearnAddressText(AddressKind::School, QString(120, QChar(0x00e9)));
        QCOMPARE(GetSchoolName(s), QString(100, QChar(0x00e9)));
        QCOMPARE(LearnAddressText(AddressKind::School, QString(100, QChar(0x00c9))), s);
    }

    void valueListsHoldEachTextOnce()
    {
        Db::exec("insert into city (City) values ('springfield'), ('Boston'), ('SPRINGFIELD'), (null), (''), "
                 "('Coeur d''Alene'), ('  '), ('boston')");
        Db::exec("insert into zip (Zip) values ('62701'), ('10001'), ('62701')");
        Db::exec("insert into school (School) values (?), (?)",
                 {QString::fromUtf8("École"), QString::fromUtf8("ÉCOLE")});
        QCOMPARE(AddressValues(AddressKind::City), (QStringList{"  ", "Boston", "Coeur d'Alene", "springfield"}));
        QCOMPARE(AddressValues(AddressKind::Zip), (QStringList{"10001", "62701"}));
        QCOMPARE(AddressValues(AddressKind::School), QStringList{QString::fromUtf8("École")});
    }

    void theStateListEndsWithTheBlank()
    {
        QComboBox list;
        list.addItem("stale");
        FillStateCombo(&list);
        QCOMPARE(list.count(), 52);
        QStringList items;
        for (int i = 0; i < list.count(); ++i)
            items << list.itemText(i);
        QCOMPARE(items.first(), QStringLiteral("AK"));
        QCOMPARE(items.last(), QStringLiteral(" "));
        QStringList sorted = items.mid(0, 51);
        sorted.sort();
        QCOMPARE(items.mid(0, 51), sorted);

        // A failing read leaves the list as it was.
        Db::exec("alter table state rename to gone");
        QVERIFY_THROWS_EXCEPTION(DbError, FillStateCombo(&list));
        QCOMPARE(list.count(), 52);
        Db::exec("alter table gone rename to state");

        Db::exec("delete from state");
        FillStateCombo(&list);
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.itemText(0), QStringLiteral(" "));
        Db::exec("insert into state (statea) values ('TX'), (null), ('AL')");
        FillStateCombo(&list);
        QCOMPARE(list.count(), 4);
        QCOMPARE(list.itemText(0), QString()); // a Null is an empty item
        QCOMPARE(list.itemText(1), QStringLiteral("AL"));
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
};

QTEST_MAIN(TestAddressLookups)
#include "tst_addresslookups.moc"
