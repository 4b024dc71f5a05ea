// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockLines: records shifted by edits, the stacks they hold, and the lines waiting to be read.
#include "BlockLines.h"

#include <algorithm>

namespace
{

// Past this many separate edits waiting to be read, everything after the first is forgotten
// and read again when it is needed, rather than tracked edit by edit.
constexpr std::size_t MostPending = 1024;

} // namespace

void BlockLines::Reset(std::int64_t lineCount)
{
    lines_.Reset(static_cast<std::size_t>(lineCount) + 1);
    stacks_.Clear();
    pending_.clear();
    unknown_ = UnknownRun{0, lineCount - 1};
    lastKnown_ = 0;
    lines_[0].flags = Known | Changed;
}

bool BlockLines::Replace(std::int64_t line, std::int64_t delta)
{
    if (line < 0 || line >= Count() || line - delta >= Count())
        return false;
    unknown_.FollowEdit(line, delta);
    Info &edited = lines_[static_cast<std::size_t>(line)];
    edited.flags |= Changed;
    if (delta > 0) {
        edited.flags |= NextDisplaced;
        lines_.Insert(static_cast<std::size_t>(line) + 1, static_cast<std::size_t>(delta));
    } else if (delta < 0) {
        // Lines removed with the same blocks open after them as before them leave the record
        // after the edited line as it was; else it belongs to a reading of another line.
        const Info &first = At(line + 1);
        const Info &next = At(line - delta + 1);
        if (first.stack != next.stack || ((first.flags ^ next.flags) & Known) != 0)
            edited.flags |= NextDisplaced;
        // The blocks the removed lines ended now end further down, if at all: as far as a pass
        // can tell, the edited line ended them.
        for (std::int64_t removed = line + 1; removed <= line - delta; ++removed) {
            edited.flags |= At(removed).flags & EndsBlocks;
            stacks_.Release(At(removed).stack);
        }
        lines_.Erase(static_cast<std::size_t>(line) + 1, static_cast<std::size_t>(-delta));
    }
    for (std::int64_t &waiting : pending_) {
        if (waiting > line)
            waiting = std::max(line, waiting + delta);
    }
    if (lastKnown_ > line)
        lastKnown_ = std::max(line, lastKnown_ + delta);
    pending_.erase(std::unique(pending_.begin(), pending_.end()), pending_.end());
    if (IsKnown(line))
        AddPending(line);
    if (pending_.size() > MostPending)
        Forget(pending_.front());
    return true;
}

void BlockLines::Store(std::int64_t line, BlockStacks::Id stack, std::uint8_t flags)
{
    if ((flags & Known) != 0) {
        unknown_.Analysed(line);
        if (line < Count())
            lastKnown_ = std::max(lastKnown_, line);
    }
    Info &info = lines_[static_cast<std::size_t>(line)];
    stacks_.Retain(stack);
    stacks_.Release(info.stack);
    info = Info{stack, flags};
}

void BlockLines::Reached(std::int64_t line, BlockStacks::Id stack)
{
    const Info &old = At(line);
    std::uint8_t flags = Known | Changed | (old.flags & (Read | EndsBlocks | NextDisplaced));
    if (old.stack != stack || (old.flags & Known) == 0)
        flags |= NextDisplaced;
    Store(line, stack, flags);
    AddPending(line);
}

void BlockLines::SetFlags(std::int64_t line, std::uint8_t flags)
{
    lines_[static_cast<std::size_t>(line)].flags = flags;
}

std::int64_t BlockLines::KnownAtOrBefore(std::int64_t line)
{
    std::int64_t known = line;
    while (known > 0 && !IsKnown(known))
        known = unknown_.Holds(known) ? unknown_.afterKnown : known - 1;
    if (known < line)
        unknown_.Note(known, line);
    return known;
}

void BlockLines::AddPending(std::int64_t line)
{
    const auto at = std::lower_bound(pending_.begin(), pending_.end(), line);
    if (at == pending_.end() || *at != line)
        pending_.insert(at, line);
}

void BlockLines::RemovePending(std::int64_t from, std::int64_t to)
{
    pending_.erase(std::lower_bound(pending_.begin(), pending_.end(), from),
                   std::upper_bound(pending_.begin(), pending_.end(), to));
}

std::int64_t BlockLines::NextPending(std::int64_t from) const
{
    const auto next = std::lower_bound(pending_.begin(), pending_.end(), from);
    return next == pending_.end() ? -1 : *next;
}

// Everything after `from` goes back to not analysed; `from` itself is read again.
void BlockLines::Forget(std::int64_t from)
{
    for (std::size_t line = static_cast<std::size_t>(from) + 1; line < lines_.Size(); ++line) {
        stacks_.Release(lines_[line].stack);
        lines_[line] = Info{0, 0};
    }
    pending_.assign(1, from);
    lastKnown_ = std::min(lastKnown_, from);
}
