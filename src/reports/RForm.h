#pragma once
// The enlarged preview: a copy of the report shown in the report window,
// maximized at 100 % zoom, with a Find that walks forward through the
// text from the top of the page shown. The copy is kept in memory; the
// report window's document is not touched.

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
    // Find: the first search for a text starts at the top of the page
    // shown; a repeated one goes on after the last hit, until the user
    // turns the page. Shows the page of the hit; says so when there is none.
    void find();

protected:
    bool event(QEvent *e) override;

private:
    ReportPreview *m_preview = nullptr;
    QPushButton *m_searchButton = nullptr;
    QLineEdit *m_searchText = nullptr;
    // The text last searched for and where a repeated Find for it goes on
    // (null: from the top of the page shown).
    QString m_findText;
    ReportTextPos m_findNext;
    bool m_showingHit = false;
};
