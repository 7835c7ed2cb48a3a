#pragma once
// Writes a report document as a PDF file with real, selectable text. The
// file is written whole or not at all.

#include "ReportModel.h"

#include <QString>

namespace ReportPdf {

// False with a reason when the document is empty or the file could not be
// written (an existing file is then left as it was).
bool write(const ReportDocument &doc, const QString &path, QString *error);

} // namespace ReportPdf
