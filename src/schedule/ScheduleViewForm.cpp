#include "ScheduleViewForm.h"

#include "ChangeNotifier.h"
#include "ChoirList.h"
#include "Cursor.h"
#include "Forms.h"
#include "Guard.h"
#include "Module.h"
#include "Prompter.h"
#include "ReportKinds.h"
#include "ScheduleGridModel.h"
#include "ScheduleNotes.h"
#include "ScheduleRecord.h"

#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int kTwipsPerPixel = 15;
// The designed widths of the Date, Type and Anthem/Collection columns;
// a column grows to its longest line.
constexpr int kDateTwips = 1500;
constexpr int kTypeTwips = 1500;
constexpr int kTitleTwips = 2000;
constexpr int kCellPadding = 14;

// The grid follows the current row up and down but never sideways: a
// click on a long title would otherwise scroll the Date column out of
// view. The horizontal scroll bar stays where the user put it.
class ScheduleGridView : public QTableView {
public:
    using QTableView::QTableView;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override
    {
        QScrollBar *across = horizontalScrollBar();
        const int x = across->value();
        QTableView::scrollTo(index, hint);
        across->setValue(x);
    }
};

} // namespace

ScheduleViewForm::ScheduleViewForm() : BaseForm(&hx().ScheduleViewFormLoaded)
{
    setObjectName(QStringLiteral("ScheduleViewForm"));
    setWindowTitle(QStringLiteral("Schedule"));
    buildUi();
    FillChoirCombo(m_choirCombo);
    m_curChoir = ChosenChoirId(m_choirCombo);
    LoadSGrid();
    fitToGrid();

    auto &notifier = ChangeNotifier::instance();
    // The editors' deletions announce their schedule change here too, so a
    // deleted anthem or collection reloads the view once.
    connect(&notifier, &ChangeNotifier::scheduleChanged, this, &ScheduleViewForm::scheduleChanged);
}

ScheduleViewForm::~ScheduleViewForm() = default;

void ScheduleViewForm::buildUi()
{
    resize(660, 500);
    auto *outer = new QVBoxLayout(this);

    auto *top = new QHBoxLayout;
    m_label = new QLabel(QStringLiteral("Select desired Choir schedule"), this);
    m_label->setObjectName(QStringLiteral("label2"));
    m_choirCombo = new QComboBox(this);
    m_choirCombo->setObjectName(QStringLiteral("ChoirCombo"));
    m_choirCombo->setEditable(false);
    m_choirCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_choirCombo->setMinimumContentsLength(24);
    m_label->setBuddy(m_choirCombo);
    top->addWidget(m_label);
    top->addWidget(m_choirCombo);
    top->addStretch(1);
    outer->addLayout(top);

    m_model = new ScheduleGridModel(this);
    m_grid = new ScheduleGridView(this);
    m_grid->setObjectName(QStringLiteral("SGrid"));
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setWordWrap(false);
    m_grid->setSortingEnabled(false);
    m_grid->verticalHeader()->hide();
    // Rows are sized from their line counts, never measured by the view.
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setSectionsClickable(false);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    for (int c : {ScheduleGridModel::CollectionIdColumn, ScheduleGridModel::AnthemIdColumn,
                  ScheduleGridModel::SchedIdColumn, ScheduleGridModel::AmpmColumn})
        m_grid->setColumnHidden(c, true);
    m_grid->setAccessibleName(QStringLiteral("Schedule of the selected choir"));
    outer->addWidget(m_grid, 1);

    auto *buttons = new QHBoxLayout;
    auto button = [&](const char *name, const char *caption) {
        auto *b = new QPushButton(QLatin1String(caption), this);
        b->setObjectName(QLatin1String(name));
        buttons->addWidget(b);
        return b;
    };
    m_delete = button("btnDelete", "Delete Selected Entry");
    m_notes = button("btnNotes", "Add Notes for Selected Date");
    m_report = button("btnReport", "Open Report Window");
    buttons->addStretch(1);
    m_close = button("btnCLose", "Close");
    outer->addLayout(buttons);

    connect(m_choirCombo, &QComboBox::activated, this, [this] { choirChosen(); });
    connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex &at) { gridDoubleClicked(at.row()); });
    connect(m_delete, &QPushButton::clicked, this, [this] { deleteClicked(); });
    connect(m_notes, &QPushButton::clicked, this, [this] { notesClicked(); });
    connect(m_report, &QPushButton::clicked, this, [this] { reportClicked(); });
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
}

int ScheduleViewForm::currentRow() const
{
    const QModelIndex at = m_grid->currentIndex();
    return at.isValid() ? at.row() : -1;
}

void ScheduleViewForm::setCurrentRow(int row)
{
    if (row < 0 || row >= m_model->rowCount()) {
        m_grid->setCurrentIndex(QModelIndex());
        m_grid->clearSelection();
        return;
    }
    m_grid->setCurrentIndex(m_model->index(row, ScheduleGridModel::DateColumn));
}

void ScheduleViewForm::LoadSGrid()
{
    BusyCursor busy;
    m_model->setRows(ScheduleSelection::choirSchedule(m_curChoir));
    // No row is current after a rebuild: the header is.
    setCurrentRow(-1);
    sizeGrid();
}

