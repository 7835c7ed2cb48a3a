// Text widths summed from characters and pairs: exactly what laying the
// text out gives in the report's faces, and the same measure wherever a
// sum could differ.
#include "TextWidths.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QRandomGenerator>
#include <QtTest>

class TestTextWidths : public QObject {
    Q_OBJECT
private slots:
    void sumsAreExactInTheReportFaces()
    {
        if (!QFontDatabase::families().contains(QStringLiteral("Liberation Sans")))
            QSKIP("The report's face is not installed.");
        QString alphabet;
        for (char16_t c = 0x20; c < 0x250; ++c)
            if (TextWidths::isSimple(QString(QChar(c))))
                alphabet += QChar(c);
        alphabet += QString::fromUtf8("‘’“”–—…•€");
        QRandomGenerator rng(5);
        for (const bool bold : {false, true}) {
            for (const int twips : {160, 180, 280}) {
                QFont f(QStringLiteral("Liberation Sans"));
                f.setPixelSize(twips);
                f.setBold(bold);
                f.setHintingPreference(QFont::PreferNoHinting);
                const TextWidths widths(f);
                QVERIFY(widths.pairsAreExact());
                const QFontMetricsF fm(f);
                for (int i = 0; i < 3000; ++i) {
                    QString s;
                    const int n = 1 + int(rng.bounded(40));
                    for (int k = 0; k < n; ++k)
                        s += alphabet.at(int(rng.bounded(alphabet.size())));
                    QCOMPARE(widths.width(s), fm.horizontalAdvance(s));
                }
            }
        }
    }

    void otherTextsAreMeasuredWhole()
    {
        const QFont f = QApplication::font();
        const TextWidths widths(f);
        const QFontMetricsF fm(f);
        // A soft hyphen, a combining accent, Arabic, a tab, a surrogate pair.
        for (const QString &s : {QString::fromUtf8("co\u00ADoperate"), QString::fromUtf8("e\u0301le\u0300ve"),
                                QString::fromUtf8("سلام عليكم"), QString("a\tb"), QString::fromUtf8("Joy 😀")}) {
            QVERIFY(!TextWidths::isSimple(s));
            QCOMPARE(widths.width(s), fm.horizontalAdvance(s));
        }
        QVERIFY(TextWidths::isSimple(QString::fromUtf8("Dvořák – “Te Deum”")));
        QCOMPARE(widths.width(QString()), 0.0);
        // The estimate stays close whatever the font.
        const QString plain = QStringLiteral("Office of the fifth affliction");
        QVERIFY(qAbs(widths.estimate(plain) - fm.horizontalAdvance(plain)) < 3);
        QCOMPARE(&TextWidths::of(f), &TextWidths::of(f));
    }
};

QTEST_MAIN(TestTextWidths)
#include "tst_textwidths.moc"
