// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Searcher: what the find bar looks for, compiled once and run over any part of a text.
#include "Searcher.h"

#include "LineRegex.h"
#include "LiteralScan.h"

#include <algorithm>

namespace
{

bool IsAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

} // namespace

Searcher::Searcher(const QString &pattern, SearchOptions options) : wholeWord_(options.wholeWord)
{
    // A line end in plain text could only match across lines, which no match does.
    if (pattern.isEmpty() || (!options.regularExpression && (pattern.contains(QLatin1Char('\n')) ||
                                                             pattern.contains(QLatin1Char('\r')))))
        return;
    if (!options.regularExpression && (options.matchCase || IsAscii(pattern))) {
        literal_ = std::make_shared<LiteralScan>(pattern.toUtf8(), !options.matchCase);
        return;
    }
    auto regex = std::make_shared<LineRegex>(
        options.regularExpression ? pattern : QRegularExpression::escape(pattern),
        options.matchCase);
    error_ = regex->Error();
    if (error_.isEmpty())
        regex_ = std::move(regex);
}

qsizetype Searcher::Run(const SearchText &text, const ScanRange &range, const MatchSink &found,
                        const KeepGoing &keepGoing) const
{
    if (literal_)
        return literal_->Scan(text, range, found, keepGoing);
    if (regex_)
        return regex_->Scan(text, range, found, keepGoing);
    return range.to;
}

qsizetype Searcher::Scan(const SearchText &text, qsizetype from, qsizetype to,
                         const MatchSink &found, const KeepGoing &keepGoing) const
{
    return Run(text, ScanRange{from, to, false, wholeWord_}, found, keepGoing);
}

std::optional<TextMatch> Searcher::FindFirst(const SearchText &text, qsizetype from,
                                             qsizetype to) const
{
    std::optional<TextMatch> first;
    Run(text, ScanRange{from, to, false, wholeWord_},
        [&first](const FoundMatch &found) {
            first = found.match;
            return false;
        },
        {});
    return first;
}

// Backwards a piece at a time, so a match near `to` is found without reading all before it.
std::optional<TextMatch> Searcher::FindLast(const SearchText &text, qsizetype from, qsizetype to,
                                            bool takeEnd) const
{
    std::optional<TextMatch> last;
    const qsizetype length = text.Length();
    const auto keep = [&last, takeEnd, length](const FoundMatch &found) {
        if (takeEnd || found.match.start < length)
            last = found.match;
        return true;
    };
    for (qsizetype end = to; end > from && !last;) {
        const qsizetype start = std::max(from, end - PieceBytes());
        Run(text, ScanRange{start, end, true, wholeWord_}, keep, {});
        end = start;
    }
    if (!last && takeEnd && from == to && to == length)
        Run(text, ScanRange{from, to, true, wholeWord_}, keep, {});
    return last;
}

MatchCount Searcher::Count(const SearchText &text, qsizetype from, qsizetype to,
                           const KeepGoing &keepGoing) const
{
    MatchCount count;
    const qsizetype stopped = Scan(
        text, from, to,
        [&count](const FoundMatch &) {
            ++count.matches;
            return true;
        },
        keepGoing);
    count.complete = stopped >= to;
    return count;
}

std::optional<qsizetype> Searcher::FixedMatchBytes() const
{
    if (literal_)
        return literal_->Size();
    return std::nullopt;
}

qsizetype Searcher::PieceBytes() const
{
    return regex_ ? LineRegex::BlockBytes : LiteralScan::PieceBytes;
}
