// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// SaveBackup: the backup made, synced, put back and removed.
#include "SaveBackup.h"

#include "FileReplacementSteps.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

SaveBackup::~SaveBackup()
{
    Remove();
}

bool SaveBackup::Make(int folder, const QByteArray &prefix, int file)
{
    folder_ = folder;
    for (int attempt = 0; attempt < NameAttempts && backup_ < 0; ++attempt) {
        const QByteArray candidate = WithRandomEnd(prefix);
        backup_ =
            ::openat(folder, candidate.constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
        if (backup_ >= 0)
            name_ = candidate;
        else if (errno != EEXIST)
            return false;
    }
    if (backup_ < 0) {
        errno = EEXIST;
        return false;
    }
    size_ = CopyBytes(file, backup_);
    if (size_ >= 0 && ::fsync(backup_) == 0 && SyncFolder(folder))
        return true;
    const int error = errno;
    Remove();
    errno = error;
    return false;
}

bool SaveBackup::PutBack(int file) const
{
    return CopyBytes(backup_, file) == size_ && ::ftruncate(file, size_) == 0 && ::fsync(file) == 0;
}

QByteArray SaveBackup::Keep()
{
    const QByteArray kept = name_;
    name_.clear();
    return kept;
}

void SaveBackup::Remove()
{
    if (!name_.isEmpty())
        ::unlinkat(folder_, name_.constData(), 0);
    name_.clear();
    if (backup_ >= 0)
        ::close(backup_);
    backup_ = -1;
}
