// Pages kept packed, and past a size in a scratch file: every item reads
// back as drawn, and a spilled document behaves as one held in memory
// (find, copies, report documents, PDF). A long report's PDF, written in
// parts at once and joined, is one whole file that draws like pages
// written one by one.
#include "ReportFile.h"
#include "ReportPdf.h"
#include "ReportPrinter.h"
#include "SampleReport.h"
#include "TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool samePage(const ReportPage &a, const ReportPage &b)
{
    return a.size == b.size && a.boxes == b.boxes && a.pictures == b.pictures && a.texts == b.texts;
}

// The objects of a PDF by its cross-reference table: false when an entry
// does not point at its object.
bool wellFormed(const QByteArray &pdf, int *pageCount, QString *why)
{
    const qsizetype sx = pdf.lastIndexOf("startxref");
    const qsizetype xref = pdf.mid(sx + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong();
    if (sx < 0 || !pdf.mid(xref).startsWith("xref\n0 ")) {
        *why = QStringLiteral("no cross-reference table");
        return false;
    }
    const QList<QByteArray> head = pdf.mid(xref, 64).split('\n');
    const int count = head.value(1).split(' ').value(1).toInt();
    const qsizetype entries = xref + head.value(0).size() + head.value(1).size() + 2;
    QHash<int, QByteArray> objects;
    for (int n = 1; n < count; ++n) {
        const QByteArray entry = pdf.mid(entries + n * 20, 20);
        const qsizetype at = entry.left(10).toLongLong();
        if (!entry.contains(" n ") || !pdf.mid(at).startsWith(QByteArray::number(n) + " 0 obj")) {
            *why = QStringLiteral("object %1 is not where the table says").arg(n);
            return false;
        }
        objects.insert(n, pdf.mid(at, pdf.indexOf("endobj", at) - at));
    }
    const QByteArray trailer = pdf.mid(pdf.indexOf("trailer", entries));
    if (!trailer.contains("/Size " + QByteArray::number(count)) || !trailer.contains("/Root 2 0 R")
        || !objects.value(2).contains("/Pages 3 0 R")) {
        *why = QStringLiteral("the trailer or the catalog");
        return false;
    }
    const QByteArray tree = objects.value(3);
    static const QRegularExpression ref(QStringLiteral("(\\d+) 0 R"));
    int kids = 0;
    for (auto it = ref.globalMatch(QString::fromLatin1(tree)); it.hasNext();) {
        const QByteArray kid = objects.value(it.next().captured(1).toInt());
        if (!kid.contains("/Type /Page\n") || !kid.contains("/Parent 3 0 R")) {
            *why = QStringLiteral("a page of the tree");
            return false;
        }
        ++kids;
    }
    // Every reference of every object names an object there is.
    for (auto o = objects.constBegin(); o != objects.constEnd(); ++o) {
        const QByteArray dictionary = o.value().left(o.value().indexOf("stream"));
        for (auto it = ref.globalMatch(QString::fromLatin1(dictionary)); it.hasNext();) {
            if (!objects.contains(it.next().captured(1).toInt())) {
                *why = QStringLiteral("object %1 names one there is not").arg(o.key());
                return false;
            }
        }
    }
    *pageCount = kids;
    return tree.contains("/Count " + QByteArray::number(kids));
}

QByteArray rendered(const QString &tool, const QString &pdf, int page, const QString &stem)
{
    QProcess p;
    p.start(tool, {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-f"), QString::number(page),
                   QStringLiteral("-l"), QString::number(page), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                   pdf, stem});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    QFile f(stem + QStringLiteral(".png"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestReportPages : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        m_held = ReportDocument::heldPageBytes();
    }
    void cleanup()
    {
        ReportDocument::setHeldPageBytes(m_held);
        m_tmp.reset();
    }

    void everyItemReadsBackAsDrawn()
    {
        ReportPage page;
        page.size = QSize(15840, 12240);
        page.boxes << ReportBoxItem{QRect(-200, 30, 4000, 500), 0xffc0c0ff, true}
                   << ReportBoxItem{QRect(0, 0, 0, 0), 0, false};
        page.pictures << ReportPictureItem{QRect(1440, -50, 2000, 60), 1} << ReportPictureItem{QRect(3, 4, 5, 6), 0};
        const QString halfPair = QString(QChar(0xd834)) + QStringLiteral(" cut"); // half of a character pair
        const QStringList texts{"Anthem: ", "Dvořák – “Te Deum”", "", "主の祈り 😀", halfPair, "a\tb", QString(300, 'x')};
        qint32 x = 1440, baseline = 900;
        for (int i = 0; i < 60; ++i) {
            x = (i % 4 == 0) ? 1440 - 3000 * (i % 3) : x + 700;
            baseline += (i % 4 == 0) ? 180 : 0;
            page.texts << ReportTextItem{x, baseline, 650 + i, quint16(i % 3), i % 7 == 3 ? 0xff0000ffu : 0xff000000u,
                                         texts.at(i % texts.size())};
        }
        ReportPage empty;
        ReportDocument doc;
        QString error;
        QVERIFY2(ReportDocument::fromParts({FontSpec(), FontSpec{QStringLiteral("Arial"), 160, true},
                                            FontSpec{QStringLiteral("Arial"), 180, false, true, true}},
                                           {QImage(4, 4, QImage::Format_ARGB32), QImage(2, 2, QImage::Format_ARGB32)},
                                           {page, empty, page}, &doc, &error),
                 qPrintable(error));
        QCOMPARE(doc.pageCount(), 3);
        QVERIFY(samePage(doc.page(0), page));
        QVERIFY(samePage(doc.page(1), empty));
        QVERIFY(samePage(doc.page(2), page));
        QCOMPARE(doc.page(0).texts.at(4).text, halfPair);
    }

    void spilledPagesBehaveAsHeldOnes()
    {
        // The heading prints the time to the second: the two builds are made
        // again until they fall within one second.
        ReportDocument doc;
        ReportDocument spilled;
        for (int attempt = 0; attempt < 5; ++attempt) {
            ReportDocument::setHeldPageBytes(m_held);
            {
                ReportPrinter held;
                Sample::build(held, 60);
                doc = held.document();
            }
            ReportDocument::setHeldPageBytes(3000); // a page or so in memory, the rest in the scratch file
            // The copy outlives the printer that built it, scratch file and all.
            {
                ReportPrinter p;
                Sample::build(p, 60);
                spilled = p.document();
            }
            if (spilled.pageLines(0) == doc.pageLines(0))
                break;
        }
        QVERIFY(doc.heldBytes() > 3000);
        QVERIFY(spilled.heldBytes() <= 3000);
        QVERIFY(doc.pageCount() >= 6);
        QCOMPARE(spilled.pageCount(), doc.pageCount());
        QVERIFY(spilled == doc);
        for (int i = 0; i < doc.pageCount(); ++i) {
            QVERIFY(samePage(spilled.page(i), doc.page(i)));
            QCOMPARE(spilled.pageLines(i), doc.pageLines(i));
        }
        QCOMPARE(spilled.find(QStringLiteral("Title 58"), 1), doc.find(QStringLiteral("Title 58"), 1));
        QVERIFY(spilled.find(QStringLiteral("Title 58"), 1) > 1);

        // Cut, appended, saved and opened again: the same pages.
        const ReportDocument part = spilled.pageRange(3, doc.pageCount());
        QVERIFY(part == doc.pageRange(3, doc.pageCount()));
        QVERIFY(spilled.appended(part) == doc.appended(doc.pageRange(3, doc.pageCount())));
        const QString file = m_tmp->filePath(QStringLiteral("spilled.vsr"));
        QString error;
        QVERIFY2(ReportFile::save(spilled, file, &error), qPrintable(error));
        ReportDocument back;
        QVERIFY2(ReportFile::load(file, &back, &error), qPrintable(error));
        QVERIFY(back == doc);
        QVERIFY(back.heldBytes() <= 3000);
        QVERIFY2(ReportPdf::write(spilled, m_tmp->filePath(QStringLiteral("spilled.pdf")), &error), qPrintable(error));
    }

    void longReportPdfIsOneWholeFile()
    {
        // Pages enough to be written in parts at once and joined.
        QList<ReportPage> pages;
        for (int i = 0; i < 230; ++i) {
            ReportPage page;
            page.boxes << ReportBoxItem{QRect(1440, 2000, 3000, 400), i % 2 ? 0xffe0e0e0u : 0u, true};
            page.pictures << ReportPictureItem{QRect(1440, 800, 2400, 72), 0};
            page.texts << ReportTextItem{1440, 1300, 3000, 0, 0xff000000, QStringLiteral("Page marker %1").arg(i + 1)}
                       << ReportTextItem{1440, 2300, 2000, 1, 0xff0000ffu, QStringLiteral("Dvořák – Stabat Mater")};
            if (i == 117)
                page.size = page.size.transposed();
            pages << page;
        }
        QImage logo(100, 3, QImage::Format_ARGB32);
        logo.fill(Qt::darkBlue);
        ReportDocument doc;
        QString error;
        QVERIFY(ReportDocument::fromParts({FontSpec(), FontSpec{QStringLiteral("Arial"), 180, true}}, {logo}, pages,
                                          &doc, &error));
        const QString pdf = m_tmp->filePath(QStringLiteral("long.pdf"));
        QVERIFY2(ReportPdf::write(doc, pdf, &error), qPrintable(error));
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        int count = 0;
        QString why;
        QVERIFY2(wellFormed(f.readAll(), &count, &why), qPrintable(why));
        QCOMPARE(count, 230);

        const QString text = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        const QString draw = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (text.isEmpty() || draw.isEmpty())
            QSKIP("pdftotext or pdftoppm is not installed");
        QProcess p;
        p.start(text, {pdf, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(60000));
        const QStringList byPage = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
        for (int i : {0, 1, 117, 228, 229})
            QVERIFY2(byPage.value(i).contains(QStringLiteral("Page marker %1").arg(i + 1)), qPrintable(byPage.value(i)));
        // A page of the whole draws as the same page written alone.
        for (int page : {1, 118, 230}) {
            const QString alone = m_tmp->filePath(QStringLiteral("alone.pdf"));
            QVERIFY(ReportPdf::write(doc.pageRange(page, page), alone, &error));
            const QByteArray a = rendered(draw, pdf, page, m_tmp->filePath(QStringLiteral("whole")));
            const QByteArray b = rendered(draw, alone, 1, m_tmp->filePath(QStringLiteral("one")));
            QVERIFY(!a.isEmpty());
            QVERIFY2(a == b, qPrintable(QStringLiteral("page %1").arg(page)));
        }
    }

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    qint64 m_held = 0;
};

QTEST_MAIN(TestReportPages)
#include "tst_reportpages.moc"
