#include "ReportScratch.h"

#include <QDir>

QString ReportScratch::folder()
{
    const QString temp = QDir::tempPath();
    return !temp.isEmpty() && QDir(temp).exists() ? temp : QStringLiteral("/tmp");
}

ReportScratch::ReportScratch() : m_file(QDir(folder()).filePath(QStringLiteral("velmora-report-XXXXXX")))
{
    m_open = m_file.open();
}

qint64 ReportScratch::append(const QByteArray &bytes)
{
    const QMutexLocker lock(&m_lock);
    if (!m_open || !m_file.seek(m_end))
        return -1;
    if (m_file.write(bytes) != bytes.size()) {
        // Whatever part was written is never read: the next block goes
        // where this one began.
        return -1;
    }
    const qint64 at = m_end;
    m_end += bytes.size();
    return at;
}

QByteArray ReportScratch::read(qint64 at, qint64 size) const
{
    const QMutexLocker lock(&m_lock);
    if (!m_open || at < 0 || size < 0 || at + size > m_end || !m_file.seek(at))
        return {};
    QByteArray bytes = m_file.read(size);
    return bytes.size() == size ? bytes : QByteArray();
}
