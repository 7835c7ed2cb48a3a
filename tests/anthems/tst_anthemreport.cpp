// The anthem report, from the viewer's Report button through the report
// window, read back from the page model: options, captions and values,
// the dates line, the ",  " joins, page breaks and gaps, anthems deleted
// or changed after Process, an empty list, the hand-off and the exports.
#include "AnthemViewerTestUtil.h"
#include "DeleteAnthemCascade.h"
#include "ReportKinds.h"
#include "ReportModel.h"
#include "ReportTestUtil.h"
#include "SR2PrintForm.h"

#include <QProcess>
#include <QRadioButton>
#include <QScrollArea>
#include <climits>
#include <QStandardPaths>

using namespace viewertest;
using namespace reporttest;

namespace {

// The lines of one anthem's block: from its "Anthem: " line to the next.
QStringList blockOf(const ReportDocument &doc, const QString &title)
{
    return reporttest::blockOf(doc, "Anthem: ", title);
}

QStringList anthemLines(const ReportDocument &doc)
{
    return linesStarting(doc, "Anthem: ");
}

// Baselines of the "Anthem: " captions of a page.
QList<int> anthemBaselines(const ReportPage &page)
{
    return baselinesOf(page, "Anthem: ");
}

} // namespace

class TestAnthemReport : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
        m_lib.create();
        // Amazing Grace in full: three composers, a purchase and two
        // performances (the later one counts), user fields.
        Db::exec("update anthem set Catalog = 'A-1', Location = 'Drawer 3', DatePurchased = '1999-06-20', "
                 "CostPerCopy = 12.5, NumCopies = 30, Pages = '4-9', PerformTime = '3:30', u3 = '   ' "
                 "where anthemid = ?",
                 {m_lib.amazing});
        Library::link("a_com_l", "composerid", m_lib.amazing, {m_lib.rutter, m_lib.handel});
        Db::exec("insert into a_lperform (Lperform, anthemid) values ('1998-01-04', ?), ('2001-03-15', ?), (null, ?)",
                 {m_lib.amazing, m_lib.amazing, m_lib.amazing});
        // Performed, never bought; no cost, no copies.
        Db::exec("insert into a_lperform (Lperform, anthemid) values ('2001-03-15', ?)", {m_lib.vision});
        // Bought, never performed.
        Db::exec("update anthem set DatePurchased = '1999-06-01' where anthemid = ?", {m_lib.day});
        insert("insert into anthem (Anthem) values ('Only a Title')", {});
        hx().ReportAnthemSet.release();
        m_viewer.open();
    }
    void cleanup()
    {
        closeReportWindow();
        m_viewer.close();
        hx().ReportType = -1;
        m_prompter.reset();
        m_folder.reset();
    }

    void theWindowOffersTheSixOptions()
    {
        SR2PrintForm *w = openReport();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Reports - Anthems"));
        QCOMPARE(hx().ReportType, 2);
        const QStringList captions = {"Include Composers", "Include Orchestration", "Include Vocalization",
                                      "Include Themes", "Include Choirs", "Include my defined data fields"};
        for (int i = 1; i <= 6; ++i) {
            QCheckBox *box = w->DCheck(i);
            QVERIFY(box);
            QCOMPARE(box->objectName(), QStringLiteral("DCheck%1").arg(i));
            QCOMPARE(box->text(), captions.at(i - 1));
            QVERIFY(box->isChecked());
            QVERIFY(w->optionArea()->isAncestorOf(box));
            QCOMPARE(SR2PrintForm::twipsTop(box), 100 + (i - 1) * 285);
            QCOMPARE(SR2PrintForm::twipsLeft(box), 60);
            QCOMPARE(SR2PrintForm::twipsWidth(box), 3330);
        }
        QVERIFY(!w->DCheck(7));
        // The export options follow, 200 twips below the last option.
        QWidget *exportBlock = w->findChild<QWidget *>("HTMLFrame");
        QCOMPARE(SR2PrintForm::twipsTop(exportBlock), 1525 + 210 + 200);
    }

    void eachAnthemPrintsItsCaptionedLines()
    {
        const ReportDocument doc = build();
        // The listed anthems, in the listed order.
        QCOMPARE(anthemLines(doc), (QStringList{"Anthem: Amazing Grace", "Anthem: Be Thou My Vision",
                                                "Anthem: Come Thou Fount", "Anthem: Day by Day",
                                                "Anthem: earth and all stars", "Anthem: Only a Title"}));
        QCOMPARE(blockOf(doc, "Amazing Grace"),
                 (QStringList{"Anthem: Amazing Grace", "Part of Collection: Carols Book", "Catalog #: A-1",
                              "Location: Drawer 3",
                              "Last Performed: 03/15/2001          Purchase Date: 06/1999",
                              "Cost per Copy: 12.5", "Number of Copies: 30", "Page(s), Page #, or Page Range: 4-9",
                              "Performance Time: 3:30", "Loaned To: Youth choir",
                              "Composers: Bach,  Handel,  Rutter", "Orchestration: Organ", "Vocalization: SATB",
                              "Themes: Lent", "Choirs: Chancel", "My Field 1: Abbey", "My Field 3:    "}));
        // Performed, never bought: the line stops after its caption.
        QCOMPARE(blockOf(doc, "Be Thou My Vision").value(1),
                 QStringLiteral("Last Performed: 03/15/2001          Purchase Date: "));
        // Bought, never performed: ten blanks stand for the date.
        QCOMPARE(blockOf(doc, "Day by Day"),
                 (QStringList{"Anthem: Day by Day", QStringLiteral("Last Performed: ") + QString(20, ' ')
                                                        + "Purchase Date: 06/1999",
                              QString::fromUtf8("My Field 2: élan")}));
        // A collection that no longer exists prints no line.
        QVERIFY(!blockOf(doc, "Come Thou Fount").join('|').contains("Part of Collection"));
        QCOMPARE(blockOf(doc, "Only a Title"), QStringList{"Anthem: Only a Title"});

        // Captions bold 8 pt, values regular 9 pt; a logo line per anthem.
        const ReportPage &page = doc.page(0);
        bool sawCaption = false;
        bool sawValue = false;
        for (const ReportTextItem &t : page.texts) {
            const FontSpec &f = doc.fonts().at(t.font);
            if (t.text == QLatin1String("Loaned To: ")) {
                QVERIFY(f.bold);
                QCOMPARE(f.sizeTwips, 160);
                sawCaption = true;
            } else if (t.text == QLatin1String("Youth choir")) {
                QVERIFY(!f.bold);
                QCOMPARE(f.sizeTwips, 180);
                QCOMPARE(t.x > 1440, true);
                sawValue = true;
            }
        }
        QVERIFY(sawCaption && sawValue);
        QCOMPARE(page.pictures.size(), 1 + anthemBaselines(page).size()); // the heading's logo, then one per anthem
        QCOMPARE(doc.pageLines(0).first().left(7), QStringLiteral("Anthems"));
    }

    void numbersStoredAsTextPrintAsTheNumbersTheyRead()
    {
        // A file written by another tool may hold the cost or the copies as
        // text: a number prints as its plain value, as a collection's does;
        // 0 and text that is no number print no line.
        Db::exec("update anthem set CostPerCopy = '$1,234.50', NumCopies = '0' where anthemid = ?", {m_lib.amazing});
        Db::exec("update anthem set CostPerCopy = 'n/a', NumCopies = ' 12 ' where anthemid = ?", {m_lib.vision});
        const ReportDocument doc = build();
        const QString amazing = blockOf(doc, "Amazing Grace").join('|');
        QVERIFY2(amazing.contains("|Cost per Copy: 1234.5|"), qPrintable(amazing));
        QVERIFY(!amazing.contains("Number of Copies"));
        const QString vision = blockOf(doc, "Be Thou My Vision").join('|');
        QVERIFY(!vision.contains("Cost per Copy"));
        QVERIFY2(vision.contains("|Number of Copies: 12"), qPrintable(vision));
    }

    void untickedOptionsLeaveOutTheirLines()
    {
        SR2PrintForm *w = openReport();
        for (int i = 1; i <= 6; ++i) {
            QCheckBox *box = w->DCheck(i);
            w->findChild<QScrollArea *>("ReportsSScroll")->ensureWidgetVisible(box);
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
            QVERIFY(!box->isChecked());
        }
        const ReportDocument doc = createReport(w);
        const QStringList block = blockOf(doc, "Amazing Grace");
        QCOMPARE(block.size(), 10);
        QCOMPARE(block.last(), QStringLiteral("Loaned To: Youth choir"));
        // A second build with two options back reads them afresh.
        QTest::mouseClick(w->DCheck(4), Qt::LeftButton, {}, QPoint(8, w->DCheck(4)->height() / 2));
        QTest::mouseClick(w->DCheck(6), Qt::LeftButton, {}, QPoint(8, w->DCheck(6)->height() / 2));
        const QStringList again = blockOf(createReport(w), "Amazing Grace");
        QCOMPARE(again.mid(10), (QStringList{"Themes: Lent", "My Field 1: Abbey", "My Field 3:    "}));
    }

    void userFieldCaptionsComeFromTheLabels()
    {
        Db::exec("update labels set label1 = 'Shelf', label3 = null where datatype = 2");
        SR2PrintForm *w = openReport();
        QCOMPARE(blockOf(createReport(w), "Amazing Grace").mid(15), (QStringList{"Shelf: Abbey", ":    "}));
        // Without a labels row the captions of the last build stay.
        Db::exec("delete from labels where datatype = 2");
        QCOMPARE(blockOf(createReport(w), "Amazing Grace").mid(15), (QStringList{"Shelf: Abbey", ":    "}));
    }

    void pagesBreakBeforeABlockBelow13000AndBlocksAre400Apart()
    {
        for (int i = 0; i < 70; ++i)
            insert("insert into anthem (Anthem) values (?)", {QStringLiteral("Zz %1").arg(i, 2, 10, QChar('0'))});
        m_viewer.process(0);
        const ReportDocument doc = build();
        QVERIFY(doc.pageCount() >= 3);
        QCOMPARE(anthemLines(doc).size(), 76);

        // Within a block one line follows the other; between two title-only
        // blocks come the 400 twips, the logo line's 125 and one line.
        const QList<int> first = anthemBaselines(doc.page(0));
        int lineAdvance = INT_MAX;
        for (const ReportTextItem &t : doc.page(0).texts)
            if (t.text == QLatin1String("Part of Collection: ") && t.baseline > first.at(0))
                lineAdvance = std::min(lineAdvance, t.baseline - first.at(0));
        QVERIFY(lineAdvance > 150 && lineAdvance < 300);
        const int spacing = 125 + lineAdvance + 400;

        // A new page's first block starts at the top margin: that gives
        // where a block starts relative to its "Anthem: " baseline.
        const int offset = anthemBaselines(doc.page(1)).first() - 770;
        for (int p = 1; p < doc.pageCount(); ++p) {
            const QList<int> b = anthemBaselines(doc.page(p));
            QVERIFY(!b.isEmpty());
            // No block runs over from the page before: the body starts with one.
            int bodyTop = INT_MAX;
            for (const ReportTextItem &t : doc.page(p).texts)
                if (t.baseline > 770)
                    bodyTop = std::min(bodyTop, t.baseline);
            QCOMPARE(bodyTop, b.first());
            for (int i = 1; i < b.size(); ++i)
                QCOMPARE(b.at(i) - b.at(i - 1), spacing);
        }
        for (int p = 0; p < doc.pageCount(); ++p) {
            const QList<int> b = anthemBaselines(doc.page(p));
            for (int y : b)
                QVERIFY2(y - offset <= 13000, qPrintable(QString("page %1 block at %2").arg(p + 1).arg(y - offset)));
            // The page ended only because the next block would start below 13000.
            if (p + 1 < doc.pageCount() && p > 0)
                QVERIFY(b.last() - offset + spacing > 13000);
        }
    }

    void anAnthemDeletedOrChangedAfterProcess()
    {
        m_viewer.limitTo(2, {"Easter", "Lent"});
        m_viewer.process();
        QCOMPARE(m_viewer.titles(), (QStringList{"Amazing Grace", "Be Thou My Vision", "earth and all stars"}));
        DeleteAnthemCascade(m_lib.vision);
        Db::exec("update anthem set Anthem = 'Earth and All Stars' where anthemid = ?", {m_lib.earth});
        const ReportDocument doc = build();
        QCOMPARE(anthemLines(doc), (QStringList{"Anthem: Amazing Grace", "Anthem: Earth and All Stars"}));
        // The list order stays the one the viewer showed.
        DeleteAnthemCascade(m_lib.amazing);
        DeleteAnthemCascade(m_lib.earth);
        const QStringList lines = allLines(createReport(SR2PrintForm::instance()));
        QCOMPARE(lines.last(), QStringLiteral("There are no anthems to print."));
    }

    void anEmptyListOrAClosedViewerStillReports()
    {
        m_viewer.limitTo(0, {});
        m_viewer.process();
        QStringList lines = allLines(build());
        QVERIFY(anthemLines(build()).isEmpty());
        QCOMPARE(lines.last(), QStringLiteral("There are no anthems to print."));

        // The viewer closes while the report window stays: the report
        // prints what the viewer last listed.
        m_viewer.click(m_viewer.allCheck());
        m_viewer.process();
        m_viewer.close();
        QVERIFY(!hx().AnthemQDFormLoaded);
        QCOMPARE(anthemLines(createReport(SR2PrintForm::instance())).size(), 6);
        // Never listed at all (the set released): the heading and the notice.
        hx().ReportAnthemSet.release();
        QCOMPARE(allLines(createReport(SR2PrintForm::instance())).last(),
                 QStringLiteral("There are no anthems to print."));
    }

    void theReportButtonHandsOff()
    {
        // A collections report window is open: it stays on its kind.
        hx().ReportType = 1;
        RequestReport(1);
        SR2PrintForm *other = SR2PrintForm::instance();
        QVERIFY(other);
        m_prompter->clear();
        m_viewer.click(m_viewer.get<QPushButton>("btnReport"));
        QCOMPARE(m_prompter->lastMessage(), QStringLiteral("Please close the current report window"));
        QCOMPARE(hx().ReportType, 1);
        QCOMPARE(SR2PrintForm::instance(), other);
        QCOMPARE(other->windowTitle(), QStringLiteral("Reports - Collections"));
        closeReportWindow();
        // Closed: the button opens the anthems report.
        m_viewer.click(m_viewer.get<QPushButton>("btnReport"));
        QVERIFY(SR2PrintForm::instance());
        QCOMPARE(hx().ReportType, 2);
        QCOMPARE(SR2PrintForm::instance()->windowTitle(), QStringLiteral("Reports - Anthems"));
    }

    void previewPdfAndHtmlExport()
    {
        SR2PrintForm *w = openReport();
        // Exported while built, as HTML.
        QTest::mouseClick(w->findChild<QCheckBox *>("HTMLCheck"), Qt::LeftButton, {}, QPoint(8, 8));
        w->findChild<QRadioButton *>("StyleOption1")->setChecked(true);
        const QString html = m_folder->file("anthems.htm");
        m_prompter->fileAnswers.enqueue(html);
        createReport(w);
        QFile h(html);
        QVERIFY(h.open(QIODevice::ReadOnly));
        const QString page = QString::fromUtf8(h.readAll());
        QVERIFY(page.contains("Amazing Grace"));
        QVERIFY(page.contains("Rutter"));

        // Then as PDF.
        QPushButton *pdfButton = w->findChild<QPushButton *>("PDFReportButton");
        QVERIFY(pdfButton->isEnabled());
        const QString pdf = m_folder->file("anthems.pdf");
        m_prompter->fileAnswers.enqueue(pdf);
        QTest::mouseClick(pdfButton, Qt::LeftButton);
        QCOMPARE(m_prompter->lastMessage(), QStringLiteral("The PDF version of displayed report has been created"));
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.read(5), QByteArray("%PDF-"));
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (!pdftotext.isEmpty()) {
            QProcess p;
            p.start(pdftotext, {"-layout", pdf, "-"});
            QVERIFY(p.waitForFinished(30000));
            const QString text = QString::fromUtf8(p.readAllStandardOutput());
            QVERIFY(text.contains("Amazing Grace"));
            QVERIFY(text.contains("Composers:"));
            QVERIFY(text.contains("Rutter"));
        }
    }

private:
    SR2PrintForm *openReport()
    {
        if (!SR2PrintForm::instance())
            m_viewer.click(m_viewer.get<QPushButton>("btnReport"));
        return SR2PrintForm::instance();
    }

    ReportDocument build() { return createReport(openReport()); }

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
    Library m_lib;
    Viewer m_viewer;
};

QTEST_MAIN(TestAnthemReport)
#include "tst_anthemreport.moc"
