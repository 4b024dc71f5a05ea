// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FileReplacement: a file's new content, written beside it and put in its place in one step.
#pragma once

#include "FileIdentity.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <sys/stat.h>

/// A new version of a file, written to a temporary file in the same folder and put in the old
/// one's place by Commit, so the old file stays whole until the new one is complete and synced.
/// Where the file system allows, the temporary file has no name until just before it replaces
/// the old one, so a crash while writing leaves nothing behind. Failures throw EditorError
/// naming the file and the system's reason; a replacement that fails or is dropped before its
/// commit removes its temporary file and leaves the old file as it was.
class FileReplacement
{
public:
    /// Starts replacing the file `path` names, following symbolic links to the file they point
    /// at (a link to nothing gets that file created). `existing`, the status of the file there
    /// when there is one, gives the new file its mode bits and, where permitted, its owner.
    FileReplacement(const QString &path, const struct stat *existing);
    ~FileReplacement();
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;

    /// Appends `bytes` to the new content.
    void Write(QByteArrayView bytes);
    /// Syncs the new content to disk and puts it in place of the old file in one step; then
    /// removes what killed saves of the same file left behind. Returns the new file's identity.
    FileIdentity Commit();

private:
    void Open(const struct stat *existing);
    void Discard();
    void OpenNamed(mode_t mode);
    void KeepModeAndOwner(const struct stat &existing);
    void LinkUnnamed();
    void SyncFolderAndRemoveLeftovers();
    [[noreturn]] void Fail(const QString &reason) const;

    QString path_;
    QByteArray name_;
    QByteArray temporaryName_;
    int folder_ = -1;
    int file_ = -1;
    qint64 written_ = 0;
};

/// How the temporary file of a save of the file named `fileName` begins: a hidden name, the same
/// length whatever the file's name is so it always fits, made from that name alone. The next
/// successful save of the file removes any file so named that a killed save left behind.
QByteArray SaveLeftoverPrefix(QByteArrayView fileName);
