// The report engine: layout by font metrics, pages, tables, the page
// header, PDF, the exports and report documents.
#include "Fmt.h"
#include "Module.h"
#include "ReportExport.h"
#include "ReportFile.h"
#include "ReportFonts.h"
#include "ReportPdf.h"
#include "ReportPreview.h"
#include "ReportPrinter.h"
#include "ReportRenderer.h"
#include "ReportRoutines.h"
#include "SampleReport.h"
#include "TestSupport.h"

#include <QFontInfo>
#include <QAbstractScrollArea>
#include <QBuffer>
#include <QCryptographicHash>
#include <QPainter>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>
#include <cmath>
#include <limits>
#include <optional>

namespace {

// The plain text of a Rich Text file: paragraphs, cells and tabs kept as
// line breaks and tabs; destinations (font and colour tables, pictures,
// headers) skipped.
QString rtfToText(const QByteArray &rtf)
{
    QString out;
    QList<bool> skip{false};
    int i = 0;
    int pendingSkipChars = 0;
    while (i < rtf.size()) {
        const char c = rtf.at(i);
        if (c == '{') {
            skip.append(skip.last());
            ++i;
            if (i < rtf.size() && rtf.at(i) == '\\') {
                int j = i + 1;
                if (j < rtf.size() && rtf.at(j) == '*') {
                    skip.last() = true;
                } else {
                    QByteArray word;
                    while (j < rtf.size() && QChar::isLetter(uchar(rtf.at(j))))
                        word += rtf.at(j++);
                    if (word == "fonttbl" || word == "colortbl" || word == "pict" || word == "header"
                        || word == "stylesheet" || word == "info")
                        skip.last() = true;
                }
            }
            continue;
        }
        if (c == '}') {
            if (skip.size() > 1)
                skip.removeLast();
            ++i;
            continue;
        }
        if (c == '\\') {
            ++i;
            if (i >= rtf.size())
                break;
            const char n = rtf.at(i);
            if (n == '\\' || n == '{' || n == '}') {
                if (!skip.last())
                    out += QLatin1Char(n);
                ++i;
                continue;
            }
            if (n == '\'') {
                if (!skip.last())
                    out += QChar(rtf.mid(i + 1, 2).toInt(nullptr, 16));
                i += 3;
                continue;
            }
            QByteArray word;
            while (i < rtf.size() && QChar::isLetter(uchar(rtf.at(i))))
                word += rtf.at(i++);
            QByteArray num;
            while (i < rtf.size() && (rtf.at(i) == '-' || QChar::isDigit(uchar(rtf.at(i)))))
                num += rtf.at(i++);
            if (i < rtf.size() && rtf.at(i) == ' ')
                ++i;
            if (skip.last())
                continue;
            if (word == "par" || word == "line" || word == "row")
                out += QLatin1Char('\n');
            else if (word == "tab" || word == "cell")
                out += QLatin1Char('\t');
            else if (word == "u") {
                out += QChar(ushort(num.toShort()));
                pendingSkipChars = 1;
            }
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (pendingSkipChars > 0) {
            --pendingSkipChars;
            ++i;
            continue;
        }
        if (!skip.last())
            out += QLatin1Char(c);
        ++i;
    }
    return out;
}

// A report document file around a payload written by the test itself:
// the signature, version 1, the length, the payload and its checksum.
QByteArray documentFile(const QByteArray &payload)
{
    QByteArray bytes("VELMORA REPORT\r\n\x1a\n", 18);
    QDataStream out(&bytes, QIODevice::Append);
    out << quint32(1) << quint64(payload.size());
    bytes += payload;
    bytes += QCryptographicHash::hash(payload, QCryptographicHash::Sha256);
    return bytes;
}

struct CraftedItem {
    qint32 x, y, w, h;
};

// One font, the given pictures (as PNG) and one page of the given size
// with at most one box, one picture item and one text.
QByteArray craftedPayload(qint32 width, qint32 height, const QList<QImage> &pictures = {},
                          std::optional<CraftedItem> box = {}, std::optional<CraftedItem> picture = {},
                          std::optional<CraftedItem> text = {})
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << quint32(1) << QStringLiteral("Arial") << qint32(180) << quint8(0);
    out << quint32(pictures.size());
    for (const QImage &img : pictures) {
        QByteArray png;
        QBuffer buf(&png);
        buf.open(QIODevice::WriteOnly);
        img.save(&buf, "PNG");
        out << png << qint32(0) << qint32(0);
    }
    out << quint32(1) << width << height;
    out << quint32(box ? 1 : 0);
    if (box)
        out << box->x << box->y << box->w << box->h << quint32(0) << quint8(1);
    out << quint32(picture ? 1 : 0);
    if (picture)
        out << picture->x << picture->y << picture->w << picture->h << qint32(0);
    out << quint32(text ? 1 : 0);
    if (text)
        out << text->x << text->y << text->w << quint16(0) << quint32(0xff000000) << QStringLiteral("x");
    return payload;
}

// The height each page of a Rich Text export of ours takes in a word
// processor: the space before and the line height of every paragraph
// (exact, or at least the given height, or its largest font's, and a
// picture standing on the baseline with that font's descent below it),
// the height of every table row; a page starts at "\pagebb" or at a page
// break paragraph.
struct RtfPages {
    QList<int> heights;
    QList<QByteArray> texts; // the Rich Text of each page
    int room = 0;            // the page's text height less the safety margin
};

int rtfNumber(const QByteArray &text, const QByteArray &word, int fallback = 0)
{
    const QRegularExpression re(QStringLiteral("\\\\%1(-?\\d+)(?![a-z])").arg(QString::fromLatin1(word)));
    const auto m = re.match(QString::fromLatin1(text));
    return m.hasMatch() ? m.captured(1).toInt() : fallback;
}

RtfPages rtfPages(const QByteArray &rtf)
{
    RtfPages out;
    out.room = rtfNumber(rtf, "paperh") - rtfNumber(rtf, "margt") - rtfNumber(rtf, "margb") - RtfFootSafety;
    out.heights << 0;
    out.texts << QByteArray();
    const int body = int(rtf.indexOf("}\n", rtf.indexOf("{\\header")));
    const QList<QByteArray> lines = rtf.mid(body + 2).split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray l = lines.at(i);
        const bool brk = l.startsWith("{\\pard\\plain");
        const bool paragraph = (l.startsWith("\\pard\\plain") || brk) && !l.startsWith("\\pard\\plain\\intbl")
            && l != "\\pard\\plain";
        if (paragraph) {
            while (!l.endsWith("\\par") && !l.endsWith("\\par}") && i + 1 < lines.size())
                l += '\n' + lines.at(++i);
            if (brk || l.contains("\\pagebb")) {
                out.heights << 0;
                out.texts << QByteArray();
            }
            // Without a line height of its own a line is as tall as its
            // largest font (12 points when none is named).
            int largest = 0;
            for (const auto &m : QRegularExpression(QStringLiteral("\\\\fs(\\d+)")).globalMatch(QString::fromLatin1(l)))
                largest = qMax(largest, m.captured(1).toInt());
            const auto &m = ReportFonts::metrics(FontSpec{QStringLiteral("Arial"), (largest > 0 ? largest : 24) * 10});
            int h = rtfNumber(l, "sl", int(std::ceil(m.lineSpacing)));
            if (h > 0)
                h = qMax(h, rtfNumber(l, "pichgoal") + int(std::ceil(m.descent)));
            out.heights.last() += rtfNumber(l, "sb") + qAbs(h);
        } else if (l.startsWith("\\trowd")) {
            out.heights.last() += rtfNumber(l, "trrh");
        }
        out.texts.last() += l + '\n';
    }
    return out;
}

