// The date field that can be empty, and the number forms the editors show
// and read back.
#include "DateField.h"
#include "Fmt.h"
#include "TestSupport.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

class DateWindow : public QWidget {
public:
    DateWindow()
    {
        auto *lay = new QVBoxLayout(this);
        purchased = new DateField(this);
        purchased->setObjectName("DatePurchased");
        other = new QLineEdit(this);
        other->setObjectName("Catalog");
        lay->addWidget(purchased);
        lay->addWidget(other);
    }
    DateField *purchased;
    QLineEdit *other;
};

} // namespace

class TestDateField : public QObject {
    Q_OBJECT
private slots:
    void init() { m_prompter = std::make_unique<TestPrompter>(); }
    void cleanup() { m_prompter.reset(); }

    void theFieldAndItsButtonAreNamed()
    {
        QWidget w;
        auto *lay = new QVBoxLayout(&w);
        auto *caption = new QLabel(QStringLiteral("Purchase &Date"), &w);
        auto *field = new DateField(&w);
        caption->setBuddy(field);
        lay->addWidget(caption);
        lay->addWidget(field);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(accessibleName(field->calendarButton()), QStringLiteral("Choose a date"));
        QCOMPARE(accessibleName(field->lineEdit()), QStringLiteral("Purchase Date"));
    }

    void valuesSetByTheProgram()
    {
        DateField f;
        QVERIFY(f.isEmpty());
        QVERIFY(!f.date().isValid());
        QVERIFY(!f.hasValidDate());
        f.setDate(QDate(2001, 3, 5));
        QCOMPARE(f.text(), QString("03/05/2001"));
        f.setText("7/4/1776");
        QCOMPARE(f.text(), QString("07/04/1776"));
        QCOMPARE(f.date(), QDate(1776, 7, 4));
        f.setDate(QDate());
        QVERIFY(f.isEmpty());
        f.setDate(QDate(50, 1, 1)); // before the field's range: no date
        QVERIFY(f.isEmpty());
        f.setText("12/31/9999");
        QCOMPARE(f.date(), DateField::maximumDate());
        f.setText("01/01/0100");
        QCOMPARE(f.date(), DateField::minimumDate());
        f.setText("01/01/0099");
        QVERIFY(!f.hasValidDate());
        f.clear();
        QVERIFY(f.isEmpty());
    }

