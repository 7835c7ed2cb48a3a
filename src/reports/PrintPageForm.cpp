#include "PrintPageForm.h"

#include "Module.h"
#include "Prompter.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

int leadingNumber(const QString &text)
{
    const QString t = text.trimmed();
    int i = 0;
    while (i < t.size() && t.at(i).isDigit() && i < 9)
        ++i;
    return i == 0 ? 0 : t.left(i).toInt();
}

PrintPageForm::PrintPageForm(int pageCount, int currentPage, QWidget *parent)
    : QDialog(parent), m_pageCount(qMax(1, pageCount)), m_currentPage(qMax(1, currentPage))
{
    setObjectName(QStringLiteral("PrintPageForm"));
    setWindowTitle(QStringLiteral(" "));
    setModal(true);
    hx().PageRange[0] = 0;
    hx().PageRange[1] = 0;

    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("Select Print Range"), this);
    title->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(title);
    const char *captions[3] = {"All", "Current Page", "Page Range"};
    for (int i = 0; i < 3; ++i) {
        m_option[i] = new QRadioButton(QLatin1String(captions[i]), this);
        m_option[i]->setObjectName(QStringLiteral("PageOption%1").arg(i));
        layout->addWidget(m_option[i]);
        connect(m_option[i], &QRadioButton::clicked, this, &PrintPageForm::updateRangeFrame);
    }
    m_option[0]->setChecked(true);

    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("RangeFrame"));
    auto *grid = new QGridLayout(frame);
    auto *fromLabel = new QLabel(QStringLiteral("From Page"), frame);
    auto *toLabel = new QLabel(QStringLiteral("To Page"), frame);
    m_from = new QLineEdit(QStringLiteral("1"), frame);
    m_from->setObjectName(QStringLiteral("FromPage"));
    m_to = new QLineEdit(QString::number(pageCount), frame);
    m_to->setObjectName(QStringLiteral("ToPage"));
    fromLabel->setBuddy(m_from);
    toLabel->setBuddy(m_to);
    m_from->installEventFilter(this);
    m_to->installEventFilter(this);
    grid->addWidget(fromLabel, 0, 0);
    grid->addWidget(m_from, 0, 1);
    grid->addWidget(toLabel, 1, 0);
    grid->addWidget(m_to, 1, 1);
    m_rangeFrame = frame;
    layout->addWidget(frame);
    frame->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    auto *apply = new QPushButton(QStringLiteral("Apply"), this);
    apply->setObjectName(QStringLiteral("ApplyButton"));
    apply->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    buttons->addStretch(1);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(apply, &QPushButton::clicked, this, &PrintPageForm::apply);
    connect(cancel, &QPushButton::clicked, this, &PrintPageForm::reject);
}

void PrintPageForm::updateRangeFrame()
{
    m_rangeFrame->setEnabled(m_option[2]->isChecked());
}

bool PrintPageForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_from || watched == m_to) {
        auto *edit = static_cast<QLineEdit *>(watched);
        if (event->type() == QEvent::FocusIn) {
            // Queued, so the click that gave the focus does not undo it.
            QMetaObject::invokeMethod(edit, &QLineEdit::selectAll, Qt::QueuedConnection);
        } else if (event->type() == QEvent::FocusOut) {
            if (watched == m_from)
                fromLeft();
            else
                toLeft();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PrintPageForm::fromLeft()
{
    int v = leadingNumber(m_from->text());
    if (v < 1)
        v = 1;
    if (v > m_pageCount)
        v = m_pageCount;
    m_from->setText(QString::number(v));
}

void PrintPageForm::toLeft()
{
    int v = leadingNumber(m_to->text());
    if (v < 1)
        v = 1;
    if (v > m_pageCount)
        v = m_pageCount;
    m_to->setText(QString::number(v));
    if (leadingNumber(m_from->text()) > v)
        m_to->setText(m_from->text());
}

void PrintPageForm::apply()
{
    if (m_option[2]->isChecked() && leadingNumber(m_to->text()) < leadingNumber(m_from->text())) {
        MsgBox(QStringLiteral("Page setting error .... Check the page range settings."), QString(), MsgButtons::Ok,
               MsgIcon::None);
        return;
    }
    accept();
}

void PrintPageForm::reject()
{
    m_cancelled = true;
    QDialog::reject();
}

void PrintPageForm::done(int result)
{
    if (m_cancelled || result != QDialog::Accepted) {
        hx().PageRange[0] = -1;
        hx().PageRange[1] = 0;
    } else if (m_option[1]->isChecked()) {
        hx().PageRange[0] = m_currentPage;
        hx().PageRange[1] = m_currentPage;
    } else if (m_option[2]->isChecked()) {
        // Read soundly whatever the boxes hold: their leading numbers,
        // within the pages there are.
        const int from = qBound(1, leadingNumber(m_from->text()), m_pageCount);
        const int to = qBound(from, leadingNumber(m_to->text()), m_pageCount);
        hx().PageRange[0] = from;
        hx().PageRange[1] = to;
    } else {
        hx().PageRange[0] = 0;
        hx().PageRange[1] = 0;
    }
    QDialog::done(result);
}
