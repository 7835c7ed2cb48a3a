#include "ListRefresh.h"

#include "CheckListGrid.h"
#include "Cursor.h"
#include "Db.h"
#include "Fmt.h"
#include "Forms.h"
#include "Guard.h"
#include "Module.h"
#include "Prompter.h"
#include "RecordEditorForm.h"
#include "RefKinds.h"
#include "RefListForm.h"

#include <QHash>
#include <QSet>

namespace {

// The windows that may show check-list grids, in refresh order: each
// tells through CheckGridHost which grid of a kind it shows and how it is
// marked.
struct GridWindow {
    int code;
    bool HXMainModule::*flag;
};

const GridWindow kGridWindows[] = {
    {CollectionFormCode, &HXMainModule::CollectionFormLoaded},
    {AnthemFormCode, &HXMainModule::AnthemFormLoaded},
    {MemberFormCode, &HXMainModule::MemberFormLoaded},
    {CollectionQDFormCode, &HXMainModule::CollectionQDFormLoaded},
    {AnthemQDFormCode, &HXMainModule::AnthemQDFormLoaded},
    {MemberQDFormCode, &HXMainModule::MemberQDFormLoaded},
};

// Refills one grid and puts back the ticks the user had set (and the
// "Active" boxes of a member choir grid): they are not saved yet.
void refillKeepingTicks(CheckListGrid *grid, CheckGridKind kind, int owner, qint32 id, bool withActive)
{
    const QSet<qint32> ticked = grid->checkedIdSet();
    const bool keepActive = withActive && grid->hasActiveColumn();
    QSet<qint32> active;
    if (keepActive) {
        for (int r = 1; r < grid->Rows(); ++r)
            if (grid->isChecked(r, 3))
                active.insert(grid->idAt(r));
    }
    FillCheckGrid(kind, grid, owner, id, withActive);
    grid->setCheckedIds(ticked);
    if (keepActive) {
        for (int r = 1; r < grid->Rows(); ++r)
            grid->setCheckState(r, 3,
                                active.contains(grid->idAt(r)) ? CheckListGrid::Checked : CheckListGrid::Unchecked);
    }
}

void refreshGridWindows(CheckGridKind kind)
{
    for (const GridWindow &gw : kGridWindows) {
        if (!(hx().*gw.flag))
            continue;
        auto *host = dynamic_cast<CheckGridHost *>(Forms::instance(gw.code));
        if (!host)
            continue;
        const CheckGridHost::Grid g = host->checkGrid(kind);
        if (!g.grid)
            continue;
        // An editor is marked with the record it shows; with none (or a
        // viewer) the grid is refilled unmarked.
        const CheckGridHost::Mark mark = host->checkGridMark();
        refillKeepingTicks(g.grid, kind, mark.owner, mark.id, g.withActive);
    }
}

} // namespace

// A failed refresh happens after the change itself was stored: say so
// rather than claim nothing was saved.
void RefreshAfterSavedChange(const std::function<void()> &work)
{
    try {
        work();
    } catch (const DbError &e) {
        Cursor::reset();
        MsgBox(QStringLiteral("The change was saved, but the open lists could not be brought up to date.\n\n%1")
                   .arg(e.message()),
               QStringLiteral("Database Error"), MsgButtons::Ok, MsgIcon::Critical);
    }
}

