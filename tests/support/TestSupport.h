#pragma once
// Shared test support: a prompter that answers message boxes, input boxes,
// file dialogs and modal dialogs from queues and records what was asked,
// a temporary program folder with a fresh database, and rows written and
// read with plain SQL.

#include "Db.h"
#include "Prompter.h"

#include <QDialog>
#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTableView>
#include <functional>
#include <memory>

struct AskedMessage {
    QString text;
    QString title;
    MsgButtons buttons;
    MsgIcon icon;
};

class TestPrompter : public Prompter {
public:
    TestPrompter();  // installs itself
    ~TestPrompter() override; // restores the default prompter

    // Answers, consumed in order. Without a queued answer a message box
    // answers Ok (or No for Yes/No and Yes/No/Cancel), an input box
    // cancels, a file dialog cancels and a modal dialog is rejected.
    QQueue<MsgResult> messageAnswers;
    QQueue<std::optional<QString>> inputAnswers;
    QQueue<QString> fileAnswers;
    QQueue<std::function<int(QDialog &)>> dialogHandlers;

    QList<AskedMessage> messages;
    QStringList inputPrompts;
    QStringList fileFilters;
    QList<FileMode> fileModes;
    QStringList dialogs; // objectName of every modal dialog shown

    QString lastMessage() const { return messages.isEmpty() ? QString() : messages.last().text; }
    void clear();

    MsgResult message(const QString &text, const QString &title, MsgButtons buttons,
                      MsgIcon icon) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override;
    QString fileName(const QString &title, const QString &filter, const QString &defaultPath,
                     FileMode mode = FileMode::Save) override;
    int execDialog(QDialog &dialog) override;
};

// A program folder in a temporary directory holding a new database, opened
// as the main connection. Closes the database when it goes.
class TempProgramFolder {
public:
    explicit TempProgramFolder(bool openDatabase = true);
    ~TempProgramFolder();
    QString path() const;
    QString file(const QString &name) const;
    bool ok() const { return m_ok; }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    bool m_ok = false;
};

// Rows written and read straight through the main connection, beside the
// program's own code.
namespace testdb {
// Runs an insert; the new row's id.
qint32 insert(const QString &sql, const Params &p = {});
// The whole number a statement reads (a count).
int count(const QString &sql, const Params &p = {});
// The first column of every row a statement reads, as text.
QStringList column(const QString &sql, const Params &p = {});
} // namespace testdb

// Creates the template beside a folder's database the way the build does.
bool writeTemplate(const QString &folder);

// What a window shows cut: the captions of its visible buttons, check
// boxes and labels that are narrower than their text needs, the hints of
// boxes too narrow for them, and the titles of visible grid columns
// narrower than their title.
QStringList cutCaptions(QWidget *window);

// Shows a window at its size, narrower and at its size again, and lists
// what a list in it shows wrongly: a column reaching past the list, a text
// of the column cut (all but longText show whole), a cut text whose
// tooltip is not the whole text, a whole one with a tooltip.
QStringList unreadableTexts(QWidget *window, QTableView *view, int column, const QString &longText);

// The name a screen reader announces for a widget.
QString accessibleName(QWidget *w);

// A double click as the system delivers it: press, release, double
// click, release.
void doubleClick(QWidget *w, const QPoint &at);
// A cell of a grid opened as the user does: a double-click, or (byKey)
// Return with the grid in focus and the cell current. addOpenWays() adds
// the two as rows of a bool column "byKey".
void openCell(QAbstractItemView *view, const QModelIndex &at, bool byKey);
void addOpenWays();

// Closes a window as the user does and deletes it at once (its unload
// work done); nothing for none.
void closeWindow(QWidget *w);

// Finds a child widget by objectName or fails the current test.
template <class T> T *child(QObject *parent, const QString &name)
{
    return parent ? parent->findChild<T *>(name) : nullptr;
}
