// The performed-dates and performed-by dialogs.
#include "PerformByForm.h"
#include "PerformDatesForm.h"
#include "ScheduleTestUtil.h"

#include <QTableWidget>

using namespace schedtest;

namespace {

qint32 performed(const char *table, const char *owner, qint32 id, const QVariant &date, qint32 choirId,
                 const QVariant &other = QVariant())
{
    return insert(QString("insert into %1 (Lperform, %2, ChoirID, other) values (?, ?, ?, ?)").arg(table, owner),
                  {date, id, choirId, other});
}

struct Shown {
    QStringList dates, performers;
};

Shown shown(const PerformDatesForm &f)
{
    Shown s;
    for (int r = 0; r < f.grid()->rowCount(); ++r) {
        s.dates << f.grid()->item(r, 0)->text();
        s.performers << f.grid()->item(r, 1)->text();
    }
    return s;
}

} // namespace

class TestPerformDates : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
        m_youth = choir("Youth");
        m_chancel = choir("Chancel");
        m_grace = anthem("Amazing Grace");
        m_carols = collection("Carols Book");
    }
    void cleanup()
    {
        m_prompter.reset();
        m_folder.reset();
    }

    // Dates in date order (not text order), "MM/dd/yyyy"; the other text
    // before the choir; a choir that is gone shows nobody.
    void listsTheDates()
    {
        performed("a_lperform", "anthemid", m_grace, "2001-03-07", m_chancel);
        performed("a_lperform", "anthemid", m_grace, "1999-12-25", m_youth, "Guest soloist");
        performed("a_lperform", "anthemid", m_grace, "2010-01-03", 77);
        performed("a_lperform", "anthemid", m_grace, "2005-06-01", 0);
        performed("a_lperform", "anthemid", anthem("Other"), "2002-02-02", m_chancel);
        performed("col_lperform", "collectionid", m_carols, "2004-12-24", m_youth);
        PerformDatesForm f;
        QCOMPARE(f.windowTitle(), QString("Performed Dates"));
        f.FillPerformedDatesGrid(m_grace, true);
        QCOMPARE(f.TypeT(), QString("A"));
        QCOMPARE(f.grid()->horizontalHeaderItem(0)->text(), QString("Performed Dates"));
        QCOMPARE(f.grid()->horizontalHeaderItem(1)->text(), QString("Performed By"));
        QVERIFY(f.grid()->isColumnHidden(2));
        QCOMPARE(shown(f).dates, QStringList({"12/25/1999", "03/07/2001", "06/01/2005", "01/03/2010"}));
        QCOMPARE(shown(f).performers, QStringList({"Guest soloist", "Chancel", "", ""}));
        QCOMPARE(f.currentRow(), -1);

        f.FillPerformedDatesGrid(m_carols, false);
        QCOMPARE(f.TypeT(), QString("C"));
        QCOMPARE(shown(f).performers, QStringList({"Youth"}));
        f.FillPerformedDatesGrid(anthem("Never sung"), true);
        QCOMPARE(f.grid()->rowCount(), 0);
    }

    // Modify: a choir stores its id with no other text; a typed name that
    // is a choir's in other letters is that choir; other text stores
    // choir 0 with the text; the performer shown again sends nothing.
    void modifyPerformer()
    {
        const qint32 row = performed("a_lperform", "anthemid", m_grace, "2001-03-07", 0, "Guest");
        PerformDatesForm f;
        f.FillPerformedDatesGrid(m_grace, true);
        auto answer = [&](std::function<void(QComboBox *)> act, const char *button = "btnSave") {
            m_prompter->dialogHandlers.enqueue([act, button](QDialog &d) {
                act(child<QComboBox>(&d, "ChoirCombo"));
                click(&d, button);
                return d.result();
            });
        };
        auto stored = [&] {
            QSqlQuery q = Db::query("select ChoirID, other from a_lperform where RNum = ?", {row});
            q.next();
            return QString("%1 '%2'").arg(q.value(0).toInt()).arg(q.value(1).toString());
        };

        click(&f, "btnModify"); // no row chosen: no dialog
        QVERIFY(m_prompter->dialogs.isEmpty());

        f.grid()->setCurrentCell(0, 1);
        QString shownText;
        answer([&](QComboBox *c) {
            shownText = c->currentText();
            QVERIFY(c->isEditable());
            QCOMPARE(c->count(), 2);
            c->setCurrentIndex(1); // Youth, from the list
        });
        click(&f, "btnModify");
        QCOMPARE(m_prompter->dialogs, QStringList({"PerformByForm"}));
        QCOMPARE(shownText, QString("Guest"));
        QCOMPARE(stored(), QString("%1 ''").arg(m_youth));
        QCOMPARE(f.grid()->item(0, 1)->text(), QString("Youth"));

        answer([](QComboBox *c) { c->setEditText("chancel"); });
        click(&f, "btnModify");
        QCOMPARE(stored(), QString("%1 ''").arg(m_chancel));
        QCOMPARE(f.grid()->item(0, 1)->text(), QString("chancel"));

        answer([](QComboBox *c) { c->setEditText("  O'Brien family  "); });
        click(&f, "btnModify");
        QCOMPARE(stored(), QString("0 'O'Brien family'"));

        // The same performer again: no update.
        Db::exec("update a_lperform set other = 'changed behind' where RNum = ?", {row});
        answer([](QComboBox *c) { c->setEditText("  O'Brien family  "); });
        click(&f, "btnModify");
        QCOMPARE(stored(), QString("0 'changed behind'"));

        // Cancel, the close box and Save with nothing typed change nothing.
        answer([](QComboBox *c) { c->setEditText("Youth"); }, "btnCancel");
        click(&f, "btnModify");
        m_prompter->dialogHandlers.enqueue([](QDialog &d) {
            child<QComboBox>(&d, "ChoirCombo")->setEditText("Youth");
            d.close();
            return d.result();
        });
        click(&f, "btnModify");
        m_prompter->dialogHandlers.enqueue([](QDialog &d) {
            child<QComboBox>(&d, "ChoirCombo")->setEditText("   ");
            click(&d, "btnSave");
            const bool stillOpen = d.result() != QDialog::Accepted;
            d.reject();
            return stillOpen ? int(QDialog::Rejected) : int(QDialog::Accepted);
        });
        click(&f, "btnModify");
        QCOMPARE(stored(), QString("0 'changed behind'"));
        QCOMPARE(f.grid()->item(0, 1)->text(), QString("  O'Brien family  "));
    }

    // Two choirs of one name: the list item's choir is stored, and the
    // dialog shows the row's own choir chosen.
    void choirTakenFromItsItem()
    {
        const qint32 twin = choir("Youth");
        const qint32 row = performed("col_lperform", "collectionid", m_carols, "2004-12-24", twin);
        PerformByForm by("Youth", twin);
        auto *combo = child<QComboBox>(&by, "ChoirCombo");
        QCOMPARE(combo->currentIndex(), 2);
        QCOMPARE(by.windowTitle(), QString("Performed By"));

        PerformDatesForm f;
        f.FillPerformedDatesGrid(m_carols, false);
        f.grid()->setCurrentCell(0, 0);
        m_prompter->dialogHandlers.enqueue([](QDialog &d) {
            auto *c = child<QComboBox>(&d, "ChoirCombo");
            c->setCurrentIndex(c->currentIndex() == 2 ? 1 : 2);
            click(&d, "btnSave");
            return d.result();
        });
        click(&f, "btnModify");
        QCOMPARE(count("select ChoirID from col_lperform where RNum = ?", {row}), m_youth);
    }

    // What is typed stays as typed: "Youth C" is a free-text performer,
    // not the choir "Youth Choir" that it begins, with Save or with Enter.
    void typedPerformerIsNotCompleted()
    {
        choir("Youth Choir");
        PerformByForm by("", 0);
        by.show();
        QVERIFY(QTest::qWaitForWindowExposed(&by));
        auto *combo = child<QComboBox>(&by, "ChoirCombo");
        combo->setFocus();
        QTest::keyClicks(combo, "Youth C");
        QCOMPARE(combo->currentText(), QString("Youth C"));
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(by.result(), int(QDialog::Accepted));
        QCOMPARE(by.NewPerform(), QString("Youth C"));
        QCOMPARE(by.chosenChoirId(), -1);

        PerformByForm other("", 0);
        auto *list = child<QComboBox>(&other, "ChoirCombo");
        list->setFocus();
        QTest::keyClicks(list, "Chan");
        click(&other, "btnSave");
        QCOMPARE(other.NewPerform(), QString("Chan"));
        QCOMPARE(other.chosenChoirId(), -1);
    }

    // A row without a date keeps its row id and can be given a performer.
    void rowWithoutADate()
    {
        const qint32 row = performed("a_lperform", "anthemid", m_grace, QVariant(), 0);
        PerformDatesForm f;
        f.FillPerformedDatesGrid(m_grace, true);
        QCOMPARE(shown(f).dates, QStringList({""}));
        f.grid()->setCurrentCell(0, 0);
        m_prompter->dialogHandlers.enqueue([](QDialog &d) {
            child<QComboBox>(&d, "ChoirCombo")->setEditText("Handbell ringers");
            click(&d, "btnSave");
            return d.result();
        });
        click(&f, "btnModify");
        QCOMPARE(Db::scalar("select other from a_lperform where RNum = ?", {row}).toString(),
                 QString("Handbell ringers"));
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
    qint32 m_youth = 0, m_chancel = 0, m_grace = 0, m_carols = 0;
};

QTEST_MAIN(TestPerformDates)
#include "tst_performdates.moc"
