// The collections report through the report window, read back from the
// page model: the eight options, the block of each collection with its
// dates line and ",  " joins, the section order, the anthems as titles or
// with their own details, the page-break threshold and the gaps, the
// logo line, collections deleted since they were listed, an empty list
// and the export.
#include "CollectionRegistration.h"
#include "CollectionReportModule.h"
#include "CollectionTestUtil.h"
#include "DeleteCollectionCascade.h"
#include "Module.h"
#include "ReportKinds.h"
#include "ReportModel.h"
#include "ReportPrinter.h"
#include "ReportTestUtil.h"
#include "SR2PrintForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <climits>

using namespace coltest;
using namespace reporttest;

namespace {

// The lines of one collection's block: from its "Collection: " line to the next.
QStringList blockOf(const ReportDocument &doc, const QString &name)
{
    return reporttest::blockOf(doc, "Collection: ", name);
}

QStringList collectionLines(const ReportDocument &doc)
{
    return linesStarting(doc, "Collection: ");
}

const ReportTextItem *itemOf(const ReportPage &page, const QString &text)
{
    for (const ReportTextItem &t : page.texts)
        if (t.text == text)
            return &t;
    return nullptr;
}

} // namespace

class TestCollectionReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerCollectionReport(); }

    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
        m_lib.create();
        listed({m_lib.carols, m_lib.easterBook, m_lib.hymnal});
    }
    void cleanup()
    {
        closeReportWindow();
        hx().ReportCollectionSet.release();
        hx().ReportType = -1;
        m_prompter.reset();
        m_folder.reset();
    }

    void theWindowOffersTheEightOptions()
    {
        SR2PrintForm *w = openReport();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Reports - Collections"));
        const QStringList captions = {"Include Composers", "Include Orchestration", "Include Vocalization",
                                      "Include Themes", "Include Choirs", "Include Anthems with titles only",
                                      "Include Anthems with full details", "Include my defined data fields"};
        for (int i = 1; i <= 8; ++i) {
            QCheckBox *box = w->DCheck(i);
            QVERIFY(box);
            QCOMPARE(box->text(), captions.at(i - 1));
            QCOMPARE(box->isChecked(), i != 7);
            QVERIFY(w->optionArea()->isAncestorOf(box));
            QCOMPARE(SR2PrintForm::twipsTop(box), 100 + (i - 1) * 285);
            QCOMPARE(SR2PrintForm::twipsLeft(box), 60);
            QCOMPARE(SR2PrintForm::twipsWidth(box), 3330);
        }
        QVERIFY(!w->DCheck(9));
        QCOMPARE(SR2PrintForm::twipsTop(w->findChild<QWidget *>("HTMLFrame")), 2095 + 210 + 200);
    }

    void eachCollectionPrintsItsBlockInSectionOrder()
    {
        Db::exec("update collection set u3 = '   ' where collectionid = ?", {m_lib.carols});
        const ReportDocument doc = build();
        QCOMPARE(collectionLines(doc),
                 (QStringList{"Collection: Carols Book", "Collection: Easter Book", "Collection: hymnal"}));
        // Sections 1, 2, 3, 4, 5, then the user fields, then the anthems in
        // title order.
        QCOMPARE(blockOf(doc, "Carols Book"),
                 (QStringList{"Collection: Carols Book", "Catalog #: C-1", "Location: Shelf 2",
                              "Last Performed: 12/24/2001          Purchase Date: 06/1999", "Cost per Copy: 12.5",
                              "Number of Copies: 30", "Page(s), Page #, or Page Range: 1-200",
                              "Performance Time: 1:10:00", "Loaned To: O'Brien", "Composers: Bach,  Handel,  Rutter",
                              "Orchestration: Organ", "Vocalization: SATB", "Themes: Advent,  Lent",
                              "Choirs: Chancel", "My Field 1: Abbey", "My Field 3:    ", "Anthems: ",
                              "     amazing grace", "     Joy to the World", "     O Holy Night"}));
        // Costs and copies of 0 (the table's defaults) print nothing.
        QCOMPARE(blockOf(doc, "hymnal"), (QStringList{"Collection: hymnal", "Anthems: "}));
        QCOMPARE(blockOf(doc, "Easter Book"),
                 (QStringList{"Collection: Easter Book", "Themes: Easter", "Anthems: ", "     Christ the Lord"}));

        // Captions bold 8 pt, values regular 9 pt; one logo line per block.
        const ReportPage &page = doc.page(0);
        const ReportTextItem *caption = itemOf(page, "Loaned To: ");
        const ReportTextItem *value = itemOf(page, "O'Brien");
        QVERIFY(caption && value);
        QVERIFY(doc.fonts().at(caption->font).bold);
        QCOMPARE(doc.fonts().at(caption->font).sizeTwips, 160);
        QVERIFY(!doc.fonts().at(value->font).bold);
        QCOMPARE(doc.fonts().at(value->font).sizeTwips, 180);
        QCOMPARE(page.pictures.size(), 1 + 3); // the heading's logo, then one per collection
        QVERIFY(doc.pageLines(0).first().startsWith("Collections"));

        // A collection without anthems still prints "Anthems: " and an
        // empty line: its block is as tall as one with a single anthem.
        const QList<int> starts = baselinesOf(page, "Collection: ");
        const QList<int> anthems = baselinesOf(page, "Anthems: ");
        QCOMPARE(starts.size(), 3);
        Db::exec("delete from anthem where anthemid = ?", {m_lib.christ});
        listed({m_lib.hymnal, m_lib.easterBook, m_lib.carols});
        const ReportPage &again = createReport(SR2PrintForm::instance()).page(0);
        const QList<int> s2 = baselinesOf(again, "Collection: ");
        const QList<int> a2 = baselinesOf(again, "Anthems: ");
        QCOMPARE(s2.at(1) - a2.at(0), starts.at(2) - anthems.at(1));
        QCOMPARE(s2.at(2) - a2.at(1), starts.at(2) - anthems.at(1));
    }

    void theDatesLine()
    {
        Db::exec("update collection set DatePurchased = '2002-03-09' where collectionid = ?", {m_lib.easterBook});
        Db::exec("insert into col_lperform (Lperform, collectionid) values ('2002-05-01', ?)", {m_lib.hymnal});
        // A row without a date is no performance.
        Db::exec("insert into col_lperform (Lperform, collectionid) values (null, ?)", {m_lib.easterBook});
        const ReportDocument doc = build();
        QCOMPARE(blockOf(doc, "Easter Book").value(1),
                 QStringLiteral("Last Performed: ") + QString(20, ' ') + "Purchase Date: 03/2002");
        QCOMPARE(blockOf(doc, "hymnal").value(1), QStringLiteral("Last Performed: 05/01/2002          Purchase Date: "));
    }

    void untickedOptionsLeaveOutTheirSections()
    {
        SR2PrintForm *w = openReport();
        for (int i : {1, 2, 3, 4, 5, 8, 6})
            click(w, i);
        for (int i = 1; i <= 8; ++i)
            QVERIFY(!w->DCheck(i)->isChecked());
        const ReportDocument doc = createReport(w);
        QCOMPARE(blockOf(doc, "Carols Book").size(), 9);
        QCOMPARE(blockOf(doc, "Carols Book").last(), QStringLiteral("Loaned To: O'Brien"));
        QCOMPARE(blockOf(doc, "hymnal"), QStringList{"Collection: hymnal"});
        // Each option on its own brings back its own section only.
        const QStringList sections = {"Composers: Bach,  Handel,  Rutter", "Orchestration: Organ",
                                      "Vocalization: SATB", "Themes: Advent,  Lent", "Choirs: Chancel"};
        for (int i = 1; i <= 5; ++i) {
            click(w, i);
            QCOMPARE(blockOf(createReport(w), "Carols Book").mid(9), QStringList{sections.at(i - 1)});
            click(w, i);
        }
        click(w, 8);
        QCOMPARE(blockOf(createReport(w), "Carols Book").mid(9), QStringList{"My Field 1: Abbey"});
    }

    void fullDetailsListEachAnthemsOwnLinksButNeverItsChoirs()
    {
        SR2PrintForm *w = openReport();
        for (int i : {1, 2, 3, 4, 7})
            click(w, i);
        QVERIFY(!w->DCheck(6)->isChecked());
        const ReportDocument doc = createReport(w);
        QCOMPARE(blockOf(doc, "Carols Book").mid(9),
                 (QStringList{"Choirs: Chancel", "My Field 1: Abbey", "Anthems: ", "amazing grace",
                              "Joy to the World", "Composers: Handel", "Orchestration: Brass,  Organ",
                              "Vocalization: SSA", "Themes: Advent", "O Holy Night", "Composers: Rutter"}));
        QCOMPARE(blockOf(doc, "hymnal"), (QStringList{"Collection: hymnal", "Anthems: "}));

        // Titles bold and blue, everything indented by 200.
        const ReportPage &page = doc.page(0);
        const ReportTextItem *title = itemOf(page, "Joy to the World");
        QVERIFY(title);
        QCOMPARE(title->x, 1640);
        QCOMPARE(title->color, QColor(0, 0, 255).rgb());
        QVERIFY(doc.fonts().at(title->font).bold);
        QCOMPARE(doc.fonts().at(title->font).sizeTwips, 180);
        QCOMPARE(itemOf(page, "Orchestration: ")->x, 1640);
        QCOMPARE(itemOf(page, "Composers: ")->color, QColor(Qt::black).rgb());
        // An empty line between two anthems; the next block is not indented.
        const int line = itemOf(page, "Composers: ")->baseline - title->baseline;
        QCOMPARE(itemOf(page, "O Holy Night")->baseline - itemOf(page, "Themes: ")->baseline, 2 * line);
        QCOMPARE(itemOf(page, "Collection: ")->x, 1440);
        QCOMPARE(baselinesOf(page, "Collection: ").size(), 3);
        for (const ReportTextItem &t : page.texts)
            if (t.text == QLatin1String("Collection: "))
                QCOMPARE(t.x, 1440);
    }

    void bothAnthemSectionsComeLastInOptionOrder()
    {
        // Outside the window both anthem options can be on: each is tested
        // on its own, titles before details.
        CollectionReportOptions o;
        o.set(CollectionReportOptions::IncludeAnthemDetails, true);
        ReportPrinter printer;
        PrintCollectionReport(printer, {m_lib.easterBook}, o);
        QCOMPARE(blockOf(printer.document(), "Easter Book"),
                 (QStringList{"Collection: Easter Book", "Themes: Easter", "Anthems: ", "     Christ the Lord",
                              "Anthems: ", "Christ the Lord", "Themes: Easter"}));
        // Without a report window the options stand as first shown.
        QVERIFY(!CollectionReportOptions::fromReportWindow().isOn(CollectionReportOptions::IncludeAnthemDetails));
        QVERIFY(CollectionReportOptions::fromReportWindow().isOn(CollectionReportOptions::IncludeAnthemTitles));
    }

    void userFieldCaptionsComeFromTheLabels()
    {
        Db::exec("update labels set label1 = 'Shelf', label2 = null where datatype = 1");
        Db::exec("update collection set u2 = 'Two' where collectionid = ?", {m_lib.carols});
        SR2PrintForm *w = openReport();
        QCOMPARE(blockOf(createReport(w), "Carols Book").mid(14, 2), (QStringList{"Shelf: Abbey", ": Two"}));
        // Without a labels row the captions of the last build stay.
        Db::exec("delete from labels where datatype = 1");
        QCOMPARE(blockOf(createReport(w), "Carols Book").mid(14, 2), (QStringList{"Shelf: Abbey", ": Two"}));
    }

    void pagesBreakOnlyBeforeABlockPast13000AndBlocksAre400Apart()
    {
        QList<qint32> ids;
        for (int i = 0; i < 60; ++i)
            ids << insert("insert into collection (Collection) values (?)",
                          {QStringLiteral("Zz %1").arg(i, 2, 10, QChar('0'))});
        listed(ids);
        const ReportDocument doc = build();
        QVERIFY(doc.pageCount() >= 3);
        QCOMPARE(collectionLines(doc).size(), 60);

        // Identical blocks: logo line (125), "Collection: ", "Anthems: ",
        // an empty line; then the 400-twip gap.
        const QList<int> first = baselinesOf(doc.page(0), "Collection: ");
        const int spacing = first.at(1) - first.at(0);
        QVERIFY(spacing > 400 + 125);
        // A new page's first block starts at the top margin: that gives
        // where a block starts relative to its "Collection: " baseline.
        const int offset = baselinesOf(doc.page(1), "Collection: ").first() - 770;
        for (int p = 0; p < doc.pageCount(); ++p) {
            const ReportPage &page = doc.page(p);
            const QList<int> b = baselinesOf(page, "Collection: ");
            QVERIFY(!b.isEmpty());
            for (int i = 1; i < b.size(); ++i)
                QCOMPARE(b.at(i) - b.at(i - 1), spacing);
            for (int y : b)
                QVERIFY2(y - offset <= 13000, qPrintable(QString("page %1 block at %2").arg(p + 1).arg(y - offset)));
            // The page ended only because the next block would start past 13000.
            if (p + 1 < doc.pageCount())
                QVERIFY(b.last() - offset + spacing > 13000);
            // Every block begins with the logo line, also the first on a page.
            QCOMPARE(page.pictures.size(), b.size() + (p == 0 ? 1 : 0));
            if (p > 0) {
                QCOMPARE(page.pictures.first().rect.top(), 770);
                int bodyTop = INT_MAX;
                for (const ReportTextItem &t : page.texts)
                    if (t.baseline > 770)
                        bodyTop = std::min(bodyTop, t.baseline);
                QCOMPARE(bodyTop, b.first()); // no block runs over from the page before
            }
        }
    }

    void collectionsDeletedSinceAreLeftOutAndTheOrderKept()
    {
        listed({m_lib.hymnal, m_lib.carols, m_lib.easterBook});
        DeleteCollectionCascade(m_lib.carols);
        Db::exec("update collection set Collection = 'Easter Book II' where collectionid = ?", {m_lib.easterBook});
        const ReportDocument doc = build();
        QCOMPARE(collectionLines(doc), (QStringList{"Collection: hymnal", "Collection: Easter Book II"}));
        QCOMPARE(doc.page(0).pictures.size(), 1 + 2);
        QVERIFY(m_prompter->messages.isEmpty());
    }

    void anEmptyListPrintsTheHeadingOnly()
    {
        for (bool open : {true, false}) {
            listed({});
            hx().ReportCollectionSet.open = open;
            const ReportDocument doc = build();
            QCOMPARE(doc.pageCount(), 1);
            // The running page header, then the heading with its date.
            const QStringList lines = doc.pageLines(0);
            QCOMPARE(lines.size(), 2);
            QCOMPARE(lines.at(0), QStringLiteral("Collections\tPage 1"));
            QVERIFY(lines.at(1).startsWith("Collections\t"));
            QCOMPARE(doc.page(0).pictures.size(), 1);
            QVERIFY(m_prompter->messages.isEmpty());
        }
        // Ids of collections all deleted since: the same.
        listed({m_lib.hymnal});
        Db::exec("delete from collection");
        QCOMPARE(build().pageLines(0).size(), 2);
    }

    void exportedWhileBuilt()
    {
        SR2PrintForm *w = openReport();
        QTest::mouseClick(w->findChild<QCheckBox *>("HTMLCheck"), Qt::LeftButton, {}, QPoint(8, 8));
        w->findChild<QRadioButton *>("StyleOption1")->setChecked(true);
        const QString html = m_folder->file("collections.htm");
        m_prompter->fileAnswers.enqueue(html);
        createReport(w);
        QCOMPARE(m_prompter->lastMessage(), QStringLiteral("The HTML/DHTML file: \ncollections.htm\nhas been created."));
        QFile h(html);
        QVERIFY(h.open(QIODevice::ReadOnly));
        const QString page = QString::fromUtf8(h.readAll());
        QVERIFY(page.contains("Carols Book"));
        QVERIFY(page.contains("Rutter"));
    }

private:
    void listed(const QList<qint32> &ids)
    {
        hx().ReportCollectionSet.open = true;
        hx().ReportCollectionSet.ids = ids;
    }

    SR2PrintForm *openReport()
    {
        if (!SR2PrintForm::instance())
            RequestReport(ReportKinds::Collections);
        return SR2PrintForm::instance();
    }

    // A click on option i, as the user makes it.
    void click(SR2PrintForm *w, int i)
    {
        QCheckBox *box = w->DCheck(i);
        w->findChild<QScrollArea *>("ReportsSScroll")->ensureWidgetVisible(box);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }

    ReportDocument build() { return createReport(openReport()); }

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
    Library m_lib;
};

QTEST_MAIN(TestCollectionReport)
#include "tst_collectionreport.moc"
