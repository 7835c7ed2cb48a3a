#include "Prompter.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

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

std::optional<QString> Prompter::input(const QString &prompt, const QString &title,
                                       const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(), title.isEmpty() ? appTitle() : title,
                                               prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
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