// Reports that stress the Rich Text export's pages: records with logo
// lines and wrapped text and a table running over pages; pages filled to
// the bottom margin; a landscape table with a row taller than a page,
// then an empty page.
struct RichTextCase {
    const char *name;
    std::function<void(ReportPrinter &)> build;
};

QList<RichTextCase> richTextCases()
{
    return {
        {"records and a table running over pages", [](ReportPrinter &p) { Sample::build(p, 40, 60); }},
        {"pages filled to the bottom margin", [](ReportPrinter &p) {
             SetupReportPrinter(p);
             p.startDoc();
             PrintReportHeading(QStringLiteral("Lines"));
             for (int i = 0; i < 400; ++i) {
                 if (i % 7 == 0)
                     PrintReportLogo();
                 p.text(i % 5 == 0 ? Sample::longText(i) + QLatin1Char(' ') + Sample::longText(i) + QLatin1Char('\n')
                                   : QStringLiteral("Line %1 of the report\n").arg(i));
             }
             p.endDoc();
         }},
        {"a landscape table with tall rows and an empty page", [](ReportPrinter &p) {
             SetupReportPrinter(p);
             p.setOrientation(PageOrientation::Landscape);
             p.startDoc();
             PrintReportHeading(QStringLiteral("Table"));
             QList<QStringList> rows;
             for (int i = 0; i < 120; ++i)
                 rows << QStringList{QString::number(i), i % 3 ? QStringLiteral("Short") : Sample::longText(i),
                                     QString(i == 50 ? 60 : 2, QLatin1Char('\n')).replace(QLatin1Char('\n'), QStringLiteral("Line\n"))};
             p.setFontSize(8);
             p.addTable({QStringLiteral("^1in"), QStringLiteral("4in"), QStringLiteral("2in")},
                        {QStringLiteral("DATE"), QStringLiteral("CALL"), QStringLiteral("ANTHEM")}, rows,
                        ReportPrinter::winColor(0xC0C0FF));
             p.newPage();
             p.newPage();
             p.text(QStringLiteral("After an empty page\n"));
             p.endDoc();
         }},
    };
}

QStringList nonEmptyLines(const QString &text)
{
    QStringList out;
    for (const QString &l : text.split(QLatin1Char('\n'))) {
        const QString s = Sample::simplified(l);
        if (!s.isEmpty())
            out << s;
    }
    return out;
}

QString readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

// The texts of a page at one baseline, left to right.
QList<ReportTextItem> itemsOn(const ReportPage &page, const QString &text)
{
    QList<ReportTextItem> out;
    for (const ReportTextItem &t : page.texts) {
        if (t.text == text)
            out << t;
    }
    return out;
}

} // namespace

