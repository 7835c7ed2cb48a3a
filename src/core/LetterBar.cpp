#include "LetterBar.h"

#include <QAction>
#include <QToolButton>

LetterBar::LetterBar(QWidget *parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("Toolbar2"));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
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
        if (roleOfButton(i) == 1) {
            if (QWidget *w = widgetForAction(a))
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
    if (QAction *a = button(index))
        a->setVisible(visible);
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
