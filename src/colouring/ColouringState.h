// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ColouringState: which lines of a document carry their colours, for colouring the lines on
// screen first and the rest in the background.
#pragma once

#include "LineSet.h"

#include <optional>
#include <vector>

/// What is known about a document's colours, line by line. Every line of the language colours on
/// its own, so lines can be coloured in any order and an edit only puts the lines it touched in
/// question.
///
/// Two sets are kept. The waiting lines hold text that has not been coloured since it arrived:
/// the background colours them. The current lines were coloured after the last edit at or before
/// them: only they may be shown without being looked at again. An edit is seen as its first
/// changed line and the line count after it, which places a single change exactly; lines that
/// several changes at once may have touched further on are no longer current, so they are
/// checked again when they come on screen.
class ColouringState
{
public:
    /// A new document of `lines` lines: every line waits, none is current.
    void Reset(long lines);
    /// The text changed from line `first` on and now has `lines` lines. The lines from `first` to
    /// the ones a single change would have added wait; no line from `first` on is current.
    void Edited(long first, long lines);
    /// Lines [first, end) carry the colours of their text now.
    void Coloured(long first, long end);
    /// Lines [first, end) hold text that was never coloured.
    void Waiting(long first, long end);

    long Lines() const { return lines_; }
    bool IsWaiting(long line) const { return waiting_.Contains(line); }
    bool IsCurrent(long line) const { return current_.Contains(line); }
    bool NothingWaits() const { return waiting_.Empty(); }
    /// The runs of lines in [first, end) that must be looked at before they are shown.
    std::vector<LineRun> NotCurrentIn(long first, long end) const;
    /// The waiting lines to colour next: the first run at or after `near`, else the first run.
    std::optional<LineRun> NextWaiting(long near) const;

private:
    long lines_ = 1;
    LineSet waiting_;
    LineSet current_;
};
