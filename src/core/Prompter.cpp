#include "Prompter.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyle>

namespace {
Prompter g_default;
Prompter *g_current = nullptr;

QWidget *dialogParent()
{
    QWidget *w = QApplication::activeModalWidget();
    if (!w)
        w = QApplication::activeWindow();
    return w;
}
} // namespace

QString appTitle()
{
    return QStringLiteral("The Velmora");
}

MsgResult Prompter::message(const QString &text, const QString &title, MsgButtons buttons,
                            MsgIcon icon)
{
    QMessageBox box(dialogParent());
    box.setWindowTitle(title.isEmpty() ? appTitle() : title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    const int r = box.exec();
    switch (r) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    default: break;
    }
    if (buttons == MsgButtons::YesNo)
        return MsgResult::No;
    return MsgResult::Ok;
}

int titleBarWidth(const QString &title, const QWidget *window)
{
    // The window manager draws the title bar; its font is about the
    // application's, bold at most. The icon and three buttons take about a
    // title bar's height each.
    QFont f = window ? window->font() : QApplication::font();
    f.setBold(true);
    const QStyle *style = window ? window->style() : QApplication::style();
    const int bar = qMax(style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window), QFontMetrics(f).height() + 8);
    return QFontMetrics(f).horizontalAdvance(title) + 4 * bar + 24;
}

std::unique_ptr<QInputDialog> newInputDialog(const QString &prompt, const QString &title,
                                             const QString &defaultText, QWidget *parent)
{
    auto dialog = std::make_unique<QInputDialog>(parent);
    dialog->setWindowTitle(title.isEmpty() ? appTitle() : title);
    dialog->setLabelText(prompt);
    dialog->setTextValue(defaultText);
    dialog->setInputMode(QInputDialog::TextInput);
    // Wide enough for its own title, which the window manager would cut.
    // The dialog's layout decides its size, so the text box asks for the room.
    if (auto *edit = dialog->findChild<QLineEdit *>()) {
        const QMargins m = dialog->layout() ? dialog->layout()->contentsMargins() : QMargins();
        edit->setMinimumWidth(titleBarWidth(dialog->windowTitle(), dialog.get()) - m.left() - m.right());
    }
    return dialog;
}

std::optional<QString> Prompter::input(const QString &prompt, const QString &title,
                                       const QString &defaultText)
{
    const std::unique_ptr<QInputDialog> dialog = newInputDialog(prompt, title, defaultText, dialogParent());
    if (dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog->textValue();
}

QString Prompter::fileName(const QString &title, const QString &filter, const QString &defaultPath,
                           FileMode mode)
{
    const QString caption = title.isEmpty() ? appTitle() : title;
    if (mode == FileMode::Open)
        return QFileDialog::getOpenFileName(dialogParent(), caption, defaultPath, filter);
    return QFileDialog::getSaveFileName(dialogParent(), caption, defaultPath, filter);
}

int Prompter::execDialog(QDialog &dialog)
{
    return dialog.exec();
}

Prompter &prompter()
{
    return g_current ? *g_current : g_default;
}

void setPrompter(Prompter *p)
{
    g_current = p;
}

MsgResult MsgBox(const QString &text, const QString &title, MsgButtons buttons, MsgIcon icon)
{
    return prompter().message(text, title, buttons, icon);
}

std::optional<QString> InputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    return prompter().input(prompt, title, defaultText);
}