void ScheduleViewForm::sizeGrid()
{
    QFont bold = m_grid->font();
    bold.setBold(true);
    const QFontMetrics fm(m_grid->font());
    const QFontMetrics fmBold(bold);
    int widths[3] = {kDateTwips / kTwipsPerPixel, kTypeTwips / kTwipsPerPixel, kTitleTwips / kTwipsPerPixel};
    const int columns[3] = {ScheduleGridModel::DateColumn, ScheduleGridModel::TypeColumn,
                            ScheduleGridModel::TitleColumn};
    QHeaderView *header = m_grid->horizontalHeader();
    for (int k = 0; k < 3; ++k) {
        const QString caption = m_model->headerData(columns[k], Qt::Horizontal).toString();
        widths[k] = qMax(widths[k], header->fontMetrics().horizontalAdvance(caption) + 2 * kCellPadding);
    }
    const int lineHeight = qMax(fm.lineSpacing(), fmBold.lineSpacing());
    QHeaderView *vertical = m_grid->verticalHeader();
    vertical->setDefaultSectionSize(lineHeight + 8);
    for (int r = 0; r < m_model->rowCount(); ++r) {
        const ScheduleGridRow &row = m_model->rowAt(r);
        const QFontMetrics &m = row.heading ? fmBold : fm;
        for (int k = 0; k < 3; ++k) {
            const QString text = m_model->text(r, columns[k]);
            if (text.isEmpty())
                continue;
            for (const QString &line : text.split(QLatin1Char('\n')))
                widths[k] = qMax(widths[k], m.horizontalAdvance(line) + 2 * kCellPadding);
        }
        const int lines = m_model->lineCount(r);
        if (lines > 1)
            vertical->resizeSection(r, lines * lineHeight + 8);
    }
    for (int k = 0; k < 3; ++k)
        m_grid->setColumnWidth(columns[k], widths[k]);
}

void ScheduleViewForm::fitToGrid()
{
    // A long title or a service's notes widen the columns: the window opens
    // wide enough to show them and the headers whole (the main window keeps
    // it within its own room).
    int columns = 0;
    for (int c = 0; c < m_model->columnCount(); ++c)
        if (!m_grid->isColumnHidden(c))
            columns += m_grid->columnWidth(c);
    const QMargins margins = layout()->contentsMargins();
    const int chrome = margins.left() + margins.right();
    const int needed = columns + 2 * m_grid->frameWidth() + m_grid->verticalScrollBar()->sizeHint().width() + chrome;
    if (needed > width())
        resize(needed, height());
}

void ScheduleViewForm::choirChosen()
{
    m_curChoir = ChosenChoirId(m_choirCombo);
    guarded([this] { LoadSGrid(); });
}

void ScheduleViewForm::scheduleChanged(qint32 choirId)
{
    if (choirId != 0 && choirId != m_curChoir)
        return;
    guarded([this] { LoadSGrid(); });
}

void ScheduleViewForm::deleteClicked()
{
    if (MsgBox(QStringLiteral("This will delete the selected entry. Continue???"), QStringLiteral("Deleteion??"),
               MsgButtons::YesNo, MsgIcon::None)
        != MsgResult::Yes)
        return;
    const int r = currentRow();
    // Only an entry row names something to delete; the header and the
    // service headings delete nothing.
    if (r < 0 || m_model->rowAt(r).heading)
        return;
    const qint32 schedId = m_model->rowAt(r).schedId;
    guarded([&] {
        BusyCursor busy;
        ScheduleRecord::deleteEntry(schedId);
        Notify::scheduleChanged(m_curChoir);
    });
}

void ScheduleViewForm::notesClicked()
{
    const int r = currentRow();
    if (r < 0)
        return;
    const QDate date = m_model->rowAt(r).date;
    const QString ampm = m_model->rowAt(r).ampm;
    if (!date.isValid())
        return;
    QString old;
    if (!guarded([&] { old = ScheduleNotes::text(date, ampm); }))
        return;
    QString answer = InputBox(QStringLiteral("Enter Notes for selected date"), QStringLiteral("Schedule Notes"), old)
                         .value_or(QString());
    if (!old.isEmpty() && answer.isEmpty()) {
        if (MsgBox(QStringLiteral("Do you wish to delete the notes for this date?"), QStringLiteral("Delete Notes?"),
                   MsgButtons::YesNo, MsgIcon::None)
            != MsgResult::Yes)
            return;
    }
    guarded([&] {
        BusyCursor busy;
        ScheduleNotes::store(date, ampm, answer);
        // The notes show in the view of every choir singing in the service.
        Notify::scheduleChanged(0);
    });
}

void ScheduleViewForm::reportClicked()
{
    guarded([] { RequestReport(ReportKinds::Schedule); });
}

void ScheduleViewForm::gridDoubleClicked(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const ScheduleGridRow r = m_model->rowAt(row);
    if (r.heading)
        return;
    BusyCursor busy;
    // An anthem or a collection deleted since the entry was made opens
    // nothing: the editor keeps what it shows.
    bool anthem = false;
    bool collection = false;
    if (!guarded([&] {
            anthem = r.anthemId > 0 && ScheduleSelection::anthemExists(r.anthemId);
            collection = r.collectionId > 0 && ScheduleSelection::collectionExists(r.collectionId);
        }))
        return;
    if (anthem)
        OpenAnthemRecord(r.anthemId);
    if (collection)
        OpenCollectionRecord(r.collectionId);
}
