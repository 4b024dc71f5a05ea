// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FileReplacement in place: the old bytes backed up and synced first, put back on any failure.
//
// A file written in place keeps its inode, so its owner, group, mode, attributes and other hard
// links stay what they were, but the write is not atomic: until it is synced the file may be
// half old and half new. The backup beside it, synced with its folder entry before the file is
// touched, holds the old bytes meanwhile, and a killed save leaves it behind for the user.
#include "FileErrors.h"
#include "FileReplacement.h"
#include "FileReplacementSteps.h"

#include <QDir>
#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

void FileReplacement::OpenInPlace()
{
    inPlace_ = true;
    // Through /proc the very file opened at the start is opened again, for writing.
    file_ = CanReachOpenFiles()
                ? ::open(OriginalPath().constData(), O_RDWR | O_CLOEXEC | O_NOCTTY)
                : ::openat(folder_, name_.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
    struct stat opened {
    };
    if (file_ < 0 || ::fstat(file_, &opened) != 0)
        Fail(SystemReason(errno));
    if (opened.st_dev != originalStatus_.st_dev || opened.st_ino != originalStatus_.st_ino)
        Fail(QStringLiteral("another program put something else in its place while it was saved"));
    MakeBackup();
    overwriting_ = true;
    if (::ftruncate(file_, 0) != 0)
        Fail(SystemReason(errno));
}

void FileReplacement::MakeBackup()
{
    for (int attempt = 0; attempt < NameAttempts && backup_ < 0; ++attempt) {
        const QByteArray name = WithRandomEnd(SaveBackupPrefix(name_));
        backup_ = ::openat(folder_, name.constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
        if (backup_ >= 0)
            backupName_ = name;
        else if (errno != EEXIST)
            Fail(SystemReason(errno));
    }
    if (backup_ < 0)
        Fail(SystemReason(EEXIST));
    backupSize_ = CopyBytes(file_, backup_);
    if (backupSize_ < 0 || ::fsync(backup_) != 0 || !SyncFolder())
        Fail(SystemReason(errno));
}

bool FileReplacement::PutBackOldBytes()
{
    if (CopyBytes(backup_, file_) != backupSize_ || ::ftruncate(file_, backupSize_) != 0 ||
        ::fsync(file_) != 0)
        return false;
    overwriting_ = false;
    return true;
}

void FileReplacement::RemoveBackup()
{
    if (!backupName_.isEmpty())
        ::unlinkat(folder_, backupName_.constData(), 0);
    backupName_.clear();
    if (backup_ >= 0)
        ::close(backup_);
    backup_ = -1;
}

void FileReplacement::Fail(const QString &reason)
{
    if (overwriting_ && !PutBackOldBytes()) {
        overwriting_ = false;
        const QString kept = QFile::decodeName(folderPath_ + '/' + backupName_);
        backupName_.clear();
        FailToSave(path_, QStringLiteral("%1; its old content could not be put back and is kept "
                                         "in \"%2\"")
                              .arg(reason, QDir::toNativeSeparators(kept)));
    }
    FailToSave(path_, reason);
}
