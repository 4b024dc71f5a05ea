// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// SlicedSearch: looking for the next or previous match a slice at a time, so typing stays smooth.
#pragma once

#include "search/SearchText.h"
#include "search/Searcher.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

/// One search for the next match after a position, or the previous one before it, that wraps
/// around the text's ends. It works through the text in slices of a few milliseconds, the first
/// at once and the rest from the event loop, so that keys typed meanwhile are handled in time
/// and restart it. A search ends by calling its `done` with the match, if any, and whether it
/// wrapped. The slices after the first run through `runSlice`, which sees what they throw.
class SlicedSearch : public QObject
{
    Q_OBJECT

public:
    using Done = std::function<void(const std::optional<TextMatch> &match, bool wrapped)>;
    using SliceRunner = std::function<void(const std::function<void()> &slice)>;

    SlicedSearch(const SearchText &text, SliceRunner runSlice);

    /// Starts looking forwards from `from` (a match may start there) or backwards from it (the
    /// match must start before it); drops any search still running.
    void Start(const Searcher &searcher, qsizetype from, bool forwards, Done done);
    /// Drops the running search without calling its `done`.
    void Cancel();
    bool IsRunning() const { return !ranges_.empty(); }

    /// How long one slice may take.
    static constexpr int SliceMs = 6;

private:
    struct Range {
        qsizetype from;
        qsizetype to;
        bool wrapped;
    };

    void RunSlice();
    std::optional<TextMatch> SearchPiece(Range &range) const;

    const SearchText &text_;
    SliceRunner runSlice_;
    Searcher searcher_;
    bool forwards_ = true;
    std::vector<Range> ranges_;
    Done done_;
    QTimer next_;
};
