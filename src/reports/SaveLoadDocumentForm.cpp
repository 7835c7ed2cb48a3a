#include "SaveLoadDocumentForm.h"

#include "Module.h"

#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

SaveLoadDocumentForm::SaveLoadDocumentForm(bool canSave, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SaveLoadDocumentForm"));
    setWindowTitle(QStringLiteral(" "));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    const char *captions[3] = {"Save current document to a read only file",
                               "Load a previuosly saved document file as new document",
                               "Load a previuosly saved document file and append to current document"};
    for (int i = 0; i < 3; ++i) {
        m_option[i] = new QRadioButton(QLatin1String(captions[i]), this);
        m_option[i]->setObjectName(QStringLiteral("Option1%1").arg(i));
        layout->addWidget(m_option[i]);
        connect(m_option[i], &QRadioButton::clicked, this, [i] { hx().DocumentAction = i; });
    }
    m_option[0]->setEnabled(canSave);
    auto *apply = new QPushButton(QStringLiteral("Apply"), this);
    apply->setObjectName(QStringLiteral("ApplyButton"));
    apply->setDefault(true);
    layout->addWidget(apply, 0, Qt::AlignRight);
    connect(apply, &QPushButton::clicked, this, &QDialog::accept);
}
