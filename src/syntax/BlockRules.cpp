// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockRules: the blocks a line opens sit above the incoming stack until the line ends them.
#include "BlockRules.h"

#include <algorithm>

namespace
{

using Id = BlockStacks::Id;
using Status = BlockStacks::Status;

// The stack while a line is read: the blocks the line opened, above what is left of the stack
// it came in with.
class WorkingStack
{
public:
    WorkingStack(const BlockStacks &stacks, Id incoming, LineStep &step)
        : stacks_(stacks), step_(step)
    {
        step_.below = incoming;
    }

    std::uint32_t Depth() const
    {
        return stacks_.Depth(step_.below) + static_cast<std::uint32_t>(step_.opened.size());
    }

    // The number of blocks above the nearest open block of `family`, or -1 when none is open.
    std::int64_t Distance(BlockFamily family) const
    {
        std::int64_t distance = 0;
        for (auto opened = step_.opened.rbegin(); opened != step_.opened.rend(); ++opened) {
            if (FamilyOf(opened->word) == family)
                return distance;
            ++distance;
        }
        for (Id id = step_.below; id != 0; id = stacks_.Below(id)) {
            if (FamilyOf(stacks_.Word(id)) == family)
                return distance;
            ++distance;
        }
        return -1;
    }

    // The word of the block `distance` blocks below the top, and its record unless this line
    // opened it.
    BlockWord WordAt(std::int64_t distance, Id &record) const
    {
        const auto opened = static_cast<std::int64_t>(step_.opened.size());
        record = 0;
        if (distance < opened)
            return step_.opened[static_cast<std::size_t>(opened - 1 - distance)].word;
        Id id = step_.below;
        for (distance -= opened; distance > 0; --distance)
            id = stacks_.Below(id);
        record = id;
        return stacks_.Word(id);
    }

    // The number of blocks inside the open Class, or of all blocks when no Class is open.
    std::int64_t InsideClass() const
    {
        const std::int64_t distance = Distance(BlockFamily::Class);
        return distance >= 0 ? distance : Depth();
    }

    // Ends the top block; an unclosed block of this line is marked here, one of an earlier line
    // is counted for the fold level.
    void Pop(Status status)
    {
        if (!step_.opened.empty()) {
            if (status == Status::Unclosed)
                step_.marks.push_back({step_.opened.back().token, MarkKind::Unclosed});
            step_.opened.pop_back();
            return;
        }
        step_.ended.push_back({step_.below, status});
        if (status == Status::Unclosed)
            ++unclosedIncoming;
        step_.below = stacks_.Below(step_.below);
    }

    void PopUnclosed(std::int64_t count)
    {
        for (; count > 0; --count)
            Pop(Status::Unclosed);
    }

    std::uint32_t unclosedIncoming = 0;

private:
    const BlockStacks &stacks_;
    LineStep &step_;
};

void EndBlock(WorkingStack &stack, const BlockToken &token, std::uint32_t index, LineStep &step)
{
    const BlockFamily family = FamilyOf(token.word);
    const std::int64_t distance = stack.Distance(family);
    if (distance >= 0) {
        stack.PopUnclosed(distance);
        stack.Pop(Status::Closed);
        return;
    }
    // The outermost block this closer could have meant: inside the Class for End Sub and its
    // like, of all blocks for End Class.
    const std::int64_t outermost =
        (family == BlockFamily::Class ? stack.Depth() : stack.InsideClass()) - 1;
    if (IsOutermost(family) && outermost >= 0) {
        Id record = 0;
        const BlockWord word = stack.WordAt(outermost, record);
        if (IsOutermost(FamilyOf(word))) {
            step.marks.push_back({index, MarkKind::Mismatched, word, record});
            stack.PopUnclosed(outermost);
            stack.Pop(Status::Closed);
            return;
        }
    }
    step.marks.push_back({index, MarkKind::Stray});
}

} // namespace

void StepLine(const BlockStacks &stacks, Id incoming, std::span<const BlockToken> tokens,
              LineStep &step)
{
    step.opened.clear();
    step.ended.clear();
    step.marks.clear();
    WorkingStack stack(stacks, incoming, step);
    const std::uint32_t depthBefore = stack.Depth();
    std::uint32_t lowest = depthBefore;
    for (std::uint32_t index = 0; index < tokens.size(); ++index) {
        const BlockToken &token = tokens[index];
        const BlockFamily family = FamilyOf(token.word);
        switch (RoleOf(token.word)) {
        case BlockRole::Opener:
            if (family == BlockFamily::Class)
                stack.PopUnclosed(stack.Depth());
            else if (IsOutermost(family))
                stack.PopUnclosed(stack.InsideClass());
            lowest = std::min(lowest, stack.Depth());
            step.opened.push_back({token.word, index});
            break;
        case BlockRole::Middle: {
            const std::int64_t distance = stack.Distance(family);
            if (distance < 0)
                step.marks.push_back({index, MarkKind::Stray});
            stack.PopUnclosed(std::max<std::int64_t>(distance, 0));
            break;
        }
        case BlockRole::Closer:
            EndBlock(stack, token, index, step);
            break;
        }
        lowest = std::min(lowest, stack.Depth());
    }
    step.header = stack.Depth() > lowest;
    step.level = step.header ? lowest : depthBefore - stack.unclosedIncoming;
}
