// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LineSet: a set of line numbers kept as a few sorted runs, for what is known about lines' colours.
#include "LineSet.h"

#include <algorithm>

void LineSet::Add(long first, long end)
{
    if (first >= end)
        return;
    // Runs that touch or overlap [first, end) merge with it.
    auto from = std::lower_bound(runs_.begin(), runs_.end(), first,
                                 [](const LineRun &run, long line) { return run.end < line; });
    auto to = from;
    while (to != runs_.end() && to->first <= end) {
        first = std::min(first, to->first);
        end = std::max(end, to->end);
        ++to;
    }
    from = runs_.erase(from, to);
    runs_.insert(from, LineRun{first, end});
}

void LineSet::Remove(long first, long end)
{
    if (first >= end)
        return;
    std::vector<LineRun> kept;
    kept.reserve(runs_.size() + 1);
    for (const LineRun &run : runs_) {
        if (run.end <= first || run.first >= end) {
            kept.push_back(run);
            continue;
        }
        if (run.first < first)
            kept.push_back(LineRun{run.first, first});
        if (run.end > end)
            kept.push_back(LineRun{end, run.end});
    }
    runs_ = std::move(kept);
}

void LineSet::RemoveFrom(long first)
{
    while (!runs_.empty() && runs_.back().first >= first)
        runs_.pop_back();
    if (!runs_.empty() && runs_.back().end > first)
        runs_.back().end = first;
}

void LineSet::ReplaceLines(long at, long removed, long added)
{
    Remove(at, at + removed);
    const long shift = added - removed;
    if (shift == 0)
        return;
    for (LineRun &run : runs_) {
        if (run.first >= at + removed) {
            run.first += shift;
            run.end += shift;
        }
    }
    // A run that ended at `at` and one that began after the removed lines may now touch.
    if (added == 0) {
        std::vector<LineRun> merged;
        merged.reserve(runs_.size());
        for (const LineRun &run : runs_) {
            if (!merged.empty() && merged.back().end == run.first)
                merged.back().end = run.end;
            else
                merged.push_back(run);
        }
        runs_ = std::move(merged);
    }
}

bool LineSet::Contains(long line) const
{
    auto found = std::upper_bound(runs_.begin(), runs_.end(), line,
                                  [](long value, const LineRun &run) { return value < run.end; });
    return found != runs_.end() && found->first <= line;
}

std::optional<LineRun> LineSet::FirstFrom(long line) const
{
    auto found = std::upper_bound(runs_.begin(), runs_.end(), line,
                                  [](long value, const LineRun &run) { return value < run.end; });
    if (found == runs_.end())
        return std::nullopt;
    return LineRun{std::max(found->first, line), found->end};
}

std::vector<LineRun> LineSet::MissingIn(long first, long end) const
{
    std::vector<LineRun> missing;
    long at = first;
    for (const LineRun &run : runs_) {
        if (run.end <= at)
            continue;
        if (run.first >= end)
            break;
        if (run.first > at)
            missing.push_back(LineRun{at, run.first});
        at = std::max(at, run.end);
    }
    if (at < end)
        missing.push_back(LineRun{at, end});
    return missing;
}
