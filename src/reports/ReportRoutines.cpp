#include "ReportRoutines.h"

#include "Fmt.h"
#include "Module.h"
#include "Prompter.h"
#include "ReportExport.h"
#include "ReportInternal.h"
#include "ReportPrinter.h"
#include "SR2PrintForm.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

ReportPrinter *g_active = nullptr;
QString g_headingText;

constexpr int BodyLeft = 1440;

// Pictures drawn at 300 dots per inch, so they print sharp.
constexpr int PictureDpm = 11811;

QImage makeLogoLine()
{
    // A thin rule that fades out to the right, with a small diamond at its
    // start: the mark before each record.
    QImage img(600, 18, QImage::Format_ARGB32);
    img.setDotsPerMeterX(PictureDpm);
    img.setDotsPerMeterY(PictureDpm);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 600, 0);
    g.setColorAt(0, QColor(40, 60, 120));
    g.setColorAt(1, QColor(40, 60, 120, 0));
    p.fillRect(QRectF(14, 7.5, 586, 3), g);
    QPainterPath diamond;
    diamond.moveTo(0, 9);
    diamond.lineTo(8, 1);
    diamond.lineTo(16, 9);
    diamond.lineTo(8, 17);
    diamond.closeSubpath();
    p.fillPath(diamond, QColor(40, 60, 120));
    return img;
}

QImage makeHeadingLogo()
{
    // A round badge holding a pair of quavers.
    QImage img(133, 133, QImage::Format_ARGB32);
    img.setDotsPerMeterX(PictureDpm);
    img.setDotsPerMeterY(PictureDpm);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 60, 120), 5));
    p.setBrush(QColor(225, 232, 248));
    p.drawEllipse(QRectF(4, 4, 125, 125));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 60, 120));
    p.save();
    p.translate(48, 92);
    p.rotate(-20);
    p.drawEllipse(QRectF(-14, -9, 28, 18));
    p.restore();
    p.save();
    p.translate(92, 82);
    p.rotate(-20);
    p.drawEllipse(QRectF(-14, -9, 28, 18));
    p.restore();
    p.fillRect(QRectF(58, 34, 6, 56), QColor(40, 60, 120));
    p.fillRect(QRectF(102, 24, 6, 56), QColor(40, 60, 120));
    QPainterPath beam;
    beam.moveTo(58, 34);
    beam.lineTo(108, 24);
    beam.lineTo(108, 38);
    beam.lineTo(58, 48);
    beam.closeSubpath();
    p.fillPath(beam, QColor(40, 60, 120));
    return img;
}

} // namespace

namespace ReportInternal {
void printerDestroyed(ReportPrinter *printer)
{
    if (g_active == printer)
        g_active = nullptr;
}
} // namespace ReportInternal

QImage ReportPicture(int index)
{
    static const QImage line = makeLogoLine();
    static const QImage heading = makeHeadingLogo();
    return index == 2 ? heading : line;
}

QString qtFileFilter(const QString &filter)
{
    // "Desc (*.a; *b) | *.a;*.b | Desc2 | *.c" -> "Desc (*.a *.b);;Desc2 (*.c)"
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts.at(i).trimmed();
        const int paren = int(desc.indexOf(QLatin1Char('(')));
        if (paren >= 0)
            desc = desc.left(paren).trimmed();
        QStringList patterns;
        for (const QString &p : parts.at(i + 1).split(QLatin1Char(';'))) {
            const QString t = p.trimmed();
            if (!t.isEmpty())
                patterns << t;
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        out << QStringLiteral("%1 (%2)").arg(desc.isEmpty() ? patterns.join(QLatin1Char(' ')) : desc,
                                             patterns.join(QLatin1Char(' ')));
    }
    if (out.isEmpty())
        return filter.trimmed();
    return out.join(QStringLiteral(";;"));
}

QString ShowFileDialog(const QString &filter, const QString &defaultName, FileMode mode)
{
    QString path = prompter().fileName(QString(), qtFileFilter(filter), defaultName, mode);
    if (path.isEmpty())
        return QString();
    if (mode == FileMode::Save && QFileInfo(path).suffix().isEmpty()) {
        // The first pattern of the filter: "*.pdf" gives ".pdf".
        const QStringList parts = filter.split(QLatin1Char('|'));
        const QString first = parts.size() > 1 ? parts.at(1).split(QLatin1Char(';')).first().trimmed() : QString();
        if (first.startsWith(QLatin1String("*.")) && first.size() > 2)
            path += first.mid(1);
    }
    hx().ExportFileTitle = QFileInfo(path).fileName();
    return path;
}

void ArrangeReportForm(double top, double height)
{
    if (SR2PrintForm *form = ReportForm())
        form->arrangeExportBlock(top, height);
}

