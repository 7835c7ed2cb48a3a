#include "MemberReportModule.h"

#include "Db.h"
#include "Fmt.h"
#include "MemberRecord.h"
#include "Module.h"
#include "RecordCodes.h"
#include "RecordReport.h"
#include "ReportFonts.h"
#include "ReportPrinter.h"
#include "ReportRoutines.h"
#include "ReportSource.h"
#include "SR2PrintForm.h"

#include <QDate>
#include <QSqlQuery>
#include <QStringList>
#include <QVector>
#include <algorithm>
#include <cmath>

namespace {

// The options as the report window numbers them.
enum Option { BlankPage = 1, MyDataFields, MailingLabels };

// The captions of u1..u5 (index 1 to 5) from the last build that found
// the labels row of members.
QString MemberDataCaptions[6];

// Members are read this many at a time, so a report of every member holds
// only one slice of rows in memory besides its pages.
constexpr int kSlice = 1000;

constexpr int kPageBreakY = 10000;
constexpr int kMemberGap = 400;
constexpr int kBlankBlocks = 4;
constexpr int kBlankSheetEndY = 12000;
constexpr int kBlankBlockGap = 400;

// Label sheet geometry, twips.
constexpr int kLabelMarginSide = 500;
constexpr int kLabelMarginTopBottom = 900;
constexpr int kLabelFontSize = 10;
constexpr int kLabelColumns = 3;
constexpr int kLabelRows = 10;
constexpr int kLabelColumnStep = 4000;
constexpr int kLabelRowStep = 1450;
constexpr int kTwipsPerPoint = 20;
constexpr int kHalfPoint = kTwipsPerPoint / 2;
constexpr int kLabelSmallestSize = 7 * kTwipsPerPoint;
// Kept free before the next column's label: the space between the labels
// of a common three-across sheet, an eighth of an inch.
constexpr int kLabelGap = 180;

const QString kFiveBlanks = QString(5, QLatin1Char(' '));
const QString kLF = QStringLiteral("\n");

struct MemberRow {
    MemberAddress address;
    QVariant aniversary, birthday;
    QVariant street1, street2, state, homePhone, cellPhone, workPhone, grade, email, parent;
    QString school;
    QVariant u[5];
    QStringList choirs;
};

// A line of a label as printed: its text and its size in twips.
struct LabelLine {
    QString text;
    int size;
};

// The lines of a label in a column `room` wide, none larger than
// `largest` (twips). A line that does not fit is set smaller in half
// points, down to 7 points (or `largest` when that is less); one still too
// wide wraps at blanks at that size. An empty line keeps its place.
QList<LabelLine> setLabelLines(const QStringList &lines, FontSpec font, int room, int largest)
{
    const int smallest = std::min(largest, kLabelSmallestSize);
    QList<LabelLine> out;
    for (const QString &line : lines) {
        font.sizeTwips = largest;
        while (font.sizeTwips > smallest && ReportFonts::metrics(font).width(line) > room)
            font.sizeTwips -= kHalfPoint;
        for (const ReportFonts::WrappedLine &piece : ReportFonts::metrics(font).wrap(line, room))
            out.append({piece.text, font.sizeTwips});
    }
    return out;
}

// The height the printer gives the lines, each ending with a line feed.
int labelHeight(const QList<LabelLine> &lines, FontSpec font)
{
    int height = 0;
    for (const LabelLine &line : lines) {
        font.sizeTwips = line.size;
        height += int(std::ceil(ReportFonts::metrics(font).lineSpacing));
    }
    return height;
}

// The label's lines at the sizes that keep them inside its row. When the
// row cannot hold them even with 7 point lines (only for addresses near
// the fields' limits) the whole label is set smaller still: a whole
// address in small type beats one cut short or printed over the label
// below.
QList<LabelLine> fitLabel(const QStringList &lines, const FontSpec &font, int room)
{
    QList<LabelLine> set;
    for (int largest = kLabelFontSize * kTwipsPerPoint; largest >= kHalfPoint; largest -= kHalfPoint) {
        set = setLabelLines(lines, font, room, largest);
        if (labelHeight(set, font) <= kLabelRowStep)
            break;
    }
    return set;
}

// One slice of members, positions [from, to): those that still exist, in
// list order; with their choirs (every linked choir, active or not, by
// name) when asked for.
QVector<MemberRow> readSlice(const ReportSource &source, int from, int to, bool withChoirs)
{
    QVector<MemberRow> rows;
    QVector<int> positions;
    QSqlQuery q = Db::query(QStringLiteral(
        "select r.pos, m.FName, m.MName, m.LName, m.Street1, m.Street2, c.City, m.State, z.Zip, m.Aniversary, "
        "m.Birthday, m.HPhone, m.CPhone, m.FPhone, m.grade, s.School, m.Email, m.Parent, m.u1, m.u2, m.u3, m.u4, m.u5 "
        "from temp.report_ids r join member m on m.memberid = r.id "
        "left join city c on c.CityID = m.CityID left join zip z on z.ZipID = m.ZipID "
        "left join school s on s.SchoolID = m.SchoolID "
        "where r.pos >= ? and r.pos < ? order by r.pos"),
        {from, to});
    while (q.next()) {
        MemberRow row;
        row.address.firstName = Fmt::nz(q.value(1));
        row.address.middleName = Fmt::nz(q.value(2));
        row.address.lastName = Fmt::nz(q.value(3));
        row.street1 = q.value(4);
        row.street2 = q.value(5);
        row.address.street1 = Fmt::nz(row.street1);
        row.address.street2 = Fmt::nz(row.street2);
        row.address.city = Fmt::nz(q.value(6));
        row.state = q.value(7);
        row.address.state = Fmt::nz(row.state);
        row.address.zip = Fmt::nz(q.value(8));
        row.aniversary = q.value(9);
        row.birthday = q.value(10);
        row.homePhone = q.value(11);
        row.cellPhone = q.value(12);
        row.workPhone = q.value(13);
        row.grade = q.value(14);
        row.school = Fmt::nz(q.value(15));
        row.email = q.value(16);
        row.parent = q.value(17);
        for (int i = 0; i < 5; ++i)
            row.u[i] = q.value(18 + i);
        positions.append(q.value(0).toInt());
        rows.append(std::move(row));
    }
    if (!withChoirs || rows.isEmpty())
        return rows;
    const QVector<QStringList> choirs =
        source.linkedNamesOfRows(RecordKind::Member, CheckGridKind::Choirs, from, to, positions);
    for (int i = 0; i < rows.size(); ++i)
        rows[i].choirs = choirs.at(i);
    return rows;
}

// Every member of the list that still exists, a slice at a time.
template <class Draw> int forEachMember(const QList<qint32> &ids, bool withChoirs, Draw draw)
{
    const ReportSource source(ids);
    int drawn = 0;
    source.forEachSlice(kSlice, [&](int from, int to) {
        const QVector<MemberRow> rows = readSlice(source, from, to, withChoirs);
        for (const MemberRow &m : rows)
            draw(m, drawn++);
    });
    return drawn;
}

// A caption bold, the value after it regular; the report keeps the 9 pt
// the heading leaves.
void caption(ReportPrinter &p, const QString &text)
{
    p.setFontBold(true);
    p.text(text);
}

void value(ReportPrinter &p, const QString &text)
{
    p.setFontBold(false);
    p.text(text);
}

void captionedLine(ReportPrinter &p, const QString &cap, const QString &val)
{
    caption(p, cap);
    value(p, val + kLF);
}

// Five blanks, the city and ", " when there is a city, then the state, a
// blank and the zip code when either of those is there.
QString placeLine(const MemberRow &m)
{
    QString line = kFiveBlanks;
    if (!m.address.city.isEmpty())
        line += m.address.city + QStringLiteral(", ");
    if (!m.address.zip.isEmpty() || ReportFilled(m.state))
        line += m.address.state + QLatin1Char(' ') + m.address.zip;
    return line;
}

void drawMember(ReportPrinter &p, const MemberRow &m, bool withMyData)
{
    captionedLine(p, QStringLiteral("Name: "),
                  MemberData::listKey(m.address.lastName, m.address.firstName, m.address.middleName));
    captionedLine(p, QStringLiteral("Member since: "), Fmt::my(Fmt::dateFromDb(m.aniversary)));
    caption(p, QStringLiteral("Address:\n"));
    if (ReportFilled(m.street1))
        value(p, kFiveBlanks + m.address.street1 + kLF);
    if (ReportFilled(m.street2))
        value(p, kFiveBlanks + m.address.street2 + kLF);
    value(p, placeLine(m) + kLF);
    if (ReportFilled(m.homePhone))
        captionedLine(p, QStringLiteral("Home Phone: "), Fmt::nz(m.homePhone));
    if (ReportFilled(m.cellPhone))
        captionedLine(p, QStringLiteral("Cell Phone: "), Fmt::nz(m.cellPhone));
    if (ReportFilled(m.workPhone))
        captionedLine(p, QStringLiteral("Work Phone: "), Fmt::nz(m.workPhone));
    if (ReportFilled(m.grade) || !m.school.isEmpty()) {
        caption(p, QStringLiteral("Grade: "));
        value(p, Fmt::nz(m.grade));
        captionedLine(p, QStringLiteral("      School: "), m.school);
    }
    if (ReportFilled(m.email))
        captionedLine(p, QStringLiteral("EMail: "), Fmt::nz(m.email));
    const QDate birthday = Fmt::dateFromDb(m.birthday);
    if (birthday.isValid())
        captionedLine(p, QStringLiteral("Birthday: "), Fmt::md(birthday));
    if (ReportFilled(m.parent))
        captionedLine(p, QStringLiteral("Spouse, Parent, or Guardian: "), Fmt::nz(m.parent));
    if (withMyData)
        PrintMyDataLines(MemberDataCaptions, m.u,
                         [&p](const QString &caption, const QString &value) { captionedLine(p, caption, value); });
    caption(p, QStringLiteral("Choirs: \n"));
    for (const QString &choir : m.choirs)
        value(p, kFiveBlanks + choir + kLF);
}

} // namespace

