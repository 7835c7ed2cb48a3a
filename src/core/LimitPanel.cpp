#include "LimitPanel.h"

#include "CheckListGrid.h"
#include "FieldServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>
#include <QTabWidget>
#include <algorithm>

namespace {

// The column of the "Active" boxes on a choir grid that has them.
constexpr int kActiveColumn = 3;

// The captions of the two limit pages.
const char *const kListPage = "Display Parameters";
const char *const kTextPage = "Display Parameters 2";

} // namespace

LimitPanel::Limit LimitPanel::list(int index, const QString &caption, const QString &gridName, CheckGridKind kind,
                                   int stretch, bool withActive)
{
    Limit l;
    l.index = index;
    l.kind = Limit::List;
    l.caption = caption;
    l.controlName = gridName;
    l.gridKind = kind;
    l.stretch = stretch;
    l.withActive = withActive;
    return l;
}

LimitPanel::Limit LimitPanel::text(int index, const QString &caption, const QString &listName,
                                   const QStringList &items)
{
    Limit l;
    l.index = index;
    l.kind = Limit::Text;
    l.caption = caption;
    l.controlName = listName;
    l.items = items;
    return l;
}

LimitPanel::Limit LimitPanel::box(int index, const QString &caption)
{
    Limit l;
    l.index = index;
    l.caption = caption;
    return l;
}

QList<LimitPanel::Limit> LimitPanel::myData()
{
    QList<Limit> out;
    for (int i = 5; i <= 9; ++i)
        out << text(i, QStringLiteral("Limit by My Data %1").arg(i - 4), QStringLiteral("MyData%1").arg(i));
    return out;
}

LimitPanel::Design LimitPanel::catalogue(const QString &displayAllCaption, const QString &processCaption,
                                         RecordKind kind, bool displayAllDisablesGrids)
{
    auto link = [](int i, const char *caption, const char *grid, int stretch = 1) {
        return list(i, QLatin1String(caption), QLatin1String(grid), ViewerLimits::gridKind(i), stretch);
    };
    Design d{displayAllCaption, processCaption, kind, displayAllDisablesGrids, {}};
    // Filled in this order. Composers' and arrangers' names are the
    // longest: their grid gets twice the room of the others.
    d.limits = {link(ViewerLimits::Vocals, "Limit by Vocals", "VocalsGrid"),
                link(ViewerLimits::Themes, "Limit by Themes", "ThemesGrid"),
                link(ViewerLimits::Orchestration, "Limit by Orchestration", "OrchGrid"),
                link(ViewerLimits::Composers, "Limit by Composers", "ComposersGrid", 2),
                link(ViewerLimits::Choirs, "Limit by Choir", "ChoirGrid")};
    d.limits << myData() << box(10, QStringLiteral("Limit by Collections loaned out"));
    return d;
}

LimitPanel::LimitPanel(QTabWidget *tabs, const Design &design, QObject *parent)
    : QObject(parent), m_tabs(tabs), m_design(design)
{
    for (const Limit &l : design.limits)
        m_controls[l.index].limit = l;
    tabs->addTab(buildListPage(), QLatin1String(kListPage));
    tabs->addTab(buildTextPage(), QLatin1String(kTextPage));
    for (auto &[index, c] : m_controls) {
        c.box->setObjectName(QStringLiteral("optLimit%1").arg(index));
        // The user's own click only: boxes the program sets run nothing.
        connect(c.box, &QCheckBox::clicked, this, [this, i = index] { limitClicked(i); });
    }
}

