// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockBudget: what one call of the block analysis may spend, and what it tells back.
#pragma once

#include <chrono>
#include <cstdint>
#include <limits>

/// How much one call may analyse before it leaves the rest for a later call: at most `lines`
/// lines, nothing after `deadline`, and past the lines it was asked for, nothing after
/// `extraDeadline`.
struct BlockBudget {
    using Clock = std::chrono::steady_clock;

    std::int64_t lines = std::numeric_limits<std::int64_t>::max();
    Clock::time_point deadline = Clock::time_point::max();
    Clock::time_point extraDeadline = Clock::time_point::max();

    static BlockBudget Lines(std::int64_t lines);
    static BlockBudget Time(std::chrono::microseconds asked, std::chrono::microseconds extra);
    /// Whether the budget allows no more lines; `pastTarget` when the next line was not asked for.
    bool Spent(bool pastTarget) const;
};

/// Receives the fold level of each line as it is analysed.
class FoldLevelSink
{
public:
    virtual ~FoldLevelSink() = default;
    /// `level` counts the blocks that hold the line; `header` tells that the line opens one.
    virtual void SetFoldLevel(std::int64_t line, std::uint32_t level, bool header) = 0;
};

/// The lines an analysis call read, and whether marks elsewhere may have changed with them.
struct BlockReport {
    std::int64_t first = -1;
    std::int64_t last = -1;
    bool endingsChanged = false;

    void Add(std::int64_t from, std::int64_t to);
    void Add(const BlockReport &other);
    bool Read(std::int64_t line) const { return line >= first && line <= last; }
};
