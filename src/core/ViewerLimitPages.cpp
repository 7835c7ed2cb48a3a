#include "ViewerLimitPages.h"

#include "CheckListGrid.h"
#include "FieldServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>
#include <QTabWidget>
#include <algorithm>

namespace {

// Limit boxes 0 to 10: their captions; 0 to 4 also name their grids.
const char *const kLimitCaptions[11] = {
    "Limit by Vocals", "Limit by Composers", "Limit by Themes", "Limit by Orchestration", "Limit by Choir",
    "Limit by My Data 1", "Limit by My Data 2", "Limit by My Data 3", "Limit by My Data 4", "Limit by My Data 5",
    "Limit by Collections loaned out"};
const char *const kGridNames[ViewerLimits::ListLimitCount] = {"VocalsGrid", "ComposersGrid", "ThemesGrid",
                                                              "OrchGrid", "ChoirGrid"};

} // namespace

ViewerLimitPages::ViewerLimitPages(QTabWidget *tabs, const Setup &setup, QObject *parent)
    : QObject(parent), m_tabs(tabs), m_setup(setup)
{
    // "Display Parameters": the link limits.
    auto *linkPage = new QWidget(tabs);
    auto *linkLayout = new QGridLayout(linkPage);
    m_displayAll = new QCheckBox(setup.displayAllCaption, linkPage);
    m_displayAll->setObjectName(QStringLiteral("AllCheck"));
    m_displayAll->setChecked(true);
    connect(m_displayAll, &QCheckBox::clicked, this, [this] { displayAllClicked(); });
    linkLayout->addWidget(m_displayAll, 0, 0, 1, ViewerLimits::ListLimitCount);
    for (int i = 0; i < ViewerLimits::ListLimitCount; ++i) {
        m_limit[i] = new QCheckBox(QLatin1String(kLimitCaptions[i]), linkPage);
        auto *grid = new CheckListGrid(linkPage);
        grid->setObjectName(QLatin1String(kGridNames[i]));
        m_grid[i] = grid;
        connect(grid, &CheckListGrid::cellActivatedByUser, this, [grid] { ToggleGridCheck(grid, 1); });
        m_checkAll[i] = new QPushButton(QStringLiteral("Select All"), linkPage);
        m_checkAll[i]->setObjectName(QStringLiteral("btnCheckAll%1").arg(i));
        connect(m_checkAll[i], &QPushButton::clicked, this, [grid] { SetAllGridChecks(grid, true); });
        m_clearAll[i] = new QPushButton(QStringLiteral("Clear Selections"), linkPage);
        m_clearAll[i]->setObjectName(QStringLiteral("btnClearAll%1").arg(i));
        connect(m_clearAll[i], &QPushButton::clicked, this, [grid] { SetAllGridChecks(grid, false); });
        enableList(i, false);
        linkLayout->addWidget(m_limit[i], 1, i);
        linkLayout->addWidget(grid, 2, i);
        linkLayout->addWidget(m_checkAll[i], 3, i);
        linkLayout->addWidget(m_clearAll[i], 4, i);
    }
    linkLayout->setRowStretch(2, 1);
    // Composers' and arrangers' names are the longest: their grid gets
    // twice the room of the others.
    for (int i = 0; i < ViewerLimits::ListLimitCount; ++i)
        linkLayout->setColumnStretch(i, i == ViewerLimits::Composers ? 2 : 1);
    linkLayout->addWidget(makeProcessButton(linkPage, 1), 5, 0, 1, ViewerLimits::ListLimitCount, Qt::AlignLeft);
    tabs->addTab(linkPage, QStringLiteral("Display Parameters"));

    // "Display Parameters 2": the "My Data" limits and the loan limit.
    auto *textPage = new QWidget(tabs);
    auto *textLayout = new QGridLayout(textPage);
    for (int i = 5; i <= 10; ++i) {
        m_limit[i] = new QCheckBox(QLatin1String(kLimitCaptions[i]), textPage);
        textLayout->addWidget(m_limit[i], i - 5, 0);
        if (i <= 9) {
            auto *combo = new QComboBox(textPage);
            combo->setObjectName(QStringLiteral("MyData%1").arg(i));
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            // The text typed is the limit: a listed value never completes it.
            combo->setCompleter(nullptr);
            combo->setMinimumWidth(240);
            combo->setAccessibleName(m_limit[i]->text());
            m_myData[i - 5] = combo;
            textLayout->addWidget(combo, i - 5, 1);
        }
    }
    textLayout->addWidget(makeProcessButton(textPage, 2), 6, 0, 1, 2, Qt::AlignLeft);
    textLayout->setRowStretch(7, 1);
    textLayout->setColumnStretch(2, 1);
    tabs->addTab(textPage, QStringLiteral("Display Parameters 2"));

    for (int i = 0; i <= 10; ++i) {
        m_limit[i]->setObjectName(QStringLiteral("optLimit%1").arg(i));
        // The user's own click only: boxes the program sets run nothing.
        connect(m_limit[i], &QCheckBox::clicked, this, [this, i] { limitClicked(i); });
    }
}