class TestReportEngine : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup() { m_dir.reset(); }

    void arialDrawsWithLiberationSans()
    {
        FontSpec f;
        f.name = QStringLiteral("arial");
        f.sizeTwips = 180;
        QCOMPARE(QFontInfo(f.qfont()).family(), QStringLiteral("Liberation Sans"));
        // Liberation Sans is metric-compatible with Arial: 9 pt "Anthem" is
        // about 0.43 in wide.
        const qreal w = ReportFonts::metrics(f).width(QStringLiteral("Anthem"));
        QVERIFY2(w > 560 && w < 680, qPrintable(QString::number(w)));
    }

    void textWrapsAtTheRightMarginByFontMetrics()
    {
        ReportPrinter p;
        p.setMarginLeft(1440);
        p.setMarginRight(1440);
        p.setFontName(QStringLiteral("Arial"));
        p.setFontSize(9);
        p.startDoc();
        QString words;
        for (int i = 0; i < 60; ++i)
            words += QStringLiteral("word%1 ").arg(i);
        p.text(words.trimmed() + QStringLiteral("\n"));
        p.endDoc();
        const ReportPage &page = p.document().page(0);
        const int avail = Twips::LetterWidth - 2880;
        const auto &m = ReportFonts::metrics(p.font());
        QVERIFY(page.texts.size() > 3);
        QStringList rebuilt;
        for (int i = 0; i < page.texts.size(); ++i) {
            const ReportTextItem &t = page.texts.at(i);
            QCOMPARE(t.x, 1440);
            QVERIFY(t.x + t.width <= Twips::LetterWidth - 1440);
            if (i + 1 < page.texts.size()) {
                // Greedy: the next line's first word would not have fitted.
                const QString next = page.texts.at(i + 1).text.section(QLatin1Char(' '), 0, 0);
                QVERIFY(m.width(t.text + QLatin1Char(' ') + next) > avail);
                QVERIFY(page.texts.at(i + 1).baseline > t.baseline);
            }
            rebuilt << t.text;
        }
        QCOMPARE(rebuilt.join(QLatin1Char(' ')), words.trimmed());

        // A word wider than the line is cut, never lost.
        ReportPrinter q;
        q.startDoc();
        const QString giant(400, QLatin1Char('W'));
        q.text(giant);
        q.endDoc();
        QString joined;
        for (const ReportTextItem &t : q.document().page(0).texts) {
            QVERIFY(t.x + t.width <= Twips::LetterWidth - q.marginRight());
            joined += t.text;
        }
        QCOMPARE(joined, giant);
    }

    void linesBreakToANewPageAtTheBottomMargin()
    {
        ReportPrinter p;
        p.setMarginTop(770);
        p.setMarginBottom(770);
        p.setFontSize(9);
        p.startDoc();
        const int yStart = p.currentY();
        QCOMPARE(yStart, 770);
        p.text(QStringLiteral("Line 0\n"));
        const int lineH = p.currentY() - yStart;
        QVERIFY(lineH > 180 && lineH < 260);
        for (int i = 1; i < 200; ++i)
            p.text(QStringLiteral("Line %1\n").arg(i));
        p.endDoc();
        const int perPage = (Twips::LetterHeight - 770 - 770) / lineH;
        QCOMPARE(p.pageCount(), (200 + perPage - 1) / perPage);
        const auto &m = ReportFonts::metrics(p.font());
        int n = 0;
        for (int pg = 0; pg < p.pageCount(); ++pg) {
            const ReportPage &page = p.document().page(pg);
            for (const ReportTextItem &t : page.texts) {
                QCOMPARE(t.text, QStringLiteral("Line %1").arg(n++));
                QVERIFY(t.baseline - m.ascent >= 770 - 1);
                QVERIFY(t.baseline + m.descent <= Twips::LetterHeight - 770);
            }
            // Each page starts at the top margin.
            QCOMPARE(page.texts.first().baseline, 770 + int(std::lround(m.ascent)));
        }
        QCOMPARE(n, 200);
    }

    void mixedSizesShareOneBaseline()
    {
        ReportPrinter p;
        p.startDoc();
        p.setFontSize(8);
        p.setFontBold(true);
        p.text(QStringLiteral("Caption: "));
        const int x = p.currentX();
        p.setFontBold(false);
        p.setFontSize(14);
        p.text(QStringLiteral("Value"));
        p.setFontSize(8);
        p.setTextAlign(TextAlign::Right);
        p.text(QStringLiteral("right side"));
        p.text(QStringLiteral("\n"));
        p.endDoc();
        const ReportPage &page = p.document().page(0);
        QCOMPARE(page.texts.size(), 3);
        const ReportTextItem caption = page.texts.at(0);
        const ReportTextItem value = page.texts.at(1);
        const ReportTextItem right = page.texts.at(2);
        QCOMPARE(caption.baseline, value.baseline);
        QCOMPARE(right.baseline, value.baseline);
        QCOMPARE(value.x, x);
        // The baseline sits below the line top by the largest ascent.
        FontSpec big = p.font();
        big.sizeTwips = 280;
        QCOMPARE(value.baseline, p.marginTop() + int(std::lround(ReportFonts::metrics(big).ascent)));
        QVERIFY(qAbs(right.x + right.width - (Twips::LetterWidth - p.marginRight())) <= 1);
    }

    void headingLaysOutTitleDateAndBody()
    {
        ReportPrinter p;
        SetupReportPrinter(p);
        QCOMPARE(p.marginTop(), 770);
        QCOMPARE(p.marginBottom(), 770);
        QCOMPARE(p.fontSize(), 9.0);
        QVERIFY(!p.fontItalic());
        QVERIFY(p.headerFont().italic);
        p.startDoc();
        PrintReportHeading(QStringLiteral("Anthems"));
        QCOMPARE(ReportHeadingText(), QStringLiteral("Anthems"));
        QCOMPARE(p.currentX(), 1440);
        QCOMPARE(p.fontSize(), 9.0);
        QVERIFY(!p.fontBold() && !p.fontItalic());
        QCOMPARE(p.textAlign(), TextAlign::Left);
        QCOMPARE(p.header(), QStringLiteral("Anthems||Page %d"));
        p.text(QStringLiteral("Body\n"));
        p.endDoc();
        const ReportPage &page = p.document().page(0);
        const ReportTextItem title = itemsOn(page, QStringLiteral("Anthems")).value(0);
        QVERIFY(page.pictures.size() == 1);
        const QRect logo = page.pictures.first().rect;
        QCOMPARE(logo.left(), 1440);
        QCOMPARE(title.x, 1440 + logo.width() + 200);
        QCOMPARE(p.document().fonts().at(title.font).sizeTwips, 280);
        QVERIFY(p.document().fonts().at(title.font).bold);
        // The date and time stand right-aligned on the title's baseline.
        const QString stamp = Fmt::longDate(QDate::currentDate());
        bool found = false;
        for (const ReportTextItem &t : page.texts) {
            if (t.text.startsWith(stamp)) {
                found = true;
                QCOMPARE(t.baseline, title.baseline);
                QVERIFY(qAbs(t.x + t.width - (Twips::LetterWidth - 1440)) <= 1);
                QVERIFY(p.document().fonts().at(t.font).italic);
                QCOMPARE(p.document().fonts().at(t.font).sizeTwips, 160);
            }
        }
        QVERIFY(found);
        const ReportTextItem body = itemsOn(page, QStringLiteral("Body")).value(0);
        QCOMPARE(body.x, 1440);
        QVERIFY(body.baseline > title.baseline + 400);
    }

    void pageHeaderCarriesThePageNumber()
    {
        ReportPrinter p;
        SetupReportPrinter(p);
        p.startDoc();
        p.setHeader(QStringLiteral("Left part|Centre part|Page %d"));
        for (int i = 0; i < 3; ++i) {
            p.text(QStringLiteral("page body\n"));
            if (i < 2)
                p.newPage();
        }
        p.endDoc();
        QCOMPARE(p.pageCount(), 3);
        for (int i = 0; i < 3; ++i) {
            const ReportPage &page = p.document().page(i);
            const auto right = itemsOn(page, QStringLiteral("Page %1").arg(i + 1));
            QCOMPARE(right.size(), 1);
            QVERIFY(right.first().baseline < p.marginTop());
            QVERIFY(qAbs(right.first().x + right.first().width - (Twips::LetterWidth - p.marginRight())) <= 1);
            QCOMPARE(itemsOn(page, QStringLiteral("Left part")).value(0).x, p.marginLeft());
            QVERIFY(p.document().fonts().at(right.first().font).italic);
            QCOMPARE(itemsOn(page, QStringLiteral("Centre part")).size(), 1);
        }
        // The three-part form keeps a "|" of the title as text.
        p.setHeader(QStringLiteral("A|B"), QString(), QStringLiteral("P%d"));
        QCOMPARE(p.header(), QStringLiteral("A|B||P%d"));
    }

    void landscapePagesAreWideAndWrapWider()
    {
        ReportPrinter p;
        p.setOrientation(PageOrientation::Landscape);
        QCOMPARE(p.pageWidth(), 15840);
        QCOMPARE(p.pageHeight(), 12240);
        p.startDoc();
        QString words;
        for (int i = 0; i < 80; ++i)
            words += QStringLiteral("word%1 ").arg(i);
        p.text(words);
        p.endDoc();
        const ReportPage &page = p.document().page(0);
        QVERIFY(page.isLandscape());
        QCOMPARE(page.size, QSize(15840, 12240));
        int widest = 0;
        for (const ReportTextItem &t : page.texts)
            widest = qMax(widest, t.x + t.width);
        QVERIFY(widest > Twips::LetterWidth - 1440);
        QVERIFY(widest <= 15840 - 1440);
    }

    void tablesRepeatTheirHeaderOnEveryPage()
    {
        ReportPrinter p;
        p.setOrientation(PageOrientation::Landscape);
        SetupReportPrinter(p);
        p.startDoc();
        p.text(QStringLiteral("Before the table\n"));
        p.setFontSize(8);
        p.startTable();
        QList<QStringList> rows;
        for (int i = 1; i <= 120; ++i)
            rows << QStringList{QStringLiteral("%1").arg(i), QStringLiteral("Call | %1; done").arg(i),
                                QStringLiteral("A\nB")};
        const QStringList fmt{QStringLiteral("^1in"), QStringLiteral("2in"), QStringLiteral(">2in")};
        const QStringList header{QStringLiteral("DATE"), QStringLiteral("CALL"), QStringLiteral("ANTHEM")};
        p.addTable(fmt, header, rows.mid(0, 1), ReportPrinter::winColor(0xC0C0FF));
        p.addTable(fmt, header, rows.mid(1), ReportPrinter::winColor(0xC0C0FF), QColor(), true);
        p.tableCell(TableProp::Bold, 0, ReportPrinter::AllCols, true);
        p.tableCell(TableProp::Bold, ReportPrinter::AllRows, 1, true);
        p.endTable();
        p.text(QStringLiteral("After the table\n"));
        p.endDoc();
        QVERIFY(p.pageCount() >= 3);
        int bodyRows = 0;
        const int bottom = 12240 - 770;
        for (int i = 0; i < p.pageCount(); ++i) {
            const ReportPage &page = p.document().page(i);
            const auto dates = itemsOn(page, QStringLiteral("DATE"));
            QCOMPARE(dates.size(), 1);
            QVERIFY(p.document().fonts().at(dates.first().font).bold);
            if (i > 0) // the header starts the page
                QVERIFY(dates.first().baseline < p.marginTop() + 300);
            // Header cells are shaded pink; body cells are not.
            int shaded = 0;
            for (const ReportBoxItem &b : page.boxes) {
                QVERIFY(b.border);
                QVERIFY(b.rect.bottom() <= bottom);
                if (qAlpha(b.fill) > 0) {
                    QCOMPARE(QColor::fromRgba(b.fill), QColor(255, 192, 192));
                    ++shaded;
                }
            }
            QCOMPARE(shaded, 3);
            for (const ReportTextItem &t : page.texts) {
                if (t.text.startsWith(QLatin1String("Call | "))) {
                    ++bodyRows;
                    QVERIFY(!p.document().fonts().at(t.font).bold);
                }
            }
        }
        QCOMPARE(bodyRows, 120);
        // Cells: column 1 centred and bold, column 3 right-aligned; "|" and
        // ";" are text.
        const ReportPage &first = p.document().page(0);
        const ReportTextItem one = itemsOn(first, QStringLiteral("1")).value(0);
        QVERIFY(p.document().fonts().at(one.font).bold);
        const int col1Left = 1440;
        QVERIFY(qAbs((one.x + one.width / 2) - (col1Left + 720)) <= 2);
        const ReportTextItem b = itemsOn(first, QStringLiteral("B")).value(0);
        QVERIFY(qAbs(b.x + b.width - (col1Left + 1440 + 2880 + 2880 - 60)) <= 2);
        QCOMPARE(itemsOn(first, QStringLiteral("Call | 1; done")).size(), 1);
        QVERIFY(!itemsOn(p.document().page(p.pageCount() - 1), QStringLiteral("After the table")).isEmpty());
    }

    void aRowTallerThanAPageContinuesOnTheNext()
    {
        ReportPrinter p;
        p.startDoc();
        QStringList many;
        for (int i = 0; i < 120; ++i)
            many << QStringLiteral("entry %1").arg(i);
        p.addTable({QStringLiteral("3in")}, {QStringLiteral("HEAD")}, {{many.join(QLatin1Char('\n'))}});
        p.endDoc();
        QVERIFY(p.pageCount() >= 2);
        int seen = 0;
        for (int i = 0; i < p.pageCount(); ++i) {
            QCOMPARE(itemsOn(p.document().page(i), QStringLiteral("HEAD")).size(), 1);
            for (const ReportTextItem &t : p.document().page(i).texts) {
                if (t.text.startsWith(QLatin1String("entry ")))
                    QCOMPARE(t.text, QStringLiteral("entry %1").arg(seen++));
                QVERIFY(t.baseline < Twips::LetterHeight - p.marginBottom());
            }
        }
        QCOMPARE(seen, 120);
    }

    void penIndentPicturesAndColour()
    {
        ReportPrinter p;
        p.setMarginLeft(500);
        p.startDoc();
        p.setIndentLeft(4000);
        p.text(QStringLiteral("\n"));
        QCOMPARE(p.currentX(), 4500);
        p.setCurrentY(3000);
        p.setTextColor(ReportPrinter::winColor(0xFF0000));
        p.text(QStringLiteral("blue\nnext"));
        const QImage img = ReportPicture(2);
        p.drawPicture(img, 2000, 5000);
        p.drawPicture(img, 2000, 6000, 100, 50);
        p.endDoc();
        const ReportPage &page = p.document().page(0);
        const ReportTextItem blue = itemsOn(page, QStringLiteral("blue")).value(0);
        QCOMPARE(blue.x, 4500);
        QCOMPARE(QColor::fromRgba(blue.color), QColor(0, 0, 255));
        QCOMPARE(itemsOn(page, QStringLiteral("next")).value(0).x, 4500);
        QCOMPARE(page.pictures.size(), 2);
        QCOMPARE(page.pictures.at(0).rect,
                 QRect(2000, 5000, ReportPrinter::pictureWidth(img), ReportPrinter::pictureHeight(img)));
        QCOMPARE(page.pictures.at(1).rect, QRect(2000, 6000, 100, 50));
        QCOMPARE(p.document().images().size(), 1); // one copy of a picture drawn twice
    }

    void clearStartsEveryBuildAlike()
    {
        ReportPrinter p;
        p.setOrientation(PageOrientation::Landscape);
        p.setExportFile(QStringLiteral("/tmp/x.htm"));
        p.setExportFormat(ExportFormat::Dhtml);
        p.setMarginLeft(500);
        p.setMarginRight(500);
        p.setIndentLeft(4000);
        p.setTextColor(Qt::red);
        p.setTextAlign(TextAlign::Right);
        p.setFontBold(true);
        p.startDoc();
        p.setHeader(QStringLiteral("T||Page %d"));
        p.text(QStringLiteral("label"));
        p.clear();
        QVERIFY(p.document().isEmpty());
        QVERIFY(!p.isDocOpen());
        QVERIFY(p.header().isEmpty());
        QCOMPARE(p.marginLeft(), 1440);
        QCOMPARE(p.marginRight(), 1440);
        QCOMPARE(p.indentLeft(), 0);
        QCOMPARE(p.textColor(), QColor(Qt::black));
        QCOMPARE(p.textAlign(), TextAlign::Left);
        QVERIFY(!p.fontBold());
        QCOMPARE(p.orientation(), PageOrientation::Landscape);
        QCOMPARE(p.exportFile(), QStringLiteral("/tmp/x.htm"));
        QCOMPARE(p.exportFormat(), ExportFormat::Dhtml);
    }

    void pdfHoldsTheTextThatWasDrawn()
    {
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (tool.isEmpty())
            QSKIP("pdftotext is not installed");
        ReportPrinter p;
        Sample::build(p, 12);
        const QString pdf = m_dir->filePath(QStringLiteral("r.pdf"));
        QString error;
        QVERIFY2(ReportPdf::write(p.document(), pdf, &error), qPrintable(error));
        QProcess proc;
        proc.start(tool, {pdf, QStringLiteral("-")});
        QVERIFY(proc.waitForFinished(30000));
        QCOMPARE(proc.exitCode(), 0);
        const QString text = QString::fromUtf8(proc.readAllStandardOutput());
        QCOMPARE(int(text.count(QLatin1Char('\f'))), p.pageCount());
        const QString flat = Sample::simplified(text);
        for (const QString &line : Sample::lines(p.document())) {
            for (const QString &piece : line.split(QLatin1Char('\t')))
                QVERIFY2(flat.contains(Sample::simplified(piece)), qPrintable(piece));
        }
        QVERIFY(flat.contains(QStringLiteral("Call | Response; part 2")));

        // A failed write says so and leaves no file.
        const QString bad = m_dir->filePath(QStringLiteral("missing/dir/r.pdf"));
        QVERIFY(!ReportPdf::write(p.document(), bad, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(bad));
        QVERIFY(!ReportPdf::write(ReportDocument(), m_dir->filePath(QStringLiteral("e.pdf")), &error));
    }

    void landscapePdfPagesAreLandscape()
    {
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
        if (tool.isEmpty())
            QSKIP("pdfinfo is not installed");
        ReportPrinter p;
        p.setOrientation(PageOrientation::Landscape);
        Sample::build(p, 2);
        const QString pdf = m_dir->filePath(QStringLiteral("l.pdf"));
        QString error;
        QVERIFY2(ReportPdf::write(p.document(), pdf, &error), qPrintable(error));
        QProcess proc;
        proc.start(tool, {pdf});
        QVERIFY(proc.waitForFinished(30000));
        const QString info = QString::fromUtf8(proc.readAllStandardOutput());
        QVERIFY2(info.contains(QStringLiteral("792 x 612")), qPrintable(info));
    }

    void richTextExportRoundTripsItsText()
    {
        TestPrompter prompter;
        ReportPrinter p;
        const QString path = m_dir->filePath(QStringLiteral("rpt.rtf"));
        p.setExportFile(path);
        p.setExportFormat(ExportFormat::Rtf);
        Sample::build(p, 5);
        QCOMPARE(p.exportedFiles(), QStringList{path});
        QVERIFY(p.exportError().isEmpty());
        QCOMPARE(prompter.lastMessage(), QStringLiteral("The Rich Text file: \nrpt.rtf\nhas been created."));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray rtf = f.readAll();
        QVERIFY(rtf.startsWith("{\\rtf1"));
        QVERIFY(rtf.contains("\\pngblip"));
        QVERIFY(rtf.contains("\\trhdr"));
        QVERIFY(rtf.contains("{\\chpgn}"));
        // Braces balance, so a word processor reads it whole.
        int depth = 0;
        for (int i = 0; i < rtf.size(); ++i) {
            if (rtf.at(i) == '\\') {
                ++i;
                continue;
            }
            depth += rtf.at(i) == '{' ? 1 : rtf.at(i) == '}' ? -1 : 0;
            QVERIFY(depth >= 0);
        }
        QCOMPARE(depth, 0);
        const QStringList got = nonEmptyLines(rtfToText(rtf));
        QStringList want;
        for (const QString &l : Sample::lines(p.document())) {
            if (!l.startsWith(QLatin1String("Sample Anthems Page"))) // the running header is the header's
                want << l;
        }
        // Every drawn line comes back, in order (table cells as tabs).
        int at = 0;
        for (const QString &w : want) {
            const QString first = Sample::simplified(w.section(QLatin1Char('\t'), 0, 0));
            while (at < got.size() && !got.at(at).contains(first))
                ++at;
            QVERIFY2(at < got.size(), qPrintable(w));
        }
        QVERIFY(got.join(QLatin1Char('\n')).contains(QStringLiteral("Call | Response; part 3")));
    }

    void richTextPagesFitTheirWordProcessorPages()
    {
        for (const RichTextCase &c : richTextCases()) {
            TestPrompter prompter;
            QTemporaryDir dir;
            ReportPrinter p;
            const QString path = dir.filePath(QStringLiteral("r.rtf"));
            p.setExportFile(path);
            p.setExportFormat(ExportFormat::Rtf);
            c.build(p);
            QVERIFY2(p.pageCount() >= 4, c.name);
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const RtfPages pages = rtfPages(f.readAll());
            QCOMPARE(pages.heights.size(), p.pageCount());
            for (int i = 0; i < pages.heights.size(); ++i) {
                QVERIFY2(pages.heights.at(i) <= pages.room,
                         qPrintable(QStringLiteral("%1: page %2 is %3 tall, room %4")
                                        .arg(QLatin1String(c.name)).arg(i + 1).arg(pages.heights.at(i)).arg(pages.room)));
                // Each page holds what its report page holds.
                const QString text = Sample::simplified(rtfToText(pages.texts.at(i)).replace(QLatin1Char('\t'), QLatin1Char(' ')));
                QStringList want = Sample::lines(p.document().pageRange(i + 1, i + 1));
                want.removeFirst(); // the running header
                for (const QString &line : want) {
                    for (const QString &piece : line.split(QLatin1Char('\t')))
                        QVERIFY2(text.contains(Sample::simplified(piece)),
                                 qPrintable(QStringLiteral("%1: page %2 lacks %3").arg(QLatin1String(c.name)).arg(i + 1).arg(piece)));
                }
            }
        }
    }

    void richTextKeepsThePageCountInAWordProcessor()
    {
        const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
        if (office.isEmpty() || pdfinfo.isEmpty())
            QSKIP("no word processor (soffice) or pdfinfo installed");
        QTemporaryDir profile;
        for (const RichTextCase &c : richTextCases()) {
            TestPrompter prompter;
            QTemporaryDir dir;
            ReportPrinter p;
            const QString path = dir.filePath(QStringLiteral("r.rtf"));
            p.setExportFile(path);
            p.setExportFormat(ExportFormat::Rtf);
            c.build(p);
            QProcess convert;
            convert.start(office, {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
                                   QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                                   QStringLiteral("--outdir"), dir.path(), path});
            QVERIFY(convert.waitForFinished(120000));
            QProcess info;
            info.start(pdfinfo, {dir.filePath(QStringLiteral("r.pdf"))});
            QVERIFY(info.waitForFinished(30000));
            const QString out = QString::fromUtf8(info.readAllStandardOutput());
            const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(out);
            QVERIFY2(m.hasMatch(), qPrintable(out));
            QVERIFY2(m.captured(1).toInt() == p.pageCount(),
                     qPrintable(QStringLiteral("%1: %2 pages in the word processor, %3 in the report")
                                    .arg(QLatin1String(c.name), m.captured(1)).arg(p.pageCount())));
        }
    }

    void htmlExportsRoundTripTheirText()
    {
        const struct {
            ExportFormat format;
            bool paged;
        } cases[] = {{ExportFormat::Html, false},
                     {ExportFormat::PagedHtml, true},
                     {ExportFormat::Dhtml, false},
                     {ExportFormat::PagedDhtml, true}};
        for (const auto &c : cases) {
            TestPrompter prompter;
            QTemporaryDir dir;
            ReportPrinter p;
            const QString path = dir.filePath(QStringLiteral("rpt.htm"));
            p.setExportFile(path);
            p.setExportFormat(c.format);
            Sample::build(p, 30);
            QVERIFY(p.pageCount() >= 3);
            QStringList files;
            if (c.paged) {
                for (int i = 1; i <= p.pageCount(); ++i)
                    files << dir.filePath(QStringLiteral("rpt%1.htm").arg(i));
                QVERIFY(!QFile::exists(path));
                QCOMPARE(prompter.lastMessage(),
                         QStringLiteral("The HTML/DHTML paged report was created as: \nrpt1.htm, rpt2.htm .... rpt%1.htm")
                             .arg(p.pageCount()));
            } else {
                files << path;
                QCOMPARE(prompter.lastMessage(), QStringLiteral("The HTML/DHTML file: \nrpt.htm\nhas been created."));
            }
            QCOMPARE(p.exportedFiles(), files);
            if (c.paged) {
                // Each page links to the one before and the one after it.
                const QString first = readAll(files.first());
                const QString second = readAll(files.at(1));
                const QString last = readAll(files.last());
                QVERIFY(!first.contains(QLatin1String("Previous</a>")));
                QVERIFY(first.contains(QLatin1String("<a href=\"rpt2.htm\">Next</a>")));
                QVERIFY(second.contains(QLatin1String("<a href=\"rpt1.htm\">Previous</a>")));
                QVERIFY(second.contains(QLatin1String("<a href=\"rpt3.htm\">Next</a>")));
                QVERIFY(last.contains(QStringLiteral("<a href=\"rpt%1.htm\">Previous</a>").arg(files.size() - 1)));
                QVERIFY(!last.contains(QLatin1String("Next</a>")));
            }
            QString all;
            for (const QString &f : files) {
                QTextDocument doc;
                doc.setHtml(readAll(f));
                all += doc.toPlainText() + QLatin1Char('\n');
            }
            const QString flat = Sample::simplified(all);
            for (const QString &line : Sample::lines(p.document())) {
                for (const QString &piece : line.split(QLatin1Char('\t')))
                    QVERIFY2(flat.contains(Sample::simplified(piece)), qPrintable(piece));
            }
        }
    }

    // The pages (which the preview and the PDF draw) and every export.
    void noPageOrExportHoldsControlCharacters()
    {
        const QString dirty = QStringLiteral("Gloria") + QChar(0) + QStringLiteral("in\x07 ex\x1b") + QChar(0x7f)
            + QStringLiteral("celsis") + QChar(0x85);
        for (ExportFormat format : {ExportFormat::Html, ExportFormat::PagedHtml, ExportFormat::Dhtml,
                                    ExportFormat::PagedDhtml, ExportFormat::Rtf}) {
            TestPrompter prompter;
            QTemporaryDir dir;
            ReportPrinter p;
            p.setExportFile(dir.filePath(format == ExportFormat::Rtf ? QStringLiteral("c.rtf") : QStringLiteral("c.htm")));
            p.setExportFormat(format);
            SetupReportPrinter(p);
            p.startDoc();
            PrintReportHeading(dirty);
            p.text(dirty + QStringLiteral("\n"));
            p.addTable({QStringLiteral("2in"), QStringLiteral("2in")}, {QStringLiteral("A"), dirty},
                       {{dirty, QStringLiteral("plain")}});
            p.newPage();
            p.text(QStringLiteral("second ") + dirty + QStringLiteral("\n"));
            p.endDoc();
            const ReportDocument doc = p.document();
            for (int i = 0; i < doc.pageCount(); ++i)
                for (const ReportTextItem &t : doc.page(i).texts)
                    QVERIFY2(t.text == Fmt::withoutControls(t.text), qPrintable(t.text.toUtf8().toHex()));
            QVERIFY(Sample::lines(doc).join(' ').contains(QStringLiteral("Gloriain excelsis")));
            QVERIFY(!p.exportedFiles().isEmpty());
            for (const QString &file : p.exportedFiles()) {
                QFile f(file);
                QVERIFY(f.open(QIODevice::ReadOnly));
                const QString text = QString::fromUtf8(f.readAll());
                for (const QChar c : text) {
                    const ushort u = c.unicode();
                    const bool control = (u < 0x20 && u != '\t' && u != '\n' && u != '\r') || (u >= 0x7f && u <= 0x9f);
                    QVERIFY2(!control, qPrintable(QStringLiteral("%1 holds U+%2").arg(file).arg(u, 4, 16, QChar('0'))));
                }
                if (format == ExportFormat::Rtf)
                    QVERIFY(rtfToText(text.toLatin1()).contains(QStringLiteral("Gloriain excelsis")));
                else if (file.endsWith(QLatin1String("1.htm")) || !file.contains(QRegularExpression("\\d\\.htm$")))
                    QVERIFY2(text.contains(QStringLiteral("Gloriain excelsis")), qPrintable(file));
            }
        }
    }

    void aFailedExportIsReportedNotConfirmed()
    {
        TestPrompter prompter;
        ReportPrinter p;
        p.setExportFile(m_dir->filePath(QStringLiteral("no/such/dir/rpt.htm")));
        p.setExportFormat(ExportFormat::PagedHtml);
        Sample::build(p, 1);
        QVERIFY(p.exportedFiles().isEmpty());
        QVERIFY(!p.exportError().isEmpty());
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY(prompter.lastMessage().startsWith(QStringLiteral("The report could not be exported")));
        QCOMPARE(prompter.messages.last().icon, MsgIcon::Critical);

        // An abandoned build writes nothing.
        prompter.clear();
        ReportPrinter q;
        const QString path = m_dir->filePath(QStringLiteral("a.rtf"));
        q.setExportFile(path);
        q.setExportFormat(ExportFormat::Rtf);
        q.startDoc();
        q.text(QStringLiteral("half"));
        q.abortDoc();
        QVERIFY(!QFile::exists(path));
        QVERIFY(q.document().isEmpty());
    }

    void pagedExportMessageNamesOnlyFilesWritten()
    {
        TestPrompter prompter;
        for (int pages : {1, 2}) {
            ReportPrinter p;
            QTemporaryDir dir;
            p.setExportFile(dir.filePath(QStringLiteral("my.report.htm")));
            p.setExportFormat(ExportFormat::PagedDhtml);
            SetupReportPrinter(p);
            p.startDoc();
            p.text(QStringLiteral("one"));
            if (pages == 2) {
                p.newPage();
                p.text(QStringLiteral("two"));
            }
            p.endDoc();
            ShowExportResult(false, true);
            QCOMPARE(prompter.lastMessage(), pages == 1 ? QStringLiteral("The HTML/DHTML paged report was created as: \nmy1.report.htm")
                                                        : QStringLiteral("The HTML/DHTML paged report was created as: \nmy1.report.htm, my2.report.htm"));
            QVERIFY(QFile::exists(dir.filePath(QStringLiteral("my%1.report.htm").arg(pages))));
        }
        const int before = int(prompter.messages.size());
        ShowExportResult(false);
        ShowExportResult(false, false);
        QCOMPARE(prompter.messages.size(), before);
    }

    void fileDialogFiltersAreTranslated()
    {
        QCOMPARE(qtFileFilter(QStringLiteral("RTF Files (*.rtf) | *.rtf")), QStringLiteral("RTF Files (*.rtf)"));
        QCOMPARE(qtFileFilter(QStringLiteral("HTML Files (*.htm; *html) | *.htm;*.html")),
                 QStringLiteral("HTML Files (*.htm *.html)"));
        QCOMPARE(qtFileFilter(QStringLiteral("PDF Files (*.pdf;) | *.pdf;")), QStringLiteral("PDF Files (*.pdf)"));
        QCOMPARE(qtFileFilter(QStringLiteral("System Report Files (*.vsr;)|*.vsr;")),
                 QStringLiteral("System Report Files (*.vsr)"));
        QCOMPARE(qtFileFilter(QStringLiteral("Text (*.txt)|*.txt|All|*.*")), QStringLiteral("Text (*.txt);;All (*.*)"));

        TestPrompter prompter;
        hx().ExportFileTitle = QStringLiteral("earlier.htm");
        QCOMPARE(ShowFileDialog(QStringLiteral("RTF Files (*.rtf) | *.rtf"), QStringLiteral("x.rtf")), QString());
        QCOMPARE(hx().ExportFileTitle, QStringLiteral("earlier.htm")); // a cancel keeps the title
        prompter.fileAnswers << QStringLiteral("/tmp/some/where/report.rtf");
        QCOMPARE(ShowFileDialog(QStringLiteral("RTF Files (*.rtf) | *.rtf"), QStringLiteral("x.rtf")),
                 QStringLiteral("/tmp/some/where/report.rtf"));
        QCOMPARE(hx().ExportFileTitle, QStringLiteral("report.rtf"));
        QCOMPARE(prompter.fileFilters.last(), QStringLiteral("RTF Files (*.rtf)"));
    }

    void documentsRoundTripWholeByRangeAndAppended()
    {
        ReportPrinter a;
        Sample::build(a, 50);
        QVERIFY(a.pageCount() >= 5);
        ReportPrinter b;
        b.setOrientation(PageOrientation::Landscape);
        Sample::build(b, 3);
        const ReportDocument docA = a.document();
        const ReportDocument docB = b.document();
        const QString whole = m_dir->filePath(QStringLiteral("whole.vsr"));
        QString error;
        QVERIFY2(ReportFile::save(docA, whole, &error), qPrintable(error));
        ReportDocument back;
        QVERIFY2(ReportFile::load(whole, &back, &error), qPrintable(error));
        QVERIFY(back == docA);

        const QString part = m_dir->filePath(QStringLiteral("part.vsr"));
        QVERIFY(ReportFile::save(docA, part, &error, 2, 4));
        ReportDocument range;
        QVERIFY(ReportFile::load(part, &range, &error));
        QCOMPARE(range.pageCount(), 3);
        QVERIFY(range == docA.pageRange(2, 4));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(range.pageLines(i), docA.pageLines(i + 1));

        const QString other = m_dir->filePath(QStringLiteral("b.vsr"));
        QVERIFY(ReportFile::save(docB, other, &error));
        ReportDocument loadedB;
        QVERIFY(ReportFile::load(other, &loadedB, &error));
        ReportPrinter shown;
        shown.setDocument(back);
        shown.appendDocument(loadedB);
        QCOMPARE(shown.document().pageCount(), docA.pageCount() + docB.pageCount());
        QVERIFY(shown.document() == docA.appended(docB));
        QVERIFY(shown.document().page(docA.pageCount()).isLandscape());
        QCOMPARE(shown.document().pageLines(docA.pageCount()), docB.pageLines(0));
        // The appended document saves and opens exactly too.
        const QString both = m_dir->filePath(QStringLiteral("both.vsr"));
        QVERIFY(ReportFile::save(shown.document(), both, &error));
        ReportDocument bothBack;
        QVERIFY(ReportFile::load(both, &bothBack, &error));
        QVERIFY(bothBack == shown.document());

        QVERIFY(!ReportFile::save(docA, m_dir->filePath(QStringLiteral("none.vsr")), &error, 90, 95));
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("none.vsr"))));
    }

    void damagedOrForeignDocumentsAreRefused()
    {
        ReportPrinter a;
        Sample::build(a, 4);
        const QByteArray good = ReportFile::encode(a.document());
        ReportDocument sentinel;
        {
            ReportPrinter s;
            s.startDoc();
            s.text(QStringLiteral("kept"));
            s.endDoc();
            sentinel = s.document();
        }
        auto refused = [&](const QByteArray &bytes, const QString &name) {
            const QString path = m_dir->filePath(name);
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly))
                return false;
            f.write(bytes);
            f.close();
            ReportDocument out = sentinel;
            QString error;
            const bool ok = ReportFile::load(path, &out, &error);
            return !ok && !error.isEmpty() && out == sentinel;
        };
        QVERIFY(refused(good.left(good.size() / 2), QStringLiteral("truncated.vsr")));
        QVERIFY(refused(good.left(good.size() - 1), QStringLiteral("short.vsr")));
        QVERIFY(refused(QByteArray("%PDF-1.4 not a report"), QStringLiteral("foreign.vsr")));
        QVERIFY(refused(QByteArray(), QStringLiteral("empty.vsr")));
        QByteArray flipped = good;
        flipped[flipped.size() / 2] = char(flipped.at(flipped.size() / 2) ^ 0x20);
        QVERIFY(refused(flipped, QStringLiteral("flipped.vsr")));
        QByteArray future = good;
        future[21] = char(9); // the version's low byte
        QVERIFY(refused(future, QStringLiteral("future.vsr")));
        ReportDocument out = sentinel;
        QString error;
        QVERIFY(!ReportFile::load(m_dir->filePath(QStringLiteral("absent.vsr")), &out, &error));
        QVERIFY(out == sentinel);
    }

    void craftedDocumentsOfAbsurdSizeAreRefused()
    {
        auto opened = [&](const QByteArray &payload, QString *why = nullptr) {
            const QString path = m_dir->filePath(QStringLiteral("crafted.vsr"));
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly))
                return false;
            f.write(documentFile(payload));
            f.close();
            ReportDocument out;
            QString error;
            const bool ok = ReportFile::load(path, &out, &error);
            if (why)
                *why = error;
            return ok;
        };
        // The crafting itself is sound: a Letter page with items opens.
        QVERIFY(opened(craftedPayload(12240, 15840, {QImage(8, 8, QImage::Format_ARGB32)}, CraftedItem{1440, 1440, 2000, 300},
                                      CraftedItem{1440, 2000, 500, 500}, CraftedItem{1440, 3000, 400, 0})));
        QVERIFY(opened(craftedPayload(15840, 12240)));
        QVERIFY(opened(craftedPayload(ReportLimits::MaxPageSide, ReportLimits::MaxPageSide)));

        // Pages of absurd size or shape, each refused as damaged.
        QString why;
        QVERIFY(!opened(craftedPayload(100, 69200), &why));
        QVERIFY2(why.endsWith(QStringLiteral("the file's contents are damaged.")), qPrintable(why));
        QVERIFY(!opened(craftedPayload(1, 144000)));
        QVERIFY(!opened(craftedPayload(0, 15840)));
        QVERIFY(!opened(craftedPayload(-12240, 15840)));
        QVERIFY(!opened(craftedPayload(12240, ReportLimits::MaxPageSide + 1)));
        QVERIFY(!opened(craftedPayload(1440, 11 * 1440 + 1))); // more than ten times as tall as wide

        // Items whose rectangle would overflow or lie far off the page.
        const qint32 big = std::numeric_limits<qint32>::max();
        QVERIFY(!opened(craftedPayload(12240, 15840, {}, CraftedItem{big - 10, 0, 100, 100}), &why));
        QVERIFY2(why.endsWith(QStringLiteral("the file's contents are damaged.")), qPrintable(why));
        QVERIFY(!opened(craftedPayload(12240, 15840, {}, CraftedItem{0, 0, big, big})));
        QVERIFY(!opened(craftedPayload(12240, 15840, {}, CraftedItem{0, 0, -5, 100})));
        QVERIFY(!opened(craftedPayload(12240, 15840, {}, CraftedItem{std::numeric_limits<qint32>::min(), 0, 10, 10})));
        QVERIFY(!opened(craftedPayload(12240, 15840, {QImage(8, 8, QImage::Format_ARGB32)}, {},
                                       CraftedItem{100, big - 1, 500, 500})));
        QVERIFY(!opened(craftedPayload(12240, 15840, {}, {}, {}, CraftedItem{big - 1, 1000, 500, 0})));

        // Pictures that unpack to more than a document may hold.
        QImage large(3000, 2000, QImage::Format_ARGB32);
        large.fill(Qt::white);
        QVERIFY(opened(craftedPayload(12240, 15840, {large})));
        QImage other = large;
        other.setPixel(0, 0, qRgb(1, 2, 3));
        QVERIFY(!opened(craftedPayload(12240, 15840, {large, other}), &why));
        QVERIFY2(why.endsWith(QStringLiteral("the file's contents are damaged.")), qPrintable(why));
    }

    void thePreviewDrawsOnlyThePartInView()
    {
        // A legitimate large page (17 x 11 inches) at 400 %.
        const QByteArray payload = craftedPayload(17 * 1440, 11 * 1440, {}, CraftedItem{1440, 1440, 20000, 12000},
                                                  {}, CraftedItem{2000, 3000, 400, 0});
        ReportDocument doc;
        QString error;
        QVERIFY2(ReportFile::decode(documentFile(payload), &doc, &error), qPrintable(error));
        ReportPreview preview;
        preview.resize(1000, 600);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        preview.setDocument(doc);
        preview.setZoom(400);
        const QImage shown = preview.grabPage();
        QVERIFY(!shown.isNull());
        const QWidget *canvas = preview.findChild<QWidget *>(QStringLiteral("PreviewCanvas"));
        QVERIFY(canvas);
        const QSize inView = shown.deviceIndependentSize().toSize();
        QVERIFY2(inView.width() <= canvas->width() && inView.height() <= canvas->height(),
                 qPrintable(QStringLiteral("%1x%2").arg(inView.width()).arg(inView.height())));

        // What is in view is the page as drawn whole: a Letter page at 100 %
        // scrolled down matches the same part of the page rendered at once.
        ReportPrinter p;
        Sample::build(p, 3);
        preview.setDocument(p.document());
        preview.setZoom(100);
        auto *area = qobject_cast<const QAbstractScrollArea *>(canvas);
        QVERIFY(area);
        area->verticalScrollBar()->setValue(300);
        const QImage part = preview.grabPage();
        const double dpi = canvas->logicalDpiX();
        const QSize px(int(std::lround(12240 * dpi / 1440)), int(std::lround(15840 * dpi / 1440)));
        QImage whole(px, QImage::Format_ARGB32_Premultiplied);
        whole.fill(Qt::white);
        {
            QPainter painter(&whole);
            painter.scale(double(px.width()) / 12240, double(px.height()) / 15840);
            ReportRenderer::drawPage(painter, p.document(), 0, true);
        }
        const int top = 300 - 12; // the desk above the page
        const int left = (area->viewport()->width() - px.width()) / 2;
        QVERIFY(left > 0); // the page's whole width is in view
        QCOMPARE(part.size(), QSize(px.width(), area->viewport()->height()));
        QCOMPARE(part.convertToFormat(QImage::Format_ARGB32_Premultiplied), whole.copy(QRect(QPoint(0, top), part.size())));
    }

    void findWalksFromPageToPage()
    {
        ReportPrinter p;
        p.startDoc();
        const QStringList pageText{QStringLiteral("alpha only here"), QStringLiteral("Caption: gloria"),
                                   QStringLiteral("nothing"), QStringLiteral("nothing"),
                                   QStringLiteral("more GLORIA text")};
        for (int i = 0; i < pageText.size(); ++i) {
            if (i > 0)
                p.newPage();
            p.setFontBold(true);
            p.text(pageText.at(i).section(QLatin1Char(' '), 0, 0) + QLatin1Char(' '));
            p.setFontBold(false);
            p.text(pageText.at(i).section(QLatin1Char(' '), 1) + QLatin1Char('\n'));
        }
        p.endDoc();
        const ReportDocument &doc = p.document();
        QRect hit;
        QCOMPARE(doc.find(QStringLiteral("gloria"), 1, &hit), 2);
        QVERIFY(!hit.isNull());
        QCOMPARE(doc.find(QStringLiteral("gloria"), 3, &hit), 5);
        QCOMPARE(doc.find(QStringLiteral("gloria"), 6, &hit), 0);
        QVERIFY(hit.isNull());
        QCOMPARE(doc.find(QStringLiteral("alpha"), 2), 0);
        QCOMPARE(doc.find(QStringLiteral("alpha"), 1), 1);
        // A hit may span a bold caption and its value.
        QCOMPARE(doc.find(QStringLiteral("caption: glo"), 1, &hit), 2);
        const ReportTextItem cap = doc.page(1).texts.first();
        QCOMPARE(hit.left(), cap.x);
        QVERIFY(hit.right() > cap.x + cap.width);
        QVERIFY(hit.top() < cap.baseline && hit.bottom() > cap.baseline);
        QCOMPARE(doc.find(QString(), 1), 0);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestReportEngine)
#include "tst_reportengine.moc"
