// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockStructure: which lines each call reads, in what order, and what it leaves for later.
#include "BlockStructure.h"

#include <QStringView>

#include <algorithm>
#include <array>

namespace
{

// A search for marks analyses the lines it passes this many at a time.
constexpr std::int64_t SearchChunkLines = 2048;

} // namespace

// Asked at every start-up of a window: the keyword list's lines are looked at in place rather
// than copied into a set, which cost a tenth of the window's start-up.
bool BlockStructure::Applies(const LanguageDefinition &definition)
{
    const std::array<QLatin1StringView, 5> needed = {
        QLatin1StringView("if"), QLatin1StringView("then"), QLatin1StringView("end"),
        QLatin1StringView("sub"), QLatin1StringView("function")};
    unsigned found = 0;
    for (const QStringView entry :
         QStringView(definition.KeywordList).tokenize(u'\n', Qt::SkipEmptyParts)) {
        for (std::size_t word = 0; word < needed.size(); ++word) {
            if (entry.compare(needed[word], Qt::CaseInsensitive) == 0)
                found |= 1u << word;
        }
    }
    return found == (1u << needed.size()) - 1;
}

BlockStructure::BlockStructure(const LanguageDefinition &definition)
    : scanner_(CompileLexicon(definition), definition.CommentToken.toStdString(),
               definition.StringDelimiter.toStdString()),
      pass_(lines_, scanner_), marks_(lines_, scanner_)
{
    Reset(1);
}

void BlockStructure::Reset(std::int64_t lineCount)
{
    lines_.Reset(lineCount);
    behindFirst_ = behindLast_ = -1;
    outOfStep_ = false;
}

void BlockStructure::LinesReplaced(std::int64_t line, std::int64_t delta)
{
    if (outOfStep_ || !lines_.Replace(line, delta)) {
        outOfStep_ = true;
        return;
    }
    for (std::int64_t *behind : {&behindFirst_, &behindLast_}) {
        if (*behind > line)
            *behind = std::max(line, *behind + delta);
    }
}

void BlockStructure::ReadAllLater()
{
    behindFirst_ = 0;
    behindLast_ = lines_.Count() - 1;
}

void BlockStructure::KeepInStep(const BlockText &text)
{
    if (outOfStep_ || text.LineCount() != lines_.Count())
        Reset(text.LineCount());
}

BlockReport BlockStructure::Refresh(const BlockText &text, std::int64_t first, std::int64_t last,
                                    BlockBudget budget, FoldLevelSink &sink)
{
    KeepInStep(text);
    BlockReport report;
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, lines_.Count() - 1);
    // Edits far above the lines shown are left for Continue: a pass from one of them may have
    // a long way to go before it reaches anything on screen.
    RunWaiting(text, std::max<std::int64_t>(0, first - BlockPass::SyncSearchLines), last, last,
               budget, sink, report);
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
        if (!lines_.IsRead(line))
            line = std::max(line, pass_.ReadUnanalysed(text, line, last, budget, sink, report) - 1);
    }
    while (line <= last && lines_.IsRead(line))
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
    RunWaiting(text, 0, lines_.Count() - 1, -1, budget, sink, report);
    if (behindFirst_ >= 0 && !budget.Spent(true)) {
        const std::int64_t first = behindFirst_;
        const std::int64_t last = std::min(behindLast_, lines_.Count() - 1);
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
    const std::int64_t last = lines_.Count() - 1;
    RunWaiting(text, 0, last, last, budget, sink, report);
    for (std::int64_t line = 0; line <= last; ++line) {
        if (!lines_.IsRead(line))
            line = std::max(line, pass_.ReadUnanalysed(text, line, last, budget, sink, report) - 1);
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
        const std::int64_t waiting = lines_.NextPending(from);
        if (waiting < 0 || waiting > to || budget.Spent(target < 0))
            return;
        const std::int64_t start = scanner_.StatementStart(text, waiting);
        if (lines_.IsKnown(start))
            pass_.ReadOn(text, start, target < 0 ? waiting : target, budget, sink, report);
        lines_.RemovePending(waiting, waiting);
    }
}

std::vector<BlockMark> BlockStructure::Marks(const BlockText &text, std::int64_t line)
{
    return marks_.Of(text, line);
}

std::int64_t BlockStructure::FindMarkedLine(const BlockText &text, std::int64_t first,
                                            std::int64_t last, bool downwards, FoldLevelSink &sink,
                                            BlockReport &report)
{
    KeepInStep(text);
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, lines_.Count() - 1);
    for (std::int64_t done = 0; done <= last - first; done += SearchChunkLines) {
        const std::int64_t from =
            downwards ? first + done : std::max(first, last - done - SearchChunkLines + 1);
        const std::int64_t to =
            downwards ? std::min(last, from + SearchChunkLines - 1) : last - done;
        AnalyseForMarks(text, from, to, sink, report);
        for (std::int64_t k = 0; k <= to - from; ++k) {
            const std::int64_t line = downwards ? from + k : to - k;
            if (!marks_.Of(text, line).empty())
                return line;
        }
    }
    return -1;
}

// Analyses first..last with no budget, and the lines after them until every block they open
// has its end found: an opener's mark depends on how its block ended.
void BlockStructure::AnalyseForMarks(const BlockText &text, std::int64_t first, std::int64_t last,
                                     FoldLevelSink &sink, BlockReport &report)
{
    BlockBudget budget;
    RunWaiting(text, 0, last, last, budget, sink, report);
    ReadLines(text, first, last, budget, sink, report);
    const std::vector<BlockStacks::Id> opened = BlocksOpenedIn(first, last);
    const auto unended = [this](BlockStacks::Id record) { return !lines_.Stacks().Ended(record); };
    for (std::int64_t from = last + 1;
         from < lines_.Count() && std::any_of(opened.begin(), opened.end(), unended);
         from += SearchChunkLines)
        ReadLines(text, from, std::min(from + SearchChunkLines, lines_.Count()) - 1, budget, sink,
                  report);
}

// The blocks opened in first..last that are still open after them.
std::vector<BlockStacks::Id> BlockStructure::BlocksOpenedIn(std::int64_t first,
                                                            std::int64_t last) const
{
    std::vector<BlockStacks::Id> opened;
    if (!lines_.IsKnown(last + 1))
        return opened;
    const BlockStacks &stacks = lines_.Stacks();
    BlockStacks::Id before = lines_.IsKnown(first) ? lines_.At(first).stack : 0;
    for (BlockStacks::Id id = lines_.At(last + 1).stack; id != 0; id = stacks.Below(id)) {
        while (stacks.Depth(before) > stacks.Depth(id))
            before = stacks.Below(before);
        if (before == id)
            break;
        opened.push_back(id);
    }
    return opened;
}
