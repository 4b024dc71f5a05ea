// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaBlocks: lines by pointer into the document, fold levels as Scintilla numbers them.
#include "ScintillaBlocks.h"

#include "syntax/QuillLexer.h"

#include <Qsci/qsciscintillabase.h>

#include <algorithm>

namespace
{

using Sci = QsciScintillaBase;

constexpr std::uint32_t DeepestLevel = Sci::SC_FOLDLEVELNUMBERMASK - Sci::SC_FOLDLEVELBASE;

} // namespace

std::int64_t ScintillaBlockText::LineCount() const
{
    return view_.SendScintilla(Sci::SCI_GETLINECOUNT);
}

std::string_view ScintillaBlockText::Line(std::int64_t line) const
{
    const auto number = static_cast<unsigned long>(line);
    const long start = view_.SendScintilla(Sci::SCI_POSITIONFROMLINE, number);
    const long end = view_.SendScintilla(Sci::SCI_GETLINEENDPOSITION, number);
    // A line of more than LongLineBytes is generated data, shown plain through a window: it is
    // read as holding no block words rather than scanned whole at every paint.
    if (end <= start || end - start > QuillLexer::LongLineBytes)
        return {};
    const auto *bytes = reinterpret_cast<const char *>(view_.SendScintilla(
        Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), end - start));
    return {bytes, static_cast<std::size_t>(end - start)};
}

long ScintillaLevels::Send(unsigned int message, unsigned long wParam, long lParam) const
{
    return view_.SendScintilla(message, wParam, lParam);
}

void ScintillaLevels::SetFoldLevel(std::int64_t line, std::uint32_t level, bool header)
{
    const auto number = static_cast<unsigned long>(line);
    const long value = (Sci::SC_FOLDLEVELBASE + std::min(level, DeepestLevel)) |
                       (header ? Sci::SC_FOLDLEVELHEADERFLAG : 0);
    const long old = Send(Sci::SCI_GETFOLDLEVEL, number);
    if (old == value)
        return;
    const bool folded =
        (old & Sci::SC_FOLDLEVELHEADERFLAG) && !Send(Sci::SCI_GETFOLDEXPANDED, number);
    if (folded && !header) {
        // The block went away: what it hid follows the line.
        Send(Sci::SCI_SETFOLDEXPANDED, number, 1);
        hiddenChanged_.push_back(line + 1);
    }
    if (!Send(Sci::SCI_GETLINEVISIBLE, number))
        hiddenChanged_.push_back(line);
    Send(Sci::SCI_SETFOLDLEVEL, number, value);
}

void ScintillaLevels::RevealChangedFolds()
{
    const long lines = Send(Sci::SCI_GETLINECOUNT, 0);
    for (const std::int64_t line : hiddenChanged_) {
        const auto number = static_cast<unsigned long>(line);
        if (line >= lines || Send(Sci::SCI_GETLINEVISIBLE, number))
            continue;
        Send(Sci::SCI_ENSUREVISIBLE, number);
        if (Send(Sci::SCI_GETLINEVISIBLE, number))
            continue;
        // No folded block holds the line any more: show the hidden lines around it.
        std::int64_t first = line;
        while (first > 0 && !Send(Sci::SCI_GETLINEVISIBLE, static_cast<unsigned long>(first - 1)))
            --first;
        std::int64_t last = line;
        while (last + 1 < lines &&
               !Send(Sci::SCI_GETLINEVISIBLE, static_cast<unsigned long>(last + 1)))
            ++last;
        Send(Sci::SCI_SHOWLINES, static_cast<unsigned long>(first), static_cast<long>(last));
        for (long header = Send(Sci::SCI_CONTRACTEDFOLDNEXT, static_cast<unsigned long>(first));
             header >= 0 && header <= last;
             header = Send(Sci::SCI_CONTRACTEDFOLDNEXT, static_cast<unsigned long>(header + 1)))
            Send(Sci::SCI_SETFOLDEXPANDED, static_cast<unsigned long>(header), 1);
    }
    hiddenChanged_.clear();
}
