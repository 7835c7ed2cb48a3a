#include "RecordReport.h"

#include "Fmt.h"
#include "MyDataLabels.h"
#include "ReportPrinter.h"
#include "ReportRoutines.h"
#include "SR2PrintForm.h"

#include <QCheckBox>

void SetupReportOptions(std::initializer_list<ReportOption> options, int firstTop)
{
    SR2PrintForm *form = ReportForm();
    if (!form)
        return;
    QCheckBox *previous = nullptr;
    int i = 0;
    for (const ReportOption &o : options) {
        QCheckBox *box = form->loadDCheck(++i);
        const int top =
            previous ? SR2PrintForm::twipsTop(previous) + SR2PrintForm::twipsHeight(previous) + 75 : firstTop;
        SR2PrintForm::placeTwips(box, 60, top, 3330);
        box->setText(QLatin1String(o.caption));
        box->setChecked(o.ticked);
        box->setVisible(true);
        previous = box;
    }
    if (previous)
        ArrangeReportForm(SR2PrintForm::twipsTop(previous), SR2PrintForm::twipsHeight(previous) + 100);
}

void ReadMyDataCaptions(RecordKind kind, QString (&captions)[6])
{
    if (const auto stored = MyDataLabels::read(myDataType(kind)))
        for (int i = 1; i <= 5; ++i)
            captions[i] = stored->at(i - 1);
}

bool ReportFilled(const QVariant &value)
{
    return !Fmt::nz(value).isEmpty();
}

void ReportCaptionRun(ReportPrinter &p, const QString &caption)
{
    p.setFontBold(true);
    p.setFontSize(8);
    p.text(caption);
    p.setFontBold(false);
    p.setFontSize(9);
}

void ReportCaptionedLine(ReportPrinter &p, const QString &caption, const QString &value)
{
    ReportCaptionRun(p, caption);
    // Apart: a value without line ends is printed as it stands, unsplit.
    p.text(value);
    p.text(QStringLiteral("\n"));
}

void PrintMyDataLines(const QString (&captions)[6], const QVariant (&u)[5],
                      const std::function<void(const QString &, const QString &)> &line)
{
    for (int i = 1; i <= 5; ++i)
        if (ReportFilled(u[i - 1]))
            line(captions[i] + QStringLiteral(": "), Fmt::nz(u[i - 1]));
}
