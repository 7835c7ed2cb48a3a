#include "ScheduleViewForm.h"

#include "ChangeNotifier.h"
#include "ChoirList.h"
#include "Cursor.h"
#include "Forms.h"
#include "Guard.h"
#include "KeyboardReach.h"
#include "ListColumns.h"
#include "Module.h"
#include "Prompter.h"
#include "ReportKinds.h"
#include "ScheduleGridModel.h"
#include "ScheduleNotes.h"
#include "ScheduleRecord.h"
#include "TextWidths.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextLayout>
#include <QtMath>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace {

constexpr int kTwipsPerPixel = 15;
// The designed widths of the Date, Type and Anthem/Collection columns.
// Date and Type grow to their longest line; the title column takes the
// room left and wraps its titles, and a heading row spans all three.
constexpr int kDateTwips = 1500;
constexpr int kTypeTwips = 1500;
constexpr int kTitleTwips = 2000;
constexpr int kCellPadding = 14;
constexpr int kRowPadding = 8;
constexpr int kHeadingSpan = ScheduleGridModel::TitleColumn - ScheduleGridModel::DateColumn + 1;

// The summed widths of a text's characters (TextWidths::estimate) come
// within a few hundredths of its laid-out width, at a fraction of the
// cost: a line whose estimate is this much inside the room surely fits.
qreal estimateHigh(qreal estimate)
{
    return estimate * 1.05 + 1;
}

// The natural width of the widest of many lines of text, padded as the
// Date and Type columns are designed. As in the result lists
// (ListColumns), only the lines likeliest to be the widest are measured:
// here those of the widest estimates.
class WidestLine {
public:
    explicit WidestLine(const QFont &font) : m_widths(TextWidths::of(font)) {}

    // Adds every line of the text.
    void add(const QString &text)
    {
        if (text.contains(QLatin1Char('\n'))) {
            for (const QString &line : text.split(QLatin1Char('\n')))
                addLine(line);
        } else {
            addLine(text);
        }
    }

    int width() const
    {
        qreal widest = m_measured;
        for (const auto &[estimate, line] : m_widest)
            widest = qMax(widest, m_widths.width(line));
        return qCeil(widest) + 2 * kCellPadding;
    }

private:
    void addLine(const QString &line)
    {
        // Characters outside the simple scripts may be shaped together:
        // such a line is measured at once.
        if (!TextWidths::isSimple(line)) {
            m_measured = qMax(m_measured, m_widths.width(line));
            return;
        }
        const qreal estimate = m_widths.estimate(line);
        if (int(m_widest.size()) == ListColumns::MeasuredTexts && estimate <= m_widest.back().first)
            return;
        const auto wider = [](const auto &a, const auto &b) { return a.first > b.first; };
        const std::pair<qreal, QString> entry(estimate, line);
        m_widest.insert(std::upper_bound(m_widest.begin(), m_widest.end(), entry, wider), entry);
        if (int(m_widest.size()) > ListColumns::MeasuredTexts)
            m_widest.pop_back();
    }

    const TextWidths &m_widths;
    // The lines of the widest estimates, widest first.
    std::vector<std::pair<qreal, QString>> m_widest;
    qreal m_measured = 0;
};

// Cells wrap at word boundaries and, where one word is wider than its
// cell (a web address in a service's notes), within the word, so that the
// whole text can be read; the style alone would cut such a word short.
// The text is laid out by one routine for painting and for the row
// heights, so the two always agree; a row whose lines plainly fit their
// cell is not laid out for its height (a line's height for each line).
class WrappingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget *widget = opt.widget;
        const QStyle *style = widget ? widget->style() : QApplication::style();
        // Background, selection and focus as the style draws them.
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        if (text.isEmpty())
            return;
        const int margin = textMargin(opt);
        const QRect room = opt.rect.adjusted(margin, 0, -margin, 0);
        QTextLayout layout;
        const qreal height = lay(layout, text, opt, room.width());
        const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
            : (opt.state & QStyle::State_Active)                             ? QPalette::Normal
                                                                             : QPalette::Inactive;
        painter->save();
        painter->setClipRect(opt.rect);
        painter->setPen(opt.palette.color(group, (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                                      : QPalette::Text));
        qreal top = room.top();
        if (opt.displayAlignment & Qt::AlignVCenter)
            top += qMax<qreal>(0, (room.height() - height) / 2);
        layout.draw(painter, QPointF(room.left(), top));
        painter->restore();
    }

    // The text's natural width, and its height wrapped to the width of
    // option.rect.
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        WidestLine natural(opt.font);
        natural.add(opt.text);
        return QSize(natural.width(), textHeight(opt.text, opt.font, opt.widget, option.rect.width()));
    }

    // The height of one line of text in the font, as laid out.
    static qreal lineHeight(const QFont &font)
    {
        QStyleOptionViewItem opt;
        opt.font = font;
        QTextLayout layout;
        return lay(layout, QStringLiteral("0"), opt, 1000);
    }

    // The height sizeHint() gives the text in a cell of the width;
    // lineHeight is that of the font.
    static int textHeight(const QString &text, const QFont &font, const QWidget *view, int width,
                          qreal lineHeight = -1)
    {
        QStyleOptionViewItem opt;
        opt.font = font;
        opt.widget = view;
        const int room = width - 2 * textMargin(opt);
        if (lineHeight > 0 && !text.endsWith(QLatin1Char('\n'))) {
            const TextWidths &widths = TextWidths::of(font);
            // A line of characters the font draws itself is as high as any
            // other; well inside the room by its estimate, or measured
            // inside it, it is not wrapped.
            auto fits = [&](const QString &line) {
                return TextWidths::isSimple(line)
                    && (estimateHigh(widths.estimate(line)) < room || widths.width(line) + 1 < room);
            };
            const QStringList lines = text.split(QLatin1Char('\n'));
            if (std::all_of(lines.begin(), lines.end(), fits))
                return qCeil(lines.size() * lineHeight) + 2;
        }
        QTextLayout layout;
        return qCeil(lay(layout, text, opt, room)) + 2;
    }

