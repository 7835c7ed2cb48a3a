#include "RForm.h"

#include "Cursor.h"
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
    connect(m_searchText, &QLineEdit::returnPressed, this, &RForm::find);

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
    const int page = m_preview->find(text, m_preview->previewPage() + 1);
    if (page <= 0)
        return;
    m_preview->setPreviewPage(page);
    const QRect hit = m_preview->foundRect();
    m_preview->scrollIntoView(hit.translated(-200, -200));
}

bool RForm::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        Cursor::reset();
    return QDialog::event(e);
}
