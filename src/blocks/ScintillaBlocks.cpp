// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaBlocks: lines by pointer into the document, fold levels as the view keeps them.
#include "ScintillaBlocks.h"

#include "scintilla/ScintillaCall.h"
#include "syntax/Styles.h"

std::int64_t ScintillaBlockText::LineCount() const
{
    return view_.LineCount();
}

std::string_view ScintillaBlockText::Line(std::int64_t line) const
{
    const long start = view_.LineStart(static_cast<long>(line));
    const long end = view_.LineEnd(static_cast<long>(line));
    // A line of more than LongLineBytes is generated data, shown plain through a window: it is
    // read as holding no block words rather than scanned whole at every paint.
    if (end <= start || end - start > ShownStyle::LongLineBytes)
        return {};
    return {view_.RangePointer(start, end - start), static_cast<std::size_t>(end - start)};
}

void ScintillaLevels::SetFoldLevel(std::int64_t line, std::uint32_t level, bool header)
{
    const auto number = static_cast<long>(line);
    const FoldLevel wanted = ScintillaCall::KeptFoldLevel({level, header});
    const FoldLevel old = view_.FoldLevelOf(number);
    if (old == wanted)
        return;
    const bool folded = old.header && !view_.FoldExpanded(number);
    if (folded && !wanted.header) {
        // The block went away: what it hid follows the line.
        view_.SetFoldExpanded(number, true);
        hiddenChanged_.push_back(line + 1);
    }
    if (!view_.LineVisible(number))
        hiddenChanged_.push_back(line);
    view_.SetFoldLevel(number, wanted);
}

void ScintillaLevels::RevealChangedFolds()
{
    const long lines = view_.LineCount();
    for (const std::int64_t changed : hiddenChanged_) {
        const auto line = static_cast<long>(changed);
        if (line >= lines || view_.LineVisible(line))
            continue;
        view_.EnsureVisible(line);
        if (view_.LineVisible(line))
            continue;
        // No folded block holds the line any more: show the hidden lines around it.
        long first = line;
        while (first > 0 && !view_.LineVisible(first - 1))
            --first;
        long last = line;
        while (last + 1 < lines && !view_.LineVisible(last + 1))
            ++last;
        view_.ShowLines(first, last);
        for (long folded = view_.ContractedFoldNext(first); folded >= 0 && folded <= last;
             folded = view_.ContractedFoldNext(folded + 1))
            view_.SetFoldExpanded(folded, true);
    }
    hiddenChanged_.clear();
}
