#include "ViewerForm.h"

#include "Guard.h"
#include "KeyboardReach.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

ViewerForm::ViewerForm(bool *loadedFlag, const QString &objectName, const QString &caption) : BaseForm(loadedFlag)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    resize(900, 620);
    auto *outer = new QVBoxLayout(this);
    m_tab = new QTabWidget(this);
    m_tab->setObjectName(QStringLiteral("SSTab1"));
    outer->addWidget(m_tab);
    turnPagesByKeys(this, m_tab);
}

void ViewerForm::buildPages(const QString &listCaption, QAbstractItemView *list, const LimitPanel::Design &design)
{
    // Page 0: the list, named for screen readers by the page's caption.
    if (list->accessibleName().isEmpty())
        list->setAccessibleName(listCaption);
    auto *listPage = new QWidget(m_tab);
    auto *listLayout = new QVBoxLayout(listPage);
    listLayout->addWidget(list, 1);
    auto *listButtons = new QHBoxLayout;
    m_report = new QPushButton(QStringLiteral("Open Report WIndow"), listPage);
    m_report->setObjectName(QStringLiteral("btnReport"));
    listButtons->addWidget(m_report);
    listButtons->addStretch(1);
    listLayout->addLayout(listButtons);
    m_tab->addTab(listPage, listCaption);

    // Pages 1 and 2: the limits.
    m_limits = new LimitPanel(m_tab, design, this);
    listButtons->insertWidget(0, m_limits->makeProcessButton(listPage, 0, listCaption));
    connect(m_limits, &LimitPanel::processClicked, this, [this] { processClicked(); });
}

QTableView *ViewerForm::newListTable(const QString &objectName, QAbstractItemModel *model)
{
    auto *view = new QTableView(this);
    view->setObjectName(objectName);
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setWordWrap(false);
    tabLeavesGrid(view);
    view->setSortingEnabled(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setSectionsClickable(false);
    view->horizontalHeader()->setStretchLastSection(false);
    return view;
}

void ViewerForm::showList(QAbstractItemView *view, ReportRecordSet &reportSet, QList<qint32> ids,
                          const std::function<void()> &fill)
{
    view->setUpdatesEnabled(false);
    fill();
    reportSet.ids = std::move(ids);
    reportSet.open = true;
    view->scrollToTop();
    // No row is current: the header is.
    view->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
    view->setUpdatesEnabled(true);
}

void ViewerForm::loadViewer()
{
    m_tab->setCurrentIndex(0);
    buildList(false);
    m_limits->load();
}

CheckGridHost::Grid ViewerForm::checkGrid(CheckGridKind kind)
{
    return m_limits->checkGrid(kind);
}

void ViewerForm::processClicked()
{
    guarded([this] {
        if (m_limits->displayAll())
            buildList(false);
        else
            applyFilter();
    });
    m_tab->setCurrentIndex(0);
}
