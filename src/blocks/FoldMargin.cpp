// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FoldMargin: box markers, marks drawn by difference, and folding through Scintilla's own state.
#include "FoldMargin.h"

#include "scintilla/ScintillaCall.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <utility>

namespace
{

using Range = std::pair<long, long>;

constexpr int FoldMarginWidth = 14;

// The merged byte ranges of the marked words in a line from `start` to `end`.
std::vector<Range> MarkedRanges(long start, long end, const std::vector<BlockMark> &marks)
{
    std::vector<Range> ranges;
    for (const BlockMark &mark : marks) {
        const long from = std::min<long>(start + mark.column, end);
        const long to = std::min<long>(from + mark.length, end);
        if (from < to)
            ranges.emplace_back(from, to);
    }
    std::sort(ranges.begin(), ranges.end());
    std::vector<Range> merged;
    for (const Range &range : ranges) {
        if (!merged.empty() && range.first <= merged.back().second)
            merged.back().second = std::max(merged.back().second, range.second);
        else
            merged.push_back(range);
    }
    return merged;
}

} // namespace

// Scintilla makes a document's arrays of markers and of fold levels at their first use, in
// proportion to its lines (about 5 ms at 100 MB): made while a document opens, they are not
// paid by the first jump or key.
void FoldMargin::ReserveLines()
{
    const long last = view_.LineCount() - 1;
    view_.MarkerAdd(last, MarkMarker);
    view_.MarkerDelete(last, MarkMarker);
    view_.SetFoldLevel(last, view_.FoldLevelOf(last));
}

void FoldMargin::Show()
{
    view_.ShowFoldMargin(Margin, FoldMarginWidth);
    view_.DefineCircleMarker(MarkMarker, QColor(0x90, 0x00, 0x00), QColor(0xE0, 0x20, 0x20));
    view_.SetIndicator(MarkIndicator, ScintillaCall::IndicatorStyle::Squiggle,
                       QColor(0xE0, 0x00, 0x00));
}

void FoldMargin::Hide()
{
    UnfoldAll();
    view_.ShowFoldMargin(Margin, 0);
    view_.IndicatorClearRange(MarkIndicator, 0, view_.Length());
    view_.MarkerDeleteAll(MarkMarker);
}

void FoldMargin::DrawMarks(std::int64_t line, const std::vector<BlockMark> &marks)
{
    const auto number = static_cast<long>(line);
    const long start = view_.LineStart(number);
    const long end = view_.LineEnd(number);
    const std::vector<Range> wanted = MarkedRanges(start, end, marks);
    std::vector<Range> shown;
    for (long at = start; at < end;) {
        const long next = view_.IndicatorEnd(MarkIndicator, at);
        if (view_.IndicatorAt(MarkIndicator, at))
            shown.emplace_back(at, std::min(next, end));
        if (next <= at)
            break;
        at = next;
    }
    if (shown != wanted) {
        view_.IndicatorClearRange(MarkIndicator, start, end - start);
        for (const Range &range : wanted)
            view_.IndicatorFillRange(MarkIndicator, range.first, range.second - range.first);
    }
    // Deleted lines hand their markers to the line before, so a line may hold several.
    if (marks.empty()) {
        while (view_.HasMarker(number, MarkMarker))
            view_.MarkerDelete(number, MarkMarker);
    } else if (!view_.HasMarker(number, MarkMarker)) {
        view_.MarkerAdd(number, MarkMarker);
    }
}

bool FoldMargin::IsHeader(std::int64_t line) const
{
    return view_.FoldLevelOf(static_cast<long>(line)).header;
}

bool FoldMargin::IsExpanded(std::int64_t line) const
{
    return view_.FoldExpanded(static_cast<long>(line));
}

std::int64_t FoldMargin::CaretLine() const
{
    return view_.LineFromPosition(view_.CurrentPos());
}

void FoldMargin::FoldAtCaret()
{
    std::int64_t header = CaretLine();
    if (!IsHeader(header) || !IsExpanded(header)) {
        do
            header = view_.FoldParent(static_cast<long>(header));
        while (header >= 0 && !IsExpanded(header));
    }
    if (header < 0)
        return;
    view_.FoldLine(static_cast<long>(header), ScintillaCall::FoldAction::Contract);
    LeaveHiddenLines();
}

