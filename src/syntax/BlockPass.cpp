// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockStructure's reading: passes that run forward from a known stack until the stacks they
// compute agree with the stored ones.
#include "BlockStructure.h"

namespace
{

// How far back from a line not analysed the analysis looks for a Sub, Function or Type to start
// from, before it starts from the nearest analysed line instead.
constexpr std::int64_t SyncSearchLines = 4000;

// How far past the lines it was asked for a pass reads to find where their blocks end.
constexpr std::int64_t EndSearchLines = 5000;

} // namespace

BlockReport BlockStructure::Refresh(const BlockText &text, std::int64_t first, std::int64_t last,
                                    BlockBudget budget, FoldLevelSink &sink)
{
    KeepInStep(text);
    BlockReport report;
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, LineCount() - 1);
    // Edits far above the lines shown are left for Continue: a pass from one of them may have
    // a long way to go before it reaches anything on screen.
    RunWaiting(text, std::max<std::int64_t>(0, first - SyncSearchLines), last, last, budget, sink,
               report);
    ReadLines(text, first, last, budget, sink, report);
    return report;
}

// Reads the lines of first..last not read yet; what the budget leaves is remembered for
// Continue.
void BlockStructure::ReadLines(const BlockText &text, std::int64_t first, std::int64_t last,
                               BlockBudget &budget, FoldLevelSink &sink, BlockReport &report)
{
    std::int64_t line = first;
    for (; line <= last && !budget.Spent(false); ++line) {
        if (!IsRead(line))
            line = std::max(line, StartAt(text, line, last, budget, sink, report) - 1);
    }
    while (line <= last && IsRead(line))
        ++line;
    if (line <= last) {
        behindFirst_ = behindFirst_ < 0 ? line : std::min(behindFirst_, line);
        behindLast_ = std::max(behindLast_, last);
    }
}

BlockReport BlockStructure::Continue(const BlockText &text, BlockBudget budget, FoldLevelSink &sink)
{
    KeepInStep(text);
    BlockReport report;
    RunWaiting(text, 0, LineCount() - 1, -1, budget, sink, report);
    if (behindFirst_ >= 0 && !budget.Spent(true)) {
        const std::int64_t first = behindFirst_;
        const std::int64_t last = std::min(behindLast_, LineCount() - 1);
        behindFirst_ = behindLast_ = -1;
        ReadLines(text, first, last, budget, sink, report);
    }
    return report;
}

BlockReport BlockStructure::AnalyseAll(const BlockText &text, FoldLevelSink &sink)
{
    KeepInStep(text);
    BlockBudget budget;
    BlockReport report;
    const std::int64_t last = LineCount() - 1;
    RunWaiting(text, 0, last, last, budget, sink, report);
    for (std::int64_t line = 0; line <= last; ++line) {
        if (!IsRead(line))
            line = std::max(line, StartAt(text, line, last, budget, sink, report) - 1);
    }
    return report;
}

// Reads again from each waiting edit in from..to, in order, up to `target` or, when `target`
// is negative, only as far as each edit's own reading goes.
void BlockStructure::RunWaiting(const BlockText &text, std::int64_t from, std::int64_t to,
                                std::int64_t target, BlockBudget &budget, FoldLevelSink &sink,
                                BlockReport &report)
{
    for (;;) {
        const auto next = std::lower_bound(pending_.begin(), pending_.end(), from);
        if (next == pending_.end() || *next > to || budget.Spent(target < 0))
            return;
        const std::int64_t waiting = *next;
        const std::int64_t start = StatementStart(text, waiting);
        if (IsKnown(start))
            RunPass(text, start, false, target < 0 ? waiting : target, budget, sink, report);
        RemovePending(waiting, waiting);
    }
}

// Starts reading for a line not analysed: from a Sub, Function or Type shortly before it, or
// else from the nearest analysed statement before it. Returns the line where reading stopped.
std::int64_t BlockStructure::StartAt(const BlockText &text, std::int64_t line, std::int64_t target,
                                     BlockBudget &budget, FoldLevelSink &sink, BlockReport &report)
{
    std::int64_t known = line;
    for (;;) {
        known = KnownAtOrBefore(known);
        const std::int64_t start = StatementStart(text, known);
        if (start == known || IsKnown(start)) {
            known = start;
            break;
        }
        known = start - 1;
    }
    for (std::int64_t sync = line; sync > known && line - sync < SyncSearchLines; --sync) {
        if (IsSyncLine(text, sync))
            return RunPass(text, sync, true, target, budget, sink, report);
    }
    return RunPass(text, known, false, target, budget, sink, report);
}

