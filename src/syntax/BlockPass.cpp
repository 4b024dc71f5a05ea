// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockPass: passes that run forward from a known stack until the stacks they compute agree
// with the stored ones.
#include "BlockPass.h"

namespace
{

using Flag = BlockLines::Flag;

// Whether `stack` holds `record`.
bool Holds(const BlockStacks &stacks, BlockStacks::Id stack, BlockStacks::Id record)
{
    while (stacks.Depth(stack) > stacks.Depth(record))
        stack = stacks.Below(stack);
    return stack == record;
}

// How far past the lines it was asked for a pass reads to find where their blocks end.
constexpr std::int64_t EndSearchLines = 5000;

} // namespace

std::int64_t BlockPass::ReadOn(const BlockText &text, std::int64_t start, std::int64_t target,
                               BlockBudget &budget, FoldLevelSink &sink, BlockReport &report)
{
    return Run(text, start, false, target, budget, sink, report);
}

std::int64_t BlockPass::ReadUnanalysed(const BlockText &text, std::int64_t line,
                                       std::int64_t target, BlockBudget &budget,
                                       FoldLevelSink &sink, BlockReport &report)
{
    std::int64_t known = line;
    for (;;) {
        known = lines_.KnownAtOrBefore(known);
        const std::int64_t start = scanner_.StatementStart(text, known);
        if (start == known || lines_.IsKnown(start)) {
            known = start;
            break;
        }
        known = start - 1;
    }
    // A sync line just below an analysed one is read from there instead: nothing unread above
    // it would bring a pass from above later, to set right what reading it after a reset got
    // wrong.
    for (std::int64_t sync = line; sync - 1 > known && line - sync < SyncSearchLines; --sync) {
        if (!lines_.IsRead(sync - 1) && IsSyncLine(text, sync))
            return Run(text, sync, true, target, budget, sink, report);
    }
    return Run(text, known, false, target, budget, sink, report);
}

// A line that starts a statement with Sub, Function, Property, Type or Class. The blocks open
// after it depend on nothing before it but the Class that may hold it, which is rare enough to
// read it as if none did; the pass from above that reads the unread lines before it later sets
// that right.
bool BlockPass::IsSyncLine(const BlockText &text, std::int64_t line)
{
    if (line > 0 && scanner_.Continues(text.Line(line - 1)))
        return false;
    scanner_.Scan(text, line, probe_);
    const std::span<const BlockToken> tokens = probe_.TokensOn(line);
    return !tokens.empty() && RoleOf(tokens.front().word) == BlockRole::Opener &&
           IsOutermost(FamilyOf(tokens.front().word));
}

// Reads from `start` (a statement's first line) with its stored stack, or after a reset when
// `afterReset` (a sync line whose own stack is unknown). Returns the first line not read.
std::int64_t BlockPass::Run(const BlockText &text, std::int64_t start, bool afterReset,
                            std::int64_t target, BlockBudget &budget, FoldLevelSink &sink,
                            BlockReport &report)
{
    BlockStacks &stacks = lines_.Stacks();
    BlockStacks::Id stack = afterReset ? 0 : lines_.At(start).stack;
    stacks.Retain(stack);
    std::int64_t line = start;
    std::int64_t beyond = 0;
    statement_.last = start - 1;
    for (;;) {
        if (line > statement_.last)
            scanner_.Scan(text, line, statement_);
        StepLine(stacks, stack, statement_.TokensOn(line), step_);
        report.endingsChanged = EndBlocks() || report.endingsChanged;
        const BlockStacks::Id next = StackAfter(line, stack);
        report.endingsChanged = DoubtEndings(line, next) || report.endingsChanged;
        const std::uint8_t starts = line == statement_.first ? Flag::StartsStatement : 0;
        if (afterReset && line == start)
            lines_.SetFlags(line, Flag::Read | starts);
        else
            lines_.Store(line, stack,
                         Flag::Known | Flag::Read | starts |
                             (step_.ended.empty() ? 0 : Flag::EndsBlocks));
        sink.SetFoldLevel(line, step_.level, step_.header);
        report.Add(line, line);
        --budget.lines;
        stacks.Release(stack);
        stack = next;
        ++line;
        if (line == lines_.Count()) {
            report.endingsChanged = EndOfText(stack) || report.endingsChanged;
            break;
        }
        if (line <= statement_.last)
            continue;
        if (StopsBefore(line, stack, target, budget, beyond))
            break;
    }
    stacks.Release(stack);
    lines_.RemovePending(start, line - 1);
    return line;
}

// Whether a pass stops before `line`, a statement's first line, with `stack` open before it.
bool BlockPass::StopsBefore(std::int64_t line, BlockStacks::Id stack, std::int64_t target,
                            const BlockBudget &budget, std::int64_t &beyond)
{
    if (Converged(line, stack))
        return true;
    // Past the lines asked for, where nothing below was analysed before: only the blocks still
    // open need their ends found. Lines inserted above analysed ones are read on through, as
    // the stacks below them may no longer hold.
    if (line > target && line > lines_.LastKnown() &&
        (lines_.Stacks().Depth(stack) == 0 || ++beyond > EndSearchLines))
        return true;
    if (!budget.Spent(line > target))
        return false;
    lines_.Reached(line, stack);
    return true;
}

