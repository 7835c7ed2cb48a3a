#include "LimitPanel.h"

#include "CheckListGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <algorithm>

LimitPanel::LimitPanel(QObject *parent) : QObject(parent) {}

QCheckBox *LimitPanel::addAllCheck(const QString &caption, QWidget *page)
{
    m_allCheck = new QCheckBox(caption, page);
    m_allCheck->setObjectName(QStringLiteral("AllCheck"));
    m_allCheck->setChecked(true);
    connect(m_allCheck, &QCheckBox::clicked, this, [this] { allCheckClicked(); });
    return m_allCheck;
}

QCheckBox *LimitPanel::addLimit(int index, const QString &caption, QWidget *page)
{
    auto *box = new QCheckBox(caption, page);
    box->setObjectName(QStringLiteral("optLimit%1").arg(index));
    // The user's own click only: boxes the program sets run nothing.
    connect(box, &QCheckBox::clicked, this, [this, index] { limitClicked(index); });
    m_boxes.insert(index, box);
    return box;
}

LimitPanel::ListLimit LimitPanel::addListLimit(int index, const QString &caption, const QString &gridName,
                                               QWidget *page, GridClicks clicks)
{
    ListLimit l;
    l.box = addLimit(index, caption, page);
    l.grid = new CheckListGrid(page);
    l.grid->setObjectName(gridName);
    l.grid->setAccessibleName(caption);
    l.grid->setEnabled(false);
    CheckListGrid *grid = l.grid;
    if (clicks == GridClicks::ClickedColumn)
        connect(grid, &CheckListGrid::cellActivatedByUser, this,
                [grid](int, int column) { ToggleGridCheck(grid, column); });
    else
        connect(grid, &CheckListGrid::cellActivatedByUser, this, [grid] { ToggleGridCheck(grid, 1); });
    l.checkAll = new QPushButton(QStringLiteral("Select All"), page);
    l.checkAll->setObjectName(QStringLiteral("btnCheckAll%1").arg(index));
    l.checkAll->setEnabled(false);
    connect(l.checkAll, &QPushButton::clicked, this, [grid] { SetAllGridChecks(grid, true); });
    l.clearAll = new QPushButton(QStringLiteral("Clear Selections"), page);
    l.clearAll->setObjectName(QStringLiteral("btnClearAll%1").arg(index));
    l.clearAll->setEnabled(false);
    connect(l.clearAll, &QPushButton::clicked, this, [grid] { SetAllGridChecks(grid, false); });
    m_lists.insert(index, l);
    return l;
}

QComboBox *LimitPanel::addTextList(int index, const QString &objectName, QWidget *page)
{
    auto *list = new QComboBox(page);
    list->setObjectName(objectName);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    // Typed "ab" stays "ab": a completed "abc" would filter for more than asked.
    list->setCompleter(nullptr);
    list->setEditText(QString());
    m_texts.insert(index, list);
    return list;
}

QPushButton *LimitPanel::addProcessButton(int index, const QString &caption, QWidget *page)
{
    auto *b = new QPushButton(caption, page);
    b->setObjectName(QStringLiteral("btnProcess%1").arg(index));
    connect(b, &QPushButton::clicked, this, &LimitPanel::processClicked);
    return b;
}

void LimitPanel::resetTextLists()
{
    for (auto it = m_texts.constBegin(); it != m_texts.constEnd(); ++it) {
        QComboBox *list = it.value();
        list->setCurrentIndex(-1);
        list->setEditText(QString());
        if (QCheckBox *b = box(it.key()))
            list->setAccessibleName(b->text());
    }
}

bool LimitPanel::displayAll() const
{
    return m_allCheck && m_allCheck->isChecked();
}

bool LimitPanel::isTicked(int index) const
{
    const QCheckBox *b = box(index);
    return b && b->isChecked();
}

QString LimitPanel::text(int index) const
{
    const QComboBox *list = textList(index);
    return list ? list->currentText() : QString();
}

QList<CheckListGrid *> LimitPanel::grids() const
{
    QList<CheckListGrid *> out;
    for (const ListLimit &l : m_lists)
        out << l.grid;
    return out;
}

void LimitPanel::limitClicked(int index)
{
    const bool anyTicked =
        std::any_of(m_boxes.cbegin(), m_boxes.cend(), [](const QCheckBox *b) { return b->isChecked(); });
    if (m_allCheck)
        m_allCheck->setChecked(!anyTicked);
    const auto it = m_lists.constFind(index);
    if (it == m_lists.constEnd())
        return;
    const bool on = it->box->isChecked();
    it->grid->setEnabled(on);
    it->checkAll->setEnabled(on);
    it->clearAll->setEnabled(on);
}

void LimitPanel::allCheckClicked()
{
    // Only the boxes: the grids keep their state until the user changes a
    // box himself.
    if (m_allCheck->isChecked())
        for (QCheckBox *b : std::as_const(m_boxes))
            b->setChecked(false);
}
