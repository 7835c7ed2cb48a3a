#include "BaseForm.h"

#include "Forms.h"
#include "Guard.h"
#include "Prompter.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

BaseForm::BaseForm(bool *loadedFlag, QWidget *parent) : QWidget(parent), m_flag(loadedFlag)
{
    if (m_flag)
        *m_flag = true;
}

BaseForm::~BaseForm()
{
    // A window destroyed without being closed still stops counting as open.
    if (!m_unloaded) {
        m_unloaded = true;
        if (m_flag)
            *m_flag = false;
        Forms::forget(this);
    }
}

bool BaseForm::agreeToClose()
{
    m_closeAgreed = m_unloaded || queryClose();
    return m_closeAgreed;
}

bool BaseForm::askToSave(const QString &question, const QString &title, const std::function<bool()> &save)
{
    // The question names no window: the one it is about comes to the
    // front (the main window may be closing them all).
    if (qobject_cast<QMdiSubWindow *>(parentWidget()))
        Forms::showChild(this);
    switch (MsgBox(question, title, MsgButtons::YesNoCancel, MsgIcon::Question)) {
    case MsgResult::Yes:
        return save();
    case MsgResult::No:
        return true;
    default:
        return false;
    }
}

void BaseForm::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded && !m_closeAgreed && !queryClose()) {
        event->ignore();
        return;
    }
    if (!m_unloaded) {
        guarded([this] { unloadForm(); });
        finishUnload();
    }
    event->accept();
    // A Close button closes the window itself; its frame in the main window
    // must go with it.
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        QMetaObject::invokeMethod(frame, &QWidget::close, Qt::QueuedConnection);
}

void BaseForm::finishUnload()
{
    m_unloaded = true;
    if (m_flag)
        *m_flag = false;
    Forms::forget(this);
}
