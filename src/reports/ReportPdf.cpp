#include "ReportPdf.h"

#include "ReportRenderer.h"

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace ReportPdf {

namespace {
QPageLayout layoutFor(const ReportPage &page)
{
    const bool landscape = page.isLandscape();
    const QSize portrait = landscape ? page.size.transposed() : page.size;
    // Page sizes are whole twips; points are twips / 20.
    const QPageSize size(QSizeF(portrait.width() / 20.0, portrait.height() / 20.0), QPageSize::Point,
                         QString(), QPageSize::FuzzyMatch);
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Point);
}
} // namespace

bool write(const ReportDocument &doc, const QString &path, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (doc.isEmpty())
        return fail(QStringLiteral("There is no report to write."));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setResolution(1440); // one device unit is one twip
        writer.setCreator(QStringLiteral("The Velmora"));
        writer.setPageLayout(layoutFor(doc.page(0)));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            return fail(QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(path)));
        }
        for (int i = 0; i < doc.pageCount(); ++i) {
            if (i > 0) {
                writer.setPageLayout(layoutFor(doc.page(i)));
                writer.newPage();
            }
            ReportRenderer::drawPage(painter, doc, i, false);
        }
        painter.end();
    }
    if (file.error() != QFileDevice::NoError || !file.commit()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), why));
    }
    return true;
}

} // namespace ReportPdf
