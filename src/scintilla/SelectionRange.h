// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// SelectionRange: a view's selection in lines and character columns rather than bytes.
#pragma once

#include "common/EditorRange.h"

class ScintillaCall;

/// The selection with its start not after its end.
EditorRange SelectionRange(const ScintillaCall &view);
/// Selects exactly `range` (equal start and end is a caret), from its start to its end, and has
/// Up and Down aim for the end's column; `reveal` scrolls the end into view. A line outside the
/// text or a negative column is an EditorError; a column past its line's end stands at the end.
void SelectRange(ScintillaCall &view, const EditorRange &range, bool reveal);
