// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ColouringState: which lines of a document carry their colours, for colouring the lines on
// screen first and the rest in the background.
#include "ColouringState.h"

#include <algorithm>

void ColouringState::Reset(long lines)
{
    lines_ = std::max(1L, lines);
    waiting_ = LineSet();
    waiting_.Add(0, lines_);
    current_ = LineSet();
}

void ColouringState::Edited(long first, long lines)
{
    lines = std::max(1L, lines);
    first = std::clamp(first, 0L, lines - 1);
    const long added = std::max(0L, lines - lines_);
    const long removed = std::max(0L, lines_ - lines);
    // A single change turned line `first` into lines [first, first + 1 + added), or lines
    // [first, first + 1 + removed) into line `first`; the lines after it moved with the text.
    waiting_.ReplaceLines(first, std::min(1 + removed, lines_ - first), 1 + added);
    waiting_.Add(first, first + 1 + added);
    current_.RemoveFrom(first);
    lines_ = lines;
}

void ColouringState::Coloured(long first, long end)
{
    waiting_.Remove(first, end);
    current_.Add(first, end);
}

void ColouringState::Waiting(long first, long end)
{
    waiting_.Add(first, std::min(end, lines_));
    current_.Remove(first, end);
}

std::vector<LineRun> ColouringState::NotCurrentIn(long first, long end) const
{
    return current_.MissingIn(std::max(0L, first), std::min(end, lines_));
}

std::optional<LineRun> ColouringState::NextWaiting(long near) const
{
    if (std::optional<LineRun> after = waiting_.FirstFrom(near))
        return after;
    return waiting_.FirstFrom(0);
}
