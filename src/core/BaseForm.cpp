#include "BaseForm.h"

#include "Forms.h"
#include "Guard.h"

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
