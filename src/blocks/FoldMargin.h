// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FoldMargin: the fold margin and block marks of a view, and the fold commands.
#pragma once

#include "syntax/BlockMarks.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class ScintillaCall;

/// The margin of fold boxes, the marker and wavy underline of marked block words, and folding
/// by command. Folding only hides lines: the text stays as it is, and Scintilla shows hidden
/// lines again before any edit touches them.
class FoldMargin
{
public:
    /// The margin of fold boxes, beside QScintilla's symbol margin.
    static constexpr int Margin = 2;
    /// Marked lines get this marker in the symbol margin, and marked words this indicator.
    static constexpr int MarkMarker = 24;
    static constexpr int MarkIndicator = 20;

    explicit FoldMargin(ScintillaCall &view) : view_(view) {}

    /// Shows the fold margin and sets up the fold boxes, the mark symbol and the underline.
    void Show();
    /// Hides the fold margin, shows every folded line and takes every mark away.
    void Hide();
    /// Has Scintilla make its per-line records of marks and fold levels for the document shown.
    void ReserveLines();
    /// Draws the marks of `line`, changing the view only where it shows something else.
    void DrawMarks(std::int64_t line, const std::vector<BlockMark> &marks);

    /// Folds the innermost unfolded block that holds the caret.
    void FoldAtCaret();
    /// Unfolds the folded block whose first line holds the caret.
    void UnfoldAtCaret();
    /// Folds every block, each inside the next, as the fold levels of all lines say.
    void FoldAll();
    /// Unfolds every block.
    void UnfoldAll();
    /// Folds or unfolds the block that opens on `line`.
    void Toggle(std::int64_t line);
    /// Unfolds the blocks that hide the caret or the other end of the selection.
    void RevealSelection();

private:
    /// Hides the lines of each [first, last] range of `hidden`, ascending, and shows the others.
    void HideRanges(const std::vector<std::pair<long, long>> &hidden);
    void WithScrollRangeHeld(const std::function<void()> &work);
    bool IsHeader(std::int64_t line) const;
    bool IsExpanded(std::int64_t line) const;
    std::int64_t CaretLine() const;
    void LeaveHiddenLines();

    ScintillaCall &view_;
};