MemberReportOptions MemberReportOptions::fromReportWindow()
{
    MemberReportOptions o;
    if (SR2PrintForm *form = ReportForm()) {
        o.blankPage = form->optionTicked(BlankPage);
        o.myDataFields = form->optionTicked(MyDataFields);
        o.mailingLabels = form->optionTicked(MailingLabels);
    }
    return o;
}

void SetupMemberReportOptions()
{
    SetupReportOptions({{"Print blank member page", false},
                        {"Include my defined data fields", false},
                        {"Print as mailing labels", false}},
                       300);
}

void PrintMemberReport(ReportPrinter &printer)
{
    const ReportRecordSet &set = hx().ReportMemberSet;
    PrintMemberReport(printer, set.open ? set.ids : QList<qint32>(), MemberReportOptions::fromReportWindow());
}

void PrintMemberReport(ReportPrinter &printer, const QList<qint32> &memberIds, const MemberReportOptions &options)
{
    if (options.mailingLabels) {
        PrintMailingLabels(printer, memberIds);
        return;
    }
    // Without a labels row the captions of the last build stay.
    ReadMyDataCaptions(RecordKind::Member, MemberDataCaptions);
    SetupReportPrinter(printer);
    printer.startDoc();
    PrintReportHeading(QString(), true, QStringLiteral("Members"), QString(), QString(), true);
    if (options.blankPage) {
        PrintBlankMemberPage(printer, options.myDataFields);
    } else {
        const int drawn = forEachMember(memberIds, true, [&](const MemberRow &m, int index) {
            // The gap belongs between two members, never after the last.
            if (index > 0)
                printer.setCurrentY(printer.currentY() + kMemberGap);
            // A block that would start low on the page starts the next
            // page instead, without the logo line.
            if (printer.currentY() > kPageBreakY)
                printer.newPage();
            else
                PrintReportLogo();
            drawMember(printer, m, options.myDataFields);
        });
        if (drawn == 0)
            value(printer, QStringLiteral("There are no members to print.\n"));
    }
    printer.endDoc();
    ShowExportResult(false, !printer.exportFile().isEmpty());
}