void ArrangeReportForm(double top, double height, bool /*noAscii*/)
{
    ArrangeReportForm(top, height);
}

void SetupReportPrinter(ReportPrinter &printer)
{
    g_active = &printer;
    printer.setMarginTop(770);
    printer.setMarginBottom(770);
    printer.setFontName(QStringLiteral("arial"));
    printer.setFontSize(9);
    printer.setFontItalic(true);
    printer.setHeaderFont(printer.font());
    printer.setFontItalic(false);
}

ReportPrinter *activeReportPrinter()
{
    return g_active;
}

QString ReportHeadingText()
{
    return g_headingText;
}

void PrintReportHeading(const QString &title)
{
    PrintReportHeading(QString(), true, title, QString(), QString(), true);
}

void PrintReportHeading(const QString &centreText, bool noLogo, const QString &title,
                        const QString &subtitle1, const QString &subtitle2, bool /*compact*/)
{
    ReportPrinter *p = g_active;
    if (!p)
        return;
    p->setFontSize(14);
    p->setFontBold(true);
    p->setCurrentX(BodyLeft);
    const QImage logo = ReportPicture(2);
    const int logoWidth = ReportPrinter::pictureWidth(logo);
    p->drawPicture(logo, p->currentX(), p->currentY());
    p->setCurrentX(p->currentX() + logoWidth + 200);
    p->setCurrentY(p->currentY() + 75);
    const int titleX = p->currentX();
    g_headingText = title;
    p->text(title);
    p->setFontBold(false);
    p->setTextAlign(TextAlign::Right);
    p->setFontSize(8);
    p->setFontItalic(true);
    const QDateTime now = QDateTime::currentDateTime();
    p->text(Fmt::longDate(now.date()) + QStringLiteral("  ") + Fmt::shortTime(now.time()));
    p->setHeader(title, centreText, QStringLiteral("Page %d"));
    p->setFontItalic(false);
    p->text(QStringLiteral("\n"));
    // Subtitles stand below the title, when a report has them.
    for (const QString &sub : {subtitle1, subtitle2}) {
        if (sub.isEmpty())
            continue;
        p->setTextAlign(TextAlign::Left);
        p->setFontSize(10);
        p->setCurrentX(titleX);
        p->text(sub + QStringLiteral("\n"));
        p->setFontSize(8);
        p->setTextAlign(TextAlign::Right);
    }
    p->setCurrentX(BodyLeft);
    p->setCurrentY(p->currentY() + 400);
    p->text(QStringLiteral("\n"));
    p->setFontSize(9);
    p->setTextAlign(TextAlign::Left);
    if (!noLogo)
        PrintReportLogo();
}

void PrintReportLogo()
{
    ReportPrinter *p = g_active;
    if (!p)
        return;
    const QImage logo = ReportPicture(1);
    p->setCurrentX(BodyLeft);
    p->drawPicture(logo, BodyLeft, p->currentY());
    p->setCurrentX(BodyLeft);
    p->setCurrentY(p->currentY() + 125);
}

void ShowExportResult(bool exported)
{
    if (!exported)
        return;
    ReportPrinter *p = g_active;
    if (!p)
        return;
    if (!p->exportError().isEmpty()) {
        MsgBox(QStringLiteral("The report could not be exported:\n%1").arg(p->exportError()), QString(),
               MsgButtons::Ok, MsgIcon::Critical);
        return;
    }
    const QStringList files = p->exportedFiles();
    if (files.isEmpty())
        return; // nothing was written, so nothing is confirmed
    const QString t = QFileInfo(p->exportFile()).fileName();
    switch (p->exportFormat()) {
    case ExportFormat::PagedHtml:
    case ExportFormat::PagedDhtml: {
        QString base, ext;
        splitExportTitle(t, &base, &ext);
        const int n = int(files.size());
        auto name = [&](int i) { return base + QString::number(i) + ext; };
        QString list;
        if (n == 1)
            list = name(1);
        else if (n == 2)
            list = name(1) + QStringLiteral(", ") + name(2);
        else
            list = name(1) + QStringLiteral(", ") + name(2) + QStringLiteral(" .... ") + name(n);
        MsgBox(QStringLiteral("The HTML/DHTML paged report was created as: \n") + list, QString(), MsgButtons::Ok,
               MsgIcon::Information);
        break;
    }
    case ExportFormat::Rtf:
        MsgBox(QStringLiteral("The Rich Text file: \n%1\nhas been created.").arg(t), QString(), MsgButtons::Ok,
               MsgIcon::Information);
        break;
    default:
        MsgBox(QStringLiteral("The HTML/DHTML file: \n%1\nhas been created.").arg(t), QString(), MsgButtons::Ok,
               MsgIcon::Information);
        break;
    }
}

void ShowExportResult(bool /*ascii*/, bool exported)
{
    ShowExportResult(exported);
}
