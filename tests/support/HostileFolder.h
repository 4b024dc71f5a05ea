// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// HostileFolder: a temporary folder of the things a load or save meets in place of a script.
#pragma once

#include <QString>
#include <QTemporaryDir>

/// A fresh temporary folder holding "folder/" (a folder), "plain.qc" (a file, so that
/// "plain.qc/x.qc" lies below a file), "fifo.qc" (a FIFO), "huge.qc" (one byte over the largest
/// script file, a hole that takes no disk), "secret.qc" (a file nobody may read) and "locked/"
/// (a folder nobody may write into). Their permissions are given back when it goes, so that it
/// can be removed. A test checks `made` before using it.
class HostileFolder
{
public:
    HostileFolder();
    ~HostileFolder();
    HostileFolder(const HostileFolder &) = delete;
    HostileFolder &operator=(const HostileFolder &) = delete;

    /// The path of `name` inside the folder.
    QString FilePath(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    bool made = false;
};
