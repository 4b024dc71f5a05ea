// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaBlocks: the block analysis reads a view's lines and writes its fold levels.
#pragma once

#include "syntax/BlockBudget.h"
#include "syntax/BlockText.h"

#include <functional>
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

    /// Runs `work`, which changes no text, reading each line from one pointer to the whole text
    /// and finding the start of the next line from the end of the one before, rather than asking
    /// the view three questions a line. Making the text one piece may move Scintilla's gap once.
    void WhileTextStaysPut(const std::function<void()> &work);

private:
    std::string_view LineFromView(std::int64_t line) const;
    std::string_view LineFromText(std::int64_t line) const;

    const ScintillaCall &view_;
    // The whole text while `work` runs, and the line that follows the last one read.
    const char *text_ = nullptr;
    long length_ = 0;
    mutable std::int64_t nextLine_ = -1;
    mutable long nextStart_ = 0;
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
    /// Runs `work`, which folds nothing and hides no line. While no block is folded and no line
    /// hidden, as after opening, a level is written without first asking what its line held.
    void WhileFoldsStayPut(const std::function<void()> &work);

private:
    ScintillaCall &view_;
    std::vector<std::int64_t> hiddenChanged_;
    bool nothingFolded_ = false;
};