namespace {

template <class Form> Form *openList(int code, bool flag)
{
    return flag ? Forms::find<Form>(code) : nullptr;
}

struct Adder {
    RefKindId kind;
    const char *prompt;
    const char *title;
    const char *duplicate;
    void (*refresh)();
};

bool addNew(const Adder &a)
{
    const std::optional<QString> answer = InputBox(QLatin1String(a.prompt), QLatin1String(a.title), QString());
    if (!answer || answer->isEmpty())
        return false;
    const RefKind &kind = refKind(a.kind);
    // Stored as typed, cut to the list's width; looked up trimmed.
    const QString text = Fmt::cut(*answer, kind.nameWidth);
    if (text.trimmed().isEmpty()) {
        MsgBox(QStringLiteral("The system requires that a name be entered."));
        return false;
    }
    bool stored = false;
    guarded([&] {
        if (RefData::nameExists(kind, text)) {
            MsgBox(QLatin1String(a.duplicate), QString(), MsgButtons::Ok, MsgIcon::Exclamation);
            return;
        }
        BusyCursor busy;
        Db::exec(QStringLiteral("insert into %1 (%2, %3) values (?, ?)")
                     .arg(QLatin1String(kind.table), QLatin1String(kind.nameColumn),
                          Db::keyColumn(QLatin1String(kind.table), QLatin1String(kind.nameColumn))),
                 {text, Db::nameKey(text)});
        stored = true;
    });
    if (stored) {
        BusyCursor busy;
        a.refresh();
    }
    return stored;
}

} // namespace

bool AddNewVocalization()
{
    return addNew({RefKindId::Vocals, "Enter the new vocaliztion (up to 20 characters)", "New Vocalization",
                   "The new vocaliztion already exists", RefreshVocalsLists});
}

bool AddNewComposer()
{
    return addNew({RefKindId::Composer, "Enter the new composer/arranger (up to 100 characters)",
                   "New Composer/Arranger", "The new composer/arranger already exists", RefreshComposerLists});
}

bool AddNewTheme()
{
    return addNew({RefKindId::Theme, "Enter the new theme (up to 30 characters)", "New Theme",
                   "The new theme already exists", RefreshThemeLists});
}

bool AddNewOrchestration()
{
    return addNew({RefKindId::Orchestration, "Enter the new orchestration (up to 100 characters)",
                   "New Orchestration", "The new orchestration already exists", RefreshOrchestrationLists});
}

void RefreshVocalsLists()
{
    BusyCursor busy;
    RefreshAfterSavedChange([] {
        if (auto *f = openList<VocalsForm>(VocalsFormCode, hx().VocalsFormLoaded))
            f->FillVocalsGrid(true);
        refreshGridWindows(CheckGridKind::Vocals);
    });
}

void RefreshComposerLists()
{
    BusyCursor busy;
    RefreshAfterSavedChange([] {
        if (auto *f = openList<ComposerForm>(ComposerFormCode, hx().ComposerFormLoaded))
            f->FillComposerGrid(true);
        refreshGridWindows(CheckGridKind::Composers);
    });
}

void RefreshThemeLists()
{
    RefreshAfterSavedChange([] {
        if (auto *f = openList<ThemeForm>(ThemeFormCode, hx().ThemeFormLoaded))
            f->FillThemeGrid(true);
        refreshGridWindows(CheckGridKind::Themes);
    });
}

void RefreshOrchestrationLists()
{
    BusyCursor busy;
    RefreshAfterSavedChange([] {
        if (auto *f = openList<OrchestrationForm>(OrchestrationFormCode, hx().OrchestrationFormLoaded))
            f->FillOrchestrationGrid(true);
        refreshGridWindows(CheckGridKind::Orchestration);
    });
}

void RefreshChoirLists()
{
    BusyCursor busy;
    RefreshAfterSavedChange([] {
        if (auto *f = Forms::find<ChoirForm>(ChoirFormCode))
            f->fillGrid(true);
        refreshGridWindows(CheckGridKind::Choirs);
    });
}

void RefreshAddressLists()
{
    BusyCursor busy;
    RefreshAfterSavedChange([] {
        if (!hx().MemberFormLoaded)
            return;
        if (auto *editor = qobject_cast<RecordEditorForm *>(Forms::instance(MemberFormCode)))
            editor->loadRecord(editor->currentId());
    });
}

void ReloadSectionLists()
{
    BusyCursor busy;
    RefreshAfterSavedChange([] {
        if (auto *f = Forms::find<VocalsMForm>(VocalsMFormCode))
            f->fillGrid(true);
        refreshGridWindows(CheckGridKind::Sections);
    });
}
