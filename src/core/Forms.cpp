#include "Forms.h"

#include "Cursor.h"
#include "Guard.h"
#include "Module.h"
#include "Prompter.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QUrl>

namespace {

struct Registry {
    QHash<int, Forms::Factory> factories;
    QHash<int, QPointer<QWidget>> instances;
    QPointer<QMdiArea> area;
};

Registry &reg()
{
    static Registry r;
    return r;
}

bool defaultOpener(const QString &target)
{
    const QUrl url = shellUrlFor(target);
    if (!url.isValid())
        return false;
    return QDesktopServices::openUrl(url);
}

std::function<bool(const QString &)> &opener()
{
    static std::function<bool(const QString &)> f = defaultOpener;
    return f;
}

} // namespace

namespace Forms {

void registerForm(int code, Factory factory)
{
    reg().factories.insert(code, std::move(factory));
}

bool isRegistered(int code)
{
    return reg().factories.contains(code);
}

QWidget *instance(int code)
{
    auto it = reg().instances.find(code);
    if (it == reg().instances.end())
        return nullptr;
    return it->data();
}

QWidget *load(int code)
{
    if (QWidget *w = instance(code))
        return w;
    auto f = reg().factories.find(code);
    if (f == reg().factories.end())
        return nullptr;
    QWidget *w = (*f)();
    if (w)
        reg().instances.insert(code, w);
    return w;
}

void forget(QWidget *window)
{
    for (auto it = reg().instances.begin(); it != reg().instances.end();) {
        if (it->data() == window || it->isNull())
            it = reg().instances.erase(it);
        else
            ++it;
    }
}

void showChild(QWidget *window)
{
    if (!window)
        return;
    QMdiArea *area = reg().area;
    if (area) {
        QMdiSubWindow *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget());
        if (!sub) {
            // A window opens at the size it was designed with, not at the
            // smallest size its layout allows; but never smaller than its
            // layout needs to show every caption whole.
            const bool sized = window->testAttribute(Qt::WA_Resized);
            const QSize designed = window->size().expandedTo(window->minimumSizeHint());
            sub = area->addSubWindow(window);
            sub->setAttribute(Qt::WA_DeleteOnClose);
            sub->setWindowIcon(window->windowIcon());
            if (sized) {
                // A window designed wider than the main window's room (a
                // long list it sized itself to) opens at the room there is.
                QSize size = designed.grownBy(sub->contentsMargins());
                if (area->isVisible())
                    size = size.boundedTo(area->viewport()->size()).expandedTo(sub->minimumSizeHint());
                sub->resize(size);
            }
        }
        const bool placed = sub->isVisible();
        sub->show();
        window->show();
        // A window the user minimized comes back when it is chosen again.
        if (sub->isMinimized())
            sub->showNormal();
        if (!placed) {
            // A new window stays inside the main window: where the area put
            // it, moved up and left as far as needed to show it whole.
            const QSize room = area->viewport()->size();
            QPoint at = sub->pos();
            at.setX(qMax(0, qMin(at.x(), room.width() - sub->width())));
            at.setY(qMax(0, qMin(at.y(), room.height() - sub->height())));
            sub->move(at);
        }
        area->setActiveSubWindow(sub);
        sub->raise();
    } else {
        window->setAttribute(Qt::WA_DeleteOnClose);
        if (window->isMinimized())
            window->showNormal();
        window->show();
        window->raise();
        window->activateWindow();
    }
}

void setMdiArea(QMdiArea *area)
{
    reg().area = area;
}

QMdiArea *mdiArea()
{
    return reg().area;
}

} // namespace Forms

void OpenFormByCode(int code)
{
    if (code < 1 || code > 16)
        return;
    BusyCursor busy;
    guarded([&] {
        QWidget *w = Forms::load(code);
        if (w)
            Forms::showChild(w);
    });
}

namespace {
void openRecord(int code, qint32 id)
{
    guarded([&] {
        QWidget *w = Forms::load(code);
        if (!w)
            return;
        if (auto *loader = dynamic_cast<RecordLoader *>(w))
            loader->loadRecordById(id);
        Forms::showChild(w);
    });
}
} // namespace

void OpenAnthemRecord(qint32 anthemId)
{
    openRecord(AnthemFormCode, anthemId);
}

void OpenCollectionRecord(qint32 collectionId)
{
    openRecord(CollectionFormCode, collectionId);
}

QUrl shellUrlFor(const QString &target)
{
    const QString t = target.trimmed();
    if (t.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive)) {
        // "mailto: " with its blank is how callers spell it; the address
        // itself must not carry the blank.
        const QString address = t.mid(7).trimmed();
        if (address.isEmpty())
            return {};
        return QUrl(QStringLiteral("mailto:") + address);
    }
    if (t.contains(QLatin1String("://")))
        return QUrl(t);
    if (t.isEmpty() || !QFileInfo::exists(t))
        return {};
    return QUrl::fromLocalFile(t);
}

void ShellOpenDocument(const QString &target)
{
    if (!opener()(target))
        MsgBox(QStringLiteral("error executing command!"), appTitle(), MsgButtons::Ok, MsgIcon::None);
}

void setShellOpener(std::function<bool(const QString &)> f)
{
    opener() = f ? std::move(f) : std::function<bool(const QString &)>(defaultOpener);
}