    // Typing as a user does, in a window made as narrow as it goes (the
    // box's hint shows whole): a date is shown in full, empty means no
    // date, anything else is refused with a message and keeps the focus.
    void typing()
    {
        DateWindow w;
        w.resize(40, w.height());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(cutCaptions(&w), QStringList());
        QLineEdit *edit = child<DateField>(&w, "DatePurchased")->lineEdit();
        QSignalSpy changed(w.purchased, &DateField::userChanged);

        edit->setFocus();
        QTest::keyClicks(edit, "3/5/01");
        QVERIFY(changed.size() > 0);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(w.purchased->text(), QString("03/05/2001"));
        QCOMPARE(w.purchased->date(), QDate(2001, 3, 5));
        QVERIFY(m_prompter->messages.isEmpty());

        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        w.other->setFocus();
        QVERIFY(w.purchased->isEmpty());
        QVERIFY(!w.purchased->date().isValid());
        QVERIFY(m_prompter->messages.isEmpty());

        for (const QString bad : {"02/30/2001", "next Tuesday", "13/01/2001", "1/2"}) {
            m_prompter->clear();
            edit->setFocus();
            edit->clear();
            QTest::keyClicks(edit, bad);
            QTest::keyClick(edit, Qt::Key_Return);
            QCOMPARE(m_prompter->messages.size(), 1);
            QCOMPARE(m_prompter->lastMessage(), DateField::refusalMessage(bad));
            QVERIFY(m_prompter->lastMessage().contains("mm/dd/yyyy"));
            QCOMPARE(m_prompter->messages.first().icon, MsgIcon::Exclamation);
            QCOMPARE(w.purchased->text(), bad); // kept for the user to correct
            QVERIFY(!w.purchased->hasValidDate());
            QTRY_VERIFY(edit->hasFocus());
            QVERIFY(!w.purchased->acceptInput()); // a saver asking again is refused too
        }

        // Leaving the field with a bad date is refused as well.
        m_prompter->clear();
        edit->clear();
        QTest::keyClicks(edit, "31/12/2001");
        w.other->setFocus();
        QCOMPARE(m_prompter->messages.size(), 1);

        // With the check left to its dialog, Enter and leaving say nothing
        // and keep the text; asking still refuses.
        w.purchased->setCheckOnFinish(false);
        m_prompter->clear();
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, "2/30/2001");
        QTest::keyClick(edit, Qt::Key_Return);
        w.other->setFocus();
        QVERIFY(m_prompter->messages.isEmpty());
        QCOMPARE(w.purchased->text(), QString("2/30/2001"));
        QVERIFY(!w.purchased->acceptInput());
        QCOMPARE(m_prompter->messages.size(), 1);
    }

    void calendarPopup()
    {
        DateWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.purchased->setText("06/15/1998");
        QSignalSpy changed(w.purchased, &DateField::userChanged);
        QTest::mouseClick(w.purchased->calendarButton(), Qt::LeftButton);
        QVERIFY(w.purchased->isCalendarShown());
        QCalendarWidget *cal = w.purchased->findChild<QCalendarWidget *>("DateCalendar");
        QVERIFY(cal);
        QCOMPARE(cal->selectedDate(), QDate(1998, 6, 15));
        cal->setSelectedDate(QDate(1998, 6, 20));
        auto *view = cal->findChild<QTableView *>();
        QVERIFY(view);
        QTest::keyClick(view, Qt::Key_Return);
        QVERIFY(!w.purchased->isCalendarShown());
        QCOMPARE(w.purchased->text(), QString("06/20/1998"));
        QCOMPARE(changed.size(), 1);
        QVERIFY(m_prompter->messages.isEmpty());

        // From an empty field the calendar starts at today; F4 opens it.
        w.purchased->clear();
        w.purchased->lineEdit()->setFocus();
        QTest::keyClick(w.purchased->lineEdit(), Qt::Key_F4);
        QVERIFY(w.purchased->isCalendarShown());
        QCOMPARE(cal->selectedDate(), QDate::currentDate());
        QTest::keyClick(view, Qt::Key_Escape);
        QTRY_VERIFY(!w.purchased->isCalendarShown());
        QVERIFY(w.purchased->isEmpty());
    }

    void numbersRoundTrip_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QString>("whole");
        QTest::newRow("cents") << 12.5 << "$12.50" << "13";
        QTest::newRow("thousand") << 1000.0 << "$1,000.00" << "1,000";
        QTest::newRow("negative") << -3.0 << "($3.00)" << "-3";
        QTest::newRow("million") << 1234567.891 << "$1,234,567.89" << "1,234,568";
        QTest::newRow("tiny negative") << -0.001 << "$0.00" << "0";
        QTest::newRow("small negative") << -0.4 << "($0.40)" << "0";
    }
    void numbersRoundTrip()
    {
        QFETCH(double, value);
        QFETCH(QString, currency);
        QFETCH(QString, whole);
        QCOMPARE(Fmt::currency(value), currency);
        QCOMPARE(Fmt::wholeNumber(value), whole);
        QCOMPARE(*Fmt::parseNumber(currency), std::round(value * 100) / 100);
        QCOMPARE(*Fmt::parseNumber(whole), std::round(value) + 0.0);
    }

    void numbersRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("$12.50") << "$12.50" << true << 12.5;
        QTest::newRow("1,000") << "1,000" << true << 1000.0;
        QTest::newRow("($3.00)") << "($3.00)" << true << -3.0;
        QTest::newRow("-$3") << "-$3" << true << -3.0;
        QTest::newRow("blanks around") << "  42  " << true << 42.0;
        QTest::newRow(".5") << ".5" << true << 0.5;
        QTest::newRow("5.") << "5." << true << 5.0;
        QTest::newRow("12abc") << "12abc" << false << 0.0;
        QTest::newRow("1,00") << "1,00" << false << 0.0;
        QTest::newRow(",100") << ",100" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("$") << "$" << false << 0.0;
        QTest::newRow(".") << "." << false << 0.0;
        QTest::newRow("(-3)") << "(-3)" << false << 0.0;
        QTest::newRow("--3") << "--3" << false << 0.0;
        QTest::newRow("1.2.3") << "1.2.3" << false << 0.0;
        QTest::newRow("(3") << "(3" << false << 0.0;
    }
    void numbersRead()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        const std::optional<double> v = Fmt::parseNumber(text);
        QCOMPARE(v.has_value(), ok);
        if (ok)
            QCOMPARE(*v, value);
        QCOMPARE(Fmt::isNumeric(text), ok);
    }

    void costAndCopiesReadWhatTheEditorShows()
    {
        // Whatever an editor displays reads back as the value shown.
        for (double v : {0.0, 0.5, 12.5, 1234.5, 1234567.89, -3.0}) {
            const Fmt::CostInput c = Fmt::parseCost(Fmt::currency(v));
            QVERIFY2(c.valid && c.value, qPrintable(Fmt::currency(v)));
            QCOMPARE(*c.value, v);
        }
        for (qint64 n : {0, 7, 1200, 1234567}) {
            const Fmt::CopiesInput c = Fmt::parseCopies(Fmt::wholeNumber(double(n)));
            QVERIFY2(c.valid && c.value, qPrintable(Fmt::wholeNumber(double(n))));
            QCOMPARE(*c.value, n);
        }
        QCOMPARE(*Fmt::parseCost(" 12.345 ").value, 12.35); // to the cent
        QCOMPARE(*Fmt::parseCost("$1,234.50").value, 1234.5);
        QCOMPARE(*Fmt::parseCopies("1,200").value, 1200);
        // An emptied box is valid and holds no value.
        for (const char *empty : {"", "   "}) {
            QVERIFY(Fmt::parseCost(empty).valid && !Fmt::parseCost(empty).value);
            QVERIFY(Fmt::parseCopies(empty).valid && !Fmt::parseCopies(empty).value);
        }
        // Anything else is refused.
        for (const char *bad : {"abc", "12,5", "1,2,3", "$", "1e3x", "--2"})
            QVERIFY2(!Fmt::parseCost(bad).valid, bad);
        for (const char *bad : {"abc", "12.5", "1,20", "99999999999"})
            QVERIFY2(!Fmt::parseCopies(bad).valid, bad);
    }

    void storedNumbersReadAsTheEditorsShowThem()
    {
        QCOMPARE(*Fmt::storedNumber(QVariant(12.5)), 12.5);
        QCOMPARE(*Fmt::storedNumber(QVariant(qint64(30))), 30.0);
        // An imported file may hold a number as text, formatted or not.
        QCOMPARE(*Fmt::storedNumber(QVariant(QStringLiteral("$1,234.50"))), 1234.5);
        QCOMPARE(*Fmt::storedNumber(QVariant(QStringLiteral(" 7 "))), 7.0);
        QVERIFY(!Fmt::storedNumber(QVariant()));
        QVERIFY(!Fmt::storedNumber(QVariant(QMetaType::fromType<double>())));
        QVERIFY(!Fmt::storedNumber(QVariant(QStringLiteral("twelve"))));
        // And back: none is stored as Null.
        QVERIFY(Fmt::numberToDb(std::optional<double>()).isNull());
        QVERIFY(Fmt::numberToDb(std::optional<qint64>()).isNull());
        QCOMPARE(Fmt::numberToDb(std::optional<double>(2.25)).toDouble(), 2.25);
        QCOMPARE(Fmt::numberToDb(std::optional<qint64>(12)).toLongLong(), qint64(12));
    }

private:
    std::unique_ptr<TestPrompter> m_prompter;
};

QTEST_MAIN(TestDateField)
#include "tst_datefield.moc"
