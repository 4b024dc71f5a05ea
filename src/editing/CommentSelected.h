// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Comment Selected: put the comment mark in front of every line the selection touches.
#pragma once

#include "common/Checked32.h"
#include "common/EditorRange.h"
#include "editor/EditorControl.h"

#include <QString>

#include <cstdint>

namespace CommentSelected
{

/// Puts the comment token of the control's language at column 0 of every line the selection
/// touches (LinesTouched), whatever the columns; then selects the saved line and column numbers
/// again. The insertions are made together through the control's line-start edit, so the command
/// is one undo step and a failure part-way (a line counter stepping past the 32-bit range) changes
/// nothing. A language without a comment token leaves the text alone. `Control` offers
/// GetSelection, SetSelection, CommentToken and BeginLineStartEdit as EditorControl does.
template <typename Control> void CommentLines(Control &code)
{
    const QString token = code.CommentToken();
    if (token.isEmpty())
        return;
    const EditorRange saved = code.GetSelection(true);
    const LineSpan lines = LinesTouched(saved);
    auto edit = code.BeginLineStartEdit();
    for (std::int32_t line = lines.first; line <= lines.last; line = CheckedStep(line))
        edit.InsertAtLineStart(line, token);
    edit.Apply();
    code.SetSelection(saved, true);
}

extern template void CommentLines<EditorControl>(EditorControl &code);

} // namespace CommentSelected
