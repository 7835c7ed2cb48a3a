// Reloads that other windows cause in a record editor the user has typed
// into (a text typed and a grid row ticked, on the record shown or on a
// new one): nothing is asked, what was typed and ticked stays, unsaved,
// and what the other window changed shows.
#include "../collections/CollectionEditorTestUtil.h"
#include "../members/MemberEditorTestUtil.h"
#include "../reflists/RefListTestUtil.h"
#include "Registration.h"

#include <QCheckBox>
#include <QtTest>

namespace {

using namespace editortest;

// Per editor: the field typed into, the name of a new record, and the grid
// and row ticked.
struct Typing {
    int code;
    const char *field, *name, *grid, *row;
};
const QHash<QString, Typing> kEditors{
    {"anthem", {AnthemFormCode, "Location", "AnthemName", "ThemesGrid", "Praise"}},
    {"collection", {CollectionFormCode, "Location", "CollectionName", "ThemesGrid", "Praise"}},
    {"member", {MemberFormCode, "Street1", "LName", "ChoirGrid", "Youth"}}};

QString textOf(QWidget *f, const char *name)
{
    auto *c = f->findChild<QComboBox *>(QLatin1String(name));
    return c ? c->currentText() : edit(f, name)->text();
}

// What a list of the editor offers: a list's items or a grid's rows.
QStringList offered(QWidget *f, const char *name)
{
    auto *c = f->findChild<QComboBox *>(QLatin1String(name));
    return c ? items(c) : memberui::rows(grid(f, name));
}

} // namespace

class TestEditorReloads : public QObject {
    Q_OBJECT

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        registerAllForms();
    }

    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        m_prompter = std::make_unique<TestPrompter>();
        Db::exec("insert into collection (Collection) values ('Advent Book'), ('Old Book')");
        Db::exec("insert into anthem (Anthem, collectionid) values ('Advent Light', 1), ('Old Anthem', 2)");
        Db::exec("insert into themes (theme) values ('Praise'), ('Zeal')");
        Db::exec("insert into choir (choir) values ('Chancel'), ('Youth'), ('Bells')");
        Db::exec("insert into city (City) values ('Springfeld')");
        Db::exec("insert into member (LName, FName, CityID) values ('Adams', 'Ann', 1)");
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
        // A change in a reference list's window is "list: entry -> new
        // text" (no entry: one is added; no new text: it is deleted).
        const QStringList themes{"theme: -> Joy", "theme: Zeal -> Zest", "theme: Zeal ->"};
        const QList<std::pair<const char *, QStringList>> reloads{
            {"anthem", QStringList{"collection saved", "collection added", "collection deleted", "shown record deleted"}
                           + themes},
            {"collection", QStringList{"anthem saved", "anthem deleted"} + themes},
            {"member", {"choir: -> Men", "choir: Youth -> Youth Choir", "choir: Bells ->", "city: -> Shelbyville",
                        "city: Springfeld -> Springfield"}}};
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
        auto *f = openList<RecordEditorForm>(t.code);
        if (adding) {
            press(f, Add);
            type(w<QWidget>(f, t.name), "Newman");
        }
        const QString name = textOf(f, t.name);
        type(w<QWidget>(f, t.field), "Shelf 9");
        clickGridRow(f, grid(f, t.grid), t.row);
        const qint32 shown = f->currentId();

        // The other window, driven as its user drives it (Yes to its
        // question before a deletion).
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        if (reload.contains("->")) {
            const QString entry = reload.section(": ", 1).section("->", 0, 0).trimmed();
            const QString text = reload.section("->", 1).trimmed();
            const RefKind &kind = *std::find_if(allRefKinds().begin(), allRefKinds().end(),
                                                [&](const RefKind &k) { return reload.section(':', 0, 0) == k.noun; });
            auto *list = openList<RefListForm>(kind.formCode);
            selectName(list->grid(), entry);
            m_prompter->dialogHandlers.enqueue(typeAndSave({text}));
            clickButton(list, entry.isEmpty() ? kind.addButton : text.isEmpty() ? kind.deleteButton : kind.modifyButton);
            const bool city = kind.id == RefKindId::City;
            QCOMPARE(offered(f, city ? "City" : t.grid).contains(text.isEmpty() ? entry : text), !text.isEmpty());
            if (city && !entry.isEmpty() && !adding) // the member's city, untouched, follows
                QCOMPARE(textOf(f, "City"), QString("Springfield"));
        } else if (reload.startsWith("collection") || reload == "shown record deleted") {
            QWidget *c = openList<QWidget>(CollectionFormCode); // on Advent Book
            if (reload == "collection saved") {
                type(edit(c, "LoanedTo"), "Youth Choir");
            } else if (reload == "collection added") {
                press(c, Add);
                type(edit(c, "CollectionName"), "Zion Book");
            } else if (reload == "collection deleted") {
                clickLetter(c, 'O');
            }
            press(c, reload.endsWith("deleted") ? Delete : Save);
            QCOMPARE(offered(f, "CollectionCombo").contains("Zion Book"), reload == "collection added");
            QCOMPARE(offered(f, "CollectionCombo").contains("Old Book"), reload != "collection deleted");
            if (reload == "collection saved" && !adding) // the loan carried to its anthems
                QCOMPARE(edit(f, "LoanedTo")->text(), QString("Youth Choir"));
        } else {
            QWidget *a = openList<QWidget>(AnthemFormCode); // on Advent Light
            if (reload == "anthem saved") {
                press(a, Add);
                type(edit(a, "AnthemName"), "New Carol");
                w<QCheckBox>(a, "CollectionCheck")->click();
                choose(list(a, "CollectionCombo"), "Advent Book");
            }
            press(a, reload == "anthem saved" ? Save : Delete);
            if (!adding)
                QCOMPARE(colform::anthemTitles(f),
                         reload == "anthem saved" ? QStringList({"Advent Light", "New Carol"}) : QStringList());
        }

        for (const AskedMessage &m : m_prompter->messages)
            QVERIFY(m.text != "Save the changes to this record?");
        QCOMPARE(f->isAdding(), adding);
        QCOMPARE(f->currentId(), shown);
        QCOMPARE(textOf(f, t.name), name);
        QCOMPARE(textOf(f, t.field), QString("Shelf 9"));
        QCOMPARE(ticked(grid(f, t.grid)).size(), 1); // the row ticked, by its new name when renamed
        QVERIFY(f->hasUnsavedChanges());
        if (reload == "shown record deleted") {
            press(f, Save);
            QVERIFY(m_prompter->lastMessage().contains("no longer in the database"));
            QCOMPARE(textOf(f, t.field), QString("Shelf 9"));
        }
    }
};

QTEST_MAIN(TestEditorReloads)
#include "tst_editorreloads.moc"