private:
    static int textMargin(const QStyleOptionViewItem &opt)
    {
        const QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
        return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, opt.widget) + 1;
    }

    // Lays the text out in lines of the width; returns their height.
    static qreal lay(QTextLayout &layout, const QString &text, const QStyleOptionViewItem &opt, int width)
    {
        QString lines = text;
        lines.replace(QLatin1Char('\n'), QChar::LineSeparator);
        layout.setText(lines);
        layout.setFont(opt.font);
        QTextOption wrap(opt.displayAlignment & Qt::AlignHorizontal_Mask);
        wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(wrap);
        qreal height = 0;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(qMax(1, width));
            line.setPosition(QPointF(0, height));
            height += line.height();
        }
        layout.endLayout();
        return height;
    }
};

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

    // The Date and Type columns fit their text, every row of it (a
    // double-click on a divider asks for this).
    int sizeHintForColumn(int column) const override
    {
        const int width = contentWidth ? contentWidth(column) : -1;
        return width >= 0 ? width : QTableView::sizeHintForColumn(column);
    }

    // Called when the viewport changes size.
    std::function<void()> resized;
    // The width the text of the Date or Type column needs; else -1.
    std::function<int(int column)> contentWidth;

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QTableView::resizeEvent(event);
        if (resized)
            resized();
    }
};

ScheduleGridView *gridView(QTableView *grid)
{
    return static_cast<ScheduleGridView *>(grid);
}

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
    m_grid->setItemDelegate(new WrappingDelegate(m_grid));
    m_grid->setObjectName(QStringLiteral("SGrid"));
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabLeavesGrid(m_grid);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setWordWrap(true);
    m_grid->setSortingEnabled(false);
    m_grid->verticalHeader()->hide();
    // Rows are sized here from their wrapped text, never measured by the
    // view (it would measure every cell, and a heading by its Date cell
    // alone).
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The room for the titles, which their rows' heights follow, stays
    // the same whether the list is long or short: a scroll bar that came
    // and went would fit every row again.
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_grid->horizontalHeader()->setSectionsClickable(false);
    // The title column is sized to the room left; Date and Type the user
    // may widen.
    m_grid->horizontalHeader()->setSectionResizeMode(ScheduleGridModel::TitleColumn, QHeaderView::Fixed);
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

    gridView(m_grid)->resized = [this] { fitRows(); };
    gridView(m_grid)->contentWidth = [this](int column) { return contentWidth(column); };
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (column == ScheduleGridModel::DateColumn || column == ScheduleGridModel::TypeColumn)
            fitRows();
    });

    connect(m_choirCombo, &QComboBox::activated, this, [this] { choirChosen(); });
    connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex &at) { gridDoubleClicked(at.row()); });
    returnDoesDoubleClick(m_grid);
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
    // A heading's date and notes run across the Date, Type and title
    // columns.
    m_grid->clearSpans();
    for (int r = 0; r < m_model->rowCount(); ++r)
        if (m_model->rowAt(r).heading)
            m_grid->setSpan(r, ScheduleGridModel::DateColumn, 1, kHeadingSpan);
    // No row is current after a rebuild: the header is.
    setCurrentRow(-1);
    sizeColumns();
    // The rebuilt rows are all of one line until fitted.
    m_fittedTitle = -1;
    m_fittedSpan = -1;
    fitRows();
}

void ScheduleViewForm::showEvent(QShowEvent *event)
{
    BaseForm::showEvent(event);
    fitRows();
}

