// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockStacks: records reused from a free list, released down their chains without recursion.
#include "BlockStacks.h"

BlockStacks::Id BlockStacks::Push(Id below, BlockWord word)
{
    Id id = 0;
    if (free_.empty()) {
        id = static_cast<Id>(records_.size());
        records_.emplace_back();
    } else {
        id = free_.back();
        free_.pop_back();
    }
    Retain(below);
    records_[id] = Record{below, 1, records_[below].depth + 1, word, Status::Open};
    return id;
}

void BlockStacks::Retain(Id id)
{
    if (id != 0)
        ++records_[id].holds;
}

void BlockStacks::Release(Id id)
{
    while (id != 0 && --records_[id].holds == 0) {
        const Id below = records_[id].below;
        free_.push_back(id);
        id = below;
    }
}

bool BlockStacks::SetStatus(Id id, Status status)
{
    if (records_[id].status == status)
        return false;
    records_[id].status = status;
    return true;
}

void BlockStacks::Clear()
{
    records_.assign(1, Record{});
    free_.clear();
}
