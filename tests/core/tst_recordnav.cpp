// The letter bar and the record toolbar's modes, used the way the record
// editors use them (the wrap-around move: tst_nameindex).
#include "HXData.h"
#include "LetterBar.h"
#include "RecordNav.h"
#include "RecordToolbar.h"
#include "TestSupport.h"

#include <QAction>
#include <QSignalSpy>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A stand-in for a record editor: its two toolbars and a current-record
// object, with the letter-bar bookkeeping every editor does.
class EditorWindow : public QWidget {
public:
    EditorWindow()
    {
        auto *lay = new QVBoxLayout(this);
        records = new RecordToolbar(this);
        letters = new LetterBar(this);
        lay->addWidget(records);
        lay->addWidget(letters);
        QObject::connect(letters, &LetterBar::buttonClicked, letters, [this](int index) {
            if (letters->buttonToolTip(index).startsWith(QLatin1Char('N')))
                return;
            data.setA_Button(qint16(curButton));
            data.setP_Button(qint16(prevButton));
            SetLetterFromButton(index, data);
            prevButton = data.P_Button();
            curButton = data.A_Button();
            MoveLetterHighlight(curButton, prevButton, letters);
        });
    }
    // Which letters have records, as an editor marks them after loading.
    void markNames(const QStringList &names)
    {
        DisableAllLetters(letters);
        for (const QString &n : names)
            LetterButtonForName(0, n, letters, data);
    }
    // The visible button of each group: 'n' normal, 's' selected, 'd'
    // disabled, '?' anything but exactly one.
    QString looks() const
    {
        QString out;
        for (int g = 1; g <= 76; g += 3) {
            const int vis = letters->isButtonVisible(g) + letters->isButtonVisible(g + 1)
                            + letters->isButtonVisible(g + 2);
            if (vis != 1)
                out += '?';
            else
                out += letters->isButtonVisible(g) ? 'n' : letters->isButtonVisible(g + 1) ? 's' : 'd';
        }
        return out;
    }
    QString visibleRecordButtons() const
    {
        QString out;
        for (int i = 1; i <= 10; ++i)
            if (i != 9 && records->isButtonVisible(i))
                out += QString::number(i) + ' ';
        return out.trimmed();
    }

    RecordToolbar *records;
    LetterBar *letters;
    HXData data;
    int curButton = 1;
    int prevButton = 51;
};

// The looks expected when the given letters have records and `selected`
// (if any) is the chosen one.
QString expected(const QString &withRecords, QChar selected = QChar())
{
    QString out;
    for (QChar c = 'A'; c <= 'Z'; c = QChar(c.unicode() + 1))
        out += !withRecords.contains(c) ? 'd' : c == selected ? 's' : 'n';
    return out;
}

} // namespace

