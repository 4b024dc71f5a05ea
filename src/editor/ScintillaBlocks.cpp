// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaBlocks: lines by pointer into the document, fold levels as Scintilla numbers them.
#include "ScintillaBlocks.h"

#include <Qsci/qsciscintillabase.h>

#include <algorithm>

namespace
{

using Sci = QsciScintillaBase;

constexpr std::uint32_t DeepestLevel = Sci::SC_FOLDLEVELNUMBERMASK - Sci::SC_FOLDLEVELBASE;

} // namespace

std::int64_t ScintillaText::LineCount() const
{
    return view_.SendScintilla(Sci::SCI_GETLINECOUNT);
}

std::string_view ScintillaText::Line(std::int64_t line) const
{
    const auto number = static_cast<unsigned long>(line);
    const long start = view_.SendScintilla(Sci::SCI_POSITIONFROMLINE, number);
    const long end = view_.SendScintilla(Sci::SCI_GETLINEENDPOSITION, number);
    if (end <= start)
        return {};
    const auto *bytes = reinterpret_cast<const char *>(view_.SendScintilla(
        Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), end - start));
    return {bytes, static_cast<std::size_t>(end - start)};
}

void ScintillaLevels::SetFoldLevel(std::int64_t line, std::uint32_t level, bool header)
{
    const auto number = static_cast<unsigned long>(line);
    const long value = (Sci::SC_FOLDLEVELBASE + std::min(level, DeepestLevel)) |
                       (header ? Sci::SC_FOLDLEVELHEADERFLAG : 0);
    if (view_.SendScintilla(Sci::SCI_GETFOLDLEVEL, number) != value)
        view_.SendScintilla(Sci::SCI_SETFOLDLEVEL, number, value);
}
