#pragma once
// Every message box, input box, file dialog and modal dialog of the program
// goes through the current Prompter, so tests can answer them. The default
// one shows real Qt dialogs.

#include <QString>
#include <memory>
#include <optional>

class QDialog;
class QInputDialog;
class QWidget;

enum class MsgButtons { Ok, YesNo, OkCancel, YesNoCancel };
enum class MsgIcon { None, Information, Exclamation, Critical, Question };
enum class MsgResult { Ok, Cancel, Yes, No };
// A file dialog names a file to write (asking before one is replaced) or
// chooses an existing file to read.
enum class FileMode { Save, Open };

class Prompter {
public:
    virtual ~Prompter() = default;

    // An empty title shows the application's title.
    virtual MsgResult message(const QString &text, const QString &title,
                              MsgButtons buttons, MsgIcon icon);
    // std::nullopt when the user cancels.
    virtual std::optional<QString> input(const QString &prompt, const QString &title,
                                         const QString &defaultText);
    // A file name to write or read; "" when cancelled. filter is in Qt's
    // syntax ("HTML Files (*.htm *.html)"); defaultPath may be empty.
    // In Save mode it asks before an existing file is overwritten.
    virtual QString fileName(const QString &title, const QString &filter,
                             const QString &defaultPath, FileMode mode = FileMode::Save);
    // Shows a modal dialog and returns QDialog::exec()'s result.
    virtual int execDialog(QDialog &dialog);
};

Prompter &prompter();
// Installs a prompter (nullptr restores the default); the caller keeps ownership.
void setPrompter(Prompter *p);

// The application's title, shown on boxes without one of their own.
QString appTitle();

// The width a window needs for its title bar to show the title whole.
int titleBarWidth(const QString &title, const QWidget *window = nullptr);
// The input box the default prompter shows: at least as wide as its title
// needs.
std::unique_ptr<QInputDialog> newInputDialog(const QString &prompt, const QString &title,
                                             const QString &defaultText, QWidget *parent = nullptr);

// Shorthands.
MsgResult MsgBox(const QString &text, const QString &title = QString(),
                 MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None);
std::optional<QString> InputBox(const QString &prompt, const QString &title,
                                const QString &defaultText = QString());