QPushButton *ViewerLimitPages::makeProcessButton(QWidget *page, int i)
{
    auto *b = new QPushButton(m_setup.processCaption, page);
    b->setObjectName(QStringLiteral("btnProcess%1").arg(i));
    connect(b, &QPushButton::clicked, this, &ViewerLimitPages::processClicked);
    return b;
}

void ViewerLimitPages::load()
{
    LoadLimitByOptions(m_tabs, myDataType(m_setup.kind));
    for (int k = 0; k < 5; ++k) {
        m_myData[k]->setCurrentIndex(-1);
        m_myData[k]->clearEditText();
        m_myData[k]->setAccessibleName(m_limit[5 + k]->text());
    }
    using namespace CheckGridOwner;
    FillVocalsCheckGrid(m_grid[ViewerLimits::Vocals], RefillOnly, 0);
    FillThemesCheckGrid(m_grid[ViewerLimits::Themes], RefillOnly, 0);
    FillOrchestrationCheckGrid(m_grid[ViewerLimits::Orchestration], RefillOnly, 0);
    FillComposerCheckGrid(m_grid[ViewerLimits::Composers], RefillOnly, 0);
    FillChoirCheckGrid(m_grid[ViewerLimits::Choirs], RefillOnly, 0, false);
    for (CheckListGrid *grid : m_grid)
        SetAllGridChecks(grid, true);
}

bool ViewerLimitPages::displayAll() const
{
    return m_displayAll->isChecked();
}

ViewerLimits ViewerLimitPages::values() const
{
    ViewerLimits limits;
    for (int i = 0; i < ViewerLimits::ListLimitCount; ++i) {
        limits.listTicked[i] = m_limit[i]->isChecked();
        if (limits.listTicked[i])
            limits.listIds[i] = m_grid[i]->checkedIds();
    }
    for (int k = 0; k < 5; ++k) {
        limits.myDataTicked[k] = m_limit[5 + k]->isChecked();
        limits.myDataText[k] = m_myData[k]->currentText();
    }
    limits.loanedOut = m_limit[10]->isChecked();
    return limits;
}

CheckGridHost::Grid ViewerLimitPages::checkGrid(CheckGridKind kind) const
{
    for (int i = 0; i < ViewerLimits::ListLimitCount; ++i)
        if (ViewerLimits::gridKind(i) == kind)
            return {m_grid[i]};
    return {};
}

void ViewerLimitPages::enableList(int i, bool on)
{
    m_grid[i]->setEnabled(on);
    m_checkAll[i]->setEnabled(on);
    m_clearAll[i]->setEnabled(on);
}

void ViewerLimitPages::limitClicked(int i)
{
    const bool anyTicked = std::any_of(std::begin(m_limit), std::end(m_limit),
                                       [](const QCheckBox *b) { return b->isChecked(); });
    m_displayAll->setChecked(!anyTicked);
    if (i < ViewerLimits::ListLimitCount)
        enableList(i, m_limit[i]->isChecked());
}

void ViewerLimitPages::displayAllClicked()
{
    if (!m_displayAll->isChecked())
        return;
    for (QCheckBox *b : m_limit)
        b->setChecked(false);
    if (m_setup.displayAllDisablesGrids)
        for (int i = 0; i < ViewerLimits::ListLimitCount; ++i)
            enableList(i, false);
}
