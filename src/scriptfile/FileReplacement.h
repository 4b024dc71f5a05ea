// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FileReplacement: a file's new content, put in its place in one step, keeping what the file was.
#pragma once

#include "FileIdentity.h"
#include "SaveBackup.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

#include <sys/stat.h>

/// A new version of a file, written to a temporary file in the same folder and put in the old
/// one's place by Commit, so the old file stays whole until the new one is complete and synced.
/// Where the file system allows, the temporary file has no name until just before it replaces
/// the old one, so a crash while writing leaves nothing behind. The replacement takes the old
/// file's owner, group, mode bits and extended attributes (ACLs among them). Where it cannot
/// (another user's file, a group or attribute the saver may not set) or the file has other hard
/// links, the file is written in place instead, after its old bytes are copied to a synced
/// backup beside it; any failure puts them back. Failures throw EditorError naming the file and
/// the system's reason; a replacement that fails or is dropped before its commit leaves the old
/// file as it was and removes what it made.
class FileReplacement
{
public:
    /// Starts replacing the file `path` names, following symbolic links to the file they point
    /// at (a link to nothing gets that file created) unless a SaveNameItself for `path` lives.
    /// `existing`, the status the caller found there with links followed, says whether a file
    /// is there; what the new file keeps is taken from the file then opened at the name, which
    /// must be that same file.
    FileReplacement(const QString &path, const struct stat *existing);
    ~FileReplacement();
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;

    /// Appends `bytes` to the new content.
    void Write(QByteArrayView bytes);
    /// Syncs the new content to disk and puts it in place of the old file in one step (or, in
    /// place, syncs it and drops the backup); then syncs the folder and removes what killed saves
    /// of the same file left behind in temporary files. Returns the new file's identity.
    FileIdentity Commit();

private:
    void Open(const struct stat *existing);
    bool OpenOriginal(const struct stat *existing);
    void OpenTemporary(mode_t mode);
    void OpenNamed(mode_t mode);
    void Discard();
    void LinkUnnamed();
    void OpenInPlace();
    bool PutBackOldBytes();
    void RemoveLeftovers() const;
    QByteArray OriginalPath() const;
    [[noreturn]] void Fail(const QString &reason);

    QString path_;
    QByteArray folderPath_;
    QByteArray name_;
    bool nameIsLink_ = false;
    int folder_ = -1;
    // The file at the name when the save started, opened without access (O_PATH).
    int original_ = -1;
    struct stat originalStatus_ {
    };
    QByteArray temporaryName_;
    int file_ = -1;
    qint64 written_ = 0;
    // Writing in place: the backup, and whether the file's old bytes are in the backup only.
    bool inPlace_ = false;
    std::optional<SaveBackup> backup_;
    bool overwriting_ = false;
};

/// While one lives, saves of `path` put the new file at that very name: a symbolic link found
/// there is replaced, and the file it points at is left alone. A document read from an ordinary
/// file saves through one, so a link another program has put at its name since is never
/// followed into another folder.
class SaveNameItself
{
public:
    explicit SaveNameItself(const QString &path);
    ~SaveNameItself();
    SaveNameItself(const SaveNameItself &) = delete;
    SaveNameItself &operator=(const SaveNameItself &) = delete;

    /// True while a SaveNameItself for `path` lives.
    static bool Covers(const QString &path);

private:
    QString path_;
    const SaveNameItself *outer_;
};

/// How the temporary file of a save of the file named `fileName` begins: a hidden name, the same
/// length whatever the file's name is so it always fits, made from that name alone. The next
/// successful save of the file removes any file so named that a killed save left behind.
QByteArray SaveLeftoverPrefix(QByteArrayView fileName);

/// How the backup of the old bytes of a save in place of the file `fileName` begins, made as
/// SaveLeftoverPrefix is. A killed save may leave one holding the only whole copy of the file,
/// so no save removes it but its own.
QByteArray SaveBackupPrefix(QByteArrayView fileName);

/// The backups that killed saves of the file `path` names left beside it, links followed as a
/// save follows them; empty when there are none or the folder cannot be listed.
QStringList LeftoverBackups(const QString &path);
