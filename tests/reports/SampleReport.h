#pragma once
// A small report build of the tests' own that uses every drawing feature
// the report builds use, and helpers to read back what was drawn.

#include "ReportPrinter.h"
#include "ReportRoutines.h"

#include <QRegularExpression>
#include <QStringList>

namespace Sample {

inline QString longText(int i)
{
    return QStringLiteral("Notes %1: a setting for mixed voices with a flowing accompaniment that carries the "
                          "melody through three verses and a refrain, suited to the season after Pentecost.")
        .arg(i);
}

// Draws records blocks (caption and value lines, logo line, indented and
// coloured wrapped text), then a table with a header row, shading and
// cell settings whose cells hold "|" and ";" as plain text.
inline void build(ReportPrinter &p, int records, int tableRows = 3)
{
    SetupReportPrinter(p);
    p.startDoc();
    PrintReportHeading(QStringLiteral("Sample Anthems"));
    for (int i = 1; i <= records; ++i) {
        if (p.currentY() > 13000)
            p.newPage();
        PrintReportLogo();
        p.setCurrentX(1440);
        p.setFontBold(true);
        p.setFontSize(8);
        p.text(QStringLiteral("Anthem: "));
        p.setFontBold(false);
        p.setFontSize(9);
        p.text(QStringLiteral("Title %1\n").arg(i));
        p.setIndentLeft(200);
        p.setCurrentX(1640);
        p.setTextColor(ReportPrinter::winColor(0xFF0000));
        p.setFontBold(true);
        p.text(QStringLiteral("Blue heading %1\n").arg(i));
        p.setTextColor(ReportPrinter::winColor(0));
        p.setFontBold(false);
        p.setFontItalic(true);
        p.text(longText(i) + QStringLiteral("\n"));
        p.setFontItalic(false);
        p.setIndentLeft(0);
        if (i < records)
            p.setCurrentY(p.currentY() + 400);
    }
    p.setFontSize(8);
    p.startTable();
    QList<QStringList> rows;
    for (int r = 1; r <= tableRows; ++r)
        rows << QStringList{QStringLiteral("Row %1").arg(r), QStringLiteral("Call | Response; part %1").arg(r),
                            QStringLiteral("Line one\nLine two")};
    p.addTable({QStringLiteral("^1in"), QStringLiteral("2in"), QStringLiteral("2in")},
               {QStringLiteral("DATE"), QStringLiteral("CALL"), QStringLiteral("ANTHEM")}, rows.mid(0, 1),
               ReportPrinter::winColor(0xC0C0FF));
    if (rows.size() > 1)
        p.addTable({QStringLiteral("^1in"), QStringLiteral("2in"), QStringLiteral("2in")},
                   {QStringLiteral("DATE"), QStringLiteral("CALL"), QStringLiteral("ANTHEM")}, rows.mid(1),
                   ReportPrinter::winColor(0xC0C0FF), QColor(), true);
    p.tableCell(TableProp::Bold, 0, ReportPrinter::AllCols, true);
    p.tableCell(TableProp::Align, 0, ReportPrinter::AllCols, int(TextAlign::Center));
    p.tableCell(TableProp::Bold, ReportPrinter::AllRows, 1, true);
    p.endTable();
    p.endDoc();
    ShowExportResult(!p.exportFile().isEmpty());
}

// Every drawn line of a document, whitespace collapsed; a tab stands
// between pieces of a line that are apart (table cells, right-aligned
// text).
inline QStringList lines(const ReportDocument &doc)
{
    QStringList out;
    for (int i = 0; i < doc.pageCount(); ++i) {
        for (const QString &l : doc.pageLines(i)) {
            QStringList pieces;
            for (const QString &piece : l.split(QLatin1Char('\t'))) {
                if (!piece.simplified().isEmpty())
                    pieces << piece.simplified();
            }
            if (!pieces.isEmpty())
                out << pieces.join(QLatin1Char('\t'));
        }
    }
    return out;
}

inline QString simplified(const QString &s)
{
    return QString(s).replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" ")).trimmed();
}

} // namespace Sample
