// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockStacks: the blocks open at each line, as shared chains of reference-counted records.
#pragma once

#include "BlockWords.h"

#include <cstdint>
#include <vector>

/// Every stack of open blocks the analysis keeps. A stack is the id of its top record; each
/// record holds one open block and the stack below it, so lines share what they have in common
/// and two lines' stacks are equal exactly when their ids are. Id 0 is the empty stack.
class BlockStacks
{
public:
    using Id = std::uint32_t;

    /// How the block of a record ended, as far as the analysis has read. Doubted: a line read
    /// again no longer ends the block as it did, and its end below is still to be read again.
    enum class Status : std::uint8_t { Open, Closed, Unclosed, Doubted };
    /// Whether the end of the block is known.
    bool Ended(Id id) const
    {
        return StatusOf(id) == Status::Closed || StatusOf(id) == Status::Unclosed;
    }

    /// A new record for `word` opened on top of `below`, held once by the caller.
    Id Push(Id below, BlockWord word);
    void Retain(Id id);
    /// Drops one hold; a record nobody holds goes, and with it its hold on the stack below.
    void Release(Id id);

    Id Below(Id id) const { return records_[id].below; }
    BlockWord Word(Id id) const { return records_[id].word; }
    /// The number of open blocks in the stack; 0 for the empty stack.
    std::uint32_t Depth(Id id) const { return records_[id].depth; }
    Status StatusOf(Id id) const { return records_[id].status; }
    /// Sets how the block ended; true when that differs from what was known before.
    bool SetStatus(Id id, Status status);

    /// Forgets every record.
    void Clear();
    /// The number of records held by someone, for checks.
    std::size_t Live() const { return records_.size() - 1 - free_.size(); }

private:
    struct Record {
        Id below = 0;
        std::uint32_t holds = 0;
        std::uint32_t depth = 0;
        BlockWord word = BlockWord::Sub;
        Status status = Status::Open;
    };

    std::vector<Record> records_{Record{}};
    std::vector<Id> free_;
};
