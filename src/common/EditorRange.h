// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EditorRange: a span of text given by lines and character columns, as the editor control reports
// it.
#pragma once

#include <cstdint>

/// A plain range value: lines and columns count from 0, columns count characters.
/// A new range is all zeros, an empty selection at the start of the first line.
struct EditorRange {
    std::int32_t StartLine = 0;
    std::int32_t StartColumn = 0;
    std::int32_t EndLine = 0;
    std::int32_t EndColumn = 0;

    friend bool operator==(const EditorRange &, const EditorRange &) = default;
};

/// The lines a command on whole lines works on: the first and last of them.
struct LineSpan {
    std::int32_t first = 0;
    std::int32_t last = 0;
};

/// The lines `selection` touches: from its start line to its end line, except that a selection
/// ending at column 0 of a line below its start leaves that line out, as none of it is selected.
/// A selection whose start follows its end touches none (last before first).
inline LineSpan LinesTouched(const EditorRange &selection)
{
    const bool endsBeforeItsLine =
        selection.EndColumn == 0 && selection.EndLine > selection.StartLine;
    return {selection.StartLine, endsBeforeItsLine ? selection.EndLine - 1 : selection.EndLine};
}
