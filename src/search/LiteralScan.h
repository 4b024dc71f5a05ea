// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LiteralScan: finding a fixed string of bytes, exactly or with ASCII letters in either case.
#pragma once

#include "SearchText.h"
#include "TextMatch.h"

#include <QByteArray>

/// A compiled search for one non-empty byte string. With `foldAsciiCase` an ASCII letter of the
/// needle matches that letter in either case; every other byte matches only itself, so a UTF-8
/// needle matches only at character boundaries of UTF-8 text.
class LiteralScan
{
public:
    LiteralScan(const QByteArray &needle, bool foldAsciiCase);

    qsizetype Size() const { return needle_.size(); }
    /// The offset of the first occurrence that starts at or after `from` and ends by `size`, or
    /// -1 when there is none.
    qsizetype Find(const char *bytes, qsizetype size, qsizetype from) const;
    /// Reports the matches of `range` in order; returns where it stopped when `keepGoing` said
    /// no (every match starting before that was reported), else `range.to`.
    qsizetype Scan(const SearchText &text, const ScanRange &range, const MatchSink &found,
                   const KeepGoing &keepGoing) const;

    /// How many bytes a scan reads between two questions to `keepGoing`.
    static constexpr qsizetype PieceBytes = qsizetype(1) << 20;

private:
    qsizetype FindFolded(const unsigned char *bytes, qsizetype size, qsizetype from) const;
    bool FoldedMatchAt(const unsigned char *at) const;

    // Bytes read on either side of a piece, enough for a whole character next to a match.
    static constexpr qsizetype Margin = 4;

    QByteArray needle_;   // lower case where folding
    QByteArray caseBits_; // 0x20 under each letter of a folding needle, else 0
    bool fold_ = false;
};
