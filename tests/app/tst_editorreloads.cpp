// Reloads that other windows cause in a record editor the user has typed
// into: a text typed and a grid row ticked, on the record shown or on a
// new one, then another window saves or deletes what the editor shows.
// Nothing is asked, what was typed and ticked stays on screen, unsaved,
// and what the other window changed shows.
#include "../collections/CollectionEditorTestUtil.h"
#include "../reflists/RefListTestUtil.h"
#include "MemberForm.h"
#include "Registration.h"

#include <QCheckBox>
#include <QtTest>

namespace {

using namespace editortest;

const QString kQuestion = "Save the changes to this record?";

// What the user types into each editor: a text field (and the name of a
// new record), and a grid row ticked.
struct Typing {
    int code;
    const char *field;
    const char *name;
    const char *grid;
    const char *row;
};

const QHash<QString, Typing> kEditors{
    {"anthem", {AnthemFormCode, "Location", "AnthemName", "ThemesGrid", "Praise"}},
    {"collection", {CollectionFormCode, "Location", "CollectionName", "ThemesGrid", "Praise"}},
    {"member", {MemberFormCode, "Street1", "LName", "ChoirGrid", "Youth"}},
};

QString textOf(QWidget *f, const char *name)
{
    auto *c = f->findChild<QComboBox *>(QLatin1String(name));
    return c ? c->currentText() : edit(f, name)->text();
}

// The rows a check-list grid lists.
QStringList rows(QWidget *f, const char *name)
{
    QStringList out;
    for (int r = 1; r < grid(f, name)->Rows(); ++r)
        out << grid(f, name)->nameAt(r);
    return out;
}

QWidget *openForm(int code)
{
    OpenFormByCode(code);
    return Forms::instance(code);
}

// The user changes an entry of a reference list in its window.
void changeList(RefKindId id, const QString &entry, const QString &text, TestPrompter &prompter)
{
    const RefKind &kind = refKind(id);
    auto *list = qobject_cast<RefListForm *>(openForm(kind.formCode));
    QVERIFY(list);
    if (!entry.isEmpty())
        selectName(list->grid(), entry);
    if (text.isEmpty())
        prompter.messageAnswers.enqueue(MsgResult::Yes);
    else
        prompter.dialogHandlers.enqueue(typeAndSave({text}));
    clickButton(list, entry.isEmpty() ? kind.addButton : text.isEmpty() ? kind.deleteButton : kind.modifyButton);
}

} // namespace

