#pragma once
// A report read back from its page model, and the report window pressed
// and closed as the user does, shared by the record and schedule report
// tests.

#include "ReportModel.h"
#include "SR2PrintForm.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringList>
#include <QtTest>
#include <algorithm>

namespace reporttest {

// Every line of every page, in order.
inline QStringList allLines(const ReportDocument &doc)
{
    QStringList out;
    for (int p = 0; p < doc.pageCount(); ++p)
        out << doc.pageLines(p);
    return out;
}

// The lines that start with the caption (a block's first line).
inline QStringList linesStarting(const ReportDocument &doc, const QString &caption)
{
    return allLines(doc).filter(QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(caption)));
}

// The lines of one record's block: from its line "caption + name" to the
// next line starting with the caption.
inline QStringList blockOf(const ReportDocument &doc, const QString &caption, const QString &name)
{
    const QStringList lines = allLines(doc);
    const int at = int(lines.indexOf(caption + name));
    if (at < 0)
        return {};
    QStringList block{lines.at(at)};
    for (int i = at + 1; i < lines.size() && !lines.at(i).startsWith(caption); ++i)
        block << lines.at(i);
    return block;
}

// Baselines of the runs with this text on a page, top to bottom.
inline QList<int> baselinesOf(const ReportPage &page, const QString &text)
{
    QList<int> out;
    for (const ReportTextItem &t : page.texts)
        if (t.text == text)
            out << t.baseline;
    std::sort(out.begin(), out.end());
    return out;
}

// Create Report, as the user presses it; the document the window shows.
inline ReportDocument createReport(SR2PrintForm *w)
{
    if (!w)
        return {};
    QTest::mouseClick(w->findChild<QPushButton *>("CreateButton"), Qt::LeftButton);
    return w->printer().document();
}

// Closes the report window, when one is open, and deletes it at once.
inline void closeReportWindow()
{
    QPointer<SR2PrintForm> w = SR2PrintForm::instance();
    if (!w)
        return;
    w->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete w.data();
}

} // namespace reporttest
