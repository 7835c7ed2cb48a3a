#include "RecordToolbar.h"

#include <QAction>

RecordToolbar::RecordToolbar(QWidget *parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("Toolbar1"));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    // Working captions until the editor sets its own.
    static const char *const captions[ButtonCount] = {"Add", "Cancel", "Save", "Delete", "First",
                                                      "Previous", "Next", "Last", "", "Schedule"};
    for (int i = 1; i <= ButtonCount; ++i) {
        QAction *a = nullptr;
        if (i == Separator) {
            a = addSeparator();
        } else {
            a = addAction(QString::fromLatin1(captions[i - 1]));
            connect(a, &QAction::triggered, this, [this, i] { emit buttonClicked(i); });
            // A toolbar keeps its buttons out of the Tab order; the record
            // buttons belong in it, so a keyboard user can add, save and
            // move (Space presses the one in focus). A click still leaves
            // the focus in the field being typed.
            if (QWidget *w = widgetForAction(a))
                w->setFocusPolicy(Qt::TabFocus);
        }
        a->setObjectName(QStringLiteral("RecordButton%1").arg(i));
        a->setData(i);
        m_buttons[i - 1] = a;
    }
}

QAction *RecordToolbar::button(int index) const
{
    return index >= 1 && index <= ButtonCount ? m_buttons[index - 1] : nullptr;
}

bool RecordToolbar::isButtonVisible(int index) const
{
    const QAction *a = button(index);
    return a && a->isVisible();
}

void RecordToolbar::setButtonVisible(int index, bool visible)
{
    if (QAction *a = button(index))
        a->setVisible(visible);
}

void RecordToolbar::removeButton(int index)
{
    if (QAction *a = button(index)) {
        removeAction(a);
        m_buttons[index - 1] = nullptr;
        a->deleteLater();
    }
}
