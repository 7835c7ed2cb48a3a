// The add/edit dialog of the reference lists, driven from the list windows'
// buttons: what each mode shows, what a save stores (cut and trimmed), and
// what it refuses.
#include "RefListTestUtil.h"
#include "UtilityForm.h"

#include <QLabel>

namespace {

// What the dialog showed when it opened.
struct Seen {
    QString caption, label1, label2, label3, text1, text2, text3;
    QString name1, name2, name3; // what a screen reader announces for each text
    bool text2Shown = false, text3Shown = false;
    int height = 0, saveTop = 0;
};

std::function<int(QDialog &)> look(Seen *seen, std::function<int(QDialog &)> then)
{
    return [seen, then](QDialog &d) {
        seen->caption = d.windowTitle();
        seen->label1 = d.findChild<QLabel *>("Label1")->text();
        seen->label2 = d.findChild<QLabel *>("label2")->text();
        seen->label3 = d.findChild<QLabel *>("label3")->text();
        seen->text1 = d.findChild<QLineEdit *>("Text1")->text();
        seen->text2 = d.findChild<QTextEdit *>("Text2")->toPlainText();
        seen->text3 = d.findChild<QTextEdit *>("Text3")->toPlainText();
        seen->text2Shown = !d.findChild<QTextEdit *>("Text2")->isHidden()
                           && !d.findChild<QLabel *>("label2")->isHidden();
        seen->text3Shown = !d.findChild<QTextEdit *>("Text3")->isHidden()
                           && !d.findChild<QLabel *>("label3")->isHidden();
        seen->name1 = accessibleName(d.findChild<QLineEdit *>("Text1"));
        seen->name2 = accessibleName(d.findChild<QTextEdit *>("Text2"));
        seen->name3 = accessibleName(d.findChild<QTextEdit *>("Text3"));
        seen->height = d.height();
        seen->saveTop = d.findChild<QPushButton *>("btnSave")->y();
        return then(d);
    };
}

const QString kLong = QString("abcdefghij").repeated(12); // 120 characters

} // namespace

class TestUtilityForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerRefListForms(); }

    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
    }

    void cleanup()
    {
        closeAllForms();
        m_prompter.reset();
        m_folder.reset();
    }

    void modes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("label1");
        QTest::addColumn<int>("width");
        QTest::addRow("0") << 0 << 8 << "btnModifyOrchestration" << "Edit Orchestration" << "Orchestration" << 100;
        QTest::addRow("1") << 1 << 9 << "btnAddVocals" << "Add Vocals for Music" << "Vocal" << 20;
        QTest::addRow("2") << 2 << 7 << "btnAddComposer" << "Add Arrangers/Composers" << "Arranger/Composer" << 100;
        QTest::addRow("3") << 3 << 6 << "btnAddTheme" << "Add Themes" << "Theme" << 30;
        QTest::addRow("4") << 4 << 10 << "btnAddChoir" << "Add Choirs" << "Choir" << 100;
        QTest::addRow("5") << 5 << 8 << "btnAddOrchestration" << "Add Orchestration" << "Orchestration" << 100;
        QTest::addRow("6") << 6 << 9 << "btnModifyVocals" << "Edit Vocal" << "Vocal" << 20;
        QTest::addRow("7") << 7 << 7 << "btnModifyComposer" << "Edit Arranger/Composer" << "Arranger/Composer" << 100;
        QTest::addRow("8") << 8 << 6 << "btnModifyTheme" << "Edit Theme" << "Theme" << 30;
        QTest::addRow("9") << 9 << 10 << "btnModifyChoir" << "Edit Choir" << "Choir" << 100;
        QTest::addRow("10") << 10 << 11 << "btnAddVocals" << "Add Vocals for Members" << "Vocal" << 20;
        QTest::addRow("11") << 11 << 11 << "btnModifyVocals" << "Edit Vocal" << "Vocal" << 20;
        QTest::addRow("12") << 12 << 14 << "btnAddCity" << "Add Citys" << "City" << 50;
        QTest::addRow("13") << 13 << 14 << "btnModifyCity" << "Edit Cities" << "City" << 50;
        QTest::addRow("14") << 14 << 15 << "btnAddZip" << "Add ZipCodes" << "ZipCode" << 10;
        QTest::addRow("15") << 15 << 15 << "btnModifyZip" << "Edit ZipCodes" << "ZipCode" << 10;
        QTest::addRow("16") << 16 << 16 << "btnAddSch" << "Add Schools" << "School" << 100;
        QTest::addRow("17") << 17 << 16 << "btnModifySch" << "Edit Schools" << "School" << 100;
    }

    // Each mode from its window's button: caption, labels and layout; the
    // name and description trimmed and cut, the choir's information kept
    // exactly as typed; an edit changes the selected row and no other.
    void modes()
    {
        QFETCH(int, mode);
        QFETCH(int, code);
        QFETCH(QString, button);
        QFETCH(QString, caption);
        QFETCH(QString, label1);
        QFETCH(int, width);
        const UtilityModeInfo *info = utilityModeInfo(mode);
        const RefKind &k = refKind(info->kind);
        const QString table = k.table, nameCol = k.nameColumn, idCol = k.idColumn;
        const bool theme = info->kind == RefKindId::Theme, choir = info->kind == RefKindId::Choir;
        const qint32 other = addRow(table, nameCol, "Other");
        const qint32 old = addRow(table, nameCol, "Old");

        OpenFormByCode(code);
        auto *w = qobject_cast<RefListForm *>(Forms::instance(code));
        QVERIFY(w);
        if (info->edit)
            selectName(w->grid(), "Old");
        Seen seen;
        m_prompter->dialogHandlers.enqueue(
            look(&seen, typeAndSave({"  " + kLong + "  ", "  " + QString(300, 'd') + " ", "  info\n  two  "})));
        clickButton(w, qPrintable(button));

        QCOMPARE(seen.caption, caption);
        QCOMPARE(seen.label1, label1);
        // Each text is named by its caption.
        QCOMPARE(seen.name1, label1);
        if (theme || choir)
            QCOMPARE(seen.name2, seen.label2);
        if (choir)
            QCOMPARE(seen.name3, seen.label3);
        QCOMPARE(seen.text2Shown, theme || choir);
        QCOMPARE(seen.text3Shown, choir);
        if (theme || choir)
            QCOMPARE(seen.label2, theme ? QString("Theme Description") : QString("Choir Description"));
        if (choir)
            QCOMPARE(seen.label3, QString("Schedule Info"));
        if (!theme && !choir)
            QVERIFY(seen.height < 120 && seen.saveTop < 80); // the short one-text window
        else
            QVERIFY(seen.height > 250 && seen.saveTop > 200);
        if (info->edit)
            QCOMPARE(seen.text1, QString("Old"));
        QCOMPARE(hx().UtilityMode, -1);

        const qint32 id = info->edit ? old : qint32(Db::lastInsertId());
        QCOMPARE(countRows(table), info->edit ? 2 : 3);
        QCOMPARE(Db::scalar(QString("select %1 from %2 where %3 = ?").arg(nameCol, table, idCol), {id}).toString(),
                 kLong.left(width));
        QCOMPARE(Db::scalar(QString("select %1 from %2 where %3 = ?").arg(nameCol, table, idCol), {other}).toString(),
                 QString("Other"));
        if (theme || choir)
            QCOMPARE(Db::scalar(QString("select Description from %1 where %2 = ?").arg(table, idCol), {id}).toString(),
                     QString(200, 'd'));
        if (choir)
            QCOMPARE(Db::scalar("select info from choir where ChoirID = ?", {id}).toString(), QString("  info\n  two  "));
        QVERIFY(gridNames(w->grid()).contains(kLong.left(width))); // the window refilled itself
    }

    // The edit modes show the selected entry: a theme's description from
    // the grid, a choir's information from the table (Null as empty).
    void editShowsTheSelectedEntry()
    {
        Db::exec("insert into themes (theme, Description) values ('Advent', 'Waiting')");
        Db::exec("insert into themes (theme, Description) values ('Lent', 'Fasting')");
        Db::exec("insert into choir (choir, Description, info) values ('Youth', 'Teens', null)");
        Db::exec("insert into choir (choir, Description, info) values ('Chancel', 'Adults', 'Robes at 9')");
        auto *themes = openList<ThemeForm>(ThemeFormCode);
        selectName(themes->grid(), "Lent");
        Seen seen;
        m_prompter->dialogHandlers.enqueue(look(&seen, typeAndSave({std::nullopt, "Forty days"})));
        clickButton(themes, "btnModifyTheme");
        QCOMPARE(seen.text1, QString("Lent"));
        QCOMPARE(seen.text2, QString("Fasting"));
        QCOMPARE(columnValues("select Description from themes order by theme"),
                 QStringList({"Waiting", "Forty days"}));

        auto *choirs = openList<ChoirForm>(ChoirFormCode);
        for (const QString &name : {QString("Chancel"), QString("Youth")}) {
            selectName(choirs->grid(), name);
            m_prompter->dialogHandlers.enqueue(look(&seen, [](QDialog &d) {
                d.reject();
                return d.result();
            }));
            clickButton(choirs, "btnModifyChoir");
            QCOMPARE(seen.text3, name == "Youth" ? QString() : QString("Robes at 9"));
        }
    }

    // Cancel, also after typing: nothing written and the mode code kept.
    void cancelChangesNothing()
    {
        addRow("school", "School", "Central High");
        auto *w = openList<SchoolForm>(SchoolFormCode);
        selectName(w->grid(), "Central High");
        m_prompter->dialogHandlers.enqueue(typeAndCancel("North High"));
        clickButton(w, "btnModifySch");
        QCOMPARE(hx().UtilityMode, 17);
        QCOMPARE(columnValues("select School from school"), QStringList({"Central High"}));
        QCOMPARE(w->currentRow(), 1);
    }

    // An empty or blanks-only name is refused and the dialog stays open.
    void blankNameRefused()
    {
        addRow("vocalsm", "vocals", "Alto");
        auto *w = openList<VocalsMForm>(VocalsMFormCode);
        m_prompter->dialogHandlers.enqueue(typeAndSave({"   "}));
        clickButton(w, "btnAddVocals");
        QCOMPARE(m_prompter->lastMessage(), QString("The system requires that a name be entered."));
        QCOMPARE(hx().UtilityMode, 10);
        QCOMPARE(countRows("vocalsm"), 1);

        selectName(w->grid(), "Alto");
        m_prompter->dialogHandlers.enqueue(typeAndSave({""}));
        clickButton(w, "btnModifyVocals");
        QCOMPARE(m_prompter->messages.size(), 2);
        QCOMPARE(columnValues("select vocals from vocalsm"), QStringList({"Alto"}));
    }

    // A name already in the list, in any letter case (Unicode too), is
    // refused; an entry may change its own name's case, and an edit that
    // keeps an old duplicate name still saves.
    void duplicateNamesRefused()
    {
        const qint32 elan = addRow("vocals", "vocals", "ÉLAN");
        addRow("vocals", "vocals", "Solo");
        auto *w = openList<VocalsForm>(VocalsFormCode);
        m_prompter->dialogHandlers.enqueue(typeAndSave({"  élan "}));
        clickButton(w, "btnAddVocals");
        QCOMPARE(m_prompter->lastMessage(), QString("The vocalization \"élan\" already exists."));
        QCOMPARE(m_prompter->messages.last().icon, MsgIcon::Exclamation);
        QCOMPARE(countRows("vocals"), 2);

        selectName(w->grid(), "Solo");
        m_prompter->dialogHandlers.enqueue(typeAndSave({"Élan"}));
        clickButton(w, "btnModifyVocals");
        QCOMPARE(m_prompter->messages.size(), 2);
        QCOMPARE(columnValues("select vocals from vocals order by vocalsid"), QStringList({"ÉLAN", "Solo"}));

        selectName(w->grid(), "ÉLAN");
        m_prompter->dialogHandlers.enqueue(typeAndSave({"Élan"}));
        clickButton(w, "btnModifyVocals");
        QCOMPARE(m_prompter->messages.size(), 2);
        QCOMPARE(Db::scalar("select vocals from vocals where vocalsid = ?", {elan}).toString(), QString("Élan"));

        Db::exec("insert into themes (theme, Description) values ('Peace', 'one')");
        Db::exec("insert into themes (theme, Description) values ('PEACE', 'two')");
        auto *themes = openList<ThemeForm>(ThemeFormCode);
        selectName(themes->grid(), "PEACE");
        m_prompter->dialogHandlers.enqueue(typeAndSave({std::nullopt, "second"}));
        clickButton(themes, "btnModifyTheme");
        QCOMPARE(columnValues("select Description from themes order by themeid"), QStringList({"one", "second"}));
    }

    // Quotes are plain text: stored, renamed and listed as typed.
    void apostrophes()
    {
        auto *w = openList<ChoirForm>(ChoirFormCode);
        m_prompter->dialogHandlers.enqueue(typeAndSave({"St. Mary's", "Children's choir", "Robes in 'B'"}));
        clickButton(w, "btnAddChoir");
        QCOMPARE(columnValues("select choir || '|' || Description || '|' || info from choir"),
                 QStringList({"St. Mary's|Children's choir|Robes in 'B'"}));
        selectName(w->grid(), "St. Mary's");
        m_prompter->dialogHandlers.enqueue(typeAndSave({"O'Brien's'"}));
        clickButton(w, "btnModifyChoir");
        QCOMPARE(gridNames(w->grid()), QStringList({"O'Brien's'"}));
    }

    // A statement the database refuses is reported; the dialog stays open
    // and the list is as it was.
    void refusedStatementKeepsDialogOpen()
    {
        Db::exec("create trigger no_zip before insert on zip begin select raise(abort, 'zip refused'); end");
        auto *w = openList<ZipForm>(ZipFormCode);
        m_prompter->dialogHandlers.enqueue(typeAndSave({"54321"}));
        clickButton(w, "btnAddZip");
        QVERIFY(m_prompter->lastMessage().contains("zip refused"));
        QCOMPARE(hx().UtilityMode, 14);
        QCOMPARE(countRows("zip"), 0);
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
};

QTEST_MAIN(TestUtilityForm)
#include "tst_utilityform.moc"
