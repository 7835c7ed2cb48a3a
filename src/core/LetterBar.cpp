#include "LetterBar.h"

#include <QAbstractButton>
#include <QAction>
#include <QKeyEvent>
#include <QTimer>

LetterBar::LetterBar(QWidget *parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("Toolbar2"));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setAccessibleName(QStringLiteral("Letter bar"));
    for (int i = 1; i <= ButtonCount; ++i) {
        const QString letter = letterOfButton(i);
        auto *a = new QAction(letter, this);
        a->setObjectName(QStringLiteral("LetterButton%1").arg(i));
        a->setData(i);
        switch (roleOfButton(i)) {
        case 0:
            break;
        case 1: {
            QFont f = a->font();
            f.setBold(true);
            a->setFont(f);
            break;
        }
        default:
            a->setToolTip(i == 9 ? QStringLiteral("No Data for C") : QStringLiteral("No data for ") + letter);
            // Greyed, yet its tooltip still tells why.
            a->setEnabled(false);
            break;
        }
        addAction(a);
        m_widgets[i - 1] = widgetForAction(a);
        m_widgets[i - 1]->installEventFilter(this);
        if (roleOfButton(i) == 1) {
            if (QWidget *w = m_widgets[i - 1])
                w->setStyleSheet(QStringLiteral(
                    "QToolButton { background-color: palette(highlight); color: palette(highlighted-text);"
                    " border: 1px solid palette(dark); border-radius: 2px; }"));
        }
        // Until an editor says which letters have records, each letter
        // shows its normal button.
        a->setVisible(roleOfButton(i) == 0);
        connect(a, &QAction::triggered, this, [this, i] { emit buttonClicked(i); });
        m_buttons[i - 1] = a;
    }
    setRecordsName(QStringLiteral("Collections"));
    settleTabStop();
}

void LetterBar::setRecordsName(const QString &plural)
{
    for (int i = 1; i <= ButtonCount; ++i)
        if (roleOfButton(i) != 2)
            m_buttons[i - 1]->setToolTip(plural + QStringLiteral(" beginning with ") + letterOfButton(i));
}

QAction *LetterBar::button(int index) const
{
    return index >= 1 && index <= ButtonCount ? m_buttons[index - 1] : nullptr;
}

bool LetterBar::isButtonVisible(int index) const
{
    const QAction *a = button(index);
    return a && a->isVisible();
}

void LetterBar::setButtonVisible(int index, bool visible)
{
    QAction *a = button(index);
    if (!a)
        return;
    // Hiding the button in focus would send the focus on to the next
    // window control; the bar holds it until the letter's new look shows.
    if (!visible && m_widgets[index - 1]->hasFocus()) {
        m_focusLetter = (index - 1) / 3;
        setFocus(Qt::OtherFocusReason);
        // Should the letter show no reachable look once the bar is redone,
        // the focus goes to the Tab stop.
        QTimer::singleShot(0, this, [this] {
            m_focusLetter = -1;
            settleTabStop();
        });
    }
    a->setVisible(visible);
    settleTabStop();
}

QWidget *LetterBar::reachableButton(int letter) const
{
    for (int i = 3 * letter; i >= 0 && i < 3 * letter + 2 && i < ButtonCount; ++i)
        if (m_buttons[i]->isVisible() && m_buttons[i]->isEnabled())
            return m_widgets[i];
    return nullptr;
}

int LetterBar::letterInFocus() const
{
    for (int i = 0; i < ButtonCount; ++i)
        if (m_widgets[i]->hasFocus())
            return i / 3;
    return -1;
}

void LetterBar::settleTabStop()
{
    int stop = letterInFocus();
    if (stop < 0 && m_focusLetter >= 0 && reachableButton(m_focusLetter))
        stop = m_focusLetter;
    for (int k = 0; k < 26 && stop < 0; ++k)
        if (m_buttons[3 * k + 1]->isVisible())
            stop = k;
    for (int k = 0; k < 26 && stop < 0; ++k)
        if (reachableButton(k))
            stop = k;
    QWidget *target = stop >= 0 ? reachableButton(stop) : nullptr;
    for (QWidget *w : m_widgets)
        w->setFocusPolicy(w == target ? Qt::TabFocus : Qt::NoFocus);
    if (target && hasFocus() && (m_focusLetter < 0 || m_focusLetter == stop)) {
        m_focusLetter = -1;
        target->setFocus(Qt::OtherFocusReason);
    }
}

bool LetterBar::navigationKey(QKeyEvent *e, int fromLetter)
{
    if ((e->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    int from = fromLetter;
    int step = 0;
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        step = -1;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        step = 1;
        break;
    case Qt::Key_Home:
        from = -1;
        step = 1;
        break;
    case Qt::Key_End:
        from = 26;
        step = -1;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto *b = qobject_cast<QAbstractButton *>(fromLetter >= 0 ? reachableButton(fromLetter) : nullptr))
            b->click();
        return true;
    default:
        return false;
    }
    for (int k = from + step; k >= 0 && k < 26; k += step) {
        if (QWidget *w = reachableButton(k)) {
            m_focusLetter = -1;
            w->setFocus(Qt::OtherFocusReason);
            settleTabStop();
            break;
        }
    }
    return true;
}

bool LetterBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int letter = letterInFocus();
        if (letter >= 0 && (watched == m_widgets[3 * letter] || watched == m_widgets[3 * letter + 1]))
            if (navigationKey(static_cast<QKeyEvent *>(event), letter))
                return true;
    }
    return QToolBar::eventFilter(watched, event);
}

void LetterBar::keyPressEvent(QKeyEvent *e)
{
    if (!navigationKey(e, m_focusLetter))
        QToolBar::keyPressEvent(e);
}

QString LetterBar::buttonToolTip(int index) const
{
    const QAction *a = button(index);
    return a ? a->toolTip() : QString();
}

QString LetterBar::letterOfButton(int index)
{
    if (index < 1 || index > ButtonCount)
        return {};
    return QString(QChar(u'A' + (index - 1) / 3));
}
