#pragma once
// The schedule viewer (form code 5): the schedule of one choir at a time,
// a heading row per service (date, AM/PM and the service's notes) and a
// row per entry below it. From here the user deletes an entry, writes the
// notes of a service, opens the anthem or collection of an entry by a
// double-click and asks for the schedule report.
//
// It reloads itself when the schedule changes elsewhere (the entry
// dialog, the deletion of an anthem or a collection) through the change
// notifier, when the change concerns the choir it shows or any choir.

#include "BaseForm.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class ScheduleGridModel;

class ScheduleViewForm : public BaseForm {
    Q_OBJECT
public:
    ScheduleViewForm();
    ~ScheduleViewForm() override;

    // The ChoirID of the choir shown; -1 when the choir list is empty.
    qint32 CurChoir() const { return m_curChoir; }
    ScheduleGridModel *gridModel() const { return m_model; }
    QTableView *grid() const { return m_grid; }

    // The grid's current row below the header (0-based), -1 when no row
    // (or the header) is current.
    int currentRow() const;
    void setCurrentRow(int row);

public slots:
    // Rebuilds the grid from the database for CurChoir(). Database errors
    // reach the caller.
    void LoadSGrid();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildUi();
    void choirChosen();
    void deleteClicked();
    void notesClicked();
    void reportClicked();
    void gridDoubleClicked(int row);
    void scheduleChanged(qint32 choirId);
    // The width the text of the Date or Type column needs, padded; -1 for
    // the other columns.
    int contentWidth(int column) const;
    void sizeColumns();
    // Fits the rows' heights to their wrapped text when the room for it
    // changed (or the rows were rebuilt).
    void fitRows();
    void fitToGrid();

    qint32 m_curChoir = 0;
    // The narrowest the title column gets: its designed width, or its
    // caption's when that is wider.
    int m_titleMin = 0;
    // The widths the row heights were last fitted to.
    int m_fittedTitle = -1;
    int m_fittedSpan = -1;
    bool m_fitting = false;
    QLabel *m_label = nullptr;
    QComboBox *m_choirCombo = nullptr;
    QTableView *m_grid = nullptr;
    ScheduleGridModel *m_model = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_notes = nullptr;
    QPushButton *m_report = nullptr;
    QPushButton *m_close = nullptr;
};
