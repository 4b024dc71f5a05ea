// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptFile: reading script files in chunks and replacing them atomically, failing with the
// file's name and the operating system's reason.
#pragma once

#include "FileIdentity.h"
#include "ScriptFileFormat.h"

#include <QString>

/// The most UTF-8 text an editor document holds: its positions are 32-bit signed numbers.
/// Opening and editing share this one limit, so whatever can be saved can be opened again.
inline constexpr qint64 MaxDocumentBytes = 0x7FFF'FFFF;

/// The largest script file that is opened: a full document and a UTF-8 byte-order mark, the most
/// a save writes. Larger files are refused unread, but for their first bytes.
inline constexpr qint64 MaxScriptFileBytes = MaxDocumentBytes + Utf8Bom.size();

/// The largest UTF-16 script file that is opened: a full document as UTF-16, at most two bytes
/// for each byte of its UTF-8, after the byte-order mark.
inline constexpr qint64 MaxUtf16ScriptFileBytes = 2 * MaxDocumentBytes + Utf16LeBom.size();

/// The size of the pieces a script file is read and written in; tests choose smaller ones.
inline constexpr qsizetype ScriptChunkBytes = qsizetype(1) << 20;

/// The limit in words, for the messages that refuse more text.
QString DocumentLimitText();

/// Receives a script's text as UTF-8 while its file is read.
class ScriptTextSink
{
public:
    virtual ~ScriptTextSink() = default;
    /// The file is open, before any text is read; `identity` is the version being read.
    virtual void Opened(const FileIdentity &identity) { Q_UNUSED(identity); }
    /// Drops whatever was received so far; about `bytes` bytes of text follow.
    virtual void Restart(qint64 bytes) = 0;
    /// Takes the next piece of the text.
    virtual void Append(QByteArrayView utf8) = 0;
};

/// What a load read.
struct LoadedScript {
    /// The file's encoding and dominant line end.
    ScriptFormat format;
    /// The version of the file that was read, as it was when it was opened.
    FileIdentity identity;
    /// The length in bytes of the text's longest line once decoded, its line end left out.
    qint64 longestLine = 0;
};

/// Reads the ordinary file at `path` in chunks of `chunkBytes` and hands its text to `sink` as
/// UTF-8. A path that is not an ordinary file is never read. Throws EditorError, naming the file
/// and the reason, when the file cannot be read, is too large, becomes shorter while it is read,
/// or is UTF-16 by its byte-order mark but not valid UTF-16.
LoadedScript ReadScriptFile(const QString &path, ScriptTextSink &sink,
                            qsizetype chunkBytes = ScriptChunkBytes);

/// What a save wrote.
struct SavedScript {
    /// The format written, which the document keeps from now on.
    ScriptFormat format;
    /// Not 0 when a legacy file had to become UTF-8: a character its code page cannot hold.
    char32_t unencodable = 0;
    /// The version of the file that was written.
    FileIdentity identity;
};

/// Writes the UTF-8 `text` to `path` in `format` through a FileReplacement: the old file stays
/// whole until the new one is complete and synced, keeps its permission bits, and a symbolic link
/// stays a link to it. A code-page text with a character that code page lacks is written as UTF-8
/// instead: callers ask the user first (FirstCharacterOutside). Throws EditorError, naming the
/// file and the reason, leaving the old file untouched.
SavedScript WriteScriptFile(const QString &path, QByteArrayView text, ScriptFormat format,
                            qsizetype chunkBytes = ScriptChunkBytes);
