// The record-editor shape every editor shares, driven through its controls
// on a small test editor of collections: the three states, the moves with
// wrap-around, the letter bar and the name list with its runs, save and
// delete, loading by id, the check-list grids of the record shown, and the
// schedule and performed-dates dialogs.
#include "AppPaths.h"
#include "CheckListGrid.h"
#include "Db.h"
#include "Guard.h"
#include "LetterBar.h"
#include "LinkTables.h"
#include "MainFormMDI.h"
#include "Module.h"
#include "RecordEditorForm.h"
#include "RecordToolbar.h"
#include "EditorTestUtil.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStandardPaths>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

using namespace editortest;

// A collection editor cut down to a name field and a themes grid.
class TestEditor : public RecordEditorForm {
public:
    static Setup setupFor(NameIndex::Runs runs)
    {
        Setup s;
        s.kind = RecordKind::Collection;
        s.noun = "collection";
        s.plural = "Collections";
        s.listSql = "select collectionid, Collection from collection order by collectionkey, collectionid";
        s.runs = runs;
        s.deletePrompt = "Delete the this collection??";
        s.savedMessage = "The collection has been saved.";
        s.scheduleCaller = ScheduleCaller::Collection;
        s.resetSortColumn = 1;
        return s;
    }

    explicit TestEditor(NameIndex::Runs runs = NameIndex::Runs::Exact)
        : RecordEditorForm(&hx().CollectionFormLoaded, setupFor(runs))
    {
        auto *page = new QWidget;
        auto *lay = new QVBoxLayout(page);
        name = makeTextField("CollectionName", 100, page);
        lay->addWidget(makeCaption("Collection Name", name, page));
        lay->addWidget(name);
        themes = makeCheckGrid("ThemesGrid", "Themes", page);
        lay->addWidget(themes);
        lay->addWidget(makePerformedDatesButton(page));
        tabs()->addTab(page, "Main");
        tabs()->addTab(buildMyDataPage(), "My Data");
        registerCheckGrid(CheckGridKind::Themes, themes);
        setupEditor();
    }

    QLineEdit *name = nullptr;
    CheckListGrid *themes = nullptr;
    QList<qint32> shown;
    QList<qint32> saved;
    QList<qint32> deleted;
    int choiceListFills = 0;
    bool refuseSave = false;

protected:
    bool showRecordFields(qint32 id) override
    {
        const QVariant v = Db::scalar("select Collection from collection where collectionid = ?", {id});
        if (!v.isValid())
            return false;
        clearRecordFields();
        name->setText(v.toString());
        shown << id;
        return true;
    }
    void clearRecordFields() override { name->clear(); }
    std::optional<Saved> saveRecordFields(bool adding) override
    {
        if (refuseSave)
            return std::nullopt;
        qint32 id = currentId();
        const QString text = name->text();
        const QList<LinkChoice> links = checkedLinks();
        if (!guarded([&] {
                Db::Transaction tx;
                if (adding) {
                    Db::exec("insert into collection (Collection) values (?)", {text});
                    id = qint32(Db::lastInsertId());
                } else {
                    Db::exec("update collection set Collection = ? where collectionid = ?", {text, id});
                }
                LinkTables::rewrite(RecordKind::Collection, id, links);
                tx.commit();
            }))
            return std::nullopt;
        return Saved{id, {text, {}, {}}};
    }
    void deleteRecordData(qint32 id) override
    {
        Db::Transaction tx;
        Db::exec("delete from collection where collectionid = ?", {id});
        LinkTables::deleteAll(RecordKind::Collection, id);
        tx.commit();
    }
    QLineEdit *nameField() const override { return name; }
    void refreshChoiceLists() override { ++choiceListFills; }
    void recordSaved(qint32 id, bool) override { saved << id; }
    void recordDeleted(qint32 id) override { deleted << id; }
};

qint32 addCollection(const QString &name)
{
    Db::exec("insert into collection (Collection) values (?)", {name});
    return qint32(Db::lastInsertId());
}

const QList<int> kBrowse{Add, Save, Delete, First, Previous, Next, Last};

const QString kChangesQuestion = "Save the changes to this record?";

// The editor as the user has it: shown, its window active, so keys reach it.
void showActive(QWidget *f)
{
    f->show();
    f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f));
}

// A key pressed where the focus is.
void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, k, mods);
    QApplication::processEvents();
}

} // namespace

