// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FileIdentity: which version of a file a document was read from or saved as, so a save can tell
// whether another program changed the file since.
#pragma once

#include <QString>

#include <sys/stat.h>

/// One version of a file on disk: which file it is (device and inode), and its size and
/// modification time when it was read or written. Another program that rewrites the file changes
/// its size or time; one that puts a new file in its place changes the inode.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedSeconds = 0;
    qint64 modifiedNanoseconds = 0;
    friend bool operator==(const FileIdentity &, const FileIdentity &) = default;
};

/// The identity in the status of an open file, taken with fstat on the descriptor that was read
/// or written, so it describes that very version.
FileIdentity IdentityOf(const struct stat &status);

/// How the file at a path stands against the version a document remembers.
enum class DiskState {
    AsRemembered, ///< the same version, or no file whose status can be read (the save says why)
    Changed,      ///< another version or another file is there now
    Missing,      ///< nothing is there any more
};

/// Compares the file at `path`, symbolic links followed, with `remembered`. Reads only the
/// file's status, never its content.
DiskState CompareWithDisk(const QString &path, const FileIdentity &remembered);
