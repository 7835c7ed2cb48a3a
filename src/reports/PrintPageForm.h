#pragma once
// The pages of the shown report to save: all, the page shown, or a range.
// The answer is left in hx().PageRange: (0, 0) all, (p, p) the page shown,
// (from, to) a range; PageRange[0] == -1 when cancelled.

#include <QDialog>

class QLineEdit;
class QRadioButton;
class QWidget;

class PrintPageForm : public QDialog {
    Q_OBJECT
public:
    // pageCount: pages of the report; currentPage: the page shown.
    PrintPageForm(int pageCount, int currentPage, QWidget *parent = nullptr);

    void done(int result) override;
    void reject() override; // Cancel, Escape and the close box cancel

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply();
    void fromLeft();
    void toLeft();
    void updateRangeFrame();

    int m_pageCount;
    int m_currentPage;
    bool m_cancelled = false;
    QRadioButton *m_option[3] = {};
    QWidget *m_rangeFrame = nullptr;
    QLineEdit *m_from = nullptr;
    QLineEdit *m_to = nullptr;
};

// The whole number a page box's text starts with; 0 when it starts with
// none.
int leadingNumber(const QString &text);
