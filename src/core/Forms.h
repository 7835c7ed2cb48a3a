#pragma once
// The form dispatcher: one instance per window class, created on first use,
// shown modeless in the main window's MDI area and brought to the front.
// Subsystems register the windows they build under their form codes.

#include "LinkTables.h"

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <functional>

class CheckListGrid;
class QMdiArea;

enum FormCode {
    CollectionFormCode = 1,
    AnthemFormCode = 2,
    CollectionQDFormCode = 3,
    AnthemQDFormCode = 4,
    ScheduleViewFormCode = 5,
    ThemeFormCode = 6,
    ComposerFormCode = 7,
    OrchestrationFormCode = 8,
    VocalsFormCode = 9,
    ChoirFormCode = 10,
    VocalsMFormCode = 11,
    MemberFormCode = 12,
    MemberQDFormCode = 13,
    CityFormCode = 14,
    ZipFormCode = 15,
    SchoolFormCode = 16,
};

// A record editor that can be positioned on a record by id
// (LoadFromCollectionForm, LoadFromQDForm).
class RecordLoader {
public:
    virtual ~RecordLoader() = default;
    virtual void loadRecordById(qint32 id) = 0;
};

// A window with check-list grids (the record editors and the viewers):
// when the entries of a kind change, the reference lists refill the
// window's grid of that kind, marked as the window says.
class CheckGridHost {
public:
    virtual ~CheckGridHost() = default;

    struct Grid {
        CheckListGrid *grid = nullptr;
        // The member windows' choir grids, laid out with the Active column.
        bool withActive = false;
    };
    // The window's grid of the kind; no grid when it shows none.
    virtual Grid checkGrid(CheckGridKind kind) = 0;

    // The owner code and id a refill marks the grids with: an editor that
    // shows a record gives its kind's code and the record's id; a viewer,
    // or an editor showing none, refills unmarked (0 and 0).
    struct Mark {
        int owner = 0;
        qint32 id = 0;
    };
    virtual Mark checkGridMark() const { return {}; }
};

namespace Forms {

using Factory = std::function<QWidget *()>;

void registerForm(int code, Factory factory);
bool isRegistered(int code);

// The open window of a code, or nullptr; never creates one.
QWidget *instance(int code);
template <class T> T *find(int code) { return qobject_cast<T *>(instance(code)); }

// The window of a code, created (its load run) when it is not open yet;
// nullptr for a code without a window.
QWidget *load(int code);

// A closing window stops being the instance of its code at once, so the
// next request builds a fresh one.
void forget(QWidget *window);

// Shows a child window modeless inside the main window (or on its own when
// there is no main window, as in tests) and makes it the active window.
void showChild(QWidget *window);

void setMdiArea(QMdiArea *area);
QMdiArea *mdiArea();

} // namespace Forms

void OpenFormByCode(int code);
void OpenAnthemRecord(qint32 anthemId);
void OpenCollectionRecord(qint32 collectionId);

// Opens a document, a web address or a "mailto: " address with the
// desktop's default handler; says "error executing command!" on failure.
void ShellOpenDocument(const QString &target);
// Replaceable for tests: returns false when the target could not be opened.
void setShellOpener(std::function<bool(const QString &target)> opener);
// The address the default opener hands to the desktop for a target:
// "mailto: a@b.org" becomes mailto:a@b.org, a path a file URL; invalid
// when there is nothing to open.
QUrl shellUrlFor(const QString &target);
