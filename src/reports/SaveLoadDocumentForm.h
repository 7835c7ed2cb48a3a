#pragma once
// The choice of what to do with report documents: save the report shown,
// open a saved document in its place, or append one to it. The choice is
// left in hx().DocumentAction (0 save, 1 open, 2 append).

#include <QDialog>

class QRadioButton;

class SaveLoadDocumentForm : public QDialog {
    Q_OBJECT
public:
    // canSave: false when there is no report to save, so saving is not
    // offered.
    explicit SaveLoadDocumentForm(bool canSave, QWidget *parent = nullptr);

private:
    QRadioButton *m_option[3] = {};
};
