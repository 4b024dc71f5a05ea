// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptFile: reading script files in chunks and replacing them atomically, failing with the
// file's name and the operating system's reason.
#pragma once

#include "ScriptFileFormat.h"

#include <QString>

/// The largest script file that is opened (1 GiB); larger ones are refused before reading.
inline constexpr qint64 MaxScriptFileBytes = qint64(1) << 30;

/// The most UTF-8 text an editor document holds (its positions are 32-bit).
inline constexpr qint64 MaxDocumentBytes = 0x7FFF'FFFF;

/// Receives a script's text as UTF-8 while its file is read.
class ScriptTextSink
{
public:
    virtual ~ScriptTextSink() = default;
    /// Drops whatever was received so far; about `bytes` bytes of text follow.
    virtual void Restart(qint64 bytes) = 0;
    /// Takes the next piece of the text.
    virtual void Append(QByteArrayView utf8) = 0;
};

/// Reads the ordinary file at `path` in chunks, hands its text to `sink` as UTF-8 and returns
/// the file's format. A path that is not an ordinary file is never read. Throws EditorError,
/// naming the file and the reason, when the file cannot be read or is too large.
ScriptFormat ReadScriptFile(const QString &path, ScriptTextSink &sink);

/// What a save wrote.
struct SavedScript {
    /// The format written, which the document keeps from now on.
    ScriptFormat format;
    /// Not 0 when a legacy file had to become UTF-8: a character its code page cannot hold.
    char32_t unencodable = 0;
};

/// Writes the UTF-8 `text` to `path` in `format`. The bytes go to a temporary file beside the
/// target, synced, which then replaces the target in one step: the old file stays whole until the
/// new one is complete, keeps its permission bits, and a symbolic link stays a link to it. A
/// Windows-1252 text with a character that code page lacks is written as UTF-8 instead. Throws
/// EditorError, naming the file and the reason, leaving the old file untouched.
SavedScript WriteScriptFile(const QString &path, QByteArrayView text, ScriptFormat format);
