// The schedule viewer: the grid of one choir's services and entries, the
// notes per service, deleting entries, opening records and the report.
#include "Forms.h"
#include "MainFormMDI.h"
#include "ReportKinds.h"
#include "SR2PrintForm.h"
#include "ScheduleGridModel.h"
#include "ScheduleRegistration.h"
#include "ScheduleTestUtil.h"
#include "ScheduleViewForm.h"

#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>

using namespace schedtest;

namespace {

const QDate kSunday(2027, 3, 14);
const QDate kNext(2027, 3, 21);

// Stands in for a record editor: remembers the ids it was asked to show.
class FakeEditor : public QWidget, public RecordLoader {
public:
    explicit FakeEditor(QStringList *log, const QString &kind) : m_log(log), m_kind(kind) {}
    void loadRecordById(qint32 id) override { *m_log << m_kind + QString::number(id); }

private:
    QStringList *m_log;
    QString m_kind;
};

using M = ScheduleGridModel;

} // namespace

class TestScheduleViewer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerScheduleWindows();
        Forms::registerForm(AnthemFormCode, [this] { return new FakeEditor(&m_opened, "anthem "); });
        Forms::registerForm(CollectionFormCode, [this] { return new FakeEditor(&m_opened, "collection "); });
    }
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
        m_opened.clear();
        m_youth = choir("Youth");
        m_chancel = choir("Chancel");
        m_grace = anthem("Amazing Grace");
        m_vision = anthem("Be Thou My Vision");
        m_carols = collection("Carols Book");
    }
    void cleanup()
    {
        for (int code : {int(ScheduleViewFormCode), int(AnthemFormCode), int(CollectionFormCode)})
            if (QWidget *w = Forms::instance(code))
                w->close();
        if (SR2PrintForm::instance())
            SR2PrintForm::instance()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_prompter.reset();
        m_folder.reset();
    }

    void opensOnTheFirstChoir()
    {
        OpenFormByCode(ScheduleViewFormCode);
        auto *v = Forms::find<ScheduleViewForm>(ScheduleViewFormCode);
        QVERIFY(v);
        QVERIFY(hx().ScheduleViewFormLoaded);
        QCOMPARE(child<QLabel>(v, "label2")->buddy(), child<QComboBox>(v, "ChoirCombo"));
        QCOMPARE(v->CurChoir(), m_chancel);
        auto *grid = child<QTableView>(v, "SGrid");
        for (int c : {0, 1, 5, 6})
            QVERIFY(grid->isColumnHidden(c));
        QCOMPARE(grid->model()->rowCount(), 0);
        click(v, "btnCLose");
        QVERIFY(!hx().ScheduleViewFormLoaded);
        QVERIFY(!Forms::instance(ScheduleViewFormCode));
    }

    // Services in date and AM/PM order, each heading with its notes, then
    // its entries with their slot and what is sung.
    void gridOfOneChoir()
    {
        entry(m_chancel, kSunday, "PM", 3, 0, 0, "Bell choir | visits");
        entry(m_chancel, kSunday, "AM", 1, m_grace);
        entry(m_chancel, kSunday, "AM", 0, m_vision, m_carols, "verses 1; 3");
        entry(m_chancel, kNext, "AM", 2, 0, m_carols);
        entry(m_chancel, kNext, "AM", 1, 9999); // an anthem that is gone
        entry(m_youth, kSunday, "AM", 1, m_vision);
        notes(kSunday, "AM", "Communion\nRobes: red");
        notes(kSunday, "PM", "");
        ScheduleViewForm v;
        const M *m = v.gridModel();
        const QStringList expected[] = {
            {"0", "0", "03/14/2027 AM\nCommunion\nRobes: red", "", "", "0", "AM"},
            {"0", QString::number(m_grace), "", "Anthem", "Amazing Grace", "", "AM"},
            {QString::number(m_carols), QString::number(m_vision), "", "Call", "Be Thou My Vision\nverses 1; 3", "",
             "AM"},
            {"0", "0", "03/14/2027 PM", "", "", "0", "PM"},
            {"0", "0", "", "Benediction", "Bell choir | visits", "", "PM"},
            {"0", "0", "03/21/2027 AM", "", "", "0", "AM"},
            {QString::number(m_carols), "0", "", "Offertory", "Carols Book", "", "AM"},
            {"0", "9999", "", "Anthem", "", "", "AM"},
        };
        QCOMPARE(m->rowCount(), 8);
        for (int r = 0; r < 8; ++r) {
            const bool heading = m->rowAt(r).heading;
            QCOMPARE(m->data(m->index(r, 0), M::HeadingRole).toBool(), expected[r][3].isEmpty());
            for (int c : {2, 3, 4, 6})
                QCOMPARE(m->text(r, c), expected[r][c]);
            if (!heading) {
                QCOMPARE(m->text(r, 0), expected[r][0]);
                QCOMPARE(m->text(r, 1), expected[r][1]);
                QVERIFY(m->rowAt(r).schedId > 0);
            }
            // Every row carries its service date.
            QCOMPARE(m->data(m->index(r, 4), M::DateRole).toDate(), r < 5 ? kSunday : kNext);
        }
        // Shown, rows are tall enough for their lines, and nothing is
        // current.
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        auto *grid = child<QTableView>(&v, "SGrid");
        QVERIFY(grid->rowHeight(0) >= 3 * grid->fontMetrics().lineSpacing());
        QVERIFY(grid->columnWidth(2) >= grid->fontMetrics().horizontalAdvance("03/14/2027 AM"));
        QCOMPARE(v.currentRow(), -1);

        // The other choir sees the morning's notes too, under its own entry.
        choose(child<QComboBox>(&v, "ChoirCombo"), 1);
        QCOMPARE(v.CurChoir(), m_youth);
        QCOMPARE(m->rowCount(), 2);
        QCOMPARE(m->text(0, 2), QString("03/14/2027 AM\nCommunion\nRobes: red"));
    }

    // The notes of a service, written from any of its rows.
    void notesPerService()
    {
        entry(m_chancel, kSunday, "AM", 1, m_grace);
        entry(m_chancel, kSunday, "PM", 1, m_vision);
        entry(m_youth, kSunday, "AM", 2, m_vision);
        ScheduleViewForm v;
        click(&v, "btnNotes"); // nothing current: nothing asked
        QVERIFY(m_prompter->inputPrompts.isEmpty());

        v.setCurrentRow(1); // the AM entry row
        m_prompter->inputAnswers.enqueue(QString("Palm Sunday; processional | brass"));
        click(&v, "btnNotes");
        QCOMPARE(m_prompter->inputPrompts, QStringList({"Enter Notes for selected date"}));
        QCOMPARE(v.gridModel()->text(0, 2), QString("03/14/2027 AM\nPalm Sunday; processional | brass"));
        QCOMPARE(v.gridModel()->text(2, 2), QString("03/14/2027 PM"));

        // Clearing them asks; No keeps them.
        v.setCurrentRow(0);
        m_prompter->inputAnswers.enqueue(QString());
        click(&v, "btnNotes");
        QCOMPARE(m_prompter->lastMessage(), QString("Do you wish to delete the notes for this date?"));
        QCOMPARE(m_prompter->messages.last().title, QString("Delete Notes?"));
        QCOMPARE(ScheduleNotesText(), QString("Palm Sunday; processional | brass"));
        // Yes stores empty notes: the row stays, the heading shows none.
        v.setCurrentRow(0);
        m_prompter->inputAnswers.enqueue(std::nullopt); // a cancelled box answers ""
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        click(&v, "btnNotes");
        QCOMPARE(count("select count(*) from schednotes where notes = '' and AMPM = 'AM'"), 1);
        QCOMPARE(v.gridModel()->text(0, 2), QString("03/14/2027 AM"));

        // A cancelled box on a service without notes stores empty notes.
        v.setCurrentRow(2);
        m_prompter->messages.clear();
        click(&v, "btnNotes");
        QVERIFY(m_prompter->messages.isEmpty());
        QCOMPARE(count("select count(*) from schednotes where AMPM = 'PM' and notes = ''"), 1);
    }

    // Delete: asks first; deletes only an entry row; the service's notes
    // go with its very last entry of any choir.
    void deleteEntries()
    {
        const qint32 morning = entry(m_chancel, kSunday, "AM", 1, m_grace);
        entry(m_youth, kSunday, "AM", 2, m_vision);
        notes(kSunday, "AM", "Communion");
        ScheduleViewForm v;

        v.setCurrentRow(1);
        click(&v, "btnDelete"); // answered No
        QCOMPARE(m_prompter->lastMessage(), QString("This will delete the selected entry. Continue???"));
        QCOMPARE(m_prompter->messages.last().title, QString("Deleteion??"));
        QCOMPARE(m_prompter->messages.last().buttons, MsgButtons::YesNo);
        QCOMPARE(count("select count(*) from schedule"), 2);

        // Yes on the heading row or with no row current: nothing, and no error.
        for (int row : {0, -1}) {
            v.setCurrentRow(row);
            m_prompter->messages.clear();
            m_prompter->messageAnswers.enqueue(MsgResult::Yes);
            click(&v, "btnDelete");
            QCOMPARE(m_prompter->messages.size(), 1);
            QCOMPARE(count("select count(*) from schedule"), 2);
        }

        v.setCurrentRow(1);
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        click(&v, "btnDelete");
        QCOMPARE(count("select count(*) from schedule where schedid = ?", {morning}), 0);
        QCOMPARE(v.gridModel()->rowCount(), 0);
        QCOMPARE(count("select count(*) from schednotes"), 1); // Youth still sings that morning

        choose(child<QComboBox>(&v, "ChoirCombo"), 1);
        v.setCurrentRow(1);
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        click(&v, "btnDelete");
        QCOMPARE(count("select count(*) from schedule"), 0);
        QCOMPARE(count("select count(*) from schednotes"), 0);
    }

    // A double-click, or Return on the row, opens the entry's anthem and
    // then its collection, the ones that still exist.
    void doubleClickOpensRecords_data() { addOpenWays(); }
    void doubleClickOpensRecords()
    {
        QFETCH(bool, byKey);
        QStringList &opened = m_opened;
        const qint32 goneAnthem = anthem("Withdrawn");
        const qint32 goneCollection = collection("Lost Book");
        entry(m_chancel, kSunday, "AM", 1, m_grace, m_carols);
        entry(m_chancel, kSunday, "AM", 2, 0, 0, "Prelude");
        entry(m_chancel, kSunday, "AM", 1, goneAnthem);
        entry(m_chancel, kSunday, "AM", 1, goneAnthem, m_carols);
        entry(m_chancel, kSunday, "AM", 1, m_grace, goneCollection);
        Db::exec("delete from anthem where anthemid = ?", {goneAnthem});
        Db::exec("delete from collection where collectionid = ?", {goneCollection});
        ScheduleViewForm v;
        v.show();
        auto *grid = child<QTableView>(&v, "SGrid");
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        auto dclick = [&](int row) { openCell(grid, grid->model()->index(row, M::TitleColumn), byKey); };
        dclick(0); // heading
        dclick(2); // other text only
        dclick(3); // its anthem is gone
        QVERIFY(opened.isEmpty());
        QVERIFY(!Forms::instance(AnthemFormCode));
        dclick(4);
        QCOMPARE(opened, QStringList({"collection " + QString::number(m_carols)}));
        QVERIFY(!Forms::instance(AnthemFormCode));
        opened.clear();
        dclick(5);
        QCOMPARE(opened, QStringList({"anthem " + QString::number(m_grace)}));
        opened.clear();
        dclick(1);
        QCOMPARE(opened, QStringList({"anthem " + QString::number(m_grace), "collection " + QString::number(m_carols)}));
    }

    // Clicking an entry with a long title keeps the Date column in view;
    // the keys still bring a row below the window into view.
    void clickDoesNotScrollSideways()
    {
        const qint32 longTitle = anthem("A very long anthem title " + QString(30, 'x') + " that runs on and on");
        for (int week = 0; week < 20; ++week)
            entry(m_chancel, kSunday.addDays(7 * week), "AM", 1, longTitle);
        ScheduleViewForm v;
        v.resize(420, 300);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        auto *grid = child<QTableView>(&v, "SGrid");
        // The titles wrap in the window; a Type column widened by the
        // user pushes the title past it.
        grid->horizontalHeader()->resizeSection(M::TypeColumn, grid->viewport()->width());
        QApplication::processEvents();
        QVERIFY(grid->horizontalScrollBar()->maximum() > 0);
        const QRect title = grid->visualRect(grid->model()->index(1, M::TitleColumn));
        const QPoint at(qMin(title.left() + 20, grid->viewport()->width() - 5), title.center().y());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(v.currentRow(), 1);
        QCOMPARE(grid->horizontalScrollBar()->value(), 0);

        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(v.currentRow(), grid->model()->rowCount() - 1);
        QVERIFY(grid->verticalScrollBar()->value() > 0);
        QCOMPARE(grid->horizontalScrollBar()->value(), 0);
    }

    // A service's notes and a long title widen the columns: the window
    // opens wide enough to show them and every header whole.
    void opensWideEnoughForItsColumns()
    {
        const qint32 longTitle = anthem("Wonderful Counsellor, Mighty God, Everlasting Father");
        entry(m_chancel, kSunday, "AM", 1, longTitle);
        notes(kSunday, "AM", "Communion Sunday. Processional at 10:55 with the brass.");
        ScheduleViewForm v;
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        auto *grid = child<QTableView>(&v, "SGrid");
        QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
        const QString header = grid->model()->headerData(M::TitleColumn, Qt::Horizontal).toString();
        QVERIFY(grid->columnWidth(M::TitleColumn) > grid->horizontalHeader()->fontMetrics().horizontalAdvance(header));
    }

    // In the main window on a 1280 x 800 screen a service's long notes
    // wrap across the grid: the dates, every header and every title stay
    // in view, the whole heading in its row; so after notes are written
    // and after the window is made narrower.
    void longNotesWrapInsideTheWindow()
    {
        const QString words = QStringLiteral("Processional with brass, then the choir in the loft. ");
        const QString longNotes = words.repeated(8).left(400);
        entry(m_chancel, kSunday, "AM", 0, m_grace);
        // A title too long for the main window's room on one line.
        entry(m_chancel, kSunday, "AM", 1, anthem(QString("Wonderful Counsellor, Mighty God, ").repeated(5)));
        entry(m_chancel, kSunday, "AM", 3, m_vision, m_carols, "verses 1 and 3");
        entry(m_chancel, kNext, "AM", 2, 0, m_carols);
        notes(kSunday, "AM", longNotes);
        auto main = std::make_unique<MainFormMDI>();
        main->resize(1280, 760);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        OpenFormByCode(ScheduleViewFormCode);
        auto *v = Forms::find<ScheduleViewForm>(ScheduleViewFormCode);
        QVERIFY(v);
        QApplication::processEvents();
        QVERIFY(QRect(QPoint(0, 0), main->mdiArea()->viewport()->size()).contains(v->parentWidget()->geometry()));
        auto *grid = child<QTableView>(v, "SGrid");
        const M *m = v->gridModel();
        const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
        auto allInView = [&] {
            QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
            const QRect view = grid->viewport()->rect();
            QCOMPARE(cutCaptions(v), QStringList());
            QFont bold = grid->font();
            bold.setBold(true);
            for (int r = 0; r < m->rowCount(); ++r) {
                const bool heading = m->rowAt(r).heading;
                const QModelIndex at = m->index(r, heading ? M::DateColumn : M::TitleColumn);
                const QRect cell = grid->visualRect(at);
                QVERIFY2(cell.left() >= 0 && cell.right() < view.width(), qPrintable(QString::number(r)));
                const QFontMetrics fm(heading ? bold : grid->font());
                const QRect text = fm.boundingRect(QRect(0, 0, cell.width() - 2 * margin, 100000), Qt::TextWordWrap,
                                                   m->text(r, at.column()));
                QVERIFY2(text.height() <= cell.height(), qPrintable(QString::number(r)));
            }
        };
        allInView();
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(m->text(0, M::DateColumn), "03/14/2027 AM\n" + longNotes);

        v->setCurrentRow(4); // the second service
        m_prompter->inputAnswers.enqueue(QStringLiteral("Offertory anthem sung before the sermon; robes are red."));
        click(v, "btnNotes");
        QApplication::processEvents();
        QVERIFY(m->text(4, M::DateColumn).endsWith("robes are red."));
        allInView();
        if (QTest::currentTestFailed())
            return;

        v->parentWidget()->resize(640, v->parentWidget()->height());
        QApplication::processEvents();
        allInView();

        // A word wider than the grid (a web address) is broken within
        // itself: its heading holds as many lines as the word needs.
        const QString address = QStringLiteral("https://example.org/") + QString("choirrobes").repeated(40);
        v->setCurrentRow(4);
        m_prompter->inputAnswers.enqueue(address);
        click(v, "btnNotes");
        QApplication::processEvents();
        QFont bold = grid->font();
        bold.setBold(true);
        const QRect heading = grid->visualRect(m->index(4, M::DateColumn));
        const int pieces = QFontMetrics(bold).horizontalAdvance(address) / (heading.width() - 2 * margin) + 1;
        QVERIFY2(heading.height() >= (pieces + 1) * QFontMetrics(bold).lineSpacing(),
                 qPrintable(QString("%1 px for %2 lines").arg(heading.height()).arg(pieces + 1)));
    }

    // Only rows of more than one line are resized: the header's size is
    // the height of one line.
    void onlyTallerRowsAreResized()
    {
        entry(m_chancel, kSunday, "AM", 1, m_grace);
        entry(m_chancel, kSunday, "AM", 3, m_vision, 0, "verses 1; 3");
        entry(m_chancel, kNext, "AM", 2, 0, m_carols);
        notes(kNext, "AM", "Communion");
        ScheduleViewForm v;
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        auto *grid = child<QTableView>(&v, "SGrid");
        QList<int> taller;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            if (grid->rowHeight(r) != grid->verticalHeader()->defaultSectionSize())
                taller << r;
        QCOMPARE(taller, QList<int>({2, 3})); // the verses' entry, the heading with notes
    }

    // A double-click on the divider after Date or Type fits the column to
    // its text, which shows whole.
    void dividerDoubleClickFitsTheText_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::newRow("Date") << int(M::DateColumn) << "03/14/2027 AM";
        QTest::newRow("Type") << int(M::TypeColumn) << "Benediction";
    }
    void dividerDoubleClickFitsTheText()
    {
        QFETCH(int, column);
        QFETCH(QString, text);
        entry(m_chancel, kSunday, "AM", 3, m_grace);
        ScheduleViewForm v;
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        auto *grid = child<QTableView>(&v, "SGrid");
        QHeaderView *header = grid->horizontalHeader();
        const int opened = grid->columnWidth(column);
        const QPoint divider(header->sectionViewportPosition(column) + header->sectionSize(column) - 1,
                             header->height() / 2);
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, divider);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, divider);
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, divider);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, divider);
        QFont font = grid->font();
        font.setBold(column == M::DateColumn); // the date is a heading's
        const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
        const int needed = QFontMetrics(font).horizontalAdvance(text) + 2 * margin;
        QVERIFY2(grid->columnWidth(column) >= needed, qPrintable(QString::number(grid->columnWidth(column))));
        QVERIFY(grid->columnWidth(column) <= opened);
    }

    // Control characters in stored text are left out of the grid, as the
    // reports leave them out; the stored text stays as it is.
    void controlCharactersAreLeftOut()
    {
        const QString title = QStringLiteral("Bell\x01 Carol");
        const qint32 bell = anthem(title);
        entry(m_chancel, kSunday, "AM", 1, bell, 0, QStringLiteral("verse\x1f 2"));
        notes(kSunday, "AM", QStringLiteral("Robes\x07 red\r"));
        ScheduleViewForm v;
        QCOMPARE(v.gridModel()->text(0, M::DateColumn), QString("03/14/2027 AM\nRobes red"));
        QCOMPARE(v.gridModel()->text(1, M::TitleColumn), QString("Bell Carol\nverse 2"));
        QCOMPARE(Db::scalar("select Anthem from anthem where anthemid = ?", {bell}).toString(), title);
    }

    // Changes elsewhere reload the view when they concern its choir or
    // any choir.
    void reloadsOnChanges()
    {
        ScheduleViewForm v;
        QSignalSpy resets(v.gridModel(), &QAbstractItemModel::modelReset);
        entry(m_chancel, kSunday, "AM", 1, m_grace);
        Notify::scheduleChanged(m_youth);
        QCOMPARE(resets.size(), 0);
        Notify::scheduleChanged(m_chancel);
        QCOMPARE(resets.size(), 1);
        QCOMPARE(v.gridModel()->rowCount(), 2);
        // An editor's deletion announces the record and then the schedule
        // change of every choir: the view reloads once.
        Db::exec("delete from schedule");
        Notify::anthemDeleted(m_grace, 0);
        Notify::scheduleChanged(0);
        QCOMPARE(resets.size(), 2);
        QCOMPARE(v.gridModel()->rowCount(), 0);
        Notify::collectionDeleted(m_carols);
        Notify::scheduleChanged(0);
        QCOMPARE(resets.size(), 3);
    }

    // The report button opens the report window on the schedule report.
    void reportButton()
    {
        ScheduleViewForm v;
        click(&v, "btnReport");
        SR2PrintForm *r = SR2PrintForm::instance();
        QVERIFY(r);
        QCOMPARE(r->windowTitle(), QString("Reports - Schedule"));
        QCOMPARE(hx().ReportType, 4);
        r->close();
    }

private:
    QString ScheduleNotesText()
    {
        return Db::scalar("select notes from schednotes where AMPM = 'AM'").toString();
    }

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
    QStringList m_opened;
    qint32 m_youth = 0, m_chancel = 0, m_grace = 0, m_vision = 0, m_carols = 0;
};

QTEST_MAIN(TestScheduleViewer)
#include "tst_scheduleviewer.moc"