class TestEditorReloads : public QObject {
    Q_OBJECT

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
    qint32 m_advent = 0;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        registerAllForms();
    }

    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
        m_advent = testdb::insert("insert into collection (Collection) values ('Advent Book')");
        const qint32 old = testdb::insert("insert into collection (Collection) values ('Old Book')");
        Db::exec("insert into anthem (Anthem, collectionid) values ('Advent Light', ?), ('Old Anthem', ?)",
                 {m_advent, old});
        Db::exec("insert into themes (theme) values ('Praise'), ('Zeal')");
        Db::exec("insert into choir (choir) values ('Chancel'), ('Youth'), ('Bells')");
        const qint32 city = testdb::insert("insert into city (City) values ('Springfeld')");
        Db::exec("insert into member (LName, FName, CityID) values ('Adams', 'Ann', ?)", {city});
    }

    void cleanup()
    {
        closeAllForms();
        m_prompter.reset();
        m_folder.reset();
    }

    void nothingTypedIsLost_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("reload");
        QTest::addColumn<bool>("adding");
        const QList<std::pair<const char *, QStringList>> reloads{
            {"anthem", {"collection saved", "collection added", "collection deleted", "shown record deleted",
                        "theme added", "theme renamed", "theme deleted"}},
            {"collection", {"anthem saved", "anthem deleted", "theme added", "theme renamed", "theme deleted"}},
            {"member", {"choir added", "choir renamed", "choir deleted", "city added", "city renamed"}}};
        for (const auto &[editor, names] : reloads)
            for (const QString &reload : names)
                for (bool adding : {false, true})
                    if (!adding || reload != "shown record deleted")
                        QTest::addRow("%s, %s%s", editor, qPrintable(reload), adding ? ", adding" : "")
                            << QString(editor) << reload << adding;
    }

    void nothingTypedIsLost()
    {
        QFETCH(QString, editor);
        QFETCH(QString, reload);
        QFETCH(bool, adding);
        const Typing t = kEditors.value(editor);
        auto *f = qobject_cast<RecordEditorForm *>(openForm(t.code));
        QVERIFY(f);
        const qint32 shown = f->currentId();
        if (adding) {
            press(f, Add);
            type(w<QWidget>(f, t.name), "Newman");
        }
        const QString name = textOf(f, t.name);
        type(w<QWidget>(f, t.field), "Shelf 9");
        clickGridRow(f, grid(f, t.grid), t.row);
        const QStringList ticks = ticked(grid(f, t.grid));
        QVERIFY(ticks.contains(t.row));

        // The other window, driven as its user drives it, and what the
        // editor shows of its change afterwards.
        const std::function<void()> other = QHash<QString, std::function<void()>>{
            {"collection saved", [&] {
                 QWidget *c = openForm(CollectionFormCode);
                 type(edit(c, "LoanedTo"), "Youth Choir");
                 press(c, Save);
                 if (!adding)
                     QCOMPARE(edit(f, "LoanedTo")->text(), QString("Youth Choir"));
             }},
            {"collection added", [&] {
                 QWidget *c = openForm(CollectionFormCode);
                 press(c, Add);
                 type(edit(c, "CollectionName"), "Zion Book");
                 press(c, Save);
                 QVERIFY(items(list(f, "CollectionCombo")).contains("Zion Book"));
             }},
            {"collection deleted", [&] {
                 QWidget *c = openForm(CollectionFormCode);
                 clickLetter(c, 'O');
                 m_prompter->messageAnswers.enqueue(MsgResult::Yes);
                 press(c, Delete);
                 QVERIFY(!items(list(f, "CollectionCombo")).contains("Old Book"));
             }},
            {"shown record deleted", [&] {
                 m_prompter->messageAnswers.enqueue(MsgResult::Yes);
                 press(openForm(CollectionFormCode), Delete); // Advent Book with Advent Light
             }},
            {"anthem saved", [&] {
                 QWidget *a = openForm(AnthemFormCode);
                 press(a, Add);
                 type(edit(a, "AnthemName"), "New Carol");
                 w<QCheckBox>(a, "CollectionCheck")->click();
                 choose(list(a, "CollectionCombo"), "Advent Book");
                 press(a, Save);
                 if (!adding)
                     QCOMPARE(colform::anthemTitles(f), QStringList({"Advent Light", "New Carol"}));
             }},
            {"anthem deleted", [&] {
                 m_prompter->messageAnswers.enqueue(MsgResult::Yes);
                 press(openForm(AnthemFormCode), Delete); // Advent Light
                 QCOMPARE(colform::anthemTitles(f), QStringList());
             }},
            {"theme added", [&] {
                 changeList(RefKindId::Theme, QString(), "Joy", *m_prompter);
                 QVERIFY(rows(f, t.grid).contains("Joy"));
             }},
            {"theme renamed", [&] {
                 changeList(RefKindId::Theme, "Zeal", "Zest", *m_prompter);
                 QVERIFY(rows(f, t.grid).contains("Zest"));
             }},
            {"theme deleted", [&] {
                 changeList(RefKindId::Theme, "Zeal", QString(), *m_prompter);
                 QVERIFY(!rows(f, t.grid).contains("Zeal"));
             }},
            {"choir added", [&] {
                 changeList(RefKindId::Choir, QString(), "Men", *m_prompter);
                 QVERIFY(rows(f, t.grid).contains("Men"));
             }},
            {"choir renamed", [&] {
                 changeList(RefKindId::Choir, "Youth", "Youth Choir", *m_prompter);
                 QVERIFY(rows(f, t.grid).contains("Youth Choir"));
             }},
            {"choir deleted", [&] {
                 changeList(RefKindId::Choir, "Bells", QString(), *m_prompter);
                 QVERIFY(!rows(f, t.grid).contains("Bells"));
             }},
            {"city added", [&] {
                 changeList(RefKindId::City, QString(), "Shelbyville", *m_prompter);
                 QVERIFY(items(list(f, "City")).contains("Shelbyville"));
             }},
            {"city renamed", [&] {
                 changeList(RefKindId::City, "Springfeld", "Springfield", *m_prompter);
                 QVERIFY(items(list(f, "City")).contains("Springfield"));
                 if (!adding)
                     QCOMPARE(textOf(f, "City"), QString("Springfield"));
             }},
        }.value(reload);
        other();
        if (QTest::currentTestFailed())
            return;

        for (const AskedMessage &m : m_prompter->messages)
            QVERIFY2(m.text != kQuestion, qPrintable(reload));
        QCOMPARE(f->isAdding(), adding);
        if (!adding)
            QCOMPARE(f->currentId(), shown);
        QCOMPARE(textOf(f, t.name), name);
        QCOMPARE(textOf(f, t.field), QString("Shelf 9"));
        // The row renamed is still ticked under its new name.
        QCOMPARE(ticked(grid(f, t.grid)).size(), ticks.size());
        QVERIFY(f->hasUnsavedChanges());
        if (reload == "shown record deleted") {
            press(f, Save);
            QVERIFY2(m_prompter->lastMessage().contains("no longer in the database"),
                     qPrintable(m_prompter->lastMessage()));
            QCOMPARE(textOf(f, t.field), QString("Shelf 9"));
        }
    }
};

QTEST_MAIN(TestEditorReloads)
#include "tst_editorreloads.moc"
