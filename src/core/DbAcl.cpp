#include "DbAcl.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/xattr.h>

namespace {

// The attribute's layout: a version, then entries sorted by tag and id.
const char *const kName = "system.posix_acl_access";
constexpr quint32 kVersion = 2;
constexpr quint16 kUserObj = 0x01, kUser = 0x02, kGroupObj = 0x04, kMask = 0x10, kOther = 0x20;
constexpr quint32 kNoId = 0xffffffff;

struct Entry {
    quint16 tag;
    quint16 perm;
    quint32 id;
};

// The attribute of a file, asked for its size first: an ACL has no limit
// of its own. Empty when the file has none.
QByteArray attributeOf(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    // It may grow between the two calls; it is asked again then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ssize_t size = ::getxattr(name.constData(), kName, nullptr, 0);
        if (size <= 0)
            return {};
        QByteArray bytes(size, Qt::Uninitialized);
        const ssize_t read = ::getxattr(name.constData(), kName, bytes.data(), size_t(bytes.size()));
        if (read >= 0)
            return bytes.left(read);
        if (errno != ERANGE)
            return {};
    }
    return {};
}

QList<Entry> parse(const QByteArray &bytes)
{
    QList<Entry> out;
    quint32 version = 0;
    if (bytes.size() >= 4)
        std::memcpy(&version, bytes.constData(), 4);
    if (version != kVersion)
        return out;
    for (qsizetype at = 4; at + 8 <= bytes.size(); at += 8) {
        Entry e;
        std::memcpy(&e.tag, bytes.constData() + at, 2);
        std::memcpy(&e.perm, bytes.constData() + at + 2, 2);
        std::memcpy(&e.id, bytes.constData() + at + 4, 4);
        out.append(e);
    }
    return out;
}

QByteArray serialized(QList<Entry> entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return a.tag != b.tag ? a.tag < b.tag : a.id < b.id; });
    QByteArray out(reinterpret_cast<const char *>(&kVersion), 4);
    for (const Entry &e : entries) {
        out.append(reinterpret_cast<const char *>(&e.tag), 2);
        out.append(reinterpret_cast<const char *>(&e.perm), 2);
        out.append(reinterpret_cast<const char *>(&e.id), 4);
    }
    return out;
}

} // namespace

namespace DbAcl {

bool grantUser(int fd, const QString &from, mode_t mode, uid_t user, unsigned perm)
{
    QList<Entry> entries = parse(attributeOf(from));
    if (entries.isEmpty()) {
        // The mode as an ACL; the mask is the group's bits, as the mode shows it.
        entries = {{kUserObj, quint16((mode >> 6) & 7), kNoId},
                   {kGroupObj, quint16((mode >> 3) & 7), kNoId},
                   {kMask, quint16((mode >> 3) & 7), kNoId},
                   {kOther, quint16(mode & 7), kNoId}};
    }
    entries.removeIf([&](const Entry &e) { return e.tag == kUser && e.id == user; });
    entries.append({kUser, quint16(perm & 7), quint32(user)});
    const QByteArray value = serialized(entries);
    return ::fsetxattr(fd, kName, value.constData(), size_t(value.size()), 0) == 0;
}

} // namespace DbAcl