QWidget *LimitPanel::buildListPage()
{
    auto *page = new QWidget(m_tabs);
    auto *layout = new QGridLayout(page);
    m_allCheck = new QCheckBox(m_design.displayAllCaption, page);
    m_allCheck->setObjectName(QStringLiteral("AllCheck"));
    m_allCheck->setChecked(true);
    connect(m_allCheck, &QCheckBox::clicked, this, [this] { allCheckClicked(); });
    int column = 0;
    for (auto &[index, c] : m_controls) {
        if (c.limit.kind != Limit::List)
            continue;
        addListControls(c, page);
        layout->addWidget(c.box, 1, column);
        layout->addWidget(c.grid, 2, column);
        layout->addWidget(c.checkAll, 3, column);
        layout->addWidget(c.clearAll, 4, column);
        layout->setColumnStretch(column, c.limit.stretch);
        ++column;
    }
    layout->addWidget(m_allCheck, 0, 0, 1, std::max(column, 1));
    layout->setRowStretch(2, 1);
    layout->addWidget(makeProcessButton(page, 1, QLatin1String(kListPage)), 5, 0, 1, std::max(column, 1),
                      Qt::AlignLeft);
    return page;
}

void LimitPanel::addListControls(Controls &c, QWidget *page)
{
    c.box = new QCheckBox(c.limit.caption, page);
    CheckListGrid *grid = c.grid = new CheckListGrid(page);
    grid->setObjectName(c.limit.controlName);
    grid->setAccessibleName(c.limit.caption);
    // On a grid with "Active" boxes a click flips the box it lands on.
    if (c.limit.withActive)
        connect(grid, &CheckListGrid::cellActivatedByUser, this,
                [grid](int, int column) { ToggleGridCheck(grid, column); });
    else
        connect(grid, &CheckListGrid::cellActivatedByUser, this, [grid] { ToggleGridCheck(grid, 1); });
    // Every list has the same two buttons: a screen reader hears which
    // list each is for.
    c.checkAll = new QPushButton(QStringLiteral("Select All"), page);
    c.checkAll->setObjectName(QStringLiteral("btnCheckAll%1").arg(c.limit.index));
    c.checkAll->setAccessibleName(QStringLiteral("Select All in %1").arg(c.limit.caption));
    connect(c.checkAll, &QPushButton::clicked, this, [grid] { SetAllGridChecks(grid, true); });
    c.clearAll = new QPushButton(QStringLiteral("Clear Selections"), page);
    c.clearAll->setObjectName(QStringLiteral("btnClearAll%1").arg(c.limit.index));
    c.clearAll->setAccessibleName(QStringLiteral("Clear Selections in %1").arg(c.limit.caption));
    connect(c.clearAll, &QPushButton::clicked, this, [grid] { SetAllGridChecks(grid, false); });
    enableList(c, false);
}

QWidget *LimitPanel::buildTextPage()
{
    auto *page = new QWidget(m_tabs);
    auto *layout = new QGridLayout(page);
    int row = 0;
    for (auto &[index, c] : m_controls) {
        if (c.limit.kind == Limit::List)
            continue;
        c.box = new QCheckBox(c.limit.caption, page);
        layout->addWidget(c.box, row, 0);
        if (c.limit.kind == Limit::Text) {
            auto *list = c.text = new QComboBox(page);
            list->setObjectName(c.limit.controlName);
            list->setEditable(true);
            list->setInsertPolicy(QComboBox::NoInsert);
            // Typed "ab" stays "ab": a completed "abc" would filter for
            // more than asked.
            list->setCompleter(nullptr);
            list->setAccessibleName(c.limit.caption);
            // A list of values takes the column's width, a list of short
            // fixed items (months) its own.
            const bool fixed = !c.limit.items.isEmpty();
            list->setMinimumWidth(fixed ? 80 : 240);
            layout->addWidget(list, row, 1, fixed ? Qt::AlignLeft : Qt::Alignment());
        }
        ++row;
    }
    layout->addWidget(makeProcessButton(page, 2, QLatin1String(kTextPage)), row, 0, 1, 2, Qt::AlignLeft);
    layout->setRowStretch(row + 1, 1);
    layout->setColumnStretch(2, 1);
    return page;
}

