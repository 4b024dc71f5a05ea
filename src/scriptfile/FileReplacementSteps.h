// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FileReplacementSteps: the pieces a FileReplacement is made of that need none of its state.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <sys/stat.h>

/// How many random names a save tries for a temporary file or a backup before it gives up.
inline constexpr int NameAttempts = 100;

/// Throws EditorError reading `cannot save "<path>": <reason>`.
[[noreturn]] void FailToSave(const QString &path, const QString &reason);

/// `prefix` and six random letters: a name for a temporary file or a backup.
QByteArray WithRandomEnd(QByteArray prefix);

/// True where the process can reach its open files through /proc, which a chroot may lack.
bool CanReachOpenFiles();

/// The path that reaches the open file `fd` through /proc.
QByteArray OpenFilePath(int fd);

/// Gives the new file `file` the owner, group, mode bits and every extended attribute (ACLs
/// included) of `original`, the status of the file `originalPath` reaches, and drops any
/// attribute `original` lacks, such as an ACL the folder gives new files. False when the new file
/// cannot be made to match, so it would not be what the old one was.
bool TakeOverMetadata(const QByteArray &originalPath, const struct stat &original, int file);

/// Syncs the entries of the folder `folder` (an O_PATH descriptor will do); false with errno set
/// when that failed.
bool SyncFolder(int folder);

/// Copies the bytes of `from` from its start to `to` from its start, with pread and pwrite so
/// that neither file's offset moves. Returns the number copied, or -1 with errno set.
qint64 CopyBytes(int from, int to);
