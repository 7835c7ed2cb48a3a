#pragma once
// POSIX access ACLs, as the system keeps them in the extended attribute
// system.posix_acl_access: what the conversion needs to let the owner of
// a database open the rollback journal another user makes beside it.

#include <QString>
#include <sys/types.h>

namespace DbAcl {

// Gives the open file `fd` the ACL of the file at `from` (where it has
// none, `mode` as an ACL) with an entry that grants the user `user` the
// permissions `perm` (rwx bits) in place of any it had. False where the
// system refuses it (a file system without ACLs).
bool grantUser(int fd, const QString &from, mode_t mode, uid_t user, unsigned perm);

} // namespace DbAcl
