#include "RecordEditorForm.h"

#include "CheckListGrid.h"
#include "Cursor.h"
#include "DateField.h"
#include "Db.h"
#include "FieldServices.h"
#include "Forms.h"
#include "Guard.h"
#include "KeyboardReach.h"
#include "LetterBar.h"
#include "NameLists.h"
#include "Prompter.h"
#include "RecordNav.h"
#include "RecordToolbar.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The letter state after the records are (re)opened: A selected, and a
// previous letter that MoveLetterHighlight leaves alone.
constexpr int kFirstLetterButton = 1;
constexpr int kResetPreviousButton = 51;

QString capitalized(const QString &word)
{
    return word.isEmpty() ? word : word.at(0).toUpper() + word.mid(1);
}

} // namespace

RecordEditorForm::RecordEditorForm(bool *loadedFlag, Setup setup)
    : BaseForm(loadedFlag), m_setup(std::move(setup)), m_records(m_setup.runs, m_setup.order)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);

    auto *top = new QHBoxLayout;
    Toolbar1 = new RecordToolbar(this);
    const QString &noun = m_setup.noun;
    using namespace RecordButton;
    const QString tips[RecordToolbar::ButtonCount] = {
        QStringLiteral("Add new ") + noun,           QStringLiteral("Cancel add"),
        QStringLiteral("Save ") + noun,              QStringLiteral("Delete ") + noun,
        QStringLiteral("Move to first ") + noun,     QStringLiteral("Move to previous ") + noun,
        QStringLiteral("Move to next ") + noun,      QStringLiteral("Move to last ") + noun,
        QString(),                                   QStringLiteral("Schedule ") + capitalized(noun)};
    // Each button's key, named in its tooltip. Alt moves between records,
    // as Ctrl+Home and Ctrl+End belong to the text fields; Delete and
    // Schedule take Ctrl+Shift, which no text field uses.
    const QKeySequence keys[RecordToolbar::ButtonCount] = {
        QKeySequence(Qt::CTRL | Qt::Key_N),          QKeySequence(Qt::Key_Escape),
        QKeySequence(Qt::CTRL | Qt::Key_S),          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D),
        QKeySequence(Qt::ALT | Qt::Key_Home),        QKeySequence(Qt::ALT | Qt::Key_PageUp),
        QKeySequence(Qt::ALT | Qt::Key_PageDown),    QKeySequence(Qt::ALT | Qt::Key_End),
        QKeySequence(),                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)};
    for (int i = Add; i <= Schedule; ++i) {
        QAction *a = Toolbar1->button(i);
        if (!a || i == Separator)
            continue;
        a->setToolTip(QStringLiteral("%1 (%2)").arg(tips[i - 1], keys[i - 1].toString(QKeySequence::NativeText)));
        // Escape is left to the fields and lists first (an open list closes
        // with it); what none of them takes reaches keyPressEvent.
        if (i != Cancel) {
            a->setShortcut(keys[i - 1]);
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        }
    }
    // No button that could not do what it says: the schedule button only
    // where the schedule entry dialog is part of the program.
    // The separator that sets it apart goes with it.
    if (m_setup.scheduleCaller == ScheduleCaller::None || !RecordDialogs::hasScheduleEntryDialog())
        for (int gone : {Separator, Schedule})
            Toolbar1->removeButton(gone);
    // The buttons' keys work wherever the focus is in the editor; a hidden
    // button's key does nothing.
    addActions(Toolbar1->actions());
    top->addWidget(Toolbar1);
    top->addStretch(1);
    List_Combo = new QComboBox(this);
    List_Combo->setObjectName(QStringLiteral("List_Combo"));
    List_Combo->setAccessibleName(m_setup.plural);
    configureLongList(List_Combo);
    m_nameModel = new NameListModel(List_Combo);
    List_Combo->setModel(m_nameModel);
    top->addWidget(List_Combo);
    outer->addLayout(top);

    Toolbar2 = new LetterBar(this);
    Toolbar2->setRecordsName(m_setup.plural);
    outer->addWidget(Toolbar2);
    // However narrow the window is made, neither bar puts a button in its
    // overflow menu, where Tab and the arrow keys could not reach it: the
    // window is never narrower than the bars.
    for (QToolBar *bar : {static_cast<QToolBar *>(Toolbar1), static_cast<QToolBar *>(Toolbar2)})
        bar->setSizePolicy(QSizePolicy::Minimum, bar->sizePolicy().verticalPolicy());

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    outer->addWidget(SSTab1, 1);

    // The pages turn from anywhere in the editor, not only from their tabs.
    turnPagesByKeys(this, SSTab1);

    connect(Toolbar1, &RecordToolbar::buttonClicked, this, &RecordEditorForm::toolbarClicked);
    connect(Toolbar2, &LetterBar::buttonClicked, this, &RecordEditorForm::letterClicked);
    connect(List_Combo, &QComboBox::activated, this, &RecordEditorForm::nameListClicked);
}

