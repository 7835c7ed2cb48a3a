#pragma once
// A scratch file for what a long report would otherwise hold in memory
// (packed pages, the pages of an export until it is written): blocks of
// bytes appended, read back by place. The file lives in the system's
// temporary folder, never in the program folder, and is removed when the
// object goes (where the system allows, it never has a name at all, so
// not even a crash leaves it behind). Safe to use from several threads at
// once.

#include <QByteArray>
#include <QMutex>
#include <QTemporaryFile>

class ReportScratch {
public:
    ReportScratch();
    ReportScratch(const ReportScratch &) = delete;
    ReportScratch &operator=(const ReportScratch &) = delete;

    // Appends the bytes; their place, or -1 when the file could not take
    // them (no file, a full disk).
    qint64 append(const QByteArray &bytes);
    // size bytes from place at; empty when they cannot be read.
    QByteArray read(qint64 at, qint64 size) const;

    // The folder of scratch files: the system's temporary folder, or /tmp
    // when that is not a folder there is.
    static QString folder();

private:
    mutable QMutex m_lock;
    mutable QTemporaryFile m_file;
    bool m_open = false;
    qint64 m_end = 0;
};
