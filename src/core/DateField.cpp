#include "DateField.h"

#include "Fmt.h"
#include "Prompter.h"

#include <QCalendarWidget>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// The room a line edit keeps between its frame and its text on each side.
constexpr int kLineEditMargin = 2;

QDate parseInRange(const QString &text)
{
    const std::optional<QDate> d = Fmt::parseMdy(text);
    if (!d || *d < DateField::minimumDate() || *d > DateField::maximumDate())
        return {};
    return *d;
}
} // namespace

DateField::DateField(QWidget *parent) : QWidget(parent)
{
    auto *lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(1);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("DateText"));
    m_edit->setPlaceholderText(QStringLiteral("mm/dd/yyyy"));
    m_edit->setMaxLength(20);
    // However narrow its window is made, the box shows a whole date, and
    // the form it wants.
    const QFontMetrics fm = m_edit->fontMetrics();
    const int text =
        qMax(fm.horizontalAdvance(m_edit->placeholderText()), fm.horizontalAdvance(QStringLiteral("00/00/0000")));
    const QMargins margins = m_edit->textMargins();
    m_edit->setMinimumWidth(text + margins.left() + margins.right() + 2 * kLineEditMargin
                            + 2 * m_edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 1);
    m_edit->installEventFilter(this);
    m_button = new QToolButton(this);
    m_button->setObjectName(QStringLiteral("DateButton"));
    m_button->setArrowType(Qt::DownArrow);
    m_button->setToolTip(QStringLiteral("Choose a date"));
    m_button->setAccessibleName(QStringLiteral("Choose a date"));
    m_button->setFocusPolicy(Qt::NoFocus);
    lay->addWidget(m_edit, 1);
    lay->addWidget(m_button);
    setFocusProxy(m_edit);

    connect(m_edit, &QLineEdit::textEdited, this, &DateField::userChanged);
    connect(m_edit, &QLineEdit::editingFinished, this, &DateField::finishEditing);
    connect(m_button, &QToolButton::clicked, this, &DateField::showCalendar);
}

void DateField::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A caption made the buddy of the field names its text box too, which
    // is where the focus goes.
    if (m_edit->accessibleName().isEmpty() && parentWidget()) {
        const auto labels = parentWidget()->findChildren<QLabel *>();
        for (const QLabel *l : labels) {
            if (l->buddy() == this) {
                m_edit->setAccessibleName(QString(l->text()).remove(QLatin1Char('&')).trimmed());
                break;
            }
        }
    }
}

QCalendarWidget *DateField::calendar()
{
    // Built on first use: a window with several date fields opens faster.
    if (!m_calendar) {
        m_popup = new QFrame(this, Qt::Popup);
        m_popup->setObjectName(QStringLiteral("DatePopup"));
        m_popup->setFrameShape(QFrame::StyledPanel);
        auto *pl = new QVBoxLayout(m_popup);
        pl->setContentsMargins(0, 0, 0, 0);
        m_calendar = new QCalendarWidget(m_popup);
        m_calendar->setObjectName(QStringLiteral("DateCalendar"));
        m_calendar->setDateRange(minimumDate(), maximumDate());
        pl->addWidget(m_calendar);
        connect(m_calendar, &QCalendarWidget::clicked, this, &DateField::pick);
        connect(m_calendar, &QCalendarWidget::activated, this, &DateField::pick);
    }
    return m_calendar;
}

QString DateField::text() const
{
    return m_edit->text();
}

void DateField::setText(const QString &text)
{
    const QDate d = parseInRange(text);
    m_edit->setText(d.isValid() ? Fmt::mdy(d) : text);
}

QDate DateField::date() const
{
    return parseInRange(m_edit->text());
}

void DateField::setDate(const QDate &date)
{
    m_edit->setText(date.isValid() && date >= minimumDate() && date <= maximumDate() ? Fmt::mdy(date)
                                                                                     : QString());
}

bool DateField::isEmpty() const
{
    return m_edit->text().trimmed().isEmpty();
}

void DateField::clear()
{
    m_edit->clear();
}

bool DateField::hasValidDate() const
{
    return date().isValid();
}

QString DateField::refusalMessage(const QString &text)
{
    return QStringLiteral("\"%1\" is not a date.\nPlease type the date as mm/dd/yyyy, "
                          "or leave the field empty for no date.")
        .arg(text.trimmed());
}

bool DateField::acceptInput()
{
    if (isEmpty()) {
        if (!m_edit->text().isEmpty())
            m_edit->clear();
        return true;
    }
    const QDate d = date();
    if (d.isValid()) {
        if (m_edit->text() != Fmt::mdy(d))
            m_edit->setText(Fmt::mdy(d));
        return true;
    }
    // The message box takes the focus, which finishes the edit again:
    // one refusal at a time.
    if (m_refusing)
        return false;
    m_refusing = true;
    MsgBox(refusalMessage(m_edit->text()), QString(), MsgButtons::Ok, MsgIcon::Exclamation);
    m_refusing = false;
    m_edit->setFocus();
    m_edit->selectAll();
    return false;
}

void DateField::finishEditing()
{
    if (!m_checkOnFinish)
        return;
    // Opening the calendar takes the focus away; the user is choosing a
    // date, not leaving the field.
    if (isCalendarShown())
        return;
    acceptInput();
}

bool DateField::isCalendarShown() const
{
    return m_popup && m_popup->isVisible();
}

void DateField::showCalendar()
{
    const QDate d = date();
    calendar()->setSelectedDate(d.isValid() ? d : QDate::currentDate());
    m_popup->adjustSize();
    m_popup->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
    m_calendar->setFocus();
}

void DateField::pick(const QDate &date)
{
    if (m_popup)
        m_popup->hide();
    setDate(date);
    m_edit->setFocus();
    emit userChanged();
}

bool DateField::eventFilter(QObject *watched, QEvent *event)
{
    // F4 or Alt+Down opens the calendar, as on a drop-down list.
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_F4 || (k->key() == Qt::Key_Down && (k->modifiers() & Qt::AltModifier))) {
            showCalendar();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
