// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockStructure: edits, the lines waiting to be read again, and the marks of a line.
#include "BlockStructure.h"

#include <QStringView>

#include <algorithm>
#include <array>

namespace
{

// Past this many separate edits waiting to be read, everything after the first is forgotten
// and read again when it is needed, rather than tracked edit by edit.
constexpr std::size_t MostPending = 1024;

// How far back a mismatch looks for the line that opened the block it ends.
constexpr std::int64_t MismatchSearchLines = 1'000'000;

} // namespace

BlockBudget BlockBudget::Lines(std::int64_t lines)
{
    BlockBudget budget;
    budget.lines = lines;
    return budget;
}

BlockBudget BlockBudget::Time(std::chrono::microseconds asked, std::chrono::microseconds extra)
{
    BlockBudget budget;
    const Clock::time_point now = Clock::now();
    budget.deadline = now + asked;
    budget.extraDeadline = now + extra;
    return budget;
}

bool BlockBudget::Spent(bool pastTarget) const
{
    const Clock::time_point until = pastTarget ? std::min(deadline, extraDeadline) : deadline;
    return lines <= 0 || (until != Clock::time_point::max() && Clock::now() >= until);
}

void BlockReport::Add(std::int64_t from, std::int64_t to)
{
    first = first < 0 ? from : std::min(first, from);
    last = std::max(last, to);
}

void BlockReport::Add(const BlockReport &other)
{
    if (other.first >= 0)
        Add(other.first, other.last);
    endingsChanged = endingsChanged || other.endingsChanged;
}

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
               definition.StringDelimiter.toStdString())
{
    Reset(1);
}

void BlockStructure::Reset(std::int64_t lineCount)
{
    lines_.Reset(static_cast<std::size_t>(lineCount) + 1);
    stacks_.Clear();
    pending_.clear();
    behindFirst_ = behindLast_ = -1;
    unknown_ = UnknownRun{0, lineCount - 1};
    outOfStep_ = false;
    // Nothing is open before the first line, so reading can always start there.
    lines_[0].flags = Known | Changed;
}

void BlockStructure::LinesReplaced(std::int64_t line, std::int64_t delta)
{
    if (outOfStep_ || line < 0 || line >= LineCount() || line - delta >= LineCount()) {
        outOfStep_ = true;
        return;
    }
    unknown_.FollowEdit(line, delta);
    if (delta > 0) {
        lines_.Insert(static_cast<std::size_t>(line) + 1, static_cast<std::size_t>(delta));
    } else if (delta < 0) {
        for (std::int64_t removed = line + 1; removed <= line - delta; ++removed)
            stacks_.Release(lines_[removed].stack);
        lines_.Erase(static_cast<std::size_t>(line) + 1, static_cast<std::size_t>(-delta));
    }
    const auto follow = [line, delta](std::int64_t &waiting) {
        if (waiting > line)
            waiting = std::max(line, waiting + delta);
    };
    std::for_each(pending_.begin(), pending_.end(), follow);
    pending_.erase(std::unique(pending_.begin(), pending_.end()), pending_.end());
    follow(behindFirst_);
    follow(behindLast_);
    lines_[line].flags |= Changed;
    if (IsKnown(line))
        AddPending(line);
    if (pending_.size() > MostPending)
        Forget(pending_.front());
}

void BlockStructure::ReadAllLater()
{
    behindFirst_ = 0;
    behindLast_ = LineCount() - 1;
}

void BlockStructure::KeepInStep(const BlockText &text)
{
    if (outOfStep_ || text.LineCount() != LineCount())
        Reset(text.LineCount());
}

void BlockStructure::AddPending(std::int64_t line)
{
    const auto at = std::lower_bound(pending_.begin(), pending_.end(), line);
    if (at == pending_.end() || *at != line)
        pending_.insert(at, line);
}

