// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FileIdentity: which version of a file a document was read from or saved as, so a save can tell
// whether another program changed the file since.
#pragma once

#include <QString>

#include <sys/stat.h>

/// One version of a file on disk: which file it is (device and inode), and its size and
/// modification time when it was read or written. Another program that rewrites the file changes
/// its size or time; one that puts a new file in its place changes the inode. It also tells
/// whether the document's name reached the file through a symbolic link, so a link another
/// program puts at the name of an ordinary file is noticed and never followed.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedSeconds = 0;
    qint64 modifiedNanoseconds = 0;
    bool nameIsLink = false;
    friend bool operator==(const FileIdentity &, const FileIdentity &) = default;
};

/// The identity in the status of an open file, taken with fstat on the descriptor that was read
/// or written, so it describes that very version; `nameIsLink` as given.
FileIdentity IdentityOf(const struct stat &status, bool nameIsLink = false);

/// `identity`, of the file just read through `path`, with `nameIsLink` set when `path` is a
/// symbolic link that leads to that very file. A link that leads elsewhere was put there after the
/// read, so the name counts as the ordinary file that was read.
FileIdentity WithNameKind(const QString &path, FileIdentity identity);

/// How the file at a path stands against the version a document remembers.
enum class DiskState {
    AsRemembered, ///< the same version, or no file whose status can be read (the save says why)
    Changed,      ///< another version or another file is there now
    NowALink,     ///< the name, an ordinary file when remembered, is a symbolic link now
    Missing,      ///< nothing is there any more
};

/// Compares the file at `path`, symbolic links followed, with `remembered`. Reads only the
/// file's status, never its content.
DiskState CompareWithDisk(const QString &path, const FileIdentity &remembered);

/// What the symbolic link `path` says it points at, as it says it; empty when it is no link.
QString LinkTarget(const QString &path);
