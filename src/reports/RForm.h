#pragma once
// The enlarged preview: a copy of the report shown in the report window,
// maximized at 100 % zoom, with a Find that walks forward through the
// pages. The copy is kept in memory; the report window's document is not
// touched.

#include "ReportModel.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class ReportPreview;

class RForm : public QDialog {
    Q_OBJECT
public:
    explicit RForm(const ReportDocument &doc, QWidget *parent = nullptr);

    ReportPreview *preview() const { return m_preview; } // "VSPrinter2"
    // Find: from the page after the one shown; shows the page of the hit.
    void find();

protected:
    bool event(QEvent *e) override;

private:
    ReportPreview *m_preview = nullptr;
    QPushButton *m_searchButton = nullptr;
    QLineEdit *m_searchText = nullptr;
};