void BlockStructure::RemovePending(std::int64_t from, std::int64_t to)
{
    pending_.erase(std::lower_bound(pending_.begin(), pending_.end(), from),
                   std::upper_bound(pending_.begin(), pending_.end(), to));
}

// Everything after `from` goes back to not analysed; `from` itself is read again.
void BlockStructure::Forget(std::int64_t from)
{
    for (std::size_t line = static_cast<std::size_t>(from) + 1; line < lines_.Size(); ++line) {
        stacks_.Release(lines_[line].stack);
        lines_[line] = LineInfo{0, 0};
    }
    pending_.assign(1, from);
}

std::int64_t BlockStructure::StatementStart(const BlockText &text, std::int64_t line)
{
    while (line > 0 && scanner_.Continues(text.Line(line - 1)))
        --line;
    return line;
}

// A line that starts a statement with Sub, Function or Type: the blocks open after it do not
// depend on anything before it.
bool BlockStructure::IsSyncLine(const BlockText &text, std::int64_t line)
{
    if (line > 0 && scanner_.Continues(text.Line(line - 1)))
        return false;
    scanner_.Scan(text, line, probe_);
    const std::span<const BlockToken> tokens = probe_.TokensOn(line);
    return !tokens.empty() && RoleOf(tokens.front().word) == BlockRole::Opener &&
           IsOutermost(FamilyOf(tokens.front().word));
}

std::vector<BlockMark> BlockStructure::Marks(const BlockText &text, std::int64_t line)
{
    std::vector<BlockMark> marks;
    if (line < 0 || line >= LineCount() || !IsRead(line))
        return marks;
    // A line read without a known stack was read after a reset: nothing before it matters.
    const BlockStacks::Id incoming = IsKnown(line) ? lines_[line].stack : 0;
    scanner_.Scan(text, StatementStart(text, line), probe_);
    const std::span<const BlockToken> tokens = probe_.TokensOn(line);
    StepLine(stacks_, incoming, tokens, step_);
    for (const LineStep::Mark &mark : step_.marks)
        AppendMark(mark, tokens, line, marks);
    AppendUnclosed(line, tokens, marks);
    std::sort(marks.begin(), marks.end(),
              [](const BlockMark &a, const BlockMark &b) { return a.column < b.column; });
    return marks;
}

void BlockStructure::AppendMark(const LineStep::Mark &mark, std::span<const BlockToken> tokens,
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
void BlockStructure::AppendUnclosed(std::int64_t line, std::span<const BlockToken> tokens,
                                    std::vector<BlockMark> &marks) const
{
    const LineInfo &after = lines_[line + 1];
    if (step_.opened.empty() || (after.flags & (Known | Changed)) != Known)
        return;
    std::vector<BlockStacks::Id> records(step_.opened.size());
    BlockStacks::Id id = after.stack;
    for (std::size_t k = records.size(); k-- > 0;) {
        if (id == 0 || stacks_.Word(id) != step_.opened[k].word)
            return;
        records[k] = id;
        id = stacks_.Below(id);
    }
    if (id != step_.below)
        return;
    for (std::size_t k = 0; k < records.size(); ++k) {
        if (stacks_.StatusOf(records[k]) == BlockStacks::Status::Unclosed) {
            const BlockToken &token = tokens[step_.opened[k].token];
            marks.push_back({token.column, token.length, UnclosedText(token.word, line + 1)});
        }
    }
}

// The line before `line` whose stack does not hold `record` yet: the line that opened it.
std::int64_t BlockStructure::LineOfRecord(BlockStacks::Id record, std::int64_t line) const
{
    const std::uint32_t depth = stacks_.Depth(record);
    const std::int64_t stop = std::max<std::int64_t>(0, line - MismatchSearchLines);
    for (std::int64_t before = line - 1; before > stop; --before) {
        BlockStacks::Id id = lines_[before].stack;
        while (id != 0 && stacks_.Depth(id) > depth)
            id = stacks_.Below(id);
        if (id != record || !IsKnown(before))
            return before;
    }
    return stop;
}
