// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FoldMargin: box markers, marks drawn by difference, and folding through Scintilla's own state.
#include "FoldMargin.h"

#include <Qsci/qsciscintillabase.h>

#include <QColor>

#include <algorithm>
#include <utility>

namespace
{

using Sci = QsciScintillaBase;
using Range = std::pair<long, long>;

constexpr int FoldMarginWidth = 14;

long Colour(QColor colour)
{
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

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

long FoldMargin::Send(unsigned int message, unsigned long wParam, long lParam) const
{
    return view_.SendScintilla(message, wParam, lParam);
}

// Scintilla makes a document's arrays of markers and of fold levels at their first use, in
// proportion to its lines (about 5 ms at 100 MB): made while a document opens, they are not
// paid by the first jump or key.
void FoldMargin::ReserveLines()
{
    const long last = Send(Sci::SCI_GETLINECOUNT) - 1;
    Send(Sci::SCI_MARKERADD, static_cast<unsigned long>(last), MarkMarker);
    Send(Sci::SCI_MARKERDELETE, static_cast<unsigned long>(last), MarkMarker);
    Send(Sci::SCI_SETFOLDLEVEL, static_cast<unsigned long>(last),
         Send(Sci::SCI_GETFOLDLEVEL, static_cast<unsigned long>(last)));
}

void FoldMargin::Show()
{
    Send(Sci::SCI_SETMARGINTYPEN, Margin, Sci::SC_MARGIN_SYMBOL);
    Send(Sci::SCI_SETMARGINMASKN, Margin, static_cast<long>(Sci::SC_MASK_FOLDERS));
    Send(Sci::SCI_SETMARGINWIDTHN, Margin, FoldMarginWidth);
    Send(Sci::SCI_SETMARGINSENSITIVEN, Margin, 1);
    Send(Sci::SCI_SETMARGINCURSORN, Margin, Sci::SC_CURSORARROW);
    Send(Sci::SCI_SETFOLDMARGINCOLOUR, 1, Colour(Qt::white));
    Send(Sci::SCI_SETFOLDMARGINHICOLOUR, 1, Colour(Qt::white));
    const std::pair<int, int> boxes[] = {
        {Sci::SC_MARKNUM_FOLDEROPEN, Sci::SC_MARK_BOXMINUS},
        {Sci::SC_MARKNUM_FOLDER, Sci::SC_MARK_BOXPLUS},
        {Sci::SC_MARKNUM_FOLDERSUB, Sci::SC_MARK_VLINE},
        {Sci::SC_MARKNUM_FOLDERTAIL, Sci::SC_MARK_LCORNER},
        {Sci::SC_MARKNUM_FOLDEREND, Sci::SC_MARK_BOXPLUSCONNECTED},
        {Sci::SC_MARKNUM_FOLDEROPENMID, Sci::SC_MARK_BOXMINUSCONNECTED},
        {Sci::SC_MARKNUM_FOLDERMIDTAIL, Sci::SC_MARK_TCORNER},
    };
    for (const auto &[marker, symbol] : boxes) {
        Send(Sci::SCI_MARKERDEFINE, marker, symbol);
        Send(Sci::SCI_MARKERSETFORE, marker, Colour(Qt::white));
        Send(Sci::SCI_MARKERSETBACK, marker, Colour(QColor(0x80, 0x80, 0x80)));
    }
    Send(Sci::SCI_SETFOLDFLAGS, Sci::SC_FOLDFLAG_LINEAFTER_CONTRACTED);
    // Scintilla shows folded lines itself before an edit touches them.
    Send(Sci::SCI_SETAUTOMATICFOLD, Sci::SC_AUTOMATICFOLD_SHOW);
    Send(Sci::SCI_MARKERDEFINE, MarkMarker, Sci::SC_MARK_CIRCLE);
    Send(Sci::SCI_MARKERSETFORE, MarkMarker, Colour(QColor(0x90, 0x00, 0x00)));
    Send(Sci::SCI_MARKERSETBACK, MarkMarker, Colour(QColor(0xE0, 0x20, 0x20)));
    Send(Sci::SCI_INDICSETSTYLE, MarkIndicator, Sci::INDIC_SQUIGGLE);
    Send(Sci::SCI_INDICSETFORE, MarkIndicator, Colour(QColor(0xE0, 0x00, 0x00)));
}

void FoldMargin::Hide()
{
    UnfoldAll();
    Send(Sci::SCI_SETMARGINWIDTHN, Margin, 0);
    Send(Sci::SCI_SETAUTOMATICFOLD, 0);
    Send(Sci::SCI_SETINDICATORCURRENT, MarkIndicator);
    Send(Sci::SCI_INDICATORCLEARRANGE, 0, Send(Sci::SCI_GETLENGTH));
    Send(Sci::SCI_MARKERDELETEALL, MarkMarker);
}

void FoldMargin::DrawMarks(std::int64_t line, const std::vector<BlockMark> &marks)
{
    const auto number = static_cast<unsigned long>(line);
    const long start = Send(Sci::SCI_POSITIONFROMLINE, number);
    const long end = Send(Sci::SCI_GETLINEENDPOSITION, number);
    const std::vector<Range> wanted = MarkedRanges(start, end, marks);
    std::vector<Range> shown;
    for (long at = start; at < end;) {
        const long next = Send(Sci::SCI_INDICATOREND, MarkIndicator, at);
        if (Send(Sci::SCI_INDICATORVALUEAT, MarkIndicator, at) != 0)
            shown.emplace_back(at, std::min(next, end));
        if (next <= at)
            break;
        at = next;
    }
    if (shown != wanted) {
        Send(Sci::SCI_SETINDICATORCURRENT, MarkIndicator);
        Send(Sci::SCI_INDICATORCLEARRANGE, static_cast<unsigned long>(start), end - start);
        for (const Range &range : wanted)
            Send(Sci::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(range.first),
                 range.second - range.first);
    }
    // Deleted lines hand their markers to the line before, so a line may hold several.
    const auto marked = [&] {
        return (Send(Sci::SCI_MARKERGET, number) & (1L << MarkMarker)) != 0;
    };
    if (marks.empty()) {
        while (marked())
            Send(Sci::SCI_MARKERDELETE, number, MarkMarker);
    } else if (!marked()) {
        Send(Sci::SCI_MARKERADD, number, MarkMarker);
    }
}

bool FoldMargin::IsHeader(std::int64_t line) const
{
    return (Send(Sci::SCI_GETFOLDLEVEL, static_cast<unsigned long>(line)) &
            Sci::SC_FOLDLEVELHEADERFLAG) != 0;
}

bool FoldMargin::IsExpanded(std::int64_t line) const
{
    return Send(Sci::SCI_GETFOLDEXPANDED, static_cast<unsigned long>(line)) != 0;
}

std::int64_t FoldMargin::CaretLine() const
{
    return Send(Sci::SCI_LINEFROMPOSITION,
                static_cast<unsigned long>(Send(Sci::SCI_GETCURRENTPOS)));
}

void FoldMargin::FoldAtCaret()
{
    std::int64_t header = CaretLine();
    if (!IsHeader(header) || !IsExpanded(header)) {
        do
            header = Send(Sci::SCI_GETFOLDPARENT, static_cast<unsigned long>(header));
        while (header >= 0 && !IsExpanded(header));
    }
    if (header < 0)
        return;
    Send(Sci::SCI_FOLDLINE, static_cast<unsigned long>(header), Sci::SC_FOLDACTION_CONTRACT);
    LeaveHiddenLines();
}

void FoldMargin::UnfoldAtCaret()
{
    const std::int64_t line = CaretLine();
    if (IsHeader(line) && !IsExpanded(line))
        Send(Sci::SCI_FOLDLINE, static_cast<unsigned long>(line), Sci::SC_FOLDACTION_EXPAND);
}

// Hides the lines of each outermost block and marks every block folded. Scintilla's own
// "fold all" would first colour the whole text, and folds only the outermost blocks.
void FoldMargin::FoldAll()
{
    const long lines = Send(Sci::SCI_GETLINECOUNT);
    std::vector<std::pair<long, long>> open; // first line and level of each block around
    auto close = [&](long last) {
        if (open.size() == 1 && last > open.back().first)
            Send(Sci::SCI_HIDELINES, static_cast<unsigned long>(open.back().first + 1), last);
        open.pop_back();
    };
    for (long line = 0; line < lines; ++line) {
        const long level = Send(Sci::SCI_GETFOLDLEVEL, static_cast<unsigned long>(line));
        const long number = level & Sci::SC_FOLDLEVELNUMBERMASK;
        while (!open.empty() && number <= open.back().second)
            close(line - 1);
        if (level & Sci::SC_FOLDLEVELHEADERFLAG) {
            Send(Sci::SCI_SETFOLDEXPANDED, static_cast<unsigned long>(line), 0);
            open.emplace_back(line, number);
        }
    }
    while (!open.empty())
        close(lines - 1);
    LeaveHiddenLines();
}

void FoldMargin::UnfoldAll()
{
    Send(Sci::SCI_SHOWLINES, 0, Send(Sci::SCI_GETLINECOUNT) - 1);
    for (long line = Send(Sci::SCI_CONTRACTEDFOLDNEXT, 0); line >= 0;
         line = Send(Sci::SCI_CONTRACTEDFOLDNEXT, static_cast<unsigned long>(line + 1)))
        Send(Sci::SCI_SETFOLDEXPANDED, static_cast<unsigned long>(line), 1);
    Send(Sci::SCI_SCROLLCARET);
}

void FoldMargin::Toggle(std::int64_t line)
{
    if (!IsHeader(line))
        return;
    Send(Sci::SCI_FOLDLINE, static_cast<unsigned long>(line), Sci::SC_FOLDACTION_TOGGLE);
    LeaveHiddenLines();
}

void FoldMargin::RevealSelection()
{
    bool revealed = false;
    for (const long position : {Send(Sci::SCI_GETANCHOR), Send(Sci::SCI_GETCURRENTPOS)}) {
        const long line = Send(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
        if (!Send(Sci::SCI_GETLINEVISIBLE, static_cast<unsigned long>(line))) {
            Send(Sci::SCI_ENSUREVISIBLE, static_cast<unsigned long>(line));
            revealed = true;
        }
    }
    if (revealed)
        Send(Sci::SCI_SCROLLCARET);
}

// A caret left inside a block just folded moves to the block's first line, which stays shown.
void FoldMargin::LeaveHiddenLines()
{
    std::int64_t line = CaretLine();
    if (Send(Sci::SCI_GETLINEVISIBLE, static_cast<unsigned long>(line)))
        return;
    while (line > 0 && !Send(Sci::SCI_GETLINEVISIBLE, static_cast<unsigned long>(line)))
        line = std::max<long>(0, Send(Sci::SCI_GETFOLDPARENT, static_cast<unsigned long>(line)));
    Send(Sci::SCI_GOTOLINE, static_cast<unsigned long>(line));
}