// Reads from `start` (a statement's first line) with its stored stack, or after a reset when
// `afterReset` (a sync line whose own stack is unknown). Stops where the stacks agree with the
// stored ones, past `target` where nothing was analysed before and no block is open, or when
// the budget is spent, leaving the rest waiting. Returns the first line not read.
std::int64_t BlockStructure::RunPass(const BlockText &text, std::int64_t start, bool afterReset,
                                     std::int64_t target, BlockBudget &budget, FoldLevelSink &sink,
                                     BlockReport &report)
{
    BlockStacks::Id stack = afterReset ? 0 : lines_[start].stack;
    stacks_.Retain(stack);
    std::int64_t line = start;
    std::int64_t beyond = 0;
    statement_.last = start - 1;
    for (;;) {
        if (line > statement_.last)
            scanner_.Scan(text, line, statement_);
        StepLine(stacks_, stack, statement_.TokensOn(line), step_);
        report.endingsChanged = EndBlocks() || report.endingsChanged;
        const BlockStacks::Id next = StackAfter(line);
        const std::uint8_t starts = line == statement_.first ? StartsStatement : 0;
        if (afterReset && line == start)
            lines_[line].flags = Read | starts;
        else
            Store(line, stack, Known | Read | starts);
        sink.SetFoldLevel(line, step_.level, step_.header);
        report.Add(line, line);
        --budget.lines;
        stacks_.Release(stack);
        stack = next;
        ++line;
        if (line == LineCount()) {
            report.endingsChanged = EndOfText(stack) || report.endingsChanged;
            break;
        }
        if (line <= statement_.last)
            continue;
        if (StopsBefore(line, stack, target, budget, beyond))
            break;
    }
    stacks_.Release(stack);
    RemovePending(start, line - 1);
    return line;
}

// Whether a pass stops before `line`, a statement's first line, with `stack` open before it.
bool BlockStructure::StopsBefore(std::int64_t line, BlockStacks::Id stack, std::int64_t target,
                                 const BlockBudget &budget, std::int64_t &beyond)
{
    if (Converged(line, stack))
        return true;
    // Past the lines asked for, where nothing was analysed before: only the blocks still open
    // need their ends found.
    if (line > target && !IsKnown(line) && (stacks_.Depth(stack) == 0 || ++beyond > EndSearchLines))
        return true;
    if (!budget.Spent(line > target))
        return false;
    Store(line, stack, Known | Changed);
    AddPending(line);
    return true;
}

// Records how the blocks the line ends ended; true when any of that is news.
bool BlockStructure::EndBlocks()
{
    bool changed = false;
    for (const LineStep::Ended &ended : step_.ended)
        changed = stacks_.SetStatus(ended.record, ended.status) || changed;
    return changed;
}

// The stack after `line`, held once. The blocks the line opens keep the records they had when
// the line was read before, if they sit on the same stack: then the stacks of the lines below
// compare equal and reading stops.
BlockStacks::Id BlockStructure::StackAfter(std::int64_t line)
{
    const std::size_t count = step_.opened.size();
    const LineInfo &old = lines_[line + 1];
    if (count > 0 && (old.flags & Known)) {
        BlockStacks::Id id = old.stack;
        std::size_t matched = 0;
        while (matched < count && id != 0 &&
               stacks_.Word(id) == step_.opened[count - 1 - matched].word) {
            id = stacks_.Below(id);
            ++matched;
        }
        if (matched == count && id == step_.below) {
            stacks_.Retain(old.stack);
            return old.stack;
        }
    }
    BlockStacks::Id stack = step_.below;
    stacks_.Retain(stack);
    for (const LineStep::Opened &opened : step_.opened) {
        const BlockStacks::Id pushed = stacks_.Push(stack, opened.word);
        stacks_.Release(stack);
        stack = pushed;
    }
    return stack;
}

// The nearest line at or before `line` whose stack is known (line 0 always is, once read).
std::int64_t BlockStructure::KnownAtOrBefore(std::int64_t line)
{
    std::int64_t known = line;
    while (known > 0 && !IsKnown(known))
        known = unknown_.Holds(known) ? unknown_.afterKnown : known - 1;
    if (known < line)
        unknown_.Note(known, line);
    return known;
}

void BlockStructure::Store(std::int64_t line, BlockStacks::Id stack, std::uint8_t flags)
{
    if ((flags & Known) != 0)
        unknown_.Analysed(line);
    LineInfo &info = lines_[line];
    stacks_.Retain(stack);
    stacks_.Release(info.stack);
    info = LineInfo{stack, flags};
}

bool BlockStructure::Converged(std::int64_t line, BlockStacks::Id stack) const
{
    const LineInfo &info = lines_[line];
    return (info.flags & (Known | Changed | StartsStatement | Read)) ==
               (Known | StartsStatement | Read) &&
           info.stack == stack;
}

// Blocks still open after the last line have no end.
bool BlockStructure::EndOfText(BlockStacks::Id stack)
{
    Store(LineCount(), stack, Known);
    bool changed = false;
    for (BlockStacks::Id id = stack; id != 0; id = stacks_.Below(id))
        changed = stacks_.SetStatus(id, BlockStacks::Status::Unclosed) || changed;
    return changed;
}
