// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// SelectionRange: lines and character columns over Scintilla's byte positions.
#include "SelectionRange.h"

#include "ScintillaCall.h"
#include "common/EditorError.h"

#include <QString>

namespace
{

long PositionOf(const ScintillaCall &view, std::int32_t line, std::int32_t column)
{
    if (line < 0 || line >= view.LineCount() || column < 0)
        throw EditorError(QStringLiteral("line %1, column %2 is not in the text")
                              .arg(line)
                              .arg(column)
                              .toStdString());
    const long lineStart = view.LineStart(line);
    const long lineEnd = view.LineEnd(line);
    if (column >= view.CountCharacters(lineStart, lineEnd))
        return lineEnd;
    return view.PositionRelative(lineStart, column);
}

std::int32_t ColumnOf(const ScintillaCall &view, long position)
{
    const long lineStart = view.LineStart(view.LineFromPosition(position));
    return static_cast<std::int32_t>(view.CountCharacters(lineStart, position));
}

} // namespace

EditorRange SelectionRange(const ScintillaCall &view)
{
    const long start = view.SelectionStart();
    const long end = view.SelectionEnd();
    EditorRange range;
    range.StartLine = static_cast<std::int32_t>(view.LineFromPosition(start));
    range.StartColumn = ColumnOf(view, start);
    range.EndLine = static_cast<std::int32_t>(view.LineFromPosition(end));
    range.EndColumn = ColumnOf(view, end);
    return range;
}

void SelectRange(ScintillaCall &view, const EditorRange &range, bool reveal)
{
    const long anchor = PositionOf(view, range.StartLine, range.StartColumn);
    const long caret = PositionOf(view, range.EndLine, range.EndColumn);
    if (reveal)
        view.SetSel(anchor, caret);
    else
        view.SetSelection(anchor, caret);
}
