// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockLines: what the block analysis knows of each line, kept in step with edits.
#pragma once

#include "BlockStacks.h"
#include "GapArray.h"
#include "UnknownRun.h"

#include <cstdint>
#include <vector>

/// One record a line, then one for the end of the text: the stack of blocks open at the line's
/// start (held by the record), what of it and of the line's own reading is still good, and the
/// lines that wait to be read again. Edits shift the records with their lines; lines an edit
/// inserts start with nothing known.
class BlockLines
{
public:
    enum Flag : std::uint8_t {
        Known = 1,           // stack holds the blocks open at the line's start
        Changed = 2,         // the line is to be read again
        StartsStatement = 4, // the line started a statement when it was read
        Read = 8,            // the line's fold level and marks were worked out
        EndsBlocks = 16,     // the line's last reading, or a line removed after it, ended blocks
        // The record after the line may not follow from the line's last reading: lines were
        // inserted or removed after it, or a pass gave it another stack without reading it.
        NextDisplaced = 32,
    };
    struct Info {
        BlockStacks::Id stack;
        std::uint8_t flags;
    };

    /// Starts over on `lineCount` lines of which nothing is known, except that nothing is open
    /// before the first, so reading can always start there.
    void Reset(std::int64_t lineCount);
    /// Line `line` changed and `delta` lines were inserted after it (removed when negative): the
    /// line waits to be read again. False, changing nothing, when the edit does not fit the lines.
    bool Replace(std::int64_t line, std::int64_t delta);

    std::int64_t Count() const { return static_cast<std::int64_t>(lines_.Size()) - 1; }
    /// The record of `line`; `Count()` gives the one for the stack after the last line.
    const Info &At(std::int64_t line) const { return lines_[static_cast<std::size_t>(line)]; }
    bool IsKnown(std::int64_t line) const { return (At(line).flags & Known) != 0; }
    bool IsRead(std::int64_t line) const { return (At(line).flags & (Read | Changed)) == Read; }
    /// Gives `line` the stack open at its start, held from now on, and `flags`.
    void Store(std::int64_t line, BlockStacks::Id stack, std::uint8_t flags);
    /// A pass reached `line` with `stack` and stopped before reading it: the line waits to be
    /// read again. What the line's last reading ended stays known; the record after the line no
    /// longer follows from its stack when that changed.
    void Reached(std::int64_t line, BlockStacks::Id stack);
    /// Sets the flags of a line read without knowing its stack.
    void SetFlags(std::int64_t line, std::uint8_t flags);
    /// The nearest line at or before `line` whose stack is known (line 0 always is, once read).
    std::int64_t KnownAtOrBefore(std::int64_t line);
    /// A line at or after the last one whose stack is known: nothing below it was analysed.
    std::int64_t LastKnown() const { return lastKnown_; }

    /// The lines waiting to be read again, ascending.
    void AddPending(std::int64_t line);
    void RemovePending(std::int64_t from, std::int64_t to);
    /// The first line waiting at or after `from`; -1 when none does.
    std::int64_t NextPending(std::int64_t from) const;
    bool HasPending() const { return !pending_.empty(); }

    BlockStacks &Stacks() { return stacks_; }
    const BlockStacks &Stacks() const { return stacks_; }

private:
    void Forget(std::int64_t from);

    GapArray<Info> lines_;
    BlockStacks stacks_;
    std::vector<std::int64_t> pending_;
    // Far below anything analysed (the end of a long text just opened) every paint walked back
    // to the last analysed line, which over millions of lines cost more than the paint itself.
    UnknownRun unknown_;
    std::int64_t lastKnown_ = 0;
};