RecordEditorForm::~RecordEditorForm() = default;

// ---------------------------------------------------------------- building

QLineEdit *RecordEditorForm::makeTextField(const QString &name, int maxLength, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    // Counted in characters, never splitting one; 0 keeps all that is typed.
    LimitTextWidth(e, maxLength);
    return e;
}

QLabel *RecordEditorForm::makeCaption(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

QPushButton *RecordEditorForm::makeButton(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

CheckListGrid *RecordEditorForm::makeCheckGrid(const QString &name, const QString &accessibleName, QWidget *parent)
{
    auto *g = new CheckListGrid(parent);
    g->setObjectName(name);
    g->setAccessibleName(accessibleName);
    g->setMinimumHeight(150);
    return g;
}

DateField *RecordEditorForm::makeDateField(const QString &name, QWidget *parent)
{
    auto *d = new DateField(parent);
    d->setObjectName(name);
    return d;
}

QPushButton *RecordEditorForm::makeClearDateButton(const QString &name, DateField *date, QWidget *parent)
{
    QPushButton *b = makeButton(name, QStringLiteral("ClearDate"), parent);
    connect(b, &QPushButton::clicked, date, [date] { date->clear(); });
    return b;
}

QPlainTextEdit *RecordEditorForm::addMemoPage(const QString &name, const QString &caption)
{
    auto *memo = new QPlainTextEdit(SSTab1);
    memo->setObjectName(name);
    memo->setAccessibleName(caption);
    // Notes hold lines, not columns: Tab goes on to the next control.
    memo->setTabChangesFocus(true);
    SSTab1->addTab(memo, caption);
    return memo;
}

void RecordEditorForm::clearUserFields()
{
    for (QLineEdit *e : m_userText)
        e->clear();
}

void RecordEditorForm::showUserFields(const QString (&values)[5])
{
    for (int i = 0; i < 5; ++i)
        m_userText[i]->setText(values[i]);
}

void RecordEditorForm::readUserFields(QString (&values)[5]) const
{
    for (int i = 0; i < 5; ++i)
        values[i] = m_userText[i]->text();
}

bool RecordEditorForm::acceptDates(std::initializer_list<DateField *> fields)
{
    for (DateField *d : fields) {
        if (!d->isEmpty() && !d->hasValidDate()) {
            SSTab1->setCurrentIndex(0);
            d->acceptInput();
            return false;
        }
        d->acceptInput();
    }
    return true;
}

bool RecordEditorForm::refuseInput(QWidget *field, const QString &message)
{
    SSTab1->setCurrentIndex(0);
    MsgBox(message, QString(), MsgButtons::Ok, MsgIcon::Exclamation);
    field->setFocus();
    return false;
}

bool RecordEditorForm::writeGuarded(const std::function<void()> &write)
{
    return guarded([&] {
        BusyCursor busy;
        write();
    });
}

QWidget *RecordEditorForm::buildMyDataPage()
{
    auto *page = new QWidget;
    auto *g = new QGridLayout(page);
    const int datatype = myDataType(m_setup.kind);
    for (int i = 0; i < 5; ++i) {
        ClickLabel *label = new ClickLabel(QStringLiteral("My Field %1").arg(i + 1), page);
        label->setObjectName(QStringLiteral("ULabel%1").arg(i + 1));
        label->setToolTip(QStringLiteral("Click to rename this field"));
        QLineEdit *text = makeTextField(QStringLiteral("UText%1").arg(i + 1), 0, page);
        label->setBuddy(text);
        g->addWidget(label, i, 0);
        g->addWidget(text, i, 1);
        m_userLabel[i] = label;
        m_userText[i] = text;
        connect(label, &ClickLabel::clicked, this,
                [label, datatype, i] { guarded([&] { RenameMyDataLabel(label, datatype, i + 1); }); });
        InstallSelectAllOnFocus(text);
    }
    g->setRowStretch(5, 1);
    LoadMyDataLabels(page, datatype);
    return page;
}

QPushButton *RecordEditorForm::makePerformedDatesButton(QWidget *parent)
{
    btnAllPerform = makeButton(QStringLiteral("btnAllPerform"), QStringLiteral("View All"), parent);
    btnAllPerform->setEnabled(false);
    connect(btnAllPerform, &QPushButton::clicked, this, [this] {
        if (m_adding)
            return;
        guarded([this] { RecordDialogs::openPerformedDates(m_setup.scheduleCaller, currentId()); });
    });
    return btnAllPerform;
}

void RecordEditorForm::registerCheckGrid(CheckGridKind kind, CheckListGrid *grid, bool withActive)
{
    m_grids.append({kind, grid, withActive});
    // The member choir grids toggle the clicked column: the choir or its
    // Active box.
    connect(grid, &CheckListGrid::cellActivatedByUser, this,
            [grid, withActive] { ToggleGridCheck(grid, withActive ? grid->Col() : 1); });
}

// ---------------------------------------------------------------- state

qint32 RecordEditorForm::currentId() const
{
    switch (m_setup.kind) {
    case RecordKind::Collection: return m_data.CurCollection();
    case RecordKind::Anthem: return m_data.CurAnthem();
    case RecordKind::Member: return m_data.CurMember();
    }
    return 0;
}

void RecordEditorForm::setCurrentId(qint32 id)
{
    switch (m_setup.kind) {
    case RecordKind::Collection: m_data.setCurCollection(id); break;
    case RecordKind::Anthem: m_data.setCurAnthem(id); break;
    case RecordKind::Member: m_data.setCurMember(id); break;
    }
    updateRecordActions();
}

QString RecordEditorForm::letterOfRow(int row) const
{
    const bool there = row >= 0 && row < m_records.count();
    return QString(QChar(u'A' + (there ? m_records.letterAt(row) : 0)));
}

void RecordEditorForm::updateRecordActions()
{
    if (btnAllPerform)
        btnAllPerform->setEnabled(!m_adding && currentId() >= 1 && RecordDialogs::hasPerformedDatesDialog());
}

void RecordEditorForm::resetLetterState()
{
    m_data.setA_Button(qint16(kFirstLetterButton));
    m_data.setP_Button(qint16(kResetPreviousButton));
}

CheckGridHost::Grid RecordEditorForm::checkGrid(CheckGridKind kind)
{
    for (const RegisteredGrid &g : m_grids)
        if (g.kind == kind)
            return {g.grid, g.withActive};
    return {};
}

CheckGridHost::Mark RecordEditorForm::checkGridMark() const
{
    const qint32 id = currentId();
    if (id < 1)
        return {};
    return {CheckGridOwner::refillAndMark(m_setup.kind), id};
}

QList<LinkChoice> RecordEditorForm::checkedLinks() const
{
    QList<LinkChoice> out;
    for (const RegisteredGrid &g : m_grids) {
        LinkChoice c{g.kind, g.grid->checkedIds(), {}};
        if (g.withActive)
            for (int r = 1; r < g.grid->Rows(); ++r)
                if (g.grid->isChecked(r, 3))
                    c.activeIds.insert(g.grid->idAt(r));
        out << c;
    }
    return out;
}

void RecordEditorForm::markCheckGrids(qint32 id)
{
    for (const RegisteredGrid &g : m_grids)
        FillCheckGrid(g.kind, g.grid, CheckGridOwner::markOnly(m_setup.kind), id, g.withActive);
}

void RecordEditorForm::resetCheckGrids()
{
    for (const RegisteredGrid &g : m_grids) {
        ResetCheckGrid(g.grid, m_setup.resetSortColumn);
        if (g.withActive)
            for (int r = 1; r < g.grid->Rows(); ++r)
                g.grid->setCheckState(r, 3, CheckListGrid::Unchecked);
    }
}

// ---------------------------------------------------------------- changes

QHash<const QWidget *, QString> RecordEditorForm::fieldValues() const
{
    // Every field of the pages, by widget: the page shown is raised to the
    // end of the children, so their order is no field's. A list typed into
    // counts by its text box, a date field's calendar pop-up (a window of
    // its own) not at all.
    QHash<const QWidget *, QString> values;
    const QWidget *window = SSTab1->window();
    for (const QWidget *w : SSTab1->findChildren<QWidget *>()) {
        if (w->window() != window)
            continue;
        if (const auto *e = qobject_cast<const QLineEdit *>(w))
            values.insert(w, e->text());
        else if (const auto *t = qobject_cast<const QPlainTextEdit *>(w))
            values.insert(w, t->toPlainText());
        else if (const auto *r = qobject_cast<const IdListCombo *>(w))
            // By id: a record renamed elsewhere is still the one chosen.
            values.insert(w, QString::number(r->currentId()));
        else if (const auto *c = qobject_cast<const QComboBox *>(w); c && !c->isEditable())
            values.insert(w, c->currentText());
        else if (const auto *b = qobject_cast<const QAbstractButton *>(w); b && b->isCheckable())
            values.insert(w, QString::number(b->isChecked()));
    }
    return values;
}

namespace {
// The ticked columns of a grid: the links, and the Active boxes where the
// grid has them.
QList<int> tickColumns(bool withActive)
{
    return withActive ? QList<int>{1, 3} : QList<int>{1};
}

// Puts a value as fieldValues() reads it back into its field.
void putFieldValue(QWidget *w, const QString &value)
{
    if (auto *e = qobject_cast<QLineEdit *>(w))
        e->setText(value);
    else if (auto *t = qobject_cast<QPlainTextEdit *>(w))
        t->setPlainText(value);
    else if (auto *r = qobject_cast<IdListCombo *>(w))
        r->selectId(value.toInt());
    else if (auto *c = qobject_cast<QComboBox *>(w))
        c->setCurrentIndex(c->findText(value, Qt::MatchExactly));
    else if (auto *b = qobject_cast<QAbstractButton *>(w))
        b->setChecked(value == QLatin1String("1"));
}

// Where the caret stands in a text field (-1 for any other widget), and
// putting it back there.
int caretOf(QWidget *w)
{
    if (auto *c = qobject_cast<QComboBox *>(w))
        w = c->lineEdit();
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->cursorPosition();
    if (auto *t = qobject_cast<QPlainTextEdit *>(w))
        return t->textCursor().position();
    return -1;
}

void putCaret(QWidget *w, int at)
{
    if (auto *c = qobject_cast<QComboBox *>(w))
        w = c->lineEdit();
    if (auto *e = qobject_cast<QLineEdit *>(w)) {
        e->setCursorPosition(at);
    } else if (auto *t = qobject_cast<QPlainTextEdit *>(w)) {
        QTextCursor cursor = t->textCursor();
        cursor.setPosition(std::min(at, int(t->document()->characterCount()) - 1));
        t->setTextCursor(cursor);
    }
}
} // namespace

QList<QSet<qint32>> RecordEditorForm::tickValues() const
{
    QList<QSet<qint32>> ticks;
    for (const RegisteredGrid &g : m_grids)
        for (int column : tickColumns(g.withActive)) {
            QSet<qint32> ids;
            for (int r = 1; r < g.grid->Rows(); ++r)
                if (g.grid->isChecked(r, column))
                    ids.insert(g.grid->idAt(r));
            ticks << ids;
        }
    return ticks;
}

void RecordEditorForm::rememberShownValues()
{
    m_shownFields = fieldValues();
    m_shownTicks = tickValues();
}

bool RecordEditorForm::hasUnsavedChanges() const
{
    if (fieldValues() != m_shownFields)
        return true;
    // Rows compared by id: a grid refilled after its reference list changed
    // differs only by entries added (unticked) or gone, which is no change.
    int k = 0;
    for (const RegisteredGrid &g : m_grids)
        for (int column : tickColumns(g.withActive)) {
            const QSet<qint32> was = m_shownTicks.value(k++);
            for (int r = 1; r < g.grid->Rows(); ++r)
                if (g.grid->isChecked(r, column) != was.contains(g.grid->idAt(r)))
                    return true;
        }
    return false;
}

bool RecordEditorForm::askToSaveChanges()
{
    // Another window may have asked the editor to show a record, or the
    // main window to close.
    return !hasUnsavedChanges()
        || askToSave(QStringLiteral("Save the changes to this record?"), QString(), [this] { return saveClicked(); });
}

bool RecordEditorForm::replaceRecord(Cause cause, const std::function<void()> &replace)
{
    switch (cause) {
    case Cause::UserMove:
        if (!askToSaveChanges())
            return false;
        break;
    case Cause::Settled:
        break;
    case Cause::Elsewhere:
        if (m_adding || hasUnsavedChanges()) {
            refreshKeepingInput();
            return false;
        }
        break;
    }
    replace();
    return true;
}

void RecordEditorForm::refreshKeepingInput()
{
    // What was typed and ticked, taken before any list is filled again.
    const QHash<const QWidget *, QString> typed = fieldValues();
    const QList<QSet<qint32>> typedTicks = tickValues();
    const QHash<const QWidget *, QString> wasShown = m_shownFields;
    const QList<QSet<qint32>> wasTicked = m_shownTicks;
    const qint32 id = currentId();

    refreshChoiceLists();
    m_records.load(m_setup.listSql);
    if (m_adding) {
        // The letter bar and the name list follow when the add ends.
        m_listsStale = true;
        return;
    }
    rebuildLetterBar(id);

    // The record as stored now, then what the user changed put back over
    // it; the page and the place the user is typing at stay.
    QWidget *focus = QApplication::focusWidget();
    const bool focusInPages = focus && SSTab1->isAncestorOf(focus);
    const int caret = focusInPages ? caretOf(focus) : -1;
    const int page = SSTab1->currentIndex();
    // A record deleted elsewhere keeps everything shown; a save answers as
    // for any record that is gone.
    if (!showRecordFields(id))
        return;
    markCheckGrids(id);
    rememberShownValues();
    for (QWidget *w : SSTab1->findChildren<QWidget *>()) {
        const auto value = typed.constFind(w);
        if (value != typed.constEnd() && *value != wasShown.value(w))
            putFieldValue(w, *value);
    }
    int k = 0;
    for (const RegisteredGrid &g : m_grids)
        for (int column : tickColumns(g.withActive)) {
            const QSet<qint32> now = typedTicks.value(k);
            const QSet<qint32> was = wasTicked.value(k++);
            for (int r = 1; r < g.grid->Rows(); ++r) {
                const bool tick = now.contains(g.grid->idAt(r));
                if (tick != was.contains(g.grid->idAt(r)))
                    g.grid->setCheckState(r, column, tick ? CheckListGrid::Checked : CheckListGrid::Unchecked);
            }
        }
    SSTab1->setCurrentIndex(page);
    if (focusInPages) {
        focus->setFocus();
        if (caret >= 0)
            putCaret(focus, caret);
    }
}

bool RecordEditorForm::queryClose()
{
    return askToSaveChanges();
}

// ---------------------------------------------------------------- set-up

void RecordEditorForm::setupEditor()
{
    SSTab1->setCurrentIndex(0);
    openRecordList();
    for (const RegisteredGrid &g : m_grids)
        FillCheckGrid(g.kind, g.grid, CheckGridOwner::RefillOnly, 0, g.withActive);
    refreshChoiceLists();
    resetLetterState();
    m_data.setSLetterW(QStringLiteral("A"));
    replaceRecord(Cause::Settled, [this] { showFirstRecord(); });
}

void RecordEditorForm::openRecordList()
{
    m_records.load(m_setup.listSql);
    setCurrentId(0);
}

void RecordEditorForm::unloadForm()
{
    m_records.clear();
}

QString RecordEditorForm::scheduleTitle() const
{
    return nameField() ? nameField()->text() : QString();
}

bool RecordEditorForm::afterStored(const QString &stored, const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const DbError &e) {
        Cursor::reset();
        MsgBox(QStringLiteral("%1, but the editor could not be brought up to date.\n\n%2").arg(stored, e.message()),
               QStringLiteral("Database Error"), MsgButtons::Ok, MsgIcon::Critical);
    }
    return false;
}

// ---------------------------------------------------------------- showing

void RecordEditorForm::clearRecord()
{
    clearRecordFields();
    resetCheckGrids();
    rememberShownValues();
}

void RecordEditorForm::loadRecord(qint32 id)
{
    replaceRecord(Cause::Elsewhere, [this, id] {
        refreshChoiceLists();
        showRecord(id);
    });
}

void RecordEditorForm::showRecord(qint32 id)
{
    BusyCursor busy;
    bool shown = false;
    for (int attempt = 0; attempt < 2 && !shown; ++attempt) {
        if (m_records.isEmpty())
            break;
        const int row = m_records.rowOf(id);
        if (row >= 0)
            m_records.setPosition(row);
        else if (!m_records.onRecord())
            m_records.moveFirst();
        const qint32 at = m_records.currentId();
        shown = showRecordFields(at);
        if (shown) {
            setCurrentId(at);
            markCheckGrids(at);
        } else {
            // Gone from the table behind the editor's back: read the list
            // again and show the first record instead.
            openRecordList();
            id = m_records.currentId();
        }
    }
    if (!shown) {
        if (m_records.isEmpty()) {
            // The last record went behind the editor's back.
            showListedRecord(0);
            return;
        }
        clearRecord();
        setCurrentId(0);
    }
    rememberShownValues();
}

void RecordEditorForm::showFirstRecord()
{
    showListedRecord(m_records.isEmpty() ? 0 : m_records.idAt(0));
}

void RecordEditorForm::showListedRecord(qint32 id)
{
    if (m_records.isEmpty()) {
        m_nameModel->setItems({}, {});
        setCurrentId(0);
        clearRecord();
        DisableAllLetters(Toolbar2);
        SetToolbarEmptyMode(this);
        SSTab1->setEnabled(false);
        return;
    }
    if (m_records.rowOf(id) < 0)
        id = m_records.idAt(0);
    rebuildLetterBar(id);
    showRecord(id);
    SetToolbarBrowseMode(this);
    SSTab1->setEnabled(true);
}

void RecordEditorForm::rebuildLetterBar(qint32 id)
{
    markLetters();
    const int row = m_records.rowOf(id);
    if (row >= 0) {
        m_records.setPosition(row);
        LetterButtonForName(1, letterOfRow(row), Toolbar2, m_data);
    }
    QString letter = m_data.SLetterW();
    fillNameList(letter);
    MoveLetterHighlight(m_data.A_Button(), m_data.P_Button(), Toolbar2);
    chooseNameListItem(id);
}

void RecordEditorForm::chooseNameListItem(qint32 id)
{
    // A record of a run ("Psalms {2}") is listed by the run's first, an
    // earlier record of its letter.
    int item = -1;
    const int row = m_records.rowOf(id);
    for (int r = row; r >= 0 && item < 0 && m_records.letterAt(r) == m_records.letterAt(row); --r)
        item = m_nameModel->rowOfId(m_records.idAt(r));
    List_Combo->setCurrentIndex(item);
}

void RecordEditorForm::showCurrentRecord()
{
    const QString letterOfRecord = letterOfRow(m_records.position());
    if (letterOfRecord != m_data.SLetterW()) {
        LetterButtonForName(1, letterOfRecord, Toolbar2, m_data);
        QString letter = m_data.SLetterW();
        fillNameList(letter);
        MoveLetterHighlight(m_data.A_Button(), m_data.P_Button(), Toolbar2);
    }
    showRecord(m_records.currentId());
}

void RecordEditorForm::markLetters()
{
    DisableAllLetters(Toolbar2);
    for (int k = 0; k < 26; ++k)
        if (m_records.hasLetter(k))
            LetterButtonForName(0, QString(QChar(u'A' + k)), Toolbar2, m_data);
}

void RecordEditorForm::fillNameList(QString &letter)
{
    if (letter.size() != 1 || letter.at(0) < u'A' || letter.at(0) > u'Z')
        letter = QStringLiteral("A");
    const QVector<NameIndex::NameItem> items = m_records.nameList(letter.at(0).unicode() - u'A');
    QStringList texts;
    QVector<qint32> ids;
    texts.reserve(items.size());
    ids.reserve(items.size());
    for (const NameIndex::NameItem &item : items) {
        texts.append(item.text);
        ids.append(item.firstId);
    }
    m_nameModel->setItems(std::move(texts), std::move(ids));
    List_Combo->setCurrentIndex(items.isEmpty() ? -1 : 0);
}

void RecordEditorForm::enableLetterBar(bool flag)
{
    List_Combo->setEnabled(flag);
    Toolbar2->setEnabled(flag);
    update();
}

void RecordEditorForm::loadRecordById(qint32 id)
{
    if (!m_adding && id == currentId() && hasUnsavedChanges())
        return; // the record is shown, with what the user typed
    replaceRecord(Cause::UserMove, [this, id] {
        // Dropped changes of a new record end its adding.
        if (m_adding)
            cancelClicked();
        int row = m_records.rowOf(id);
        if (row < 0) {
            // Not among the records read so far: read them again once.
            openRecordList();
            resetLetterState();
            showFirstRecord();
            MoveLetterHighlight(m_data.A_Button(), m_data.P_Button(), Toolbar2);
            row = m_records.rowOf(id);
            if (row < 0)
                return;
        }
        m_records.setPosition(row);
        showCurrentRecord();
    });
}

void RecordEditorForm::reloadRecords()
{
    replaceRecord(Cause::Elsewhere, [this] {
        const qint32 shown = currentId();
        openRecordList();
        refreshChoiceLists();
        resetLetterState();
        showListedRecord(shown);
    });
}

// ---------------------------------------------------------------- saving

bool RecordEditorForm::saveRecord()
{
    const std::optional<Saved> saved = saveRecordFields(m_adding);
    if (!saved)
        return false;
    const bool added = m_adding;
    m_adding = false;
    m_listsStale = false;

    const bool shown = afterStored(QStringLiteral("The %1 has been saved").arg(m_setup.noun), [&] {
        BusyCursor busy;
        replaceRecord(Cause::Settled, [&] {
            QString letter = letterOfRow(m_records.rename(saved->id, saved->entry));
            fillNameList(letter);
            markLetters();
            m_data.setSLetterW(LetterButtonForName(-1, letter, Toolbar2, m_data));
            MoveLetterHighlight(m_data.A_Button(), m_data.P_Button(), Toolbar2);
            setCurrentId(0);
            showRecord(saved->id);
        });
        recordSaved(saved->id, added);
    });
    if (shown)
        MsgBox(m_setup.savedMessage, QStringLiteral("Confirmation"), MsgButtons::Ok, MsgIcon::Information);
    return true;
}

// ---------------------------------------------------------------- handlers

void RecordEditorForm::toolbarClicked(int index)
{
    using namespace RecordButton;
    switch (index) {
    case Add:
        replaceRecord(Cause::UserMove, [this] {
            enableLetterBar(false);
            m_adding = true;
            clearRecord();
            if (m_setup.noRecordWhileAdding)
                setCurrentId(0);
            updateRecordActions();
            SetToolbarEditMode(this);
            SSTab1->setEnabled(true);
            if (QLineEdit *name = nameField())
                name->setFocus();
        });
        break;
    case Cancel:
        cancelClicked();
        break;
    case Save:
        saveClicked();
        break;
    case Delete:
        deleteClicked();
        break;
    case First:
    case Previous:
    case Next:
    case Last:
        replaceRecord(Cause::UserMove, [this, index] {
            guarded([this, index] {
                if (index == First)
                    m_records.moveFirst();
                else if (index == Last)
                    m_records.moveLast();
                else
                    MoveRecordWrap(index == Next ? 1 : 2, m_records);
                showCurrentRecord();
            });
        });
        break;
    case Schedule:
        guarded([this] { RecordDialogs::openScheduleEntry(m_setup.scheduleCaller, currentId(), scheduleTitle()); });
        break;
    default:
        break;
    }
}

bool RecordEditorForm::saveClicked()
{
    if (!ValidateNameText(nameField()) || !saveRecord())
        return false;
    SetToolbarBrowseMode(this);
    enableLetterBar(true);
    return true;
}

void RecordEditorForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier
        && Toolbar1->isButtonVisible(RecordButton::Cancel)) {
        event->accept();
        // Unlike the button, the key asks first: it is pressed by mistake.
        if (askToSaveChanges() && m_adding)
            cancelClicked();
        return;
    }
    BaseForm::keyPressEvent(event);
}