QPushButton *LimitPanel::makeProcessButton(QWidget *page, int index, const QString &pageCaption)
{
    auto *b = new QPushButton(m_design.processCaption, page);
    b->setObjectName(QStringLiteral("btnProcess%1").arg(index));
    // The same button on every page: a screen reader hears which page it is on.
    b->setAccessibleName(QStringLiteral("%1, %2 page").arg(m_design.processCaption, pageCaption));
    connect(b, &QPushButton::clicked, this, &LimitPanel::processClicked);
    return b;
}

void LimitPanel::load()
{
    LoadLimitByOptions(m_tabs, myDataType(m_design.kind));
    QList<CheckListGrid *> grids;
    for (const Limit &l : std::as_const(m_design.limits)) {
        const Controls &c = m_controls.at(l.index);
        if (l.kind == Limit::List) {
            FillCheckGrid(l.gridKind, c.grid, CheckGridOwner::RefillOnly, 0, l.withActive);
            grids << c.grid;
        } else if (l.kind == Limit::Text && !l.items.isEmpty()) {
            c.text->clear();
            c.text->addItems(l.items);
        }
    }
    for (CheckListGrid *grid : std::as_const(grids)) {
        if (grid->hasActiveColumn())
            for (int r = 1; r < grid->Rows(); ++r)
                grid->setCheckState(r, kActiveColumn, CheckListGrid::Checked);
        SetAllGridChecks(grid, true);
    }
    for (const auto &[index, c] : m_controls) {
        if (!c.text)
            continue;
        c.text->setCurrentIndex(-1);
        c.text->clearEditText();
        // Named after its box, whose caption the load may have changed.
        c.text->setAccessibleName(c.box->text());
    }
}

bool LimitPanel::displayAll() const
{
    return m_allCheck->isChecked();
}

bool LimitPanel::isTicked(int index) const
{
    const auto it = m_controls.find(index);
    return it != m_controls.end() && it->second.box->isChecked();
}

CheckListGrid *LimitPanel::grid(int index) const
{
    const auto it = m_controls.find(index);
    return it == m_controls.end() ? nullptr : it->second.grid;
}

QComboBox *LimitPanel::textList(int index) const
{
    const auto it = m_controls.find(index);
    return it == m_controls.end() ? nullptr : it->second.text;
}

QString LimitPanel::text(int index) const
{
    const QComboBox *list = textList(index);
    return list ? list->currentText() : QString();
}

CheckGridHost::Grid LimitPanel::checkGrid(CheckGridKind kind) const
{
    for (const auto &[index, c] : m_controls)
        if (c.grid && c.limit.gridKind == kind)
            return {c.grid, c.limit.withActive};
    return {};
}

ViewerLimits LimitPanel::viewerLimits() const
{
    ViewerLimits limits;
    for (int i = 0; i < ViewerLimits::ListLimitCount; ++i) {
        limits.listTicked[i] = isTicked(i);
        if (limits.listTicked[i])
            limits.listIds[i] = grid(i)->checkedIds();
    }
    for (int k = 0; k < 5; ++k) {
        limits.myDataTicked[k] = isTicked(5 + k);
        limits.myDataText[k] = text(5 + k);
    }
    limits.loanedOut = isTicked(10);
    return limits;
}

void LimitPanel::enableList(const Controls &c, bool on)
{
    c.grid->setEnabled(on);
    c.checkAll->setEnabled(on);
    c.clearAll->setEnabled(on);
}

void LimitPanel::limitClicked(int index)
{
    const bool anyTicked = std::any_of(m_controls.cbegin(), m_controls.cend(),
                                       [](const auto &entry) { return entry.second.box->isChecked(); });
    m_allCheck->setChecked(!anyTicked);
    const Controls &c = m_controls.at(index);
    if (c.grid)
        enableList(c, c.box->isChecked());
}

void LimitPanel::allCheckClicked()
{
    if (!m_allCheck->isChecked())
        return;
    for (const auto &[index, c] : m_controls) {
        c.box->setChecked(false);
        if (c.grid && m_design.displayAllDisablesGrids)
            enableList(c, false);
    }
}
