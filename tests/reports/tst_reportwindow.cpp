// The report window driven through its controls: the hand-off, the kinds'
// options, Create with and without export, the PDF button, the document
// dialogs, the page-range dialog, the enlarged preview and the schedule
// information.
#include "Db.h"
#include "Module.h"
#include "PrintPageForm.h"
#include "RForm.h"
#include "ReportFile.h"
#include "ReportKinds.h"
#include "ReportPreview.h"
#include "SR2PrintForm.h"
#include "SampleReport.h"
#include "TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

namespace {

int g_builds = 0;
int g_records = 12;
std::function<void(ReportPrinter &)> g_duringBuild;

void sampleBuild(ReportPrinter &p)
{
    ++g_builds;
    if (g_duringBuild)
        g_duringBuild(p);
    Sample::build(p, g_records);
}

// The collections layout: eight check boxes, the export block below.
void eightChecks()
{
    SR2PrintForm *f = ReportForm();
    const char *captions[8] = {"Include Composers", "Include Orchestration", "Include Vocalization",
                               "Include Themes", "Include Choirs", "Include Anthems with titles only",
                               "Include Anthems with full details", "Include my defined data fields"};
    QCheckBox *prev = nullptr;
    for (int i = 1; i <= 8; ++i) {
        QCheckBox *c = f->loadDCheck(i);
        const int top = prev ? SR2PrintForm::twipsTop(prev) + SR2PrintForm::twipsHeight(prev) + 75 : 100;
        SR2PrintForm::placeTwips(c, 60, top, 3330);
        c->setText(QLatin1String(captions[i - 1]));
        c->setChecked(i != 7);
        prev = c;
    }
    ArrangeReportForm(SR2PrintForm::twipsTop(prev), SR2PrintForm::twipsHeight(prev) + 100, true);
}

// The schedule layout: information text with its save button, the combine
// box and the choir limit frame.
void scheduleOptions()
{
    SR2PrintForm *f = ReportForm();
    QLabel *label = f->loadDLabel(1);
    SR2PrintForm::placeTwips(label, 60, 300, 3330);
    label->setText(QStringLiteral("Schedule info for ALL CHOIRS"));
    QTextEdit *info = f->loadDRtext(1);
    SR2PrintForm::placeTwips(info, 60, 570, 3600, 3330);
    QPushButton *save = f->loadDButton(1);
    SR2PrintForm::placeTwips(save, 60, 3915, 3585);
    save->setText(QStringLiteral("Save current Information"));
    QCheckBox *combine = f->loadDCheck(1);
    SR2PrintForm::placeTwips(combine, 60, 4290, 3585);
    combine->setText(QStringLiteral("Combine choirs into 1 schedule"));
    combine->setChecked(true);
    QGroupBox *frame = f->loadDFrame(1);
    SR2PrintForm::placeTwips(frame, 60, 4560, 3585, 600);
    QCheckBox *limit = f->loadDCheck(2, frame);
    SR2PrintForm::placeTwips(limit, 0, 0, 3585);
    limit->setText(QStringLiteral("Limit to selected choir"));
    QComboBox *choirs = f->loadDComboB(1, frame);
    SR2PrintForm::placeTwips(choirs, 0, 270, 3585);
    frame->hide();
    ArrangeReportForm(SR2PrintForm::twipsTop(frame), SR2PrintForm::twipsHeight(frame) + 100, true);
}

template <class T> T *find(QObject *parent, const char *name)
{
    T *w = parent ? parent->findChild<T *>(QLatin1String(name)) : nullptr;
    if (!w)
        qWarning("no %s", name);
    return w;
}

} // namespace

class TestReportWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        ReportKinds::registerKind(1, eightChecks, sampleBuild);
        ReportKinds::registerKind(2, eightChecks, sampleBuild);
        ReportKinds::registerKind(3, [] {}, sampleBuild);
        ReportKinds::registerKind(4, scheduleOptions, sampleBuild);
    }

    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
        g_builds = 0;
        g_records = 12;
        g_duringBuild = nullptr;
        hx().ReportType = -1;
    }

    void cleanup()
    {
        if (SR2PrintForm *f = SR2PrintForm::instance()) {
            f->close();
            delete f;
        }
        QVERIFY(!hx().SR2PrintFormLoaded);
        m_prompter.reset();
        m_folder.reset();
    }

    void handOffServesOneWindowAtATime()
    {
        RequestReport(1);
        SR2PrintForm *f = SR2PrintForm::instance();
        QVERIFY(f);
        QVERIFY(hx().SR2PrintFormLoaded);
        QCOMPARE(ReportForm(), f);
        QCOMPARE(f->windowTitle(), QStringLiteral("Reports - Collections"));
        QCOMPARE(hx().ReportType, 1);
        QVERIFY(m_prompter->messages.isEmpty());
        QCOMPARE(f->preview()->pageCount(), 0); // nothing built before Create

        RequestReport(2);
        QCOMPARE(m_prompter->lastMessage(), QStringLiteral("Please close the current report window"));
        QCOMPARE(m_prompter->messages.last().icon, MsgIcon::Information);
        QCOMPARE(SR2PrintForm::instance(), f);
        QCOMPARE(hx().ReportType, 1);
        // Space on Create Report builds the report and the focus stays
        // there: a second Space builds again, it does not close the window.
        QVERIFY(QTest::qWaitForWindowActive(f));
        auto *create = find<QPushButton>(f, "CreateButton");
        create->setFocus();
        QTest::keyClick(create, Qt::Key_Space);
        QCOMPARE(g_builds, 1);
        QCOMPARE(QApplication::focusWidget(), create);
        QCOMPARE(f->windowTitle(), QStringLiteral("Reports - Collections"));

        find<QPushButton>(f, "CloseButton")->click();
        QVERIFY(!hx().SR2PrintFormLoaded);
        QCOMPARE(hx().ReportType, -1);
        QVERIFY(!ReportForm());
        delete f;
        RequestReport(2);
        QVERIFY(SR2PrintForm::instance());
        QCOMPARE(SR2PrintForm::instance()->windowTitle(), QStringLiteral("Reports - Anthems"));
    }

    void membersBuildAtOnceAndScheduleIsLandscape()
    {
        RequestReport(3);
        SR2PrintForm *f = SR2PrintForm::instance();
        QCOMPARE(f->windowTitle(), QStringLiteral("Reports - Members"));
        QCOMPARE(g_builds, 1);
        QVERIFY(f->preview()->pageCount() > 0);
        QVERIFY(!f->preview()->document().page(0).isLandscape());
        f->close();
        delete f;

        RequestReport(4);
        f = SR2PrintForm::instance();
        QCOMPARE(f->windowTitle(), QStringLiteral("Reports - Schedule"));
        QCOMPARE(f->printer().orientation(), PageOrientation::Landscape);
        QCOMPARE(g_builds, 1);
        find<QPushButton>(f, "CreateButton")->click();
        QVERIFY(f->preview()->document().page(0).isLandscape());
        f->close();
        delete f;

        RequestReport(2);
        f = SR2PrintForm::instance();
        QCOMPARE(f->printer().orientation(), PageOrientation::Portrait);
        find<QPushButton>(f, "CreateButton")->click();
        QVERIFY(!f->preview()->document().page(0).isLandscape());
    }

    void optionRulesAndLayout()
    {
        RequestReport(1);
        SR2PrintForm *f = SR2PrintForm::instance();
        QCheckBox *six = find<QCheckBox>(f, "DCheck6");
        QCheckBox *seven = find<QCheckBox>(f, "DCheck7");
        QVERIFY(six && seven);
        QCOMPARE(SR2PrintForm::twipsTop(f->DCheck(2)), 385);
        QCOMPARE(SR2PrintForm::twipsTop(f->DCheck(8)), 2095);
        QVERIFY(six->isChecked() && !seven->isChecked());
        seven->click();
        QVERIFY(seven->isChecked() && !six->isChecked());
        six->click();
        QVERIFY(six->isChecked() && !seven->isChecked());
        six->click();
        QVERIFY(!six->isChecked() && !seven->isChecked()); // both may be unticked
        // The export block stands 200 twips below the last option.
        QFrame *html = find<QFrame>(f, "HTMLFrame");
        QVERIFY(html->isVisibleTo(f));
        QCOMPARE(SR2PrintForm::twipsTop(html), 2095 + 210 + 200);
        QCOMPARE(SR2PrintForm::twipsLeft(html), 15);
        f->close();
        delete f;

        RequestReport(4);
        f = SR2PrintForm::instance();
        QCheckBox *combine = find<QCheckBox>(f, "DCheck1");
        QGroupBox *frame = find<QGroupBox>(f, "DFrame1");
        QVERIFY(!frame->isVisibleTo(f));
        combine->click();
        QVERIFY(frame->isVisibleTo(f));
        combine->click();
        QVERIFY(!frame->isVisibleTo(f));
        QVERIFY(find<QCheckBox>(frame, "DCheck2"));
        QVERIFY(find<QComboBox>(frame, "DComboB1"));
    }

    void createExportsOnlyWhenAsked()
    {
        RequestReport(2);
        SR2PrintForm *f = SR2PrintForm::instance();
        QCheckBox *html = find<QCheckBox>(f, "HTMLCheck");
        QFrame *styles = find<QFrame>(f, "StyleFrame");
        QVERIFY(!html->isChecked());
        QVERIFY(find<QRadioButton>(f, "StyleOption2")->isChecked());
        QVERIFY(!styles->isVisibleTo(f));
        // Unticked: nothing is exported and nothing said, whatever the style.
        find<QRadioButton>(f, "StyleOption0")->click();
        find<QPushButton>(f, "CreateButton")->click();
        QVERIFY(m_prompter->messages.isEmpty());
        QVERIFY(m_prompter->fileFilters.isEmpty());
        QVERIFY(f->printer().exportFile().isEmpty());
        QCOMPARE(f->printer().exportFormat(), ExportFormat::Rtf);

        html->click();
        QVERIFY(styles->isVisibleTo(f));
        const QString rtf = m_folder->file(QStringLiteral("out.rtf"));
        m_prompter->fileAnswers << rtf;
        find<QPushButton>(f, "CreateButton")->click();
        QCOMPARE(m_prompter->messages.first().text,
                 QStringLiteral("When prompted enter the file name for the RTF/HTML version of report"));
        QCOMPARE(m_prompter->fileFilters.last(), QStringLiteral("RTF Files (*.rtf)"));
        QVERIFY(QFile::exists(rtf));
        QCOMPARE(m_prompter->lastMessage(), QStringLiteral("The Rich Text file: \nout.rtf\nhas been created."));

        // Paged HTML.
        m_prompter->clear();
        find<QRadioButton>(f, "StyleOption2")->click();
        m_prompter->fileAnswers << m_folder->file(QStringLiteral("rpt.htm"));
        find<QPushButton>(f, "CreateButton")->click();
        QCOMPARE(m_prompter->fileFilters.last(), QStringLiteral("HTML Files (*.htm *.html)"));
        QVERIFY(QFile::exists(m_folder->file(QStringLiteral("rpt1.htm"))));
        QVERIFY(m_prompter->lastMessage().startsWith(QStringLiteral("The HTML/DHTML paged report was created as: \nrpt1.htm, rpt2.htm")));

        // A cancelled export dialog still builds, without an export message.
        m_prompter->clear();
        const int builds = g_builds;
        find<QPushButton>(f, "CreateButton")->click();
        QCOMPARE(g_builds, builds + 1);
        QCOMPARE(m_prompter->messages.size(), 1); // only the "When prompted" notice
        QVERIFY(f->preview()->pageCount() > 0);
        html->click();
        QVERIFY(!styles->isVisibleTo(f));
    }

    void pdfButtonConvertsTheShownReport()
    {
        RequestReport(2);
        SR2PrintForm *f = SR2PrintForm::instance();
        QPushButton *pdf = find<QPushButton>(f, "PDFReportButton");
        QCOMPARE(pdf->text(), QStringLiteral("Create a PDF Document from Displayed Report"));
        QVERIFY(!pdf->isEnabled());
        find<QPushButton>(f, "CreateButton")->click();
        QVERIFY(pdf->isEnabled());

        pdf->click(); // cancelled
        QVERIFY(m_prompter->messages.isEmpty());
        QCOMPARE(m_prompter->fileFilters.last(), QStringLiteral("PDF Files (*.pdf)"));

        const QString path = m_folder->file(QStringLiteral("report.pdf"));
        m_prompter->fileAnswers << path;
        pdf->click();
        QVERIFY(QFileInfo(path).size() > 1000);
        QCOMPARE(m_prompter->lastMessage(), QStringLiteral("The PDF version of displayed report has been created"));
        QCOMPARE(m_prompter->messages.last().title, QStringLiteral("PDF Confirmation"));

        // A name typed without its extension gets ".pdf".
        m_prompter->fileAnswers << m_folder->file(QStringLiteral("plain"));
        pdf->click();
        QVERIFY(QFileInfo(m_folder->file(QStringLiteral("plain.pdf"))).size() > 1000);

        m_prompter->clear();
        m_prompter->fileAnswers << m_folder->file(QStringLiteral("no/such/folder/x.pdf"));
        pdf->click();
        QCOMPARE(m_prompter->messages.size(), 1);
        QVERIFY(m_prompter->lastMessage() != QStringLiteral("The PDF version of displayed report has been created"));
        QCOMPARE(m_prompter->messages.last().icon, MsgIcon::Critical);
    }

    void documentsSaveOpenAndAppend()
    {
        g_records = 40;
        RequestReport(2);
        SR2PrintForm *f = SR2PrintForm::instance();
        // Nothing built yet: saving is not offered.
        bool saveOffered = true;
        m_prompter->dialogHandlers << [&](QDialog &d) {
            saveOffered = find<QRadioButton>(&d, "Option10")->isEnabled();
            find<QPushButton>(&d, "ApplyButton")->click();
            return d.result();
        };
        find<QPushButton>(f, "SaveButton")->click();
        QVERIFY(!saveOffered);
        QVERIFY(m_prompter->fileFilters.isEmpty());
        QCOMPARE(m_prompter->lastMessage(), QStringLiteral("There is no report to save."));

        find<QPushButton>(f, "CreateButton")->click();
        const ReportDocument built = f->preview()->document();
        QVERIFY(built.pageCount() >= 5);
        f->preview()->setPreviewPage(3);

        auto chooseAction = [&](int i) {
            m_prompter->dialogHandlers << [i](QDialog &d) {
                if (i >= 0)
                    find<QRadioButton>(&d, qPrintable(QStringLiteral("Option1%1").arg(i)))->click();
                find<QPushButton>(&d, "ApplyButton")->click();
                return d.result();
            };
        };
        auto saveWith = [&](const QString &name, std::function<void(QDialog &)> range) {
            chooseAction(-1); // Apply without a choice saves
            m_prompter->fileAnswers << m_folder->file(name);
            m_prompter->dialogHandlers << [range](QDialog &d) {
                range(d);
                return d.result();
            };
            find<QPushButton>(f, "SaveButton")->click();
            ReportDocument doc;
            QString error;
            ReportFile::load(m_folder->file(name), &doc, &error);
            return doc;
        };
        auto apply = [](QDialog &d) { find<QPushButton>(&d, "ApplyButton")->click(); };

        QVERIFY(saveWith(QStringLiteral("all.vsr"), apply) == built);
        QCOMPARE(m_prompter->fileFilters.last(), QStringLiteral("System Report Files (*.vsr)"));
        const ReportDocument current = saveWith(QStringLiteral("current.vsr"), [&](QDialog &d) {
            find<QRadioButton>(&d, "PageOption1")->click();
            apply(d);
        });
        QVERIFY(current == built.pageRange(3, 3));
        const ReportDocument range = saveWith(QStringLiteral("range.vsr"), [&](QDialog &d) {
            QVERIFY(!find<QWidget>(&d, "RangeFrame")->isEnabled());
            find<QRadioButton>(&d, "PageOption2")->click();
            QVERIFY(find<QWidget>(&d, "RangeFrame")->isEnabled());
            find<QLineEdit>(&d, "FromPage")->setText(QStringLiteral("2"));
            find<QLineEdit>(&d, "ToPage")->setText(QStringLiteral("4"));
            apply(d);
        });
        QVERIFY(range == built.pageRange(2, 4));
        // To below From is refused at Apply; the dialog stays for correction.
        const ReportDocument corrected = saveWith(QStringLiteral("fixed.vsr"), [&](QDialog &d) {
            find<QRadioButton>(&d, "PageOption2")->click();
            find<QLineEdit>(&d, "FromPage")->setText(QStringLiteral("4"));
            find<QLineEdit>(&d, "ToPage")->setText(QStringLiteral("2"));
            apply(d);
            QCOMPARE(m_prompter->lastMessage(), QStringLiteral("Page setting error .... Check the page range settings."));
            QCOMPARE(d.result(), int(QDialog::Rejected));
            find<QLineEdit>(&d, "ToPage")->setText(QStringLiteral("5"));
            apply(d);
        });
        QVERIFY(corrected == built.pageRange(4, 5));
        // Cancel and the close box write nothing.
        QVERIFY(saveWith(QStringLiteral("cancel.vsr"), [&](QDialog &d) {
                    find<QPushButton>(&d, "CancelButton")->click();
                }).isEmpty());
        QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("cancel.vsr"))));
        QVERIFY(saveWith(QStringLiteral("closed.vsr"), [&](QDialog &d) {
                    d.show();
                    d.close();
                }).isEmpty());
        QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("closed.vsr"))));
        QCOMPARE(hx().PageRange[0], -1);

        // Open replaces what is shown; append adds after its last page.
        chooseAction(1);
        m_prompter->fileAnswers << m_folder->file(QStringLiteral("range.vsr"));
        find<QPushButton>(f, "SaveButton")->click();
        QVERIFY(f->preview()->document() == built.pageRange(2, 4));
        chooseAction(2);
        m_prompter->fileAnswers << m_folder->file(QStringLiteral("current.vsr"));
        find<QPushButton>(f, "SaveButton")->click();
        QCOMPARE(f->preview()->pageCount(), 4);
        QVERIFY(f->preview()->document() == built.pageRange(2, 4).appended(built.pageRange(3, 3)));
        QVERIFY(f->printer().document() == f->preview()->document());
        // Saving names a new file; opening and appending choose an existing one.
        QCOMPARE(m_prompter->fileModes.first(), FileMode::Save);
        QCOMPARE(m_prompter->fileModes.mid(m_prompter->fileModes.size() - 2),
                 QList<FileMode>({FileMode::Open, FileMode::Open}));

        // A damaged file is refused and changes nothing.
        QFile::copy(m_folder->file(QStringLiteral("all.vsr")), m_folder->file(QStringLiteral("bad.vsr")));
        QFile::resize(m_folder->file(QStringLiteral("bad.vsr")), 300);
        const ReportDocument before = f->preview()->document();
        m_prompter->clear();
        chooseAction(1);
        m_prompter->fileAnswers << m_folder->file(QStringLiteral("bad.vsr"));
        find<QPushButton>(f, "SaveButton")->click();
        QCOMPARE(m_prompter->messages.size(), 1);
        QVERIFY(m_prompter->lastMessage().contains(QStringLiteral("cannot be opened")));
        QVERIFY(f->preview()->document() == before);
        // A cancelled file dialog ends the flow.
        m_prompter->clear();
        chooseAction(2);
        find<QPushButton>(f, "SaveButton")->click();
        QVERIFY(m_prompter->messages.isEmpty());
        QVERIFY(f->preview()->document() == before);
    }

    void pageRangeBoxesKeepToThePages()
    {
        PrintPageForm d(7, 3);
        auto *from = find<QLineEdit>(&d, "FromPage");
        auto *to = find<QLineEdit>(&d, "ToPage");
        QCOMPARE(from->text(), QStringLiteral("1"));
        QCOMPARE(to->text(), QStringLiteral("7"));
        QVERIFY(find<QRadioButton>(&d, "PageOption0")->isChecked());
        QCOMPARE(hx().PageRange[0], 0);
        auto leave = [](QLineEdit *e) {
            QFocusEvent out(QEvent::FocusOut);
            QCoreApplication::sendEvent(e, &out);
        };
        from->setText(QStringLiteral("0"));
        leave(from);
        QCOMPARE(from->text(), QStringLiteral("1"));
        from->setText(QStringLiteral("12"));
        leave(from);
        QCOMPARE(from->text(), QStringLiteral("7"));
        to->setText(QStringLiteral("99"));
        leave(to);
        QCOMPARE(to->text(), QStringLiteral("7"));
        from->setText(QStringLiteral("5"));
        to->setText(QStringLiteral("2"));
        leave(to);
        QCOMPARE(to->text(), QStringLiteral("5"));
        to->setText(QStringLiteral("6x"));
        leave(to);
        QCOMPARE(to->text(), QStringLiteral("6"));
        find<QRadioButton>(&d, "PageOption2")->click();
        find<QPushButton>(&d, "ApplyButton")->click();
        QCOMPARE(hx().PageRange[0], 5);
        QCOMPARE(hx().PageRange[1], 6);
        QCOMPARE(leadingNumber(QStringLiteral("12abc")), 12);
        QCOMPARE(leadingNumber(QStringLiteral("abc")), 0);
    }

    void enlargedPreviewFindsFromPageToPage()
    {
        // Page 1 holds "Title 1" only; "Title 2" stands on page 1 too, so
        // search words that sit on later pages.
        g_records = 40;
        RequestReport(4);
        SR2PrintForm *f = SR2PrintForm::instance();
        find<QPushButton>(f, "CreateButton")->click();
        const ReportDocument doc = f->preview()->document();
        QVERIFY(doc.pageCount() >= 3);
        const int pageOf30 = doc.find(QStringLiteral("Title 30"), 1);
        QVERIFY(pageOf30 > 2);
        bool checked = false;
        m_prompter->dialogHandlers << [&](QDialog &d) {
            auto *r = qobject_cast<RForm *>(&d);
            if (!r)
                return 0;
            auto *p2 = find<ReportPreview>(&d, "VSPrinter2");
            if (!(d.windowTitle() == QStringLiteral("Tessaly Reports") && p2->zoom() == 100
                  && p2->document() == doc && p2->document().page(0).isLandscape() && p2->previewPage() == 1))
                return 0;
            auto *text = find<QLineEdit>(&d, "SearchText");
            auto *button = find<QPushButton>(&d, "SearchButton");
            button->click(); // empty: nothing
            if (p2->previewPage() != 1)
                return 0;
            text->setText(QStringLiteral("Title 1:")); // not found anywhere
            button->click();
            if (p2->previewPage() != 1)
                return 0;
            text->setText(QStringLiteral("Sample Anthems")); // in every page's header: this one first
            button->click();
            if (p2->previewPage() != 1)
                return 0;
            text->setText(QStringLiteral("title 30"));
            p2->setPreviewPage(1);
            button->click();
            if (p2->previewPage() != pageOf30 || p2->foundRect().isNull())
                return 0;
            button->click(); // no later hit: the page stays
            if (p2->previewPage() != pageOf30)
                return 0;
            checked = true;
            return 0;
        };
        find<QPushButton>(f, "MaxButton")->click();
        QVERIFY(checked);
        QCOMPARE(m_prompter->dialogs.last(), QStringLiteral("RForm"));
        QVERIFY(f->preview()->document() == doc); // the window's report is untouched
        // No scratch file is left in the program folder.
        QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("temp.vs"))));
    }

    // Find in the enlarged preview searches from the top of the page shown
    // and, for the same text again, on after its hit; a changed text or a
    // page turned by hand starts again; no wrap, and no further hit is said.
    void enlargedPreviewFind()
    {
        ReportPrinter p;
        p.startDoc();
        int pages = 0;
        for (const char *page : {"Gloria, gloria\nalpha", "kyrie here\ngloria", "nothing", "alpha", "kyrie GLORIA"}) {
            if (pages++ > 0)
                p.newPage();
            p.text(QLatin1String(page) + QLatin1Char('\n'));
        }
        p.endDoc();
        RForm r(p.document());
        r.show();
        QVERIFY(QTest::qWaitForWindowExposed(&r));
        auto *preview = find<ReportPreview>(&r, "VSPrinter2");
        auto *text = find<QLineEdit>(&r, "SearchText");
        // Each text typed and Find clicked, or "" for Return pressed again:
        // the page of each hit, "-" for none (page and highlight kept), "!"
        // for a search that moved nothing or left them unsaid.
        auto searches = [&](const QStringList &texts) {
            QString seen;
            for (const QString &t : texts) {
                const int page = preview->previewPage();
                const QRect highlight = preview->foundRect();
                m_prompter->messages.clear();
                text->setFocus();
                if (t.isEmpty()) {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                } else {
                    text->selectAll();
                    QTest::keyClicks(text, t);
                    QTest::mouseClick(find<QPushButton>(&r, "SearchButton"), Qt::LeftButton);
                }
                const bool kept = preview->previewPage() == page && preview->foundRect() == highlight;
                const bool told = m_prompter->lastMessage() == "The text was not found."
                                  && m_prompter->messages.last().title == appTitle();
                seen += m_prompter->messages.isEmpty() ? (kept ? "!" : QString::number(preview->previewPage()))
                                                       : (kept && told ? "-" : "!");
            }
            return seen;
        };
        QCOMPARE(searches({"kyrie", "", ""}), QString("25-"));
        preview->setPreviewPage(1);
        QCOMPARE(searches({"alpha", "gloria", "gloria", "gloria"}), QString("1112"));
        QTest::mouseClick(find<QToolButton>(&r, "PreviousPageButton"), Qt::LeftButton);
        QCOMPARE(searches({"gloria"}), QString("1"));
    }

    void aFailingBuildLeavesTheWindowUsable()
    {
        RequestReport(2);
        SR2PrintForm *f = SR2PrintForm::instance();
        g_duringBuild = [](ReportPrinter &p) {
            p.startDoc();
            p.text(QStringLiteral("half a report"));
            throw DbError(QStringLiteral("no such table: anthem"));
        };
        find<QPushButton>(f, "CreateButton")->click();
        QCOMPARE(m_prompter->messages.size(), 1);
        QVERIFY(m_prompter->lastMessage().contains(QStringLiteral("no such table: anthem")));
        QVERIFY(!f->isBuilding());
        QVERIFY(find<QPushButton>(f, "CreateButton")->isEnabled());
        QVERIFY(!find<QFrame>(f, "MsgFrame")->isVisibleTo(f));
        QCOMPARE(f->preview()->pageCount(), 0);
        g_duringBuild = nullptr;
        find<QPushButton>(f, "CreateButton")->click();
        QVERIFY(f->preview()->pageCount() > 0);
    }

    void aSecondClickDuringABuildDoesNotStartAnother()
    {
        RequestReport(2);
        SR2PrintForm *f = SR2PrintForm::instance();
        bool closedDuringBuild = true;
        g_duringBuild = [&](ReportPrinter &) {
            QVERIFY(f->isBuilding());
            QVERIFY(find<QFrame>(f, "MsgFrame")->isVisibleTo(f));
            f->createReport(); // as a click let through by a message box would
            f->close();
            closedDuringBuild = !hx().SR2PrintFormLoaded;
        };
        find<QPushButton>(f, "CreateButton")->click();
        QCOMPARE(g_builds, 1);
        QVERIFY(!closedDuringBuild);
        QVERIFY(SR2PrintForm::instance() == f);
    }

    void scheduleInformationIsSavedInOneRow()
    {
        RequestReport(4);
        SR2PrintForm *f = SR2PrintForm::instance();
        QTextEdit *info = find<QTextEdit>(f, "DRtext1");
        info->setPlainText(QStringLiteral("Robes at 9:30; it's Easter"));
        find<QPushButton>(f, "DButton1")->click();
        QCOMPARE(m_prompter->lastMessage(), QStringLiteral("Information has been saved"));
        QCOMPARE(m_prompter->messages.last().title, QStringLiteral("Schedule Info"));
        QCOMPARE(Db::scalar(QStringLiteral("select count(*) from schedinfo")).toInt(), 1);
        QCOMPARE(Db::scalar(QStringLiteral("select info from schedinfo where ChoirID = 0")).toString(),
                 QStringLiteral("Robes at 9:30; it's Easter"));
        info->clear();
        find<QPushButton>(f, "DButton1")->click();
        QCOMPARE(Db::scalar(QStringLiteral("select count(*) from schedinfo")).toInt(), 1);
        const QVariant stored = Db::scalar(QStringLiteral("select info from schedinfo where ChoirID = 0"));
        QVERIFY(!stored.isNull());
        QCOMPARE(stored.toString(), QString());
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
};

QTEST_MAIN(TestReportWindow)
#include "tst_reportwindow.moc"