// Records how the blocks the line ends ended; true when any of that is news.
bool BlockPass::EndBlocks()
{
    bool changed = false;
    for (const LineStep::Ended &ended : step_.ended)
        changed = lines_.Stacks().SetStatus(ended.record, ended.status) || changed;
    return changed;
}

// The stack after `line`, held once. The blocks the line opens keep the records they had when
// the line was read before, if they sit on the same stack: then the stacks of the lines below
// compare equal and reading stops.
BlockStacks::Id BlockPass::StackAfter(std::int64_t line, BlockStacks::Id incoming)
{
    BlockStacks &stacks = lines_.Stacks();
    if (const BlockStacks::Id kept = KeptStack(line, incoming)) {
        stacks.Retain(kept);
        return kept;
    }
    BlockStacks::Id stack = step_.below;
    stacks.Retain(stack);
    for (const LineStep::Opened &opened : step_.opened) {
        const BlockStacks::Id pushed = stacks.Push(stack, opened.word);
        stacks.Release(stack);
        stack = pushed;
    }
    return stack;
}

// The stored stack after `line` when its top records are blocks this line opened when it was
// read before, the same words on the same stack; else 0. A record the line passed on from
// above, or that the stack coming in holds, belongs to another line's block: taken for this
// line's, it would end both, and its end would stand for either.
BlockStacks::Id BlockPass::KeptStack(std::int64_t line, BlockStacks::Id incoming) const
{
    const std::size_t count = step_.opened.size();
    const BlockLines::Info &old = lines_.At(line + 1);
    const BlockLines::Info &before = lines_.At(line);
    if (count == 0 || !(old.flags & Flag::Known) || !(before.flags & Flag::Read) ||
        (before.flags & Flag::NextDisplaced))
        return 0;
    const BlockStacks &stacks = lines_.Stacks();
    BlockStacks::Id id = old.stack;
    BlockStacks::Id lowest = 0;
    for (std::size_t matched = 0; matched < count; ++matched) {
        if (id == 0 || stacks.Word(id) != step_.opened[count - 1 - matched].word)
            return 0;
        lowest = id;
        id = stacks.Below(id);
    }
    if (id != step_.below || Holds(stacks, incoming, lowest) ||
        ((before.flags & Flag::Known) && Holds(stacks, before.stack, lowest)))
        return 0;
    return old.stack;
}

// The stack agrees with the one stored, and none of its blocks waits for its end to be read
// again: the lines below were read with the same blocks open and found their ends.
bool BlockPass::Converged(std::int64_t line, BlockStacks::Id stack) const
{
    const BlockLines::Info &info = lines_.At(line);
    if ((info.flags & (Flag::Known | Flag::Changed | Flag::StartsStatement | Flag::Read)) !=
            (Flag::Known | Flag::StartsStatement | Flag::Read) ||
        info.stack != stack)
        return false;
    const BlockStacks &stacks = lines_.Stacks();
    for (BlockStacks::Id id = stack; id != 0; id = stacks.Below(id)) {
        if (stacks.StatusOf(id) == BlockStacks::Status::Doubted)
            return false;
    }
    return true;
}

// The blocks that `line`, as read before, ended but that stay open after it now. The status
// that reading gave them no longer holds, and their end, somewhere below, is to be read again:
// the lines below may still hold them from a reading older than that one, and agree. What the
// line ended shows in the record after it, unless lines were inserted or removed there since;
// then every block the line used to end might be one, and so is each block it passes on. The
// blocks doubted are all on the stack this pass carries on, so it reads on to their ends. True
// when that changed a status.
bool BlockPass::DoubtEndings(std::int64_t line, BlockStacks::Id next)
{
    const BlockLines::Info &before = lines_.At(line);
    const BlockLines::Info &after = lines_.At(line + 1);
    if ((before.flags & (Flag::Known | Flag::Read)) != (Flag::Known | Flag::Read))
        return false;
    const bool displaced = (before.flags & Flag::NextDisplaced) || !(after.flags & Flag::Known);
    if (displaced && !(before.flags & Flag::EndsBlocks))
        return false;
    BlockStacks &stacks = lines_.Stacks();
    bool changed = false;
    for (BlockStacks::Id id = before.stack; id != 0; id = stacks.Below(id)) {
        if (!displaced && Holds(stacks, after.stack, id))
            break;
        if (Holds(stacks, next, id))
            changed = stacks.SetStatus(id, BlockStacks::Status::Doubted) || changed;
    }
    return changed;
}

// Blocks still open after the last line have no end.
bool BlockPass::EndOfText(BlockStacks::Id stack)
{
    lines_.Store(lines_.Count(), stack, Flag::Known);
    bool changed = false;
    BlockStacks &stacks = lines_.Stacks();
    for (BlockStacks::Id id = stack; id != 0; id = stacks.Below(id))
        changed = stacks.SetStatus(id, BlockStacks::Status::Unclosed) || changed;
    return changed;
}
