// Dates as stored, shown and typed.
#include "Fmt.h"

#include <QtTest>

class TestDates : public QObject {
    Q_OBJECT
private slots:
    void typedDates_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("full") << "03/15/2001" << QDate(2001, 3, 15);
        QTest::newRow("short parts") << "3/5/2001" << QDate(2001, 3, 5);
        QTest::newRow("dashes") << "12-31-1999" << QDate(1999, 12, 31);
        QTest::newRow("blanks") << " 1/ 2/2003 " << QDate(2003, 1, 2);
        QTest::newRow("two-digit 29") << "1/1/29" << QDate(2029, 1, 1);
        QTest::newRow("two-digit 30") << "1/1/30" << QDate(1930, 1, 1);
        QTest::newRow("leap day") << "02/29/2024" << QDate(2024, 2, 29);
        QTest::newRow("no leap day") << "02/29/2023" << QDate();
        QTest::newRow("day first") << "15/03/2001" << QDate();
        QTest::newRow("iso") << "2001-03-15" << QDate();
        QTest::newRow("words") << "March 15" << QDate();
        QTest::newRow("empty") << "" << QDate();
    }

    void typedDates()
    {
        QFETCH(QString, typed);
        QFETCH(QDate, expected);
        const auto d = Fmt::parseMdy(typed);
        QCOMPARE(d.has_value(), expected.isValid());
        if (d)
            QCOMPARE(*d, expected);
    }

    void storedAndShown()
    {
        const QDate d(2001, 3, 5);
        QCOMPARE(Fmt::dateToDb(d).toString(), QString("2001-03-05"));
        QVERIFY(Fmt::dateToDb(QDate()).isNull());
        QCOMPARE(Fmt::dateFromDb(QVariant("2001-03-05")), d);
        QVERIFY(!Fmt::dateFromDb(QVariant()).isValid());
        QVERIFY(!Fmt::dateFromDb(QVariant("garbage")).isValid());
        // Read as the general parser reads the first ten characters.
        for (const char *stored : {"2000-02-29", "2001-02-29", "2001-13-05", "2001-00-10", "0000-01-01", " 2001-03-05 ",
                                   "2001-03-05T10:30:00", "2001-3-5", "2001/03/05", "20010305", "1999-12-31 x"})
            QCOMPARE(Fmt::dateFromDb(QVariant(stored)),
                     QDate::fromString(QString::fromLatin1(stored).trimmed().left(10), QStringLiteral("yyyy-MM-dd")));
        QCOMPARE(Fmt::mdy(d), QString("03/05/2001"));
        QCOMPARE(Fmt::my(d), QString("03/2001"));
        QCOMPARE(Fmt::md(d), QString("03/05"));
        QCOMPARE(Fmt::mdy(QDate()), QString());
        QCOMPARE(Fmt::longDate(QDate(2026, 12, 8)), QString("Tuesday, December 8, 2026"));
        // Round trip through what the user sees.
        QCOMPARE(*Fmt::parseMdy(Fmt::mdy(d)), d);
    }

    void nullReadsAsEmpty()
    {
        QCOMPARE(Fmt::nz(QVariant()), QString());
        QCOMPARE(Fmt::nz(QVariant(QMetaType::fromType<QString>())), QString());
        QCOMPARE(Fmt::nz(QVariant(12)), QString("12"));
        QCOMPARE(Fmt::trimCut("  abcdef  ", 3), QString("abc"));
    }
};

QTEST_MAIN(TestDates)
#include "tst_dates.moc"
