// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Comment Selected: put the comment mark in front of every line the selection touches.
#pragma once

#include "common/Checked32.h"
#include "editor/EditorControl.h"
#include "editor/EditorRange.h"

#include <QString>

#include <cstdint>

namespace CommentSelected
{

/// The script language's comment start, put at column 0 of each commented line.
inline const QString CommentMark = QStringLiteral("'");

/// Puts CommentMark at column 0 of every line from the selection's start line to its end line,
/// whatever the columns, except that a selection ending at column 0 of a line below its start
/// leaves that line out (none of it is selected); then selects the saved line and column numbers
/// again. The insertions are made together through the control's line-start edit, so the command
/// is one undo step and a failure part-way (a line counter stepping past the 32-bit range) changes
/// nothing. `Control` offers GetSelection, SetSelection and BeginLineStartEdit as EditorControl
/// does.
template <typename Control> void CommentLines(Control &code)
{
    const EditorRange saved = code.GetSelection(true);
    const std::int32_t firstLine = saved.StartLine;
    const bool endsBeforeItsLine = saved.EndColumn == 0 && saved.EndLine > saved.StartLine;
    const std::int32_t lastLine = endsBeforeItsLine ? saved.EndLine - 1 : saved.EndLine;
    auto edit = code.BeginLineStartEdit();
    for (std::int32_t line = firstLine; line <= lastLine; line = CheckedStep(line))
        edit.InsertAtLineStart(line, CommentMark);
    edit.Apply();
    code.SetSelection(saved, true);
}

extern template void CommentLines<EditorControl>(EditorControl &code);

} // namespace CommentSelected
