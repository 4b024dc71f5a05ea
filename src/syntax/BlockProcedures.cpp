// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockProcedures: the procedures the analysed lines open, their names, and edits followed.
#include "BlockProcedures.h"

#include "BlockStructure.h"
#include "Styles.h"

#include <algorithm>
#include <array>

namespace
{

bool IsProcedure(BlockFamily family)
{
    return family == BlockFamily::Sub || family == BlockFamily::Function ||
           family == BlockFamily::Property || family == BlockFamily::Class;
}

char FoldedChar(char byte)
{
    return static_cast<char>(LexerCore::FoldedByte(static_cast<unsigned char>(byte)));
}

std::string Folded(std::string_view name)
{
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), FoldedChar);
    return folded;
}

// Whether `word` is `lower` whatever the case of its letters.
bool SameWord(std::string_view word, std::string_view lower)
{
    return std::equal(word.begin(), word.end(), lower.begin(), lower.end(),
                      [](char a, char b) { return FoldedChar(a) == b; });
}

// The words of a line one after another, double-quoted strings passed over whole.
class Words
{
public:
    Words(std::string_view line, std::size_t from) : line_(line), at_(from) {}

    /// The next word, with `end` after it; empty at the end of the line.
    std::string_view Next()
    {
        while (at_ < line_.size() &&
               !LexerCore::IsWordByte(static_cast<unsigned char>(line_[at_]))) {
            if (line_[at_] == '[')
                return Bracketed();
            if (line_[at_] == '"')
                at_ = PastClosing('"');
            else
                ++at_;
        }
        const std::size_t start = at_;
        while (at_ < line_.size() && LexerCore::IsWordByte(static_cast<unsigned char>(line_[at_])))
            ++at_;
        return line_.substr(start, at_ - start);
    }
    std::size_t End() const { return at_; }

private:
    std::size_t PastClosing(char closing) const
    {
        const std::size_t close = line_.find(closing, at_ + 1);
        return close == std::string_view::npos ? line_.size() : close + 1;
    }

    // A name in brackets may hold any byte but the closing bracket.
    std::string_view Bracketed()
    {
        const std::size_t start = at_;
        at_ = PastClosing(']');
        return line_.substr(start, at_ - start);
    }

    std::string_view line_;
    std::size_t at_;
};

std::array<std::string_view, 2> Keywords(BlockWord word)
{
    switch (word) {
    case BlockWord::Function:
        return {"function", ""};
    case BlockWord::PropertyGet:
        return {"property", "get"};
    case BlockWord::PropertyLet:
        return {"property", "let"};
    case BlockWord::PropertySet:
        return {"property", "set"};
    case BlockWord::Class:
        return {"class", ""};
    default:
        return {"sub", ""};
    }
}

} // namespace

std::pair<std::string, std::size_t> ProcedureName(std::string_view line, BlockWord word,
                                                  std::size_t from)
{
    const std::array<std::string_view, 2> keywords = Keywords(word);
    Words words(line, from);
    std::string_view before;
    for (std::string_view next = words.Next(); !next.empty(); next = words.Next()) {
        const bool closes = SameWord(before, "end") || SameWord(before, "exit");
        before = next;
        if (closes || !SameWord(next, keywords[0]))
            continue;
        if (!keywords[1].empty() && !SameWord(words.Next(), keywords[1]))
            continue;
        const std::string_view name = words.Next();
        return {std::string(name), words.End()};
    }
    return {std::string(), line.size()};
}

void BlockStructure::ProceduresOpenedOn(std::int64_t line,
                                        std::vector<OpenedProcedure> &opened) const
{
    opened.clear();
    if (!IsAnalysed(line) || !lines_.IsKnown(line + 1))
        return;
    const BlockStacks &stacks = lines_.Stacks();
    BlockStacks::Id before = lines_.IsKnown(line) ? lines_.At(line).stack : 0;
    const BlockStacks::Id after = lines_.At(line + 1).stack;
    if (before == after)
        return;
    for (BlockStacks::Id id = after; id != 0; id = stacks.Below(id)) {
        while (stacks.Depth(before) > stacks.Depth(id))
            before = stacks.Below(before);
        if (before == id)
            break;
        if (!IsProcedure(FamilyOf(stacks.Word(id))))
            continue;
        bool member = false;
        for (BlockStacks::Id below = stacks.Below(id); below != 0 && !member;
             below = stacks.Below(below))
            member = FamilyOf(stacks.Word(below)) == BlockFamily::Class;
        opened.push_back({stacks.Word(id), member});
    }
    std::reverse(opened.begin(), opened.end());
}