void RecordEditorForm::cancelClicked()
{
    m_adding = false;
    replaceRecord(Cause::Settled, [this] {
        guarded([this] {
            if (m_listsStale) {
                m_listsStale = false;
                resetLetterState();
                showFirstRecord();
                MoveLetterHighlight(m_data.A_Button(), m_data.P_Button(), Toolbar2);
            } else if (m_records.onRecord()) {
                m_records.moveFirst();
                showCurrentRecord();
                SetToolbarBrowseMode(this);
            } else {
                clearRecord();
                SetToolbarEmptyMode(this);
                SSTab1->setEnabled(false);
            }
        });
    });
    updateRecordActions();
    enableLetterBar(true);
}

void RecordEditorForm::deleteClicked()
{
    if (MsgBox(m_setup.deletePrompt, QStringLiteral("Delete Warning"), MsgButtons::YesNo, MsgIcon::None)
        != MsgResult::Yes)
        return;
    BusyCursor busy;
    const qint32 gone = currentId();
    if (!guarded([&] { deleteRecordData(gone); }))
        return;
    afterStored(QStringLiteral("The %1 has been deleted").arg(m_setup.noun), [&] {
        recordDeleted(gone);
        m_records.remove(gone);
        setCurrentId(0);
        replaceRecord(Cause::Settled, [this] {
            resetLetterState();
            showFirstRecord();
            MoveLetterHighlight(m_data.A_Button(), m_data.P_Button(), Toolbar2);
        });
    });
}

