#include "TestSupport.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QPointer>
#include <QHelpEvent>
#include <QTableView>
#include <QTest>
#include <QToolTip>

#include "AppPaths.h"
#include "Db.h"
#include "Schema.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>

namespace testdb {

qint32 insert(const QString &sql, const Params &p)
{
    Db::exec(sql, p);
    return qint32(Db::lastInsertId());
}

int count(const QString &sql, const Params &p)
{
    return Db::scalar(sql, p).toInt();
}

QStringList column(const QString &sql, const Params &p)
{
    QStringList out;
    QSqlQuery q = Db::query(sql, p);
    while (q.next())
        out << q.value(0).toString();
    return out;
}

} // namespace testdb

TestPrompter::TestPrompter()
{
    setPrompter(this);
}

TestPrompter::~TestPrompter()
{
    setPrompter(nullptr);
}

void TestPrompter::clear()
{
    messageAnswers.clear();
    inputAnswers.clear();
    fileAnswers.clear();
    dialogHandlers.clear();
    messages.clear();
    inputPrompts.clear();
    fileFilters.clear();
    fileModes.clear();
    dialogs.clear();
}

MsgResult TestPrompter::message(const QString &text, const QString &title, MsgButtons buttons,
                                MsgIcon icon)
{
    messages.append({text, title, buttons, icon});
    if (!messageAnswers.isEmpty())
        return messageAnswers.dequeue();
    return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgResult::No : MsgResult::Ok;
}

std::optional<QString> TestPrompter::input(const QString &prompt, const QString &, const QString &)
{
    inputPrompts << prompt;
    if (!inputAnswers.isEmpty())
        return inputAnswers.dequeue();
    return std::nullopt;
}

QString TestPrompter::fileName(const QString &, const QString &filter, const QString &, FileMode mode)
{
    fileFilters << filter;
    fileModes << mode;
    if (!fileAnswers.isEmpty())
        return fileAnswers.dequeue();
    return {};
}

int TestPrompter::execDialog(QDialog &dialog)
{
    dialogs << dialog.objectName();
    if (!dialogHandlers.isEmpty())
        return dialogHandlers.dequeue()(dialog);
    dialog.reject();
    return QDialog::Rejected;
}

TempProgramFolder::TempProgramFolder(bool openDatabase) : m_dir(std::make_unique<QTemporaryDir>())
{
    if (!m_dir->isValid())
        return;
    AppPaths::setProgramFolder(m_dir->path());
    QString error;
    const QString db = m_dir->filePath(QLatin1String(AppPaths::DatabaseFile));
    if (!Schema::createDatabaseFile(db, &error)) {
        qWarning("could not create the test database: %s", qPrintable(error));
        return;
    }
    if (openDatabase && !Db::open(db, &error)) {
        qWarning("could not open the test database: %s", qPrintable(error));
        return;
    }
    m_ok = true;
}

TempProgramFolder::~TempProgramFolder()
{
    Db::close();
    AppPaths::setProgramFolder(QString());
}

QString TempProgramFolder::path() const
{
    return m_dir->path();
}

QString TempProgramFolder::file(const QString &name) const
{
    return m_dir->filePath(name);
}

bool writeTemplate(const QString &folder)
{
    const QString path = QDir(folder).filePath(QLatin1String(AppPaths::TemplateFile));
    QFile::remove(path);
    QString error;
    return Schema::createDatabaseFile(path, &error);
}

QStringList cutCaptions(QWidget *window)
{
    QStringList cut;
    if (!window)
        return cut;
    const auto buttons = window->findChildren<QAbstractButton *>();
    for (QAbstractButton *b : buttons) {
        if (b->isVisibleTo(window) && !b->text().isEmpty() && b->width() < b->sizeHint().width())
            cut << b->text();
    }
    const auto labels = window->findChildren<QLabel *>();
    for (QLabel *l : labels) {
        if (l->isVisibleTo(window) && !l->text().isEmpty() && !l->wordWrap() && l->width() < l->sizeHint().width())
            cut << l->text();
    }
    // A box's hint of what to type ("mm/dd/yyyy") whole, inside its frame
    // and the 2 pixels either side of its text.
    for (QLineEdit *e : window->findChildren<QLineEdit *>()) {
        QStyleOptionFrame frame;
        frame.initFrom(e);
        frame.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, e);
        const int room = e->style()->subElementRect(QStyle::SE_LineEditContents, &frame, e).width() - 4;
        if (e->isVisibleTo(window) && !e->placeholderText().isEmpty()
            && room < e->fontMetrics().horizontalAdvance(e->placeholderText()))
            cut << e->placeholderText();
    }
    const auto views = window->findChildren<QTableView *>();
    for (QTableView *v : views) {
        QHeaderView *h = v->horizontalHeader();
        if (!v->isVisibleTo(window) || !h || h->isHidden() || !v->model())
            continue;
        for (int c = 0; c < h->count(); ++c) {
            const QString title = v->model()->headerData(c, Qt::Horizontal).toString();
            if (!h->isSectionHidden(c) && !title.isEmpty() && h->sectionSize(c) < h->sectionSizeHint(c))
                cut << title;
        }
    }
    return cut;
}

QStringList unreadableTexts(QWidget *window, QTableView *view, int column, const QString &longText)
{
    QStringList wrong;
    const QSize size = window->size();
    for (const QSize at : {size, size - QSize(80, 0), size}) {
        window->resize(at);
        QApplication::processEvents();
        for (int c = 0; c < view->model()->columnCount(); ++c)
            if (!view->isColumnHidden(c) && view->columnViewportPosition(c) + view->columnWidth(c) > view->viewport()->width())
                wrong << QStringLiteral("column %1").arg(c);
        for (int r = 0; r < view->model()->rowCount(); ++r) {
            const QModelIndex index = view->model()->index(r, column);
            const bool cut = view->sizeHintForIndex(index).width() + (view->showGrid() ? 1 : 0) > view->columnWidth(column);
            // A tip lingers after hideText(): put away at once.
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->inherits("QTipLabel"))
                    w->hide();
            const QPoint p = view->visualRect(index).center();
            QHelpEvent e(QEvent::ToolTip, p, view->viewport()->mapToGlobal(p));
            QApplication::sendEvent(view->viewport(), &e);
            const QString tip = QToolTip::isVisible() ? QToolTip::text() : QString();
            if (cut != (index.data() == longText) || tip != (cut ? longText : QString()))
                wrong << index.data().toString();
        }
    }
    return wrong;
}

void doubleClick(QWidget *w, const QPoint &at)
{
    QTest::mousePress(w, Qt::LeftButton, {}, at);
    QTest::mouseRelease(w, Qt::LeftButton, {}, at);
    QTest::mouseDClick(w, Qt::LeftButton, {}, at);
    QTest::mouseRelease(w, Qt::LeftButton, {}, at);
}

void openCell(QAbstractItemView *view, const QModelIndex &at, bool byKey)
{
    view->scrollTo(at);
    if (!byKey)
        return doubleClick(view->viewport(), view->visualRect(at).center());
    view->setFocus();
    view->setCurrentIndex(at);
    QTest::keyClick(view, Qt::Key_Return);
}

void addOpenWays()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("double-click") << false;
    QTest::newRow("Return") << true;
}

void closeWindow(QWidget *w)
{
    if (!w)
        return;
    QPointer<QWidget> p(w);
    w->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete p.data();
}

QString accessibleName(QWidget *w)
{
    QAccessibleInterface *iface = w ? QAccessible::queryAccessibleInterface(w) : nullptr;
    return iface ? iface->text(QAccessible::Name) : QString();
}
