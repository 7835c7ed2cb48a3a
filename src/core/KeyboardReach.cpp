#include "KeyboardReach.h"

#include <QApplication>
#include <QKeyEvent>
#include <QShortcut>
#include <QTabWidget>

namespace {

bool isPlain(const QKeyEvent *key)
{
    return (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

class ReturnAsDoubleClick : public QObject {
public:
    explicit ReturnAsDoubleClick(QAbstractItemView *view) : QObject(view), m_view(view)
    {
        view->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_view || event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || !isPlain(key))
            return false;
        const QModelIndex at = rowCell(m_view->currentIndex());
        if (!at.isValid())
            return false;
        emit m_view->doubleClicked(at);
        return true;
    }

private:
    QModelIndex rowCell(const QModelIndex &current) const
    {
        if (!current.isValid() || m_view->selectionBehavior() != QAbstractItemView::SelectRows
            || !current.data().toString().isEmpty())
            return current;
        const int columns = m_view->model()->columnCount(current.parent());
        for (int c = 0; c < columns; ++c) {
            const QModelIndex cell = current.siblingAtColumn(c);
            // A hidden column has no place on the screen.
            if (!cell.data().toString().isEmpty() && !m_view->visualRect(cell).isEmpty())
                return cell;
        }
        return current;
    }

    QAbstractItemView *m_view;
};

} // namespace

void returnDoesDoubleClick(QAbstractItemView *view)
{
    new ReturnAsDoubleClick(view);
}

void turnPagesByKeys(QWidget *window, QTabWidget *tabs)
{
    for (const auto &[key, step] : {std::pair(Qt::Key_PageUp, -1), std::pair(Qt::Key_PageDown, 1)}) {
        auto *turn = new QShortcut(QKeySequence(Qt::CTRL | key), window);
        turn->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(turn, &QShortcut::activated, tabs, [tabs, step = step] { turnTabPage(tabs, step); });
    }
}

void turnTabPage(QTabWidget *tabs, int step)
{
    const int n = tabs->count();
    if (!tabs->isEnabled() || n < 2)
        return;
    const int from = tabs->currentIndex();
    int i = from;
    do
        i = (i + step + n) % n;
    while (!tabs->isTabEnabled(i) && i != from);
    const QWidget *left = tabs->currentWidget();
    const bool follow = left && left->isAncestorOf(QApplication::focusWidget());
    tabs->setCurrentIndex(i);
    QWidget *page = tabs->currentWidget();
    if (follow && page)
        for (QWidget *w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain())
            if (page->isAncestorOf(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
                w->setFocus(Qt::TabFocusReason);
                break;
            }
}
