// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Searcher: what the find bar looks for, compiled once and run over any part of a text.
#pragma once

#include "PatternTooComplex.h"
#include "SearchText.h"
#include "TextMatch.h"

#include <QString>

#include <memory>
#include <optional>

class LineRegex;
class LiteralScan;

/// How the search text is read.
struct SearchOptions {
    bool matchCase = false;
    bool wholeWord = false;
    bool regularExpression = false;

    friend bool operator==(const SearchOptions &, const SearchOptions &) = default;
};

/// How many matches a count found, and whether it got through its range.
struct MatchCount {
    qsizetype matches = 0;
    bool complete = true;
};

/// A compiled search. Plain text is found byte for byte in the UTF-8 text, ASCII letters in
/// either case unless the case must match (other letters through the regular expression
/// engine); a regular expression is matched against one line at a time. No match spans a line
/// end. Positions are byte positions; a range [from, to) takes in matches starting there, and
/// at `to` as well when `to` is the end of the text. A regular expression the engine gives up on
/// for a line makes the scan throw PatternTooComplex, never pass the line over.
class Searcher
{
public:
    /// A searcher that finds nothing.
    Searcher() = default;
    Searcher(const QString &pattern, SearchOptions options);

    /// True when there is something to look for and the pattern is valid.
    bool CanMatch() const { return literal_ || regex_; }
    /// Why the pattern is not a valid regular expression, or empty.
    QString Error() const { return error_; }
    /// The length in bytes of every match, for plain text found byte for byte; nothing when
    /// matches differ in length. Such a search never throws PatternTooComplex.
    std::optional<qsizetype> FixedMatchBytes() const;

    /// Reports every match starting in [from, to), in order and without overlaps, until `found`
    /// says stop; between pieces of text it asks `keepGoing` and stops when that says no.
    /// Returns where it stopped: every match starting before that was reported.
    qsizetype Scan(const SearchText &text, qsizetype from, qsizetype to, const MatchSink &found,
                   const KeepGoing &keepGoing = {}) const;
    /// The first match starting in [from, to).
    std::optional<TextMatch> FindFirst(const SearchText &text, qsizetype from, qsizetype to) const;
    /// The match that starts last in [from, to), overlapping matches included; an empty match at
    /// the text's end only with `takeEnd`.
    std::optional<TextMatch> FindLast(const SearchText &text, qsizetype from, qsizetype to,
                                      bool takeEnd = true) const;
    /// Counts the matches in [from, to) as Scan finds them, as far as `keepGoing` lets it.
    MatchCount Count(const SearchText &text, qsizetype from, qsizetype to,
                     const KeepGoing &keepGoing = {}) const;

    /// About how many bytes one piece of a long search should cover to take a millisecond or so.
    qsizetype PieceBytes() const;

private:
    qsizetype Run(const SearchText &text, const ScanRange &range, const MatchSink &found,
                  const KeepGoing &keepGoing) const;

    std::shared_ptr<const LiteralScan> literal_;
    std::shared_ptr<const LineRegex> regex_;
    QString error_;
    bool wholeWord_ = false;
};
