// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// UnknownRun: a run of lines known to hold nothing analysed, kept in step with edits, so that a
// walk back to the nearest analysed line can jump over it.
#pragma once

#include <algorithm>
#include <cstdint>

/// Lines afterKnown+1..last hold nothing analysed (empty when last <= afterKnown). Every
/// operation keeps that true; what it cannot follow cheaply it forgets.
struct UnknownRun {
    std::int64_t afterKnown = -1;
    std::int64_t last = -1;

    bool Holds(std::int64_t line) const { return line > afterKnown && line <= last; }

    /// Lines afterKnown_+1..last_ were found to hold nothing analysed: joins them to the run
    /// when the two overlap, else keeps the longer of the two.
    void Note(std::int64_t afterKnown_, std::int64_t last_)
    {
        if (afterKnown_ < last && afterKnown < last_)
            *this = UnknownRun{std::min(afterKnown, afterKnown_), std::max(last, last_)};
        else if (last_ - afterKnown_ > last - afterKnown)
            *this = UnknownRun{afterKnown_, last_};
    }

    /// `line` was analysed: the run now starts after it, if it held it.
    void Analysed(std::int64_t line)
    {
        if (Holds(line))
            afterKnown = line;
    }

    /// `delta` lines, new and so not analysed, were inserted after `line` (removed when negative).
    void FollowEdit(std::int64_t line, std::int64_t delta)
    {
        if (delta == 0 || line > last)
            return;
        if (line == last) {
            if (delta > 0 && afterKnown < line)
                last += delta;
        } else if (line >= afterKnown) {
            last = std::max(line, last + delta);
        } else if (delta > 0 || afterKnown > line - delta) {
            afterKnown += delta;
            last += delta;
        } else {
            *this = UnknownRun{};
        }
    }
};
