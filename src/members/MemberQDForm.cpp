#include "MemberQDForm.h"

#include "CheckListGrid.h"
#include "Cursor.h"
#include "Guard.h"
#include "KeyboardReach.h"
#include "LimitPanel.h"
#include "ListColumns.h"
#include "MemberGridModel.h"
#include "Module.h"
#include "RecordCodes.h"
#include "ReportKinds.h"

#include <QPushButton>
#include <QTableView>

namespace {

const char *const kProcessCaption = "Rebuild Member Display Using Current Display Parameters";

// The limit boxes by index (there is no 1 or 2).
enum Limit {
    Sections = 0,
    Instruments = 3,
    Choirs = 4,
    FirstMyData = 5,
    BirthdayMonth = 10,
    AnniversaryMonth = 11,
};

// Sections, choirs with their "Active" boxes and instruments, filled in
// that order; "My Data" 1 to 5; birthday and anniversary month.
LimitPanel::Design design()
{
    LimitPanel::Design d{QStringLiteral("Display All Members"), QLatin1String(kProcessCaption), RecordKind::Member,
                         false, {}};
    QStringList months;
    for (int m = 1; m <= 12; ++m)
        months << QString::number(m);
    d.limits = {LimitPanel::list(Sections, QStringLiteral("Limit by Vocals"), QStringLiteral("VocalsGrid"),
                                 CheckGridKind::Sections),
                LimitPanel::list(Choirs, QStringLiteral("Limit by Choir"), QStringLiteral("ChoirGrid"),
                                 CheckGridKind::Choirs, 1, true),
                LimitPanel::list(Instruments, QStringLiteral("Limit by Orchestration"), QStringLiteral("OrchGrid"),
                                 CheckGridKind::Orchestration)};
    d.limits << LimitPanel::myData();
    // The month lists Date1(1) and Date1(2).
    d.limits << LimitPanel::text(BirthdayMonth, QStringLiteral("Limit by Birthday month"), QStringLiteral("Date11"),
                                 months)
             << LimitPanel::text(AnniversaryMonth, QStringLiteral("Limit by Choir Anniversary month"),
                                 QStringLiteral("Date12"), months);
    return d;
}

} // namespace

MemberQDForm::MemberQDForm()
    : ViewerForm(&hx().MemberQDFormLoaded, QStringLiteral("MemberQDForm"), QStringLiteral("Members"))
{
    m_model = new MemberGridModel(this);
    m_grid = newListTable(QStringLiteral("MemberGrid"), m_model);
    m_grid->setAccessibleName(QStringLiteral("Members"));
    m_grid->setColumnHidden(MemberGridModel::MemberIdColumn, true);
    // AllCheck, optLimit0 and 3..11, the three list grids, MyData5..MyData9
    // and the two month lists.
    buildPages(QStringLiteral("Members"), m_grid, design());
    connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex &at) { gridDoubleClicked(at.row()); });
    returnDoesDoubleClick(m_grid);
    connect(reportButton(), &QPushButton::clicked, this,
            [] { guarded([] { RequestReport(ReportKinds::Members); }); });
    loadViewer();
}

MemberQDForm::~MemberQDForm() = default;

void MemberQDForm::SetupMemberGrid()
{
    m_model->clear();
    m_grid->setColumnHidden(MemberGridModel::MemberIdColumn, true);
}

void MemberQDForm::BuildMemberGrid(bool filteredOnly)
{
    BusyCursor busy;
    // Read first: a failing query leaves the list and the report's
    // members as they were.
    QVector<MemberListRow> rows = MemberSelection::list(filteredOnly);
    QList<qint32> ids;
    ids.reserve(rows.size());
    for (const MemberListRow &r : rows)
        ids.append(r.memberId);
    showList(m_grid, hx().ReportMemberSet, std::move(ids), [&] {
        SetupMemberGrid();
        m_model->setRows(std::move(rows));
        sizeGridColumns();
    });
}

void MemberQDForm::sizeGridColumns()
{
    ListColumns::fit(m_grid, MemberGridModel::NameColumn, QStringLiteral("Member"),
                     ListColumns::widestText(
                         m_model->rows(), [](const MemberListRow &r) -> const QString & { return r.name; },
                         m_grid->fontMetrics()));
}

MemberLimits MemberQDForm::currentLimits() const
{
    const LimitPanel *panel = limits();
    MemberLimits limits;
    limits.sectionsTicked = panel->isTicked(Sections);
    if (limits.sectionsTicked)
        limits.sectionIds = panel->grid(Sections)->checkedIds();
    limits.instrumentsTicked = panel->isTicked(Instruments);
    if (limits.instrumentsTicked)
        limits.instrumentIds = panel->grid(Instruments)->checkedIds();
    limits.choirsTicked = panel->isTicked(Choirs);
    if (limits.choirsTicked) {
        // A checked choir asks for an active membership when its Active
        // box is ticked, for an inactive one when it is not.
        const CheckListGrid *choirs = panel->grid(Choirs);
        for (int r = 1; r < choirs->Rows(); ++r) {
            if (!choirs->isChecked(r))
                continue;
            (choirs->isChecked(r, 3) ? limits.activeChoirIds : limits.inactiveChoirIds).append(choirs->idAt(r));
        }
    }
    for (int k = 0; k < 5; ++k) {
        limits.myDataTicked[k] = panel->isTicked(FirstMyData + k);
        limits.myDataText[k] = panel->text(FirstMyData + k);
    }
    limits.birthdayTicked = panel->isTicked(BirthdayMonth);
    limits.birthdayMonth = panel->text(BirthdayMonth);
    limits.anniversaryTicked = panel->isTicked(AnniversaryMonth);
    limits.anniversaryMonth = panel->text(AnniversaryMonth);
    return limits;
}

void MemberQDForm::ApplyMemberFilter()
{
    BusyCursor busy;
    MemberSelection::mark(currentLimits());
    BuildMemberGrid(true);
}

void MemberQDForm::gridDoubleClicked(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const MemberListRow r = m_model->rowAt(row);
    if (r.memberId < 1 || r.name.isEmpty())
        return;
    BusyCursor busy;
    guarded([&] {
        // A member deleted since the list was built opens nothing, and the
        // editor keeps what it shows.
        if (!MemberSelection::exists(r.memberId))
            return;
        QWidget *editor = Forms::load(MemberFormCode);
        if (!editor)
            return;
        if (auto *loader = dynamic_cast<RecordLoader *>(editor))
            loader->loadRecordById(r.memberId);
        Forms::showChild(editor);
    });
}

void MemberQDForm::resizeEvent(QResizeEvent *event)
{
    BaseForm::resizeEvent(event);
    if (m_model)
        sizeGridColumns();
}
