// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LineRegex: a regular expression matched against each line of the text on its own.
#pragma once

#include "SearchText.h"
#include "TextMatch.h"

#include <QRegularExpression>

/// A Perl-style regular expression whose subject is one line at a time, without its line end:
/// no match spans a line end, ^ and $ match at the line's ends, and \w, \b and case folding
/// know every script's letters.
class LineRegex
{
public:
    LineRegex(const QString &pattern, bool matchCase);

    /// Why the pattern cannot be used, or empty when it can.
    QString Error() const;
    /// Reports the matches of `range` in order; returns where it stopped when `keepGoing` said
    /// no (every match starting before that was reported), else `range.to`. Throws
    /// PatternTooComplex at a line the engine gives up on.
    qsizetype Scan(const SearchText &text, const ScanRange &range, const MatchSink &found,
                   const KeepGoing &keepGoing) const;

    /// Roughly how many bytes a scan reads between two questions to `keepGoing`.
    static constexpr qsizetype BlockBytes = qsizetype(64) << 10;

private:
    struct Line;
    enum class LineResult { Continue, Stop, PastRange };

    LineResult ScanLine(const Line &line, qsizetype from, qsizetype last, const ScanRange &range,
                        const MatchSink &found) const;

    QRegularExpression expression_;
};
