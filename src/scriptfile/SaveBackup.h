// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// SaveBackup: the old bytes of a file saved in place, kept beside it until the save is through.
#pragma once

#include <QByteArray>

/// A file written in place keeps its inode, so its owner, group, mode, attributes and other hard
/// links stay what they were, but the write is not atomic: until it is synced the file may be
/// half old and half new. The backup, a file beside it synced with its folder entry before the
/// file is touched, holds the old bytes meanwhile; a failure puts them back, and a killed save
/// leaves the backup for the user. Dropped, it removes the backup unless it was kept.
class SaveBackup
{
public:
    SaveBackup() = default;
    ~SaveBackup();
    SaveBackup(const SaveBackup &) = delete;
    SaveBackup &operator=(const SaveBackup &) = delete;

    /// Copies the bytes of `file` to a new file in the folder `folder` whose name is `prefix`
    /// and a random end, then syncs it and the folder. False with errno set when that failed;
    /// nothing of the backup is left then.
    bool Make(int folder, const QByteArray &prefix, int file);
    /// Writes the old bytes over `file` and syncs it; false when that failed.
    bool PutBack(int file) const;
    /// Leaves the backup where it is, as the only whole copy of the old bytes, and returns its
    /// name in the folder.
    QByteArray Keep();

private:
    void Remove();

    int folder_ = -1;
    int backup_ = -1;
    QByteArray name_;
    qint64 size_ = 0;
};
