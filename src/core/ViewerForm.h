#pragma once
// The frame the anthem, collection and member viewers share: the tabs
// SSTab1 with the list page (the viewer's list, btnProcess0 and btnReport
// "Open Report WIndow") and the two limit pages of its LimitPanel; what
// every Process button does (with AllCheck ticked every record listed,
// otherwise the viewer's filter, then the list page in front; a database
// error is shown once and leaves the list as it was); the load (the list
// page in front, every record listed, the limits loaded); the grids for
// the reference lists' refresh.

#include "BaseForm.h"
#include "Forms.h"
#include "LimitPanel.h"
#include "Module.h"

#include <functional>

class QAbstractItemModel;
class QAbstractItemView;
class QPushButton;
class QTableView;
class QTabWidget;

class ViewerForm : public BaseForm, public CheckGridHost {
    Q_OBJECT
public:
    // The list grids of the limit pages, refilled when their entries change.
    Grid checkGrid(CheckGridKind kind) override;

protected:
    ViewerForm(bool *loadedFlag, const QString &objectName, const QString &caption);

    // Builds the three pages around the viewer's list; once, in the
    // viewer's constructor.
    void buildPages(const QString &listCaption, QAbstractItemView *list, const LimitPanel::Design &design);
    // The load; at the end of the viewer's constructor.
    void loadViewer();

    // Lists every record, or only those the last filter marked. Database
    // errors reach the caller.
    virtual void buildList(bool filteredOnly) = 0;
    // Marks the records that pass the ticked limits, then lists them.
    virtual void applyFilter() = 0;

    // Puts a list just read in place: the view's redraw off while fill()
    // sets up the view and fills it, the ids (in list order) kept in the
    // report's set, the list at its top with no row current.
    void showList(QAbstractItemView *view, ReportRecordSet &reportSet, QList<qint32> ids,
                  const std::function<void()> &fill);

    // A table for a list of any length: rows of one height, so the view
    // never measures a row; no row header; the header's clicks sort
    // nothing; the program sizes the columns.
    QTableView *newListTable(const QString &objectName, QAbstractItemModel *model);

    LimitPanel *limits() const { return m_limits; }
    QPushButton *reportButton() const { return m_report; }

private:
    void processClicked();

    QTabWidget *m_tab = nullptr;
    LimitPanel *m_limits = nullptr;
    QPushButton *m_report = nullptr;
};
