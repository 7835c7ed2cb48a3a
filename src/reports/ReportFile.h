#pragma once
// Report documents (".vsr"): our own versioned file format holding the
// page model. A file is written whole or not at all; reading checks the
// signature, the version, the length and a checksum, so a damaged or
// foreign file is refused with a reason and nothing changes.

#include "ReportModel.h"

#include <QString>

namespace ReportFile {

// Writes pages first..last (1-based) of doc; first = last = 0 writes the
// whole document. False with a reason when nothing could be written or
// the range holds no page.
bool save(const ReportDocument &doc, const QString &path, QString *error, int first = 0, int last = 0);
// Reads a document; false with a reason (and *out untouched) when the file
// is missing, unreadable, damaged or not a report document.
bool load(const QString &path, ReportDocument *out, QString *error);

// The bytes of a document as the file holds them, and back.
QByteArray encode(const ReportDocument &doc);
bool decode(const QByteArray &bytes, ReportDocument *out, QString *error);

} // namespace ReportFile