void FoldMargin::UnfoldAtCaret()
{
    const std::int64_t line = CaretLine();
    if (IsHeader(line) && !IsExpanded(line))
        view_.FoldLine(static_cast<long>(line), ScintillaCall::FoldAction::Expand);
}

// Hides the lines of each outermost block and marks every block folded. Scintilla's own "fold
// all" would first colour the whole text, and folds only the outermost blocks.
void FoldMargin::FoldAll()
{
    const long lines = view_.LineCount();
    std::vector<Range> hidden;                        // the lines inside each outermost block
    std::vector<std::pair<long, std::uint32_t>> open; // first line and depth of each block around
    auto close = [&](long last) {
        if (open.size() == 1 && last > open.back().first)
            hidden.emplace_back(open.back().first + 1, last);
        open.pop_back();
    };
    for (long line = 0; line < lines; ++line) {
        const FoldLevel level = view_.FoldLevelOf(line);
        while (!open.empty() && level.depth <= open.back().second)
            close(line - 1);
        if (level.header) {
            view_.SetFoldExpanded(line, false);
            open.emplace_back(line, level.depth);
        }
    }
    while (!open.empty())
        close(lines - 1);
    WithScrollRangeHeld([&] { HideRanges(hidden); });
    LeaveHiddenLines();
}

// Scintilla sets the scroll bar's range after every run of lines it hides or shows, and the
// scroll area answers each change of the range through a queued call: a few hundred thousand of
// them, each waking the event loop, after folding a large script. The area hears of the range
// once, when it is final.
void FoldMargin::WithScrollRangeHeld(const std::function<void()> &work)
{
    QScrollBar &bar = *view_.Widget().verticalScrollBar();
    {
        const QSignalBlocker held(bar);
        work();
    }
    emit bar.rangeChanged(bar.minimum(), bar.maximum());
}

// Scintilla hides and shows line by line, each line costing more the more runs of hidden lines
// there are already: when most lines go, hiding all of them in one run and showing the few
// between the blocks again costs a third less.
void FoldMargin::HideRanges(const std::vector<Range> &hidden)
{
    const long lines = view_.LineCount();
    long count = 0;
    for (const Range &range : hidden)
        count += range.second - range.first + 1;
    if (hidden.empty() || count <= lines / 2) {
        for (const Range &range : hidden)
            view_.HideLines(range.first, range.second);
        return;
    }
    view_.HideLines(1, lines - 1);
    long shownFrom = 0;
    for (const Range &range : hidden) {
        if (range.first > shownFrom)
            view_.ShowLines(shownFrom, range.first - 1);
        shownFrom = range.second + 1;
    }
    if (shownFrom < lines)
        view_.ShowLines(shownFrom, lines - 1);
}

void FoldMargin::UnfoldAll()
{
    view_.ShowLines(0, view_.LineCount() - 1);
    for (long line = view_.ContractedFoldNext(0); line >= 0;
         line = view_.ContractedFoldNext(line + 1))
        view_.SetFoldExpanded(line, true);
    view_.ScrollCaret();
}

void FoldMargin::Toggle(std::int64_t line)
{
    if (!IsHeader(line))
        return;
    view_.FoldLine(static_cast<long>(line), ScintillaCall::FoldAction::Toggle);
    LeaveHiddenLines();
}

void FoldMargin::RevealSelection()
{
    bool revealed = false;
    for (const long position : {view_.Anchor(), view_.CurrentPos()}) {
        const long line = view_.LineFromPosition(position);
        if (!view_.LineVisible(line)) {
            view_.EnsureVisible(line);
            revealed = true;
        }
    }
    if (revealed)
        view_.ScrollCaret();
}

// A caret left inside a block just folded moves to the block's first line, which stays shown. A
// caret deeper than the view keeps levels stays where it is: the block folded holds it with every
// block deeper than those levels, and its first line is none the caret asked for.
void FoldMargin::LeaveHiddenLines()
{
    long line = view_.LineFromPosition(view_.CurrentPos());
    if (view_.LineVisible(line) || view_.FoldLevelOf(line).depth >= ScintillaCall::DeepestFoldLevel)
        return;
    while (line > 0 && !view_.LineVisible(line))
        line = std::max(0L, view_.FoldParent(line));
    view_.GotoLine(line);
}
