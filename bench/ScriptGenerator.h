// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptGenerator: deterministic script text of any size, so no large file is committed.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

/// About `bytes` bytes of plausible script (keywords, strings, comments, server calls), CRLF
/// line ends, the same text for the same size every time.
QByteArray GenerateScript(qsizetype bytes);

/// GenerateScript(bytes) written to `path`, in a folder removed with the object.
struct ScriptOnDisk {
    explicit ScriptOnDisk(qsizetype bytes);

    QTemporaryDir folder;
    QString path;
};