class TestRecordNav : public QObject {
    Q_OBJECT
private slots:
    void letterOfName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("letter");
        QTest::newRow("upper") << "Gloria" << "G";
        QTest::newRow("lower z") << "zion's hill" << "Z";
        QTest::newRow("digit") << "23rd Psalm" << "A";
        QTest::newRow("blank") << " Te Deum" << "A";
        QTest::newRow("accented") << "Émile's Hymn" << "A";
        QTest::newRow("sharp s") << "ßtrasse" << "A";
        QTest::newRow("empty") << "" << "A";
    }
    void letterOfName()
    {
        QFETCH(QString, name);
        QFETCH(QString, letter);
        QCOMPARE(LetterOfName(name), letter);
        HXData d;
        LetterBar bar;
        QCOMPARE(LetterButtonForName(1, name, &bar, d), letter);
        QCOMPARE(d.SLetterW(), letter);
        QCOMPARE(int(d.A_Button()), LetterGroupButton(letter));
    }

    void letterBarButtonsAndTooltips()
    {
        LetterBar bar;
        QCOMPARE(bar.objectName(), QString("Toolbar2"));
        QVERIFY(!bar.button(0) && !bar.button(79));
        for (int i = 1; i <= 78; ++i) {
            const QString letter(QChar('A' + (i - 1) / 3));
            QCOMPARE(bar.button(i)->text(), letter);
            if ((i - 1) % 3 < 2)
                QCOMPARE(bar.buttonToolTip(i), "Collections beginning with " + letter);
            else if (i == 9)
                QCOMPARE(bar.buttonToolTip(i), QString("No Data for C"));
            else
                QCOMPARE(bar.buttonToolTip(i), "No data for " + letter);
        }
        QVERIFY(bar.button(3)->isEnabled() == false);
        QVERIFY(bar.button(2)->font().bold());
        // Each editor names its own records.
        bar.setRecordsName("Members");
        QCOMPARE(bar.buttonToolTip(76), QString("Members beginning with Z"));
        QCOMPARE(bar.buttonToolTip(77), QString("Members beginning with Z"));
        QCOMPARE(bar.buttonToolTip(9), QString("No Data for C"));
    }

    void setLetterFromButton()
    {
        HXData d;
        d.setA_Button(40);
        SetLetterFromButton(3, d);
        QCOMPARE(int(d.A_Button()), 1);
        QCOMPARE(int(d.P_Button()), 40);
        QCOMPARE(d.SLetterW(), QString("A"));
        for (int i : {76, 77, 78}) {
            SetLetterFromButton(i, d);
            QCOMPARE(int(d.A_Button()), 76);
            QCOMPARE(d.SLetterW(), QString("Z"));
        }
        QCOMPARE(int(d.P_Button()), 76);
        d.setP_Button(5);
        SetLetterFromButton(0, d);
        SetLetterFromButton(79, d);
        QCOMPARE(int(d.A_Button()), 76);
        QCOMPARE(int(d.P_Button()), 5);
        QCOMPARE(d.SLetterW(), QString("Z"));
    }

    void lettersWithRecordsAndHighlight()
    {
        EditorWindow w;
        w.markNames({"Amazing Grace", "be thou my vision", "1st Noel", "Zion", "Ébène"});
        QCOMPARE(w.looks(), expected("ABZ"));
        QVERIFY(w.data.SLetterW().isEmpty()); // mode 0 leaves the data alone

        // The editors' reset values: right after DisableAllLetters the move
        // from 51 to 1 changes nothing.
        EditorWindow fresh;
        DisableAllLetters(fresh.letters);
        MoveLetterHighlight(1, 51, fresh.letters);
        QCOMPARE(fresh.looks(), QString(26, 'd'));

        // With records under A and R, A takes the selected look and R
        // keeps its normal one.
        w.markNames({"Amazing Grace", "be thou my vision", "1st Noel", "Zion", "Ébène", "Rejoice"});
        const QString before = w.looks();
        MoveLetterHighlight(1, 51, w.letters);
        QCOMPARE(w.looks(), expected("ABRZ", 'A'));
        MoveLetterHighlight(1, 51, w.letters);
        QCOMPARE(w.looks().mid(1), before.mid(1));

        MoveLetterHighlight(4, 1, w.letters);
        QCOMPARE(w.looks(), expected("ABRZ", 'B'));
        MoveLetterHighlight(4, 4, w.letters);
        QCOMPARE(w.looks(), expected("ABRZ", 'B'));
        // Towards a letter without records: only the old one loses its look.
        MoveLetterHighlight(7, 4, w.letters);
        QCOMPARE(w.looks(), expected("ABRZ"));
    }

    // A click on a letter goes through the editor's handler; a disabled
    // letter cannot be clicked.
    void clickingLetters()
    {
        EditorWindow w;
        w.markNames({"Bach", "Zadok"});
        MoveLetterHighlight(w.curButton, w.prevButton, w.letters); // A stays disabled
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QSignalSpy spy(w.letters, &LetterBar::buttonClicked);
        auto press = [&](int index) {
            auto *b = qobject_cast<QToolButton *>(w.letters->widgetForAction(w.letters->button(index)));
            QVERIFY(b);
            QTest::mouseClick(b, Qt::LeftButton);
        };
        press(76);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(w.data.SLetterW(), QString("Z"));
        QCOMPARE(w.curButton, 76);
        QCOMPARE(w.prevButton, 1);
        QCOMPARE(w.looks().right(1), QString("s"));
        press(4);
        QCOMPARE(w.looks(), expected("BZ", 'B'));
        press(9); // C has no records
        QCOMPARE(spy.size(), 2);
        QCOMPARE(w.data.SLetterW(), QString("B"));
    }

    void toolbarModes()
    {
        EditorWindow w;
        QCOMPARE(w.records->objectName(), QString("Toolbar1"));
        SetToolbarEditMode(&w);
        QCOMPARE(w.visibleRecordButtons(), QString("2 3"));
        SetToolbarBrowseMode(&w);
        QCOMPARE(w.visibleRecordButtons(), QString("1 3 4 5 6 7 8 10"));
        SetToolbarEmptyMode(&w);
        QCOMPARE(w.visibleRecordButtons(), QString("1"));
        QVERIFY(w.records->button(9)->isSeparator());
        QVERIFY(w.records->button(9)->isVisible());

        // A toolbar without a schedule button: the modes skip it.
        w.records->removeButton(10);
        SetToolbarBrowseMode(&w);
        QCOMPARE(w.visibleRecordButtons(), QString("1 3 4 5 6 7 8"));
        QWidget bare;
        SetToolbarEditMode(&bare);
        SetToolbarEditMode(nullptr);

        QSignalSpy spy(w.records, &RecordToolbar::buttonClicked);
        w.records->button(7)->trigger();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 7);
    }
};

QTEST_MAIN(TestRecordNav)
#include "tst_recordnav.moc"
