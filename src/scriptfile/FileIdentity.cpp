// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FileIdentity: a file version's identity from its status, and the comparison with the disk.
#include "FileIdentity.h"

#include <QFile>

#include <cerrno>

FileIdentity IdentityOf(const struct stat &status)
{
    return FileIdentity{quint64(status.st_dev), quint64(status.st_ino), qint64(status.st_size),
                        qint64(status.st_mtim.tv_sec), qint64(status.st_mtim.tv_nsec)};
}

DiskState CompareWithDisk(const QString &path, const FileIdentity &remembered)
{
    struct stat status {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return errno == ENOENT || errno == ENOTDIR ? DiskState::Missing : DiskState::AsRemembered;
    // Whatever took the file's place, the save refuses to write over anything but a file.
    if (!S_ISREG(status.st_mode))
        return DiskState::AsRemembered;
    return IdentityOf(status) == remembered ? DiskState::AsRemembered : DiskState::Changed;
}