void ProcedureIndex::Reset(std::int64_t lineCount)
{
    ++revision_;
    procedures_.clear();
    waiting_.clear();
    known_ = 0;
    lineCount_ = lineCount;
}

void ProcedureIndex::LinesReplaced(std::int64_t line, std::int64_t delta)
{
    lineCount_ += delta;
    if (line >= known_)
        return;
    ++revision_;
    // Lines line..gone lose what they opened; those after them move with their text.
    const std::int64_t gone = delta < 0 ? line - delta : line;
    Drop(line, gone);
    // Typing within a line moves nothing: no procedure is visited then, in a script of many.
    if (delta != 0) {
        for (auto at = FirstAfter(gone); at != procedures_.end(); ++at)
            at->line += delta;
    }
    const auto moved = [&](std::int64_t at) { return at > gone ? at + delta : std::min(at, line); };
    for (auto &[first, last] : waiting_) {
        first = moved(first);
        last = moved(last);
    }
    if (known_ <= gone + 1) {
        known_ = line;
        std::erase_if(waiting_, [this](const auto &range) { return range.first >= known_; });
        return;
    }
    known_ += delta;
    // The line after the edit too: whether it goes on a statement above may have changed.
    std::pair<std::int64_t, std::int64_t> range{
        line, std::min(line + std::max<std::int64_t>(delta, 0) + 1, known_ - 1)};
    std::erase_if(waiting_, [&range](const auto &other) {
        if (other.second + 1 < range.first || other.first > range.second + 1)
            return false;
        range = {std::min(range.first, other.first), std::max(range.second, other.second)};
        return true;
    });
    waiting_.push_back(range);
}

bool ProcedureIndex::CatchUp(const BlockText &text, const BlockStructure &structure)
{
    bool changed = false;
    if (structure.LineCount() != lineCount_) {
        changed = !procedures_.empty();
        Reset(structure.LineCount());
    }
    const std::size_t before = procedures_.size();
    for (auto range = waiting_.begin(); range != waiting_.end();) {
        for (; range->first <= range->second && structure.IsAnalysed(range->first);
             ++range->first) {
            Take(text, structure, range->first);
            changed = true;
        }
        range = range->first > range->second ? waiting_.erase(range) : range + 1;
    }
    for (; known_ < lineCount_ && structure.IsAnalysed(known_); ++known_)
        Take(text, structure, known_);
    changed = changed || procedures_.size() != before;
    revision_ += changed ? 1 : 0;
    return changed;
}

// Takes what `line` opens in place of what it opened before.
void ProcedureIndex::Take(const BlockText &text, const BlockStructure &structure, std::int64_t line)
{
    Drop(line, line);
    structure.ProceduresOpenedOn(line, opened_);
    if (opened_.empty())
        return;
    const std::string_view bytes = text.Line(line);
    auto at = FirstAfter(line);
    std::size_t from = 0;
    for (const OpenedProcedure &opened : opened_) {
        auto [name, end] = ProcedureName(bytes, opened.word, from);
        from = end;
        std::string folded = Folded(name);
        at = procedures_.insert(at, Procedure{line, opened.word, opened.member, std::move(name),
                                              std::move(folded)}) +
             1;
    }
}

void ProcedureIndex::Drop(std::int64_t first, std::int64_t last)
{
    // The analysis reading on past every procedure known drops nothing, and need not look.
    if (procedures_.empty() || procedures_.back().line < first)
        return;
    procedures_.erase(FirstAfter(first - 1), FirstAfter(last));
}

std::vector<Procedure>::iterator ProcedureIndex::FirstAfter(std::int64_t line)
{
    return std::upper_bound(procedures_.begin(), procedures_.end(), line,
                            [](std::int64_t l, const Procedure &p) { return l < p.line; });
}
