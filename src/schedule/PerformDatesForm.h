#pragma once
// The performed-dates dialog of an anthem or a collection: its performed
// dates in date order with who performed each, and "Modify Performed By"
// to give the selected date a choir or a free-text performer.

#include "PerformedDates.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

class PerformDatesForm : public QDialog {
    Q_OBJECT
public:
    explicit PerformDatesForm(QWidget *parent = nullptr);

    // Lists the performed dates of the anthem (isAnthem) or collection.
    // Database errors reach the caller.
    void FillPerformedDatesGrid(qint32 id, bool isAnthem);

    // "A" while the grid lists an anthem's dates, "C" a collection's.
    QString TypeT() const { return m_kind == PerformedKind::Anthem ? QStringLiteral("A") : QStringLiteral("C"); }
    QTableWidget *grid() const { return m_grid; }
    // The grid's current data row (0-based), -1 when none is current.
    int currentRow() const;

protected:
    bool event(QEvent *e) override;

private:
    void modifyClicked();

    PerformedKind m_kind = PerformedKind::Anthem;
    QTableWidget *m_grid = nullptr;
    QPushButton *m_modify = nullptr;
    QPushButton *m_close = nullptr;
};

// Shows the performed-dates dialog of a record modally (the editors'
// "View All").
void ShowPerformedDates(PerformedKind kind, qint32 id, QWidget *parent = nullptr);
