#include "PerformDatesForm.h"

#include "Cursor.h"
#include "Fmt.h"
#include "Guard.h"
#include "KeyboardReach.h"
#include "PerformByForm.h"
#include "Prompter.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
enum Column { DateColumn = 0, PerformerColumn = 1, RNumColumn = 2 };
// Column 1 carries the row's ChoirID, so the performed-by dialog can show
// the very choir chosen before.
constexpr int ChoirIdRole = Qt::UserRole + 1;
constexpr int kTwipsPerPixel = 15;

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}
} // namespace

PerformDatesForm::PerformDatesForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PerformDatesForm"));
    setWindowTitle(QStringLiteral("Performed Dates"));
    setModal(true);
    resize(460, 360);

    auto *outer = new QVBoxLayout(this);
    m_grid = new QTableWidget(0, 3, this);
    m_grid->setObjectName(QStringLiteral("DGrid"));
    m_grid->setAccessibleName(QStringLiteral("Performed dates"));
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabLeavesGrid(m_grid);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionsClickable(false);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    QFont bold = m_grid->horizontalHeader()->font();
    bold.setBold(true);
    m_grid->horizontalHeader()->setFont(bold);
    auto *h0 = cell(QStringLiteral("Performed Dates"));
    auto *h1 = cell(QStringLiteral("Performed By"));
    m_grid->setHorizontalHeaderItem(DateColumn, h0);
    m_grid->setHorizontalHeaderItem(PerformerColumn, h1);
    m_grid->setHorizontalHeaderItem(RNumColumn, cell(QString()));
    m_grid->setColumnHidden(RNumColumn, true);
    outer->addWidget(m_grid, 1);

    auto *buttons = new QHBoxLayout;
    m_modify = new QPushButton(QStringLiteral("Modify Performed By"), this);
    m_modify->setObjectName(QStringLiteral("btnModify"));
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("btnCLose"));
    buttons->addWidget(m_modify);
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    outer->addLayout(buttons);

    connect(m_modify, &QPushButton::clicked, this, &PerformDatesForm::modifyClicked);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
}

void PerformDatesForm::FillPerformedDatesGrid(qint32 id, bool isAnthem)
{
    m_kind = isAnthem ? PerformedKind::Anthem : PerformedKind::Collection;
    const QVector<PerformedRow> rows = PerformedDates::rows(m_kind, id);
    m_grid->setRowCount(0);
    m_grid->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const PerformedRow &p = rows.at(r);
        m_grid->setItem(r, DateColumn, cell(Fmt::mdy(p.date)));
        auto *performer = cell(p.performer);
        performer->setData(ChoirIdRole, p.choirId);
        m_grid->setItem(r, PerformerColumn, performer);
        // A row without a date keeps its row id, so it can still be given
        // a performer.
        m_grid->setItem(r, RNumColumn, cell(QString::number(p.rnum)));
    }
    const int designed = 1200 / kTwipsPerPixel;
    m_grid->resizeColumnToContents(DateColumn);
    m_grid->setColumnWidth(DateColumn, qMax(designed, m_grid->columnWidth(DateColumn)));
    m_grid->setCurrentItem(nullptr);
    m_grid->clearSelection();
    m_grid->scrollToTop();
}

int PerformDatesForm::currentRow() const
{
    return m_grid->currentItem() ? m_grid->currentRow() : -1;
}

void PerformDatesForm::modifyClicked()
{
    const int r = currentRow();
    if (r < 0)
        return;
    QTableWidgetItem *performer = m_grid->item(r, PerformerColumn);
    const qint32 rnum = m_grid->item(r, RNumColumn)->text().toInt();
    PerformByForm by(performer->text(), performer->data(ChoirIdRole).toInt(), this);
    if (prompter().execDialog(by) != QDialog::Accepted)
        return;
    const QString chosen = by.NewPerform();
    const qint32 choirId = by.chosenChoirId();
    // The performer shown again sends nothing; so does its own choir. A
    // choir of the same name as the one shown is another performer.
    const bool otherChoir = choirId > 0 && choirId != performer->data(ChoirIdRole).toInt();
    if (chosen.isEmpty() || (performer->text() == chosen && !otherChoir))
        return;
    const bool stored = guarded([&] {
        BusyCursor busy;
        if (choirId == -1)
            PerformedDates::setPerformer(m_kind, rnum, 0, chosen);
        else
            PerformedDates::setPerformer(m_kind, rnum, choirId, QString());
    });
    if (!stored)
        return;
    performer->setText(chosen);
    performer->setData(ChoirIdRole, choirId == -1 ? 0 : choirId);
}

bool PerformDatesForm::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        Cursor::reset();
    return QDialog::event(e);
}

void ShowPerformedDates(PerformedKind kind, qint32 id, QWidget *parent)
{
    if (id < 1)
        return;
    PerformDatesForm form(parent);
    if (!guarded([&] { form.FillPerformedDatesGrid(id, kind == PerformedKind::Anthem); }))
        return;
    prompter().execDialog(form);
}