std::array<QString, 4> BuildLabelLines(const MemberAddress &m)
{
    std::array<QString, 4> lines;
    lines[0] = Fmt::trimBlanks(m.firstName) + QLatin1Char(' ') + Fmt::trimBlanks(m.middleName) + QLatin1Char(' ')
               + Fmt::trimBlanks(m.lastName);
    lines[1] = m.street1;
    lines[2] = m.street2;
    if (!m.city.isEmpty())
        lines[3] = m.city + QStringLiteral(", ");
    lines[3] += m.state + QLatin1Char(' ') + m.zip;
    return lines;
}

void PrintMailingLabels(ReportPrinter &printer, const QList<qint32> &memberIds)
{
    printer.setMarginLeft(kLabelMarginSide);
    printer.setMarginRight(kLabelMarginSide);
    printer.setMarginTop(kLabelMarginTopBottom);
    printer.setMarginBottom(kLabelMarginTopBottom);
    printer.startDoc();
    printer.setFontSize(kLabelFontSize);
    printer.setIndentLeft(0);
    // The rows start where the document starts, and again at the same
    // place on every further sheet.
    int sheetTop = printer.currentY();
    constexpr int perSheet = kLabelColumns * kLabelRows;
    // A label's room: up to the next label less a gap, and in the last
    // column up to the right margin.
    const int printable = printer.pageWidth() - printer.marginLeft() - printer.marginRight();
    const auto roomOf = [&](int column) {
        const int toMargin = printable - column * kLabelColumnStep;
        return column < kLabelColumns - 1 ? std::min(kLabelColumnStep - kLabelGap, toMargin) : toMargin;
    };
    forEachMember(memberIds, false, [&](const MemberRow &m, int index) {
        const int onSheet = index % perSheet;
        if (index > 0 && onSheet == 0) {
            printer.newPage();
            sheetTop = printer.currentY();
        }
        const int column = onSheet % kLabelColumns;
        const int indent = column * kLabelColumnStep;
        printer.setIndentLeft(indent);
        printer.setCurrentY(sheetTop + (onSheet / kLabelColumns) * kLabelRowStep);
        printer.setCurrentX(printer.marginLeft() + indent);
        // Measured as the printer prints them: without control characters,
        // a stored line break starting a line of its own. An empty second
        // street is left out.
        const std::array<QString, 4> built = BuildLabelLines(m.address);
        QStringList lines;
        for (int i = 0; i < 4; ++i)
            if (i != 2 || !built[i].isEmpty())
                lines << Fmt::withoutControls(built[i]).split(QLatin1Char('\n'));
        const QList<LabelLine> set = fitLabel(lines, printer.font(), roomOf(column));
        for (int i = 0; i < set.size(); ++i) {
            // The size is set before the line feed, so an empty line takes
            // the height it was given.
            printer.setFontSize(double(set[i].size) / kTwipsPerPoint);
            printer.text(i + 1 < set.size() ? set[i].text + kLF : set[i].text);
        }
    });
    printer.setFontSize(kLabelFontSize);
    printer.setIndentLeft(0);
    printer.endDoc();
}

void PrintBlankMemberPage(ReportPrinter &printer, bool withMyDataFields)
{
    const QStringList lines = {
        QStringLiteral("Name: "),
        QStringLiteral("Member since: (mm/yyyy)"),
        QStringLiteral("Address:\n\n\n\n"),
        QStringLiteral("Home Phone: "),
        QStringLiteral("Cell Phone: "),
        QStringLiteral("Work Phone: "),
        QStringLiteral("Grade:") + QString(17, QLatin1Char(' ')) + QStringLiteral("School: "),
        QStringLiteral("EMail: "),
        QStringLiteral("Birthday: (mm/dd)"),
        QStringLiteral("Spouse, Parent, or Guardian: "),
    };
    for (int block = 0; block < kBlankBlocks; ++block) {
        if (printer.currentY() > kBlankSheetEndY)
            break;
        PrintReportLogo();
        printer.setFontBold(true);
        for (const QString &line : lines)
            printer.text(line + kLF);
        if (withMyDataFields)
            for (int i = 1; i <= 5; ++i)
                printer.text(MemberDataCaptions[i] + QStringLiteral(": ") + kLF);
        printer.setCurrentY(printer.currentY() + kBlankBlockGap);
    }
}
