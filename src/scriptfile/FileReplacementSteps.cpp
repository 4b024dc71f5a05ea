// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FileReplacementSteps: a new file made to match the old one, names, and copies between files.
#include "FileReplacementSteps.h"

#include "FileErrors.h"

#include <QByteArrayList>
#include <QRandomGenerator>

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace
{

constexpr int SizeAttempts = 5;

/// The names of the extended attributes of the file `path` reaches, or of `fd` when `path` is
/// null; none where the file system keeps none, nothing when they cannot be read.
std::optional<QByteArrayList> AttributeNames(const char *path, int fd)
{
    for (int attempt = 0; attempt < SizeAttempts; ++attempt) {
        const ssize_t size = path ? ::listxattr(path, nullptr, 0) : ::flistxattr(fd, nullptr, 0);
        if (size < 0 && errno == ENOTSUP)
            return QByteArrayList();
        if (size <= 0)
            return size == 0 ? std::optional(QByteArrayList()) : std::nullopt;
        QByteArray names(size, Qt::Uninitialized);
        const ssize_t got = path ? ::listxattr(path, names.data(), size_t(size))
                                 : ::flistxattr(fd, names.data(), size_t(size));
        if (got < 0 && errno == ERANGE)
            continue; // one was added meanwhile
        if (got < 0)
            return std::nullopt;
        QByteArrayList list = names.first(got).split('\0');
        list.removeAll(QByteArray());
        return list;
    }
    return std::nullopt;
}

/// The value of the attribute `name` of the file `path` reaches, or of `fd` when `path` is null.
std::optional<QByteArray> AttributeValue(const char *path, int fd, const QByteArray &name)
{
    for (int attempt = 0; attempt < SizeAttempts; ++attempt) {
        const ssize_t size = path ? ::getxattr(path, name.constData(), nullptr, 0)
                                  : ::fgetxattr(fd, name.constData(), nullptr, 0);
        if (size <= 0)
            return size == 0 ? std::optional(QByteArray()) : std::nullopt;
        QByteArray value(size, Qt::Uninitialized);
        const ssize_t got = path ? ::getxattr(path, name.constData(), value.data(), size_t(size))
                                 : ::fgetxattr(fd, name.constData(), value.data(), size_t(size));
        if (got < 0 && errno == ERANGE)
            continue;
        if (got < 0)
            return std::nullopt;
        return value.first(got);
    }
    return std::nullopt;
}

/// Gives `file` exactly the extended attributes of the file `originalPath` reaches. An
/// attribute the new file has already with the same value is left as it is, so a security
/// label the system gave it needs no permission to set.
bool TakeOverAttributes(const QByteArray &originalPath, int file)
{
    const std::optional<QByteArrayList> wanted = AttributeNames(originalPath.constData(), -1);
    const std::optional<QByteArrayList> present = AttributeNames(nullptr, file);
    if (!wanted || !present)
        return false;
    for (const QByteArray &name : *present) {
        if (!wanted->contains(name) && ::fremovexattr(file, name.constData()) != 0)
            return false;
    }
    for (const QByteArray &name : *wanted) {
        const std::optional<QByteArray> value = AttributeValue(originalPath.constData(), -1, name);
        if (!value)
            return false;
        if (present->contains(name) && AttributeValue(nullptr, file, name) == value)
            continue;
        if (::fsetxattr(file, name.constData(), value->constData(), size_t(value->size()), 0) != 0)
            return false;
    }
    return true;
}

} // namespace

void FailToSave(const QString &path, const QString &reason)
{
    FailOnFile(QStringLiteral("save"), path, reason);
}

QByteArray WithRandomEnd(QByteArray prefix)
{
    static constexpr char letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int i = 0; i < 6; ++i)
        prefix += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return prefix;
}

bool CanReachOpenFiles()
{
    return ::access("/proc/self/fd", X_OK) == 0;
}

QByteArray OpenFilePath(int fd)
{
    return "/proc/self/fd/" + QByteArray::number(fd);
}

// The owner goes first: a change of owner drops set-user-ID bits and file capabilities, which
// the attributes and mode then put back. The mode goes last, as an attribute the saver may set
// only while the file is writable (user.*) would otherwise be refused on a read-only file;
// setting it leaves an ACL as it was, since an ACL's mask is the group's bits of the mode.
bool TakeOverMetadata(const QByteArray &originalPath, const struct stat &original, int file)
{
    struct stat fresh {
    };
    if (::fstat(file, &fresh) != 0)
        return false;
    // Only the superuser may give a file to another owner; an owner may give it any group the
    // owner is in.
    if ((fresh.st_uid != original.st_uid || fresh.st_gid != original.st_gid) &&
        ::fchown(file, original.st_uid, original.st_gid) != 0)
        return false;
    if (!TakeOverAttributes(originalPath, file) || ::fchmod(file, original.st_mode & 07777) != 0 ||
        ::fstat(file, &fresh) != 0)
        return false;
    // The system quietly drops a set-group-ID bit of a group the saver is not in.
    return fresh.st_uid == original.st_uid && fresh.st_gid == original.st_gid &&
           (fresh.st_mode & 07777) == (original.st_mode & 07777);
}

qint64 CopyBytes(int from, int to)
{
    QByteArray buffer(qsizetype(1) << 20, Qt::Uninitialized);
    qint64 offset = 0;
    for (;;) {
        const ssize_t got = ::pread(from, buffer.data(), size_t(buffer.size()), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0 ? offset : -1;
        for (ssize_t put = 0; put < got;) {
            const ssize_t step =
                ::pwrite(to, buffer.constData() + put, size_t(got - put), offset + put);
            if (step < 0 && errno == EINTR)
                continue;
            if (step <= 0) {
                errno = step == 0 ? EIO : errno;
                return -1;
            }
            put += step;
        }
        offset += got;
    }
}

bool SyncFolder(int folder)
{
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return false;
    const bool synced = ::fsync(listing) == 0;
    const int error = errno;
    ::close(listing);
    errno = error;
    return synced;
}
