// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockMarks: a line read again with its stored stack, and the unclosed blocks it left open.
#include "BlockMarks.h"

#include <algorithm>

namespace
{

using Flag = BlockLines::Flag;

// How far back a mismatch looks for the line that opened the block it ends.
constexpr std::int64_t MismatchSearchLines = 1'000'000;

// Past this many blank lines below an opener, its block counts as holding something.
constexpr std::int64_t MostBlankLines = 1000;

bool IsBlank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

bool Holds(const BlockStacks &stacks, BlockStacks::Id stack, BlockStacks::Id record)
{
    while (stacks.Depth(stack) > stacks.Depth(record))
        stack = stacks.Below(stack);
    return stack == record;
}

} // namespace

std::vector<BlockMark> BlockMarks::Of(const BlockText &text, std::int64_t line)
{
    std::vector<BlockMark> marks;
    if (line < 0 || line >= lines_.Count() || !lines_.IsRead(line))
        return marks;
    // A line read without a known stack was read after a reset: nothing before it matters.
    const BlockStacks::Id incoming = lines_.IsKnown(line) ? lines_.At(line).stack : 0;
    scanner_.Scan(text, scanner_.StatementStart(text, line), statement_);
    const std::span<const BlockToken> tokens = statement_.TokensOn(line);
    StepLine(lines_.Stacks(), incoming, tokens, step_);
    for (const LineStep::Mark &mark : step_.marks)
        AppendMark(mark, tokens, line, marks);
    AppendUnclosed(text, line, tokens, marks);
    std::sort(marks.begin(), marks.end(),
              [](const BlockMark &a, const BlockMark &b) { return a.column < b.column; });
    return marks;
}

void BlockMarks::AppendMark(const LineStep::Mark &mark, std::span<const BlockToken> tokens,
                            std::int64_t line, std::vector<BlockMark> &marks) const
{
    const BlockToken &token = tokens[mark.token];
    std::string text;
    switch (mark.kind) {
    case MarkKind::Unclosed:
        text = UnclosedText(token.word, line + 1);
        break;
    case MarkKind::Stray:
        text = StrayText(token.word);
        break;
    case MarkKind::Mismatched: {
        const std::int64_t opener =
            mark.relatedRecord ? LineOfRecord(mark.relatedRecord, line) : line;
        text = MismatchText(token.word, mark.related, opener + 1);
        break;
    }
    }
    marks.push_back({token.column, token.length, std::move(text)});
}

// The blocks the line leaves open are the top records of the next line's stack; those whose
// end the analysis found missing are marked.
void BlockMarks::AppendUnclosed(const BlockText &text, std::int64_t line,
                                std::span<const BlockToken> tokens,
                                std::vector<BlockMark> &marks) const
{
    const BlockLines::Info &after = lines_.At(line + 1);
    if (step_.opened.empty() || (after.flags & (Flag::Known | Flag::Changed)) != Flag::Known)
        return;
    const BlockStacks &stacks = lines_.Stacks();
    std::vector<BlockStacks::Id> records(step_.opened.size());
    BlockStacks::Id id = after.stack;
    for (std::size_t k = records.size(); k-- > 0;) {
        if (id == 0 || stacks.Word(id) != step_.opened[k].word)
            return;
        records[k] = id;
        id = stacks.Below(id);
    }
    if (id != step_.below)
        return;
    for (std::size_t k = 0; k < records.size(); ++k) {
        if (stacks.StatusOf(records[k]) == BlockStacks::Status::Unclosed) {
            const BlockToken &token = tokens[step_.opened[k].token];
            marks.push_back({token.column, token.length, UnclosedText(token.word, line + 1),
                             HoldsNothing(text, line, records[k])});
        }
    }
}

// Whether the unclosed block of `record`, opened on `line`, holds nothing but blank lines: the
// text ends after them, or the first line that is not blank ended the block.
bool BlockMarks::HoldsNothing(const BlockText &text, std::int64_t line,
                              BlockStacks::Id record) const
{
    std::int64_t next = line + 1;
    while (next < lines_.Count() && IsBlank(text.Line(next))) {
        if (++next - line > MostBlankLines)
            return false;
    }
    if (next == lines_.Count())
        return true;
    const BlockLines::Info &before = lines_.At(next);
    const BlockLines::Info &after = lines_.At(next + 1);
    const auto good = [](const BlockLines::Info &info) {
        return (info.flags & (Flag::Known | Flag::Changed)) == Flag::Known;
    };
    return good(before) && good(after) && Holds(lines_.Stacks(), before.stack, record) &&
           !Holds(lines_.Stacks(), after.stack, record);
}

// The line before `line` whose stack does not hold `record` yet: the line that opened it.
std::int64_t BlockMarks::LineOfRecord(BlockStacks::Id record, std::int64_t line) const
{
    const BlockStacks &stacks = lines_.Stacks();
    const std::uint32_t depth = stacks.Depth(record);
    const std::int64_t stop = std::max<std::int64_t>(0, line - MismatchSearchLines);
    for (std::int64_t before = line - 1; before > stop; --before) {
        BlockStacks::Id id = lines_.At(before).stack;
        while (id != 0 && stacks.Depth(id) > depth)
            id = stacks.Below(id);
        if (id != record || !lines_.IsKnown(before))
            return before;
    }
    return stop;
}
