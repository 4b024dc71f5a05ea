// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockStructure: which lines each call reads, in what order, and what it leaves for later.
#include "BlockStructure.h"

#include <QSet>

#include <algorithm>

bool BlockStructure::Applies(const LanguageDefinition &definition)
{
    QSet<QString> keywords;
    for (const QString &entry : WordListEntries(definition.KeywordList))
        keywords.insert(entry.toLower());
    for (const char *word : {"if", "then", "end", "sub", "function"}) {
        if (!keywords.contains(QLatin1String(word)))
            return false;
    }
    return true;
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
