// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// SlicedSearch: looking for the next or previous match a slice at a time, so typing stays smooth.
#include "SlicedSearch.h"

#include <QElapsedTimer>

#include <algorithm>
#include <utility>

SlicedSearch::SlicedSearch(const SearchText &text, SliceRunner runSlice)
    : text_(text), runSlice_(std::move(runSlice))
{
    next_.setSingleShot(true);
    next_.setInterval(0);
    connect(&next_, &QTimer::timeout, this, [this] { runSlice_([this] { RunSlice(); }); });
}

void SlicedSearch::Start(const Searcher &searcher, qsizetype from, bool forwards, Done done)
{
    Cancel();
    const qsizetype length = text_.Length();
    from = std::clamp<qsizetype>(from, 0, length);
    searcher_ = searcher;
    forwards_ = forwards;
    done_ = std::move(done);
    // Taken from the back: the part before the wrap last.
    if (forwards)
        ranges_ = {{0, from, true}, {from, length, false}};
    else
        ranges_ = {{from, length, true}, {0, from, false}};
    RunSlice();
}

void SlicedSearch::Cancel()
{
    next_.stop();
    ranges_.clear();
    done_ = nullptr;
}

void SlicedSearch::RunSlice()
{
    QElapsedTimer slice;
    slice.start();
    // The text may have been edited between two slices; the search goes on in what is left.
    const qsizetype length = text_.Length();
    for (Range &range : ranges_) {
        range.to = std::min(range.to, length);
        range.from = std::min(range.from, range.to);
    }
    while (!ranges_.empty()) {
        Range &range = ranges_.back();
        const std::optional<TextMatch> match = SearchPiece(range);
        const bool wrapped = range.wrapped;
        if (match || range.from >= range.to)
            ranges_.pop_back();
        if (match || ranges_.empty()) {
            ranges_.clear();
            const Done done = std::move(done_);
            done_ = nullptr;
            done(match, match && wrapped);
            return;
        }
        if (slice.elapsed() >= SliceMs) {
            next_.start();
            return;
        }
    }
}

// Searches the piece of `range` nearest where the search began and takes it off the range.
std::optional<TextMatch> SlicedSearch::SearchPiece(Range &range) const
{
    const qsizetype piece = searcher_.PieceBytes();
    if (forwards_) {
        const qsizetype end = range.to - range.from > piece ? range.from + piece : range.to;
        const std::optional<TextMatch> match = searcher_.FindFirst(text_, range.from, end);
        range.from = end;
        return match;
    }
    const qsizetype start = std::max(range.from, range.to - piece);
    // Going back from the text's end does not find the empty match there again: only the wrap
    // to the end does.
    const std::optional<TextMatch> match =
        searcher_.FindLast(text_, start, range.to, range.wrapped);
    range.to = start;
    return match;
}
