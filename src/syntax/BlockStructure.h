// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockStructure: the blocks of a whole text, analysed where needed and kept up to date as it
// changes.
#pragma once

#include "BlockBudget.h"
#include "BlockLines.h"
#include "BlockMarks.h"
#include "BlockPass.h"
#include "BlockScanner.h"
#include "BlockText.h"
#include "LanguageDefinition.h"

#include <cstdint>
#include <vector>

struct OpenedProcedure;

/// The block structure of a text: fold levels and marked block words. Each line keeps the stack
/// of blocks open at its start. An edit makes the analysis read on from the edited line only
/// until the stacks agree again with what they were, which for a Sub-sized block is a handful
/// of lines; lines never needed are never read, and work past a budget waits for a later call.
class BlockStructure
{
public:
    /// Whether the rules apply: the keyword list holds If, Then, End, Sub and Function.
    static bool Applies(const LanguageDefinition &definition);

    explicit BlockStructure(const LanguageDefinition &definition);
    BlockStructure(const BlockStructure &) = delete;
    BlockStructure &operator=(const BlockStructure &) = delete;

    /// Starts over on a text of `lineCount` lines of which nothing is known.
    void Reset(std::int64_t lineCount);
    /// Line `line` changed and `delta` lines were inserted after it (removed when negative).
    /// An edit that does not fit the lines known, or a text whose line count the analysis did not
    /// follow, makes the next call start over.
    void LinesReplaced(std::int64_t line, std::int64_t delta);

    /// Analyses what lines first..last need: edits before them, the lines themselves and the
    /// rest of the blocks they hold, as far as `budget` goes.
    BlockReport Refresh(const BlockText &text, std::int64_t first, std::int64_t last,
                        BlockBudget budget, FoldLevelSink &sink);
    /// Whether analysis was left for later.
    bool HasPendingWork() const { return lines_.HasPending() || behindFirst_ >= 0; }
    /// Leaves every line not analysed yet for Continue to read.
    void ReadAllLater();
    /// Goes on with the analysis left for later, as far as `budget` goes.
    BlockReport Continue(const BlockText &text, BlockBudget budget, FoldLevelSink &sink);
    /// Analyses every line not analysed yet.
    BlockReport AnalyseAll(const BlockText &text, FoldLevelSink &sink);

    /// The marked words of an analysed line, by column; none for a line not analysed yet.
    std::vector<BlockMark> Marks(const BlockText &text, std::int64_t line);
    /// The first line of first..last that holds a mark, searching down from `first`, or up from
    /// `last` when `downwards` is false; -1 when none does. The search analyses what it passes,
    /// however far that is from anything analysed: the lines, the edits above them, and the rest
    /// of the blocks they open, so that it finds every mark a fresh analysis would show there.
    std::int64_t FindMarkedLine(const BlockText &text, std::int64_t first, std::int64_t last,
                                bool downwards, FoldLevelSink &sink, BlockReport &report);

    /// The lines the analysis follows, and whether `line` is analysed as the text now stands.
    std::int64_t LineCount() const { return lines_.Count(); }
    bool IsAnalysed(std::int64_t line) const
    {
        return line < lines_.Count() && lines_.IsRead(line);
    }
    /// The Sub, Function, Property and Class blocks that analysed line `line` opens and leaves
    /// open, outermost first; none for a line not analysed. (With the procedure index.)
    void ProceduresOpenedOn(std::int64_t line, std::vector<OpenedProcedure> &opened) const;

private:
    void KeepInStep(const BlockText &text);
    void RunWaiting(const BlockText &text, std::int64_t from, std::int64_t to, std::int64_t target,
                    BlockBudget &budget, FoldLevelSink &sink, BlockReport &report);
    void ReadLines(const BlockText &text, std::int64_t first, std::int64_t last,
                   BlockBudget &budget, FoldLevelSink &sink, BlockReport &report);
    void AnalyseForMarks(const BlockText &text, std::int64_t first, std::int64_t last,
                         FoldLevelSink &sink, BlockReport &report);
    std::vector<BlockStacks::Id> BlocksOpenedIn(std::int64_t first, std::int64_t last) const;

    BlockScanner scanner_;
    BlockLines lines_;
    BlockPass pass_;
    BlockMarks marks_;
    // Lines a refresh asked for but had no time to read, for Continue to finish.
    std::int64_t behindFirst_ = -1;
    std::int64_t behindLast_ = -1;
    bool outOfStep_ = false;
};
