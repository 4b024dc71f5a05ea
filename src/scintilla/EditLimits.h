// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EditLimits: what an edit would make of the text's length and of its longest line, checked
// before its first change.
#pragma once

#include <QByteArrayView>
#include <QString>

/// Scintilla lays a line out whole, however little of it is on screen: for each byte it keeps
/// the byte, its style and a 4-byte position, 6 bytes in all. A one-line file of 100 MB took
/// 600 MB more once shown, on top of the 2 bytes a byte the document itself holds.
inline constexpr qint64 LayoutBytesPerByte = 6;

/// The memory this computer has: its physical pages times their size.
qint64 PhysicalMemoryBytes();

/// The longest line the view may lay out with `memory` bytes: half of them is left for the
/// desktop, the document itself (2 bytes a byte: the text and its styles) and its undo history.
qint64 LongestLineFor(qint64 memory);

/// Why lines longer than LongestLineFor(`memory`) are refused, in words, to follow "a line of N
/// bytes, and".
QString LongLineText(qint64 memory);

/// A text as the limits see it: its length, and the lengths of its lines that join the text
/// around it (the first and the last) and of its longest line between them.
struct TextShape {
    qint64 bytes = 0;
    qint64 first = 0;
    qint64 last = 0;
    qint64 longestInside = 0;
    qint64 lineEnds = 0;
    qint64 lineEndBytes = 0;

    /// The shape of `text`, whose line ends are LF, CR or CR LF.
    static TextShape Of(QByteArrayView text);
    /// A text of `bytes` bytes on one line.
    static TextShape OneLine(qint64 bytes);
    /// The same text with each of its line ends made `lineEndBytes` long, as a paste makes them.
    TextShape WithLineEnds(int lineEndBytes) const;
};

/// One change of an edit: the bytes [start, end) replaced by a text shaped `text`.
struct TextChange {
    long start = 0;
    long end = 0;
    TextShape text;
};
