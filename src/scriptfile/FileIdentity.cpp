// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FileIdentity: a file version's identity from its status, and the comparison with the disk.
#include "FileIdentity.h"

#include <QFile>

#include <cerrno>
#include <climits>

#include <unistd.h>

FileIdentity IdentityOf(const struct stat &status, bool nameIsLink)
{
    return FileIdentity{quint64(status.st_dev),         quint64(status.st_ino),
                        qint64(status.st_size),         qint64(status.st_mtim.tv_sec),
                        qint64(status.st_mtim.tv_nsec), nameIsLink};
}

FileIdentity WithNameKind(const QString &path, FileIdentity identity)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat name {
    };
    struct stat file {
    };
    identity.nameIsLink = ::lstat(native.constData(), &name) == 0 && S_ISLNK(name.st_mode) &&
                          ::stat(native.constData(), &file) == 0 &&
                          quint64(file.st_dev) == identity.device &&
                          quint64(file.st_ino) == identity.inode;
    return identity;
}

DiskState CompareWithDisk(const QString &path, const FileIdentity &remembered)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat status {
    };
    if (::lstat(native.constData(), &status) != 0)
        return errno == ENOENT || errno == ENOTDIR ? DiskState::Missing : DiskState::AsRemembered;
    if (S_ISLNK(status.st_mode) && !remembered.nameIsLink)
        return DiskState::NowALink;
    if (::stat(native.constData(), &status) != 0)
        return errno == ENOENT || errno == ENOTDIR ? DiskState::Missing : DiskState::AsRemembered;
    // Whatever took the file's place, the save refuses to write over anything but a file.
    if (!S_ISREG(status.st_mode))
        return DiskState::AsRemembered;
    return IdentityOf(status, remembered.nameIsLink) == remembered ? DiskState::AsRemembered
                                                                   : DiskState::Changed;
}

QString LinkTarget(const QString &path)
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
    return length < 0 ? QString() : QFile::decodeName(QByteArray(target, length));
}
