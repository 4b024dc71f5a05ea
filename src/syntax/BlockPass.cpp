// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockPass: passes that run forward from a known stack until the stacks they compute agree
// with the stored ones.
#include "BlockPass.h"

namespace
{

using Flag = BlockLines::Flag;

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
        const BlockStacks::Id next = StackAfter(line);
        const std::uint8_t starts = line == statement_.first ? Flag::StartsStatement : 0;
        if (afterReset && line == start)
            lines_.SetFlags(line, Flag::Read | starts);
        else
            lines_.Store(line, stack, Flag::Known | Flag::Read | starts);
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
    // Past the lines asked for, where nothing was analysed before: only the blocks still open
    // need their ends found.
    if (line > target && !lines_.IsKnown(line) &&
        (lines_.Stacks().Depth(stack) == 0 || ++beyond > EndSearchLines))
        return true;
    if (!budget.Spent(line > target))
        return false;
    lines_.Store(line, stack, Flag::Known | Flag::Changed);
    lines_.AddPending(line);
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
BlockStacks::Id BlockPass::StackAfter(std::int64_t line)
{
    BlockStacks &stacks = lines_.Stacks();
    const std::size_t count = step_.opened.size();
    const BlockLines::Info &old = lines_.At(line + 1);
    if (count > 0 && (old.flags & Flag::Known)) {
        BlockStacks::Id id = old.stack;
        std::size_t matched = 0;
        while (matched < count && id != 0 &&
               stacks.Word(id) == step_.opened[count - 1 - matched].word) {
            id = stacks.Below(id);
            ++matched;
        }
        if (matched == count && id == step_.below) {
            stacks.Retain(old.stack);
            return old.stack;
        }
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

bool BlockPass::Converged(std::int64_t line, BlockStacks::Id stack) const
{
    const BlockLines::Info &info = lines_.At(line);
    return (info.flags & (Flag::Known | Flag::Changed | Flag::StartsStatement | Flag::Read)) ==
               (Flag::Known | Flag::StartsStatement | Flag::Read) &&
           info.stack == stack;
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
