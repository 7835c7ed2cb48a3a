#include "RForm.h"

#include "Cursor.h"
#include "Prompter.h"
#include "ReportPreview.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

RForm::RForm(const ReportDocument &doc, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RForm"));
    setWindowTitle(QStringLiteral("Tessaly Reports"));
    setModal(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    m_searchButton = new QPushButton(QStringLiteral("Find"), this);
    m_searchButton->setObjectName(QStringLiteral("SearchButton"));
    m_searchText = new QLineEdit(this);
    m_searchText->setObjectName(QStringLiteral("SearchText"));
    // Its caption is the Find button beside it.
    m_searchText->setAccessibleName(QStringLiteral("Text to find"));
    m_searchText->setFixedWidth(240);
    m_preview = new ReportPreview(this);
    m_preview->setObjectName(QStringLiteral("VSPrinter2"));

    // The search box keeps its size just right of the Find button while the
    // preview grows with the window.
    auto *top = new QHBoxLayout;
    top->setSpacing(4);
    top->addWidget(m_searchButton);
    top->addWidget(m_searchText);
    top->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_preview, 1);

    connect(m_searchButton, &QPushButton::clicked, this, &RForm::find);
    // Return in the search box finds once: the button is no default
    // button that the same key would click again.
    m_searchButton->setAutoDefault(false);
    connect(m_searchText, &QLineEdit::returnPressed, this, &RForm::find);
    // A page the user turns to is where the next search starts.
    connect(m_preview, &ReportPreview::pageChanged, this, [this] {
        if (!m_showingHit)
            m_findNext = ReportTextPos();
    });

    m_preview->setDocument(doc);
    m_preview->setZoom(100);
    setWindowState(windowState() | Qt::WindowMaximized);
    resize(1100, 800);
}

void RForm::find()
{
    const QString text = m_searchText->text();
    if (text.isEmpty())
        return;
    if (text != m_findText) {
        m_findText = text;
        m_findNext = ReportTextPos();
    }
    const ReportTextPos from = m_findNext.isNull() ? ReportTextPos{m_preview->previewPage(), 0, 0} : m_findNext;
    const ReportTextPos at = m_preview->find(text, from);
    if (at.isNull()) {
        // Nothing further: the page and its highlight stay, and so does
        // the place, so asking again gives the same answer.
        m_findNext = from;
        prompter().message(QStringLiteral("The text was not found."), appTitle(), MsgButtons::Ok,
                           MsgIcon::Information);
        return;
    }
    m_findNext = ReportTextPos{at.page, at.line, at.column + int(text.size())};
    m_showingHit = true;
    m_preview->setPreviewPage(at.page);
    m_showingHit = false;
    const QRect hit = m_preview->foundRect();
    m_preview->scrollIntoView(hit.translated(-200, -200));
}

bool RForm::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        Cursor::reset();
    return QDialog::event(e);
}