void RecordEditorForm::letterClicked(int index)
{
    if (Toolbar2->buttonToolTip(index).startsWith(QLatin1Char('N')))
        return;
    // The record the letter shows: its first that begins with it, else
    // the one shown, which keeps what was typed.
    const int first = m_records.firstRowBeginningWith((index - 1) / 3);
    const bool stays = first < 0 || m_records.idAt(first) == currentId();
    const bool keepInput = stays && hasUnsavedChanges();
    replaceRecord(stays ? Cause::Settled : Cause::UserMove, [&] {
        guarded([&] {
            SetLetterFromButton(index, m_data);
            QString letter = m_data.SLetterW();
            fillNameList(letter);
            MoveLetterHighlight(m_data.A_Button(), m_data.P_Button(), Toolbar2);
            // The first record that begins with the letter; when none does
            // (A holds only names beginning with no letter), the record
            // shown stays.
            const int row = m_records.firstRowBeginningWith(letter.at(0).unicode() - u'A');
            if (row >= 0)
                setCurrentId(m_records.idAt(row));
            if (!keepInput)
                showRecord(currentId());
        });
    });
}

void RecordEditorForm::nameListClicked(int item)
{
    if (item < 0)
        return;
    const qint32 id = m_nameModel->idAt(item);
    if (id < 1 || m_records.rowOf(id) < 0 || id == currentId()) {
        // The record shown, chosen again: what was typed stays.
        if (!hasUnsavedChanges())
            replaceRecord(Cause::Settled, [this] { guarded([this] { showRecord(currentId()); }); });
        return;
    }
    const bool moved = replaceRecord(Cause::UserMove, [&] {
        guarded([&] {
            setCurrentId(id);
            showRecord(currentId());
        });
    });
    // The user stays: so does the name list, on the record shown.
    if (!moved)
        chooseNameListItem(currentId());
}
