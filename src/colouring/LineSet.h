// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LineSet: a set of line numbers kept as a few sorted runs, for what is known about lines' colours.
#pragma once

#include <optional>
#include <vector>

/// Lines `first` up to, not including, `end`.
struct LineRun {
    long first = 0;
    long end = 0;

    bool operator==(const LineRun &) const = default;
};

/// A set of line numbers as sorted, separate runs. Every operation costs time in proportion to
/// the number of runs, which stays small: colouring removes runs as fast as edits add them.
class LineSet
{
public:
    /// Adds lines [first, end).
    void Add(long first, long end);
    /// Removes lines [first, end).
    void Remove(long first, long end);
    /// Removes every line from `first` on.
    void RemoveFrom(long first);
    /// Lines [at, at + removed) are replaced by `added` lines that are not in the set; the lines
    /// after them move with the text.
    void ReplaceLines(long at, long removed, long added);

    bool Contains(long line) const;
    bool Empty() const { return runs_.empty(); }
    /// The first run, or part of a run, at or after `line`.
    std::optional<LineRun> FirstFrom(long line) const;
    /// The runs of lines in [first, end) that are not in the set.
    std::vector<LineRun> MissingIn(long first, long end) const;
    const std::vector<LineRun> &Runs() const { return runs_; }

private:
    std::vector<LineRun> runs_;
};
