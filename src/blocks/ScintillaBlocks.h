// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaBlocks: the block analysis reads a view's lines and writes its fold levels.
#pragma once

#include "syntax/BlockBudget.h"
#include "syntax/BlockText.h"

#include <vector>

class ScintillaCall;

/// The lines of the document a view shows, read in place; a line longer than
/// ShownStyle::LongLineBytes reads as empty.
class ScintillaBlockText : public BlockText
{
public:
    explicit ScintillaBlockText(const ScintillaCall &view) : view_(view) {}

    std::int64_t LineCount() const override;
    std::string_view Line(std::int64_t line) const override;

private:
    const ScintillaCall &view_;
};

/// Fold levels written to the view's document, only where they change. Scintilla's own upkeep
/// of folds when levels change would colour the text up to each new block first, so that is
/// done here: a folded block whose structure changes around its hidden lines is unfolded, and
/// lines left hidden outside any folded block are shown.
class ScintillaLevels : public FoldLevelSink
{
public:
    explicit ScintillaLevels(ScintillaCall &view) : view_(view) {}

    void SetFoldLevel(std::int64_t line, std::uint32_t level, bool header) override;
    /// Shows the hidden lines whose folds the levels written since the last call changed.
    void RevealChangedFolds();

private:
    ScintillaCall &view_;
    std::vector<std::int64_t> hiddenChanged_;
};