class TestRecordEditor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
        RecordDialogs::setScheduleEntryDialog({});
        RecordDialogs::setPerformedDatesDialog({});
    }
    void cleanup()
    {
        RecordDialogs::setScheduleEntryDialog({});
        RecordDialogs::setPerformedDatesDialog({});
        m_prompter.reset();
        m_folder.reset();
    }

    void theSharedControlsAndTheirTexts()
    {
        TestEditor f;
        QCOMPARE(toolbar(&f)->button(Add)->toolTip(), QString("Add new collection (Ctrl+N)"));
        QCOMPARE(toolbar(&f)->button(Previous)->toolTip(), QString("Move to previous collection (Alt+PgUp)"));
        QCOMPARE(toolbar(&f)->button(Cancel)->toolTip(), QString("Cancel add (Esc)"));
        QCOMPARE(letters(&f)->buttonToolTip(4), QString("Collections beginning with B"));
        QVERIFY(!toolbar(&f)->button(Schedule)); // no schedule dialog in the program
        QVERIFY(!toolbar(&f)->actions().constLast()->isSeparator()); // nor a separator left over
        for (int i = 1; i <= 5; ++i) {
            auto *label = f.findChild<QLabel *>(QStringLiteral("ULabel%1").arg(i));
            QVERIFY(label);
            QCOMPARE(label->buddy(), f.findChild<QLineEdit *>(QStringLiteral("UText%1").arg(i)));
        }
        QVERIFY(hx().CollectionFormLoaded);
    }

    void emptyTableAddSaveAndCancel()
    {
        TestEditor f;
        QCOMPARE(visibleButtons(&f), QList<int>({Add}));
        QVERIFY(!tabs(&f)->isEnabled());
        QCOMPARE(nameList(&f)->count(), 0);
        QCOMPARE(letterLook(&f, 'A'), 2);
        QCOMPARE(letterLook(&f, 'Z'), 2);
        QCOMPARE(f.currentId(), 0);
        QCOMPARE(f.choiceListFills, 1);

        press(&f, Add);
        QVERIFY(f.isAdding());
        QCOMPARE(visibleButtons(&f), QList<int>({Cancel, Save}));
        QVERIFY(tabs(&f)->isEnabled());
        QVERIFY(!letters(&f)->isEnabled());
        QVERIFY(!nameList(&f)->isEnabled());
        type(f.name, "Not kept");
        press(&f, Cancel);
        QCOMPARE(visibleButtons(&f), QList<int>({Add}));
        QVERIFY(!tabs(&f)->isEnabled());
        QVERIFY(f.name->text().isEmpty());
        QVERIFY(letters(&f)->isEnabled());
        QCOMPARE(count("select count(*) from collection"), 0);

        // An empty name is refused by the name check; the add goes on.
        press(&f, Add);
        press(&f, Save);
        QCOMPARE(m_prompter->lastMessage(), QString("The system requires that a name be entered."));
        QVERIFY(f.isAdding());
        // A save the editor refuses keeps the add and what was typed.
        type(f.name, "Magnificat Book");
        f.refuseSave = true;
        press(&f, Save);
        QVERIFY(f.isAdding());
        QCOMPARE(visibleButtons(&f), QList<int>({Cancel, Save}));
        QCOMPARE(f.name->text(), QString("Magnificat Book"));
        f.refuseSave = false;
        press(&f, Save);
        QCOMPARE(m_prompter->lastMessage(), QString("The collection has been saved."));
        QCOMPARE(m_prompter->messages.last().title, QString("Confirmation"));
        QVERIFY(!f.isAdding());
        QCOMPARE(visibleButtons(&f), kBrowse);
        QVERIFY(letters(&f)->isEnabled());
        QCOMPARE(letterLook(&f, 'M'), 1);
        QCOMPARE(letterLook(&f, 'A'), 2);
        QCOMPARE(listItems(&f), QStringList({"Magnificat Book"}));
        const qint32 id = f.currentId();
        QVERIFY(id > 0);
        QCOMPARE(f.hxData().CurCollection(), id);
        QCOMPARE(f.saved, QList<qint32>({id}));

        // Cancel with records shows the first, not the one shown before Add.
        addCollection("Advent Book");
        f.reloadRecords();
        QCOMPARE(f.name->text(), QString("Advent Book"));
        press(&f, Last);
        QCOMPARE(f.name->text(), QString("Magnificat Book"));
        press(&f, Add);
        press(&f, Cancel);
        QCOMPARE(f.name->text(), QString("Advent Book"));
        QCOMPARE(visibleButtons(&f), kBrowse);
    }

    // From the keyboard, the window made narrow: Tab reaches the record
    // buttons, then the letter bar as one stop, its selected letter; the
    // arrows, Home and End pass over letters without records; Space presses
    // the button or letter in focus, Return the letter. Each action's key
    // works from where the focus is; a hidden button's key does nothing.
    void theKeyboardReachesEveryAction()
    {
        for (const char *t : {"Amen Book", "Cantatas"})
            addCollection(t);
        const qint32 last = addCollection("Faure Requiem");
        TestEditor f;
        f.resize(300, 600);
        showActive(&f);
        // Each key pressed where the focus is; then the control in focus.
        auto keys = [&f](const QList<int> &ks, Qt::KeyboardModifiers m = {}) {
            QStringList seen;
            for (int k : ks) {
                key(Qt::Key(k), m);
                auto *b = qobject_cast<QToolButton *>(f.focusWidget());
                seen << (b ? b->text() : f.focusWidget()->objectName());
            }
            return seen.join(' ');
        };
        toolbar(&f)->widgetForAction(toolbar(&f)->button(Add))->setFocus();
        QCOMPARE(keys(QList<int>(9, Qt::Key_Tab)),
                 QString("Save Delete First Previous Next Last List_Combo A qt_tabwidget_tabbar"));
        QCOMPARE(keys(QList<int>(3, Qt::Key_Tab), Qt::ShiftModifier), QString("A List_Combo Last"));
        keys({Qt::Key_Space});
        QCOMPARE(f.name->text(), QString("Faure Requiem"));
        QCOMPARE(keys({Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Left, Qt::Key_Space}), QString("List_Combo F C C"));
        QCOMPARE(f.name->text(), QString("Cantatas"));
        QCOMPARE(keys({Qt::Key_Left, Qt::Key_Up, Qt::Key_End, Qt::Key_Right, Qt::Key_Home, Qt::Key_Down,
                       Qt::Key_Right, Qt::Key_Return}),
                 QString("A A F F A C F F"));
        QCOMPARE(f.name->text(), QString("Faure Requiem"));

        f.name->setFocus();
        for (const auto &[k, shown] : {std::pair(Qt::Key_Home, "Amen Book"), std::pair(Qt::Key_PageUp, "Faure Requiem"),
                                       std::pair(Qt::Key_PageDown, "Amen Book"), std::pair(Qt::Key_End, "Faure Requiem")}) {
            key(k, Qt::AltModifier);
            QCOMPARE(f.name->text(), QString(shown));
        }
        type(f.name, "Faure Mass");
        key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(column("select Collection from collection where collectionid = ?", {last}), QStringList("Faure Mass"));
        QCOMPARE(keys({Qt::Key_PageUp, Qt::Key_PageDown}, Qt::ControlModifier), QString("UText1 CollectionName"));
        // Escape while adding, from a grid too, asks first when typed.
        keys({Qt::Key_N}, Qt::ControlModifier);
        key(Qt::Key_PageDown, Qt::AltModifier);
        QVERIFY(f.isAdding());
        type(f.name, "New");
        f.themes->setFocus();
        key(Qt::Key_Escape); // answered No
        QVERIFY(!f.isAdding());
        QCOMPARE(m_prompter->lastMessage(), kChangesQuestion);
        key(Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_prompter->lastMessage(), QString("Delete the this collection??"));
    }

    void movesWrapAndTheLettersFollow()
    {
        for (const char *t : {"Cantatas", "Anthology", "Bach Chorales", "Amen Book"})
            addCollection(t);
        TestEditor f;
        QCOMPARE(f.name->text(), QString("Amen Book"));
        QCOMPARE(visibleButtons(&f), kBrowse);
        QCOMPARE(letterLook(&f, 'A'), 1);
        QCOMPARE(letterLook(&f, 'B'), 0);
        QCOMPARE(letterLook(&f, 'D'), 2);
        QCOMPARE(listItems(&f), QStringList({"Amen Book", "Anthology"}));

        press(&f, Previous); // wraps to the last
        QCOMPARE(f.name->text(), QString("Cantatas"));
        QCOMPARE(letterLook(&f, 'C'), 1);
        QCOMPARE(letterLook(&f, 'A'), 0);
        QCOMPARE(listItems(&f), QStringList({"Cantatas"}));
        QCOMPARE(f.hxData().SLetterW(), QString("C"));
        QCOMPARE(int(f.hxData().A_Button()), 7);
        QCOMPARE(int(f.hxData().P_Button()), 1);
        press(&f, Next); // wraps to the first
        QCOMPARE(f.name->text(), QString("Amen Book"));
        QCOMPARE(listItems(&f), QStringList({"Amen Book", "Anthology"}));
        press(&f, Next);
        press(&f, Next);
        QCOMPARE(f.name->text(), QString("Bach Chorales"));
        QCOMPARE(letterLook(&f, 'B'), 1);
        press(&f, Last);
        QCOMPARE(f.name->text(), QString("Cantatas"));
        press(&f, First);
        QCOMPARE(f.name->text(), QString("Amen Book"));
        QCOMPARE(f.hxData().SLetterW(), QString("A"));
    }

    void runsLettersAndThePick()
    {
        const qint32 first = addCollection("Psalms");
        const qint32 second = addCollection("Psalms");
        const qint32 praise = addCollection("Praise Book");
        const qint32 hymnal = addCollection("1 Hymnal"); // files under A
        const qint32 lower = addCollection("psalms");
        TestEditor f;
        QCOMPARE(letterLook(&f, 'A'), 1); // no name begins with A, yet A has one
        QCOMPARE(f.name->text(), QString("1 Hymnal"));

        clickLetter(&f, 'P');
        QCOMPARE(letterLook(&f, 'P'), 1);
        QCOMPARE(letterLook(&f, 'A'), 0);
        QCOMPARE(listItems(&f), QStringList({"Praise Book", "Psalms {2}", "psalms"}));
        QCOMPARE(f.name->text(), QString("Praise Book"));
        chooseListItem(&f, "psalms");
        QCOMPARE(f.currentId(), lower);
        chooseListItem(&f, "Psalms {2}");
        QCOMPARE(f.currentId(), first);
        press(&f, Next);
        QCOMPARE(f.currentId(), second);

        // The selected letter clicked again shows its first record; a
        // letter without records cannot be chosen.
        clickLetter(&f, 'P');
        QCOMPARE(f.name->text(), QString("Praise Book"));
        clickLetter(&f, 'Q');
        QCOMPARE(f.name->text(), QString("Praise Book"));
        QCOMPARE(letterLook(&f, 'P'), 1);

        // A holds only a name that begins with no letter: a click on A
        // selects it and lists that name, but the record shown stays.
        clickLetter(&f, 'A');
        QCOMPARE(letterLook(&f, 'A'), 1);
        QCOMPARE(letterLook(&f, 'P'), 0);
        QCOMPARE(listItems(&f), QStringList({"1 Hymnal"}));
        QCOMPARE(f.currentId(), praise);
        QCOMPARE(f.name->text(), QString("Praise Book"));

        // A saved rename moves the record to its letter.
        chooseListItem(&f, "1 Hymnal");
        QCOMPARE(f.currentId(), hymnal);
        type(f.name, "Zion Songs");
        press(&f, Save);
        QCOMPARE(letterLook(&f, 'Z'), 1);
        QCOMPARE(letterLook(&f, 'A'), 2);
        QCOMPARE(listItems(&f), QStringList({"Zion Songs"}));
        press(&f, Next);
        QCOMPARE(f.name->text(), QString("Praise Book"));

        // A click on A shows the first name that begins with A, not a name
        // filed under A before it.
        addCollection("1 Hundred Hymns");
        const qint32 churchYear = addCollection("Anthems for the Church Year");
        f.reloadRecords();
        QCOMPARE(f.name->text(), QString("1 Hundred Hymns"));
        clickLetter(&f, 'P');
        clickLetter(&f, 'A');
        QCOMPARE(listItems(&f), QStringList({"1 Hundred Hymns", "Anthems for the Church Year"}));
        QCOMPARE(f.currentId(), churchYear);
        QCOMPARE(f.name->text(), QString("Anthems for the Church Year"));

        // Members' runs: keys that differ only in case form one item.
        TestEditor members(NameIndex::Runs::CaseBlind);
        clickLetter(&members, 'P');
        QCOMPARE(listItems(&members), QStringList({"Praise Book", "Psalms {3}"}));
    }

    void deleteAskedFailedAndDone()
    {
        const qint32 gone = addCollection("Autumn");
        const qint32 kept = addCollection("Kept");
        Db::exec("insert into col_th_l (collectionid, themeid) values (?, 1)", {gone});
        TestEditor f;
        QCOMPARE(f.currentId(), gone);

        m_prompter->messageAnswers.enqueue(MsgResult::No);
        press(&f, Delete);
        QCOMPARE(m_prompter->messages.last().text, QString("Delete the this collection??"));
        QCOMPARE(m_prompter->messages.last().title, QString("Delete Warning"));
        QVERIFY(m_prompter->messages.last().buttons == MsgButtons::YesNo);
        QCOMPARE(count("select count(*) from collection"), 2);

        // A failing delete deletes nothing and says so.
        Db::exec("create trigger stuck before delete on col_th_l begin select raise(abort, 'locked'); end");
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(&f, Delete);
        QVERIFY(m_prompter->lastMessage().contains("locked"));
        QCOMPARE(count("select count(*) from collection"), 2);
        QCOMPARE(f.name->text(), QString("Autumn"));
        QVERIFY(f.deleted.isEmpty());
        Db::exec("drop trigger stuck");

        const int messages = int(m_prompter->messages.size());
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(&f, Delete);
        QCOMPARE(m_prompter->messages.size(), messages + 1); // the question only
        QCOMPARE(count("select count(*) from col_th_l"), 0);
        QCOMPARE(f.deleted, QList<qint32>({gone}));
        QCOMPARE(f.currentId(), kept);
        QCOMPARE(letterLook(&f, 'A'), 2);
        QCOMPARE(letterLook(&f, 'K'), 1);

        // The last record gone: the empty editor.
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(&f, Delete);
        QCOMPARE(visibleButtons(&f), QList<int>({Add}));
        QCOMPARE(f.currentId(), 0);
        QCOMPARE(nameList(&f)->count(), 0);
        QVERIFY(!tabs(&f)->isEnabled());
        QCOMPARE(letterLook(&f, 'K'), 2);
    }

    void loadedByIdAndChangesBehindItsBack()
    {
        addCollection("Alpha");
        const qint32 beta = addCollection("Beta");
        addCollection("Gamma");
        TestEditor f;
        f.loadRecordById(beta);
        QCOMPARE(f.name->text(), QString("Beta"));
        QCOMPARE(letterLook(&f, 'B'), 1);
        press(&f, Next);
        QCOMPARE(f.name->text(), QString("Gamma"));

        // A record added after the editor read its list is still found.
        const qint32 late = addCollection("Delta");
        f.loadRecordById(late);
        QCOMPARE(f.name->text(), QString("Delta"));
        press(&f, Next);
        QCOMPARE(f.name->text(), QString("Gamma"));
        // An id that is nowhere returns and leaves a record shown.
        f.loadRecordById(987654);
        QVERIFY(!f.name->text().isEmpty());

        // A record deleted elsewhere: the list is read again and the first
        // record shown.
        Db::exec("delete from collection where Collection = 'Gamma'");
        press(&f, Last);
        QCOMPARE(f.name->text(), QString("Alpha"));
        press(&f, Last);
        QCOMPARE(f.name->text(), QString("Delta"));

        // While adding: asked first, Cancel keeps the typing; records
        // read again meanwhile reach the letter bar when the add ends.
        press(&f, Add);
        type(f.name, "Typed");
        m_prompter->messageAnswers.enqueue(MsgResult::Cancel);
        f.loadRecordById(beta);
        QCOMPARE(m_prompter->lastMessage(), kChangesQuestion);
        f.loadRecord(beta);
        addCollection("Zebra Songs");
        f.reloadRecords();
        QCOMPARE(f.name->text(), QString("Typed"));
        QVERIFY(f.isAdding());
        QCOMPARE(letterLook(&f, 'Z'), 2);
        press(&f, Cancel);
        QCOMPARE(letterLook(&f, 'Z'), 0);
        QCOMPARE(f.name->text(), QString("Alpha"));
        press(&f, Add);
        type(f.name, "Typed");
        f.loadRecordById(beta); // answered No: the adding ends, the record shows
        QVERIFY(!f.isAdding());
        QCOMPARE(f.name->text(), QString("Beta"));
    }

    void theGridsFollowTheRecordShown()
    {
        for (const char *t : {"Advent", "Easter", "Lent"})
            Db::exec("insert into themes (theme) values (?)", {t});
        const qint32 a = addCollection("A Book");
        const qint32 b = addCollection("B Book");
        Db::exec("insert into col_th_l (collectionid, themeid) values (?, 3)", {b});
        TestEditor f;
        QCOMPARE(f.themes->Rows(), 4);
        QVERIFY(f.themes->checkedIds().isEmpty());
        QCOMPARE(f.checkGrid(CheckGridKind::Themes).grid, f.themes);
        QVERIFY(!f.checkGrid(CheckGridKind::Choirs).grid);
        QCOMPARE(f.checkGridMark().owner, 1);
        QCOMPARE(f.checkGridMark().id, a);

        press(&f, Next);
        QCOMPARE(f.themes->checkedIds(), QList<qint32>({3}));
        QCOMPARE(f.themes->nameAt(1), QString("Lent")); // linked rows first
        // A click toggles column 1; the save writes the ticked rows whole.
        f.themes->setRow(f.themes->Rows() - 1);
        emit f.themes->cellActivatedByUser(f.themes->Rows() - 1, 1);
        f.themes->setRow(1);
        emit f.themes->cellActivatedByUser(1, 1);
        press(&f, Save);
        QCOMPARE(Db::scalar("select group_concat(themeid) from col_th_l where collectionid = ?", {b}).toString(),
                 QString("2"));

        press(&f, Add);
        QVERIFY(f.themes->checkedIds().isEmpty());
        QCOMPARE(f.themes->nameAt(1), QString("Advent")); // by name again
        QCOMPARE(f.checkGridMark().id, b); // the record shown before Add
    }

    void theScheduleAndPerformedDatesDialogs()
    {
        struct Call {
            ScheduleCaller caller;
            qint32 id;
            QString title;
            int callerFlag;
        };
        QList<Call> entries;
        QList<qint32> dates;
        RecordDialogs::setScheduleEntryDialog([&](ScheduleCaller c, qint32 id, const QString &title) {
            entries.append({c, id, title, hx().ScheduleCaller});
        });
        RecordDialogs::setPerformedDatesDialog([&](ScheduleCaller, qint32 id) { dates << id; });
        TestEditor empty;
        QCOMPARE(visibleButtons(&empty), QList<int>({Add}));
        auto *viewAll = empty.findChild<QPushButton *>("btnAllPerform");
        QVERIFY(viewAll && !viewAll->isEnabled());

        const qint32 id = addCollection("Messiah");
        TestEditor f;
        QCOMPARE(toolbar(&f)->button(Schedule)->toolTip(), QString("Schedule Collection (Ctrl+Shift+S)"));
        QCOMPARE(visibleButtons(&f), QList<int>({Add, Save, Delete, First, Previous, Next, Last, Schedule}));
        showActive(&f);
        key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(entries.size(), 1);
        QVERIFY(entries[0].caller == ScheduleCaller::Collection);
        QCOMPARE(entries[0].id, id);
        QCOMPARE(entries[0].title, QString("Messiah"));
        QCOMPARE(entries[0].callerFlag, 1);
        QCOMPARE(hx().ScheduleCaller, 0);
        QCOMPARE(f.name->text(), QString("Messiah")); // nothing changed

        viewAll = f.findChild<QPushButton *>("btnAllPerform");
        QVERIFY(viewAll->isEnabled());
        viewAll->click();
        QCOMPARE(dates, QList<qint32>({id}));
        press(&f, Add);
        QVERIFY(!viewAll->isEnabled());
        QVERIFY(!toolbar(&f)->isButtonVisible(Schedule));
        press(&f, Cancel);
        QVERIFY(viewAll->isEnabled());
    }

    // A typed change, then the user leaves the record: Yes saves first, No
    // drops the change, Cancel stays with the input on screen. File > Exit
    // asks every editor before any window closes.
    void leavingAChangedRecordAsks_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<MsgResult>("answer");
        for (const char *way : {"next key", "letter", "name list", "add", "close box", "close key", "exit"})
            for (const auto &[answer, name] : {std::pair(MsgResult::Yes, "yes"), std::pair(MsgResult::No, "no"),
                                               std::pair(MsgResult::Cancel, "cancel")})
                QTest::addRow("%s, %s", way, name) << QString(way) << answer;
    }
    void leavingAChangedRecordAsks()
    {
        QFETCH(QString, way);
        QFETCH(MsgResult, answer);
        const qint32 alpha = addCollection("Alpha");
        addCollection("Amen");
        addCollection("Gamma");
        auto main = std::make_unique<MainFormMDI>();
        QPointer<TestEditor> other = new TestEditor, f = new TestEditor;
        Forms::showChild(other);
        Forms::showChild(f);
        showActive(main.get());
        type(other->name, "Other"); // on Exit asked first: No, yet not closed before f is asked
        m_prompter->messageAnswers << (way == "exit" ? QList{MsgResult::No, answer} : QList{answer});
        type(f->name, "Alpha Two");
        const QHash<QString, std::function<void()>> ways{
            {"next key", [] { key(Qt::Key_PageDown, Qt::AltModifier); }},
            {"letter", [&] { clickLetter(f, 'G'); }},
            {"name list", [&] { chooseListItem(f, "Amen"); }},
            {"add", [&] { press(f, Add); }},
            {"close box", [&] { f->parentWidget()->close(); }},
            {"close key", [] { key(Qt::Key_F4, Qt::ControlModifier); }},
            {"exit", [&] { main->findChild<QAction *>("menuExit")->trigger(); }}};
        ways[way]();

        int questions = 0;
        for (const AskedMessage &m : m_prompter->messages)
            questions += m.text == kChangesQuestion && m.buttons == MsgButtons::YesNoCancel;
        QCOMPARE(questions, way == "exit" ? 2 : 1);
        const bool stayed = answer == MsgResult::Cancel;
        auto closed = [](const QPointer<TestEditor> &e) { return e.isNull() || e->isUnloaded(); };
        const bool closing = way.startsWith("close") || way == "exit";
        QCOMPARE(closing ? closed(f) : way == "add" ? f->isAdding() : f->currentId() != alpha, !stayed);
        QCOMPARE(closed(other), way == "exit" && !stayed);
        if (way == "exit" && stayed) { // the shut-down called off, a later close asks again
            m_prompter->messageAnswers << MsgResult::Cancel;
            other->parentWidget()->close();
            QVERIFY(!closed(other));
        }
        if (stayed)
            QCOMPARE(f->name->text() + nameList(f)->currentText(), QString("Alpha TwoAlpha"));
        if (!Db::isOpen()) // the shut-down closed it
            QVERIFY(Db::open(m_folder->file(QLatin1String(AppPaths::DatabaseFile)), nullptr));
        QCOMPARE(column("select Collection from collection where collectionid = ?", {alpha}),
                 QStringList(answer == MsgResult::Yes ? "Alpha Two" : "Alpha"));
    }

    void noQuestionWithoutAChange()
    {
        Db::exec("insert into themes (theme) values ('Advent')");
        addCollection("Alpha");
        addCollection("Beta");
        TestEditor f;
        auto tick = [&f] {
            f.themes->setRow(1);
            emit f.themes->cellActivatedByUser(1, 1);
        };
        // Typed and typed back, ticked and unticked, another page: no change.
        type(f.name, "Alpha Two");
        type(f.name, "Alpha");
        type(edit(&f, "UText1"), "mine");
        type(edit(&f, "UText1"), "");
        tick();
        tick();
        tabs(&f)->setCurrentIndex(1);
        press(&f, Next);
        // Nothing is asked after Save and the toolbar's Cancel; the record
        // shown, chosen again, keeps what was typed.
        type(f.name, "Beta Two");
        press(&f, Save);
        press(&f, Add);
        type(f.name, "Not kept");
        press(&f, Cancel);
        type(f.name, "Alpha Two");
        chooseListItem(&f, "Alpha");
        QCOMPARE(f.name->text(), QString("Alpha Two"));
        QCOMPARE(m_prompter->messages.size(), 1); // the save's confirmation
        // A tick is a change; Yes with a save refused stays, with the input.
        tick();
        f.refuseSave = true;
        m_prompter->messageAnswers.enqueue(MsgResult::Yes);
        press(&f, Next);
        QCOMPARE(m_prompter->lastMessage(), kChangesQuestion);
        QCOMPARE(f.name->text(), QString("Alpha Two"));
        QCOMPARE(f.themes->checkedIds(), QList<qint32>({1}));
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
};

QTEST_MAIN(TestRecordEditor)
#include "tst_recordeditor.moc"
