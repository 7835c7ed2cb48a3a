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

    void textsFindTheirIdsWithoutRegardToCase()
    {
        const qint32 springfield = insert("insert into city (City) values ('Springfield')");
        const qint32 zurich = insert("insert into city (City) values (?)", {QString::fromUtf8("Zürich")});
        const qint32 coeur = insert("insert into city (City) values (?)", {"Coeur d'Alene"});
        const qint32 zip = insert("insert into zip (Zip) values ('62701-1234')");
        const qint32 stMarys = insert("insert into school (School) values (?)", {"St. Mary's"});
        const qint32 ecole = insert("insert into school (School) values (?)", {QString::fromUtf8("École Élan")});

        QCOMPARE(GetCityID("springfield"), springfield);
        QCOMPARE(GetCityID("SPRINGFIELD"), springfield);
        QCOMPARE(GetCityID(QString::fromUtf8("ZÜRICH")), zurich);
        QCOMPARE(GetCityID("coeur D'ALENE"), coeur);
        QCOMPARE(GetZipID("62701-1234"), zip);
        QCOMPARE(GetSchoolID("st. mary's"), stMarys);
        QCOMPARE(GetSchoolID(QString::fromUtf8("école élan")), ecole);

        // Not trimmed: a blank more is another text.
        QCOMPARE(GetCityID("Springfield "), 0);
        QCOMPARE(GetCityID(" Springfield"), 0);
        // Quotes and wildcards are plain characters.
        QCOMPARE(GetCityID("%"), 0);
        QCOMPARE(GetCityID("Spring%"), 0);
        QCOMPARE(GetCityID("_pringfield"), 0);
        QCOMPARE(GetCityID("' or '1'='1"), 0);
        QCOMPARE(GetCityID(""), 0);
        QCOMPARE(GetZipID("62701"), 0);
        QCOMPARE(GetSchoolID("Lincoln"), 0);

        // Equal texts: the first row by id.
        const qint32 upper = insert("insert into city (City) values ('PARIS')");
        insert("insert into city (City) values ('Paris')");
        QCOMPARE(GetCityID("paris"), upper);
        // A city stored with a blank first is only found that way.
        const qint32 padded = insert("insert into city (City) values (' Dover')");
        QCOMPARE(GetCityID(" dover"), padded);
        QCOMPARE(GetCityID("Dover"), 0);
    }

    void idsGiveTheirTexts()
    {
        const qint32 city = insert("insert into city (City) values ('Coeur d''Alene')");
        const qint32 gone = insert("insert into zip (Zip) values ('10001')");
        const qint32 zip = insert("insert into zip (Zip) values ('62701')");
        const qint32 nullSchool = insert("insert into school (School) values (null)");
        Db::exec("delete from zip where ZipID = ?", {gone});

        QCOMPARE(GetCityName(city), QStringLiteral("Coeur d'Alene"));
        QCOMPARE(GetZipText(zip), QStringLiteral("62701"));
        QCOMPARE(GetZipText(0), QString());
        QCOMPARE(GetZipText(gone), QString());
        QCOMPARE(GetZipText(-1), QString());
        QCOMPARE(GetSchoolName(nullSchool), QString());
        QCOMPARE(GetSchoolName(12345), QString());
        QCOMPARE(GetCityName(0), QString());
    }

    void aTypedTextIsLearntOnceCaseBlindAndCut()
    {
        // Empty after trimming: no id, no row.
        QCOMPARE(LearnAddressText(AddressKind::City, QString()), 0);
        QCOMPARE(LearnAddressText(AddressKind::City, "   "), 0);
        QCOMPARE(count("select count(*) from city"), 0);

        const qint32 a = LearnAddressText(AddressKind::City, "Springfield");
        QVERIFY(a > 0);
        QCOMPARE(LearnAddressText(AddressKind::City, "SPRINGFIELD"), a);
        QCOMPARE(LearnAddressText(AddressKind::City, "springfield"), a);
        QCOMPARE(count("select count(*) from city"), 1);
        QCOMPARE(cell("select City from city where CityID = ?", {a}).toString(), QStringLiteral("Springfield"));

        // The test trims; the stored text does not.
        const qint32 padded = LearnAddressText(AddressKind::City, " Springfield");
        QVERIFY(padded != a);
        QCOMPARE(cell("select City from city where CityID = ?", {padded}).toString(), QStringLiteral(" Springfield"));

        // Widths in characters: 50, 10 and 100. A character beyond the
        // Basic Multilingual Plane counts once and is never split.
        const QString longCity = QString(49, 'c') + QString::fromUtf8("🎵") + "tail";
        const qint32 c = LearnAddressText(AddressKind::City, longCity);
        QCOMPARE(cell("select City from city where CityID = ?", {c}).toString(),
                 QString(49, 'c') + QString::fromUtf8("🎵"));
        // The cut text is what is looked up: typing it longer again finds it.
        QCOMPARE(LearnAddressText(AddressKind::City, longCity + " more"), c);
        const qint32 z = LearnAddressText(AddressKind::Zip, "62701-12345678");
        QCOMPARE(cell("select Zip from zip where ZipID = ?", {z}).toString(), QStringLiteral("62701-1234"));
        const qint32 s = LearnAddressText(AddressKind::School, QString(120, QChar(0x00e9)));
        QCOMPARE(cell("select School from school where SchoolID = ?", {s}).toString(), QString(100, QChar(0x00e9)));
        QCOMPARE(LearnAddressText(AddressKind::School, QString(100, QChar(0x00c9))), s);

        const qint32 q = LearnAddressText(AddressKind::School, "St. Mary's");
        QCOMPARE(GetSchoolID("ST. MARY'S"), q);
        QCOMPARE(count("select count(*) from school"), 2);
    }

    void valueListsHoldEachTextOnce()
    {
        Db::exec("insert into city (City) values ('springfield'), ('Boston'), ('SPRINGFIELD'), (null), (''), "
                 "('Coeur d''Alene'), ('  '), ('boston')");
        Db::exec("insert into zip (Zip) values ('62701'), ('10001'), ('62701')");
        Db::exec("insert into school (School) values (?), (?)",
                 {QString::fromUtf8("École"), QString::fromUtf8("ÉCOLE")});
        QCOMPARE(AddressValues(AddressKind::City),
                 (QStringList{"  ", "Boston", "Coeur d'Alene", "springfield"}));
        QCOMPARE(AddressValues(AddressKind::Zip), (QStringList{"10001", "62701"}));
        QCOMPARE(AddressValues(AddressKind::School), QStringList{QString::fromUtf8("École")});
    }

    void theStateListEndsWithTheBlank()
    {
        QComboBox list;
        list.addItem("stale");
        FillStateCombo(&list);
        QCOMPARE(list.count(), 52);
        QCOMPARE(list.itemText(0), QStringLiteral("AK"));
        QCOMPARE(list.itemText(50), QStringLiteral("WY"));
        QCOMPARE(list.itemText(51), QStringLiteral(" "));
        QStringList items;
        for (int i = 0; i < list.count() - 1; ++i)
            items << list.itemText(i);
        QStringList sorted = items;
        sorted.sort();
        QCOMPARE(items, sorted);

        Db::exec("delete from state");
        FillStateCombo(&list);
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.itemText(0), QStringLiteral(" "));

        Db::exec("insert into state (statea) values ('TX'), (null), ('AL')");
        FillStateCombo(&list);
        QCOMPARE(list.count(), 4);
        QCOMPARE(list.itemText(0), QString()); // a Null is an empty item
        QCOMPARE(list.itemText(1), QStringLiteral("AL"));
        QCOMPARE(list.itemText(3), QStringLiteral(" "));

        FillStateCombo(nullptr); // nothing to fill
    }

    void aFailingReadLeavesTheStateListAsItWas()
    {
        QComboBox list;
        FillStateCombo(&list);
        Db::exec("drop table state");
        QVERIFY_THROWS_EXCEPTION(DbError, FillStateCombo(&list));
        QCOMPARE(list.count(), 52);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
};

QTEST_MAIN(TestAddressLookups)
#include "tst_addresslookups.moc"
