#pragma once
// A date field that can be empty: a text box showing "mm/dd/yyyy" and a
// button with a calendar pop-up. An empty field means no date. Text that
// is not a date is refused with a message when the user finishes editing
// (Enter or leaving the field), and the field keeps the focus so the user
// can correct it (unless its owner checks the date itself, see
// setCheckOnFinish).

#include <QDate>
#include <QWidget>

class QCalendarWidget;
class QFrame;
class QLineEdit;
class QToolButton;

class DateField : public QWidget {
    Q_OBJECT
public:
    explicit DateField(QWidget *parent = nullptr);

    static QDate minimumDate() { return QDate(100, 1, 1); }
    static QDate maximumDate() { return QDate(9999, 12, 31); }

    // The text as shown: "MM/dd/yyyy" for a date, "" for none, or what the
    // user typed while it is not (yet) a date.
    QString text() const;
    // Shows a date given in month/day/year form as "MM/dd/yyyy"; any other
    // text is shown as it is (and reads back as no valid date).
    void setText(const QString &text);
    // The date shown; invalid when the field is empty or holds no date.
    QDate date() const;
    // An invalid date empties the field.
    void setDate(const QDate &date);
    bool isEmpty() const;
    void clear();
    bool hasValidDate() const;

    // Checks the text the way finishing an edit does: true for an empty
    // field or a date (shown in "MM/dd/yyyy" afterwards); otherwise shows
    // the refusal message, puts the focus back and returns false. Savers
    // call it before reading date(), so a mistyped date is never dropped
    // silently.
    bool acceptInput();
    // The message shown for text that is not a date.
    static QString refusalMessage(const QString &text);

    // A dialog that checks the date itself when its button is pressed
    // turns the field's own check off: finishing an edit then leaves the
    // text as typed and shows nothing, so the dialog's message is the only
    // one. acceptInput() still checks when called.
    void setCheckOnFinish(bool on) { m_checkOnFinish = on; }
    bool checksOnFinish() const { return m_checkOnFinish; }

    QLineEdit *lineEdit() const { return m_edit; }
    QToolButton *calendarButton() const { return m_button; }
    // The pop-up's calendar (created on first use, shown on demand).
    QCalendarWidget *calendar();
    bool isCalendarShown() const;
    void showCalendar();

signals:
    // The user typed in the field or picked a date from the calendar.
    void userChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void finishEditing();
    void pick(const QDate &date);

    QLineEdit *m_edit = nullptr;
    QToolButton *m_button = nullptr;
    QFrame *m_popup = nullptr;
    QCalendarWidget *m_calendar = nullptr;
    bool m_refusing = false;
    bool m_checkOnFinish = true;
};
