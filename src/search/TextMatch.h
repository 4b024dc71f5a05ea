// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// TextMatch: where a match lies in the document, with its groups.
#pragma once

#include <QByteArrayView>

#include <array>
#include <functional>

/// A half-open range of byte positions; a group that took no part in a match is {-1, -1}.
struct ByteSpan {
    qsizetype start = -1;
    qsizetype end = -1;

    friend bool operator==(const ByteSpan &, const ByteSpan &) = default;
};

/// A match's byte positions in the document and those of groups 1 to 9 of a regular expression.
struct TextMatch {
    static constexpr int GroupCount = 9;

    qsizetype start = 0;
    qsizetype end = 0;
    std::array<ByteSpan, GroupCount> groups{};

    /// The whole match for 0, else group `n`.
    ByteSpan Group(int n) const { return n == 0 ? ByteSpan{start, end} : groups[n - 1]; }
    /// Moves every position by `offset` bytes, as an edit before the match does.
    void Shift(qsizetype offset);
};

inline void TextMatch::Shift(qsizetype offset)
{
    start += offset;
    end += offset;
    for (ByteSpan &group : groups) {
        if (group.start >= 0) {
            group.start += offset;
            group.end += offset;
        }
    }
}

/// A match as a scan reports it, with its text readable while the report is handled.
class FoundMatch
{
public:
    FoundMatch(const TextMatch &match, const char *bytes, qsizetype bytesStart)
        : match(match), bytes_(bytes), bytesStart_(bytesStart)
    {
    }

    /// The bytes of group `n`, 0 for the whole match; empty for a group that took no part.
    QByteArrayView Text(int n) const
    {
        const ByteSpan span = match.Group(n);
        if (span.start < 0)
            return {};
        return QByteArrayView(bytes_ + (span.start - bytesStart_), span.end - span.start);
    }

    const TextMatch &match;

private:
    const char *bytes_;
    qsizetype bytesStart_;
};

/// Which matches a scan reports: those starting in [from, to), and one at `to` as well when `to`
/// is the end of the text (only an empty match of a regular expression can start there).
/// Overlapping matches may start inside the previous one; otherwise each starts at or after its
/// end, and one character later after an empty match.
struct ScanRange {
    qsizetype from = 0;
    qsizetype to = 0;
    bool overlapping = false;
    bool wholeWord = false;
};

/// Receives each match a scan finds; false stops the scan.
using MatchSink = std::function<bool(const FoundMatch &)>;
/// Asked between pieces of a long scan; false stops it there.
using KeepGoing = std::function<bool()>;