int ScheduleViewForm::contentWidth(int column) const
{
    const bool date = column == ScheduleGridModel::DateColumn;
    if (!date && column != ScheduleGridModel::TypeColumn)
        return -1;
    // A heading's date line; its notes wrap across the columns. An entry's
    // type.
    QFont font = m_grid->font();
    font.setBold(date);
    WidestLine widest(font);
    for (int r = 0; r < m_model->rowCount(); ++r) {
        if (m_model->rowAt(r).heading != date)
            continue;
        const QString text = m_model->text(r, column);
        const qsizetype end = text.indexOf(QLatin1Char('\n'));
        widest.add(end < 0 ? text : text.left(end));
    }
    return widest.width();
}

void ScheduleViewForm::sizeColumns()
{
    QFont bold = m_grid->font();
    bold.setBold(true);
    QHeaderView *header = m_grid->horizontalHeader();
    const int captionWidth[3] = {header->sectionSizeHint(ScheduleGridModel::DateColumn),
                                 header->sectionSizeHint(ScheduleGridModel::TypeColumn),
                                 header->sectionSizeHint(ScheduleGridModel::TitleColumn)};
    const int date = std::max({kDateTwips / kTwipsPerPixel, captionWidth[0], contentWidth(ScheduleGridModel::DateColumn)});
    const int type = std::max({kTypeTwips / kTwipsPerPixel, captionWidth[1], contentWidth(ScheduleGridModel::TypeColumn)});
    m_titleMin = qMax(kTitleTwips / kTwipsPerPixel, captionWidth[2]);
    // A row of one line keeps the header's size: only the taller rows are
    // resized, each resize costing a walk over the rows.
    m_grid->verticalHeader()->setDefaultSectionSize(
        qCeil(qMax(WrappingDelegate::lineHeight(m_grid->font()), WrappingDelegate::lineHeight(bold))) + 2
        + kRowPadding);
    const QScopedValueRollback fitting(m_fitting, true);
    m_grid->setColumnWidth(ScheduleGridModel::DateColumn, date);
    m_grid->setColumnWidth(ScheduleGridModel::TypeColumn, type);
}

void ScheduleViewForm::fitRows()
{
    // Rows are fitted to the room the grid shows them in, so once it is
    // shown; a hidden window's rows wait for it.
    if (m_fitting || !m_grid->isVisible())
        return;
    const QScopedValueRollback fitting(m_fitting, true);
    const int fixed =
        m_grid->columnWidth(ScheduleGridModel::DateColumn) + m_grid->columnWidth(ScheduleGridModel::TypeColumn);
    const int title = qMax(m_titleMin, m_grid->viewport()->width() - fixed);
    m_grid->setColumnWidth(ScheduleGridModel::TitleColumn, title);
    const int span = fixed + title;
    if (title == m_fittedTitle && span == m_fittedSpan)
        return;
    m_fittedTitle = title;
    m_fittedSpan = span;
    // The cell as the view paints it: its width less the grid line.
    const int line = m_grid->showGrid() ? 1 : 0;
    QHeaderView *vertical = m_grid->verticalHeader();
    const int single = vertical->defaultSectionSize();
    const QFont plain = m_grid->font();
    QFont bold = plain;
    bold.setBold(true);
    const qreal plainLine = WrappingDelegate::lineHeight(plain);
    const qreal boldLine = WrappingDelegate::lineHeight(bold);
    // A header with its updates on finds a resized row's place through
    // every row above it; off, it only notes the size, and the grid lays
    // the rows out once.
    vertical->setUpdatesEnabled(false);
    for (int r = 0; r < m_model->rowCount(); ++r) {
        const bool heading = m_model->rowAt(r).heading;
        const QString text =
            m_model->text(r, heading ? ScheduleGridModel::DateColumn : ScheduleGridModel::TitleColumn);
        const int height = qMax(single, WrappingDelegate::textHeight(text, heading ? bold : plain, m_grid,
                                                                      (heading ? span : title) - line,
                                                                      heading ? boldLine : plainLine)
                                            + kRowPadding);
        if (vertical->sectionSize(r) != height)
            vertical->resizeSection(r, height);
    }
    vertical->setUpdatesEnabled(true);
}

void ScheduleViewForm::fitToGrid()
{
    // The window opens wide enough for the longest title on one line and
    // every header whole (the main window keeps it within its own room);
    // longer titles and a service's notes wrap instead.
    WidestLine widest(m_grid->font());
    for (int r = 0; r < m_model->rowCount(); ++r)
        if (!m_model->rowAt(r).heading)
            widest.add(m_model->text(r, ScheduleGridModel::TitleColumn));
    const int title = qMax(m_titleMin, widest.width());
    const int columns =
        m_grid->columnWidth(ScheduleGridModel::DateColumn) + m_grid->columnWidth(ScheduleGridModel::TypeColumn) + title;
    const QMargins margins = layout()->contentsMargins();
    const int needed = columns + 2 * m_grid->frameWidth() + m_grid->verticalScrollBar()->sizeHint().width()
        + margins.left() + margins.right();
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
