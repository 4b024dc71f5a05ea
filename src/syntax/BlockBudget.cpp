// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockBudget: budgets by lines and by deadlines, and reports that gather the lines read.
#include "BlockBudget.h"

#include <algorithm>

BlockBudget BlockBudget::Lines(std::int64_t lines)
{
    BlockBudget budget;
    budget.lines = lines;
    return budget;
}

BlockBudget BlockBudget::Time(std::chrono::microseconds asked, std::chrono::microseconds extra)
{
    BlockBudget budget;
    const Clock::time_point now = Clock::now();
    budget.deadline = now + asked;
    budget.extraDeadline = now + extra;
    return budget;
}

bool BlockBudget::Spent(bool pastTarget) const
{
    const Clock::time_point until = pastTarget ? std::min(deadline, extraDeadline) : deadline;
    return lines <= 0 || (until != Clock::time_point::max() && Clock::now() >= until);
}

void BlockReport::Add(std::int64_t from, std::int64_t to)
{
    first = first < 0 ? from : std::min(first, from);
    last = std::max(last, to);
}

void BlockReport::Add(const BlockReport &other)
{
    if (other.first >= 0)
        Add(other.first, other.last);
    endingsChanged = endingsChanged || other.endingsChanged;
}
