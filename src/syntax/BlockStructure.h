// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockStructure: the blocks of a whole text, analysed where needed and kept up to date as it
// changes.
#pragma once

#include "BlockRules.h"
#include "BlockScanner.h"
#include "BlockStacks.h"
#include "BlockText.h"
#include "GapArray.h"
#include "LanguageDefinition.h"
#include "UnknownRun.h"

#include <chrono>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

/// How much one call may analyse before it leaves the rest for a later call: at most `lines`
/// lines, nothing after `deadline`, and past the lines it was asked for, nothing after
/// `extraDeadline`.
struct BlockBudget {
    using Clock = std::chrono::steady_clock;

    std::int64_t lines = std::numeric_limits<std::int64_t>::max();
    Clock::time_point deadline = Clock::time_point::max();
    Clock::time_point extraDeadline = Clock::time_point::max();

    static BlockBudget Lines(std::int64_t lines);
    static BlockBudget Time(std::chrono::microseconds asked, std::chrono::microseconds extra);
    /// Whether the budget allows no more lines; `pastTarget` when the next line was not asked for.
    bool Spent(bool pastTarget) const;
};

/// Receives the fold level of each line as it is analysed.
class FoldLevelSink
{
public:
    virtual ~FoldLevelSink() = default;
    /// `level` counts the blocks that hold the line; `header` tells that the line opens one.
    virtual void SetFoldLevel(std::int64_t line, std::uint32_t level, bool header) = 0;
};

/// The lines an analysis call read, and whether marks elsewhere may have changed with them.
struct BlockReport {
    std::int64_t first = -1;
    std::int64_t last = -1;
    bool endingsChanged = false;

    void Add(std::int64_t from, std::int64_t to);
    void Add(const BlockReport &other);
    bool Read(std::int64_t line) const { return line >= first && line <= last; }
};

/// A marked block word: where it stands in its line, in bytes, and what its tooltip says.
struct BlockMark {
    std::uint32_t column;
    std::uint32_t length;
    std::string text;
};

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
    bool HasPendingWork() const { return !pending_.empty() || behindFirst_ >= 0; }
    /// Leaves every line not analysed yet for Continue to read.
    void ReadAllLater();
    /// Goes on with the analysis left for later, as far as `budget` goes.
    BlockReport Continue(const BlockText &text, BlockBudget budget, FoldLevelSink &sink);
    /// Analyses every line not analysed yet.
    BlockReport AnalyseAll(const BlockText &text, FoldLevelSink &sink);

    /// The marked words of an analysed line, by column; none for a line not analysed yet.
    std::vector<BlockMark> Marks(const BlockText &text, std::int64_t line);

private:
    struct LineInfo {
        BlockStacks::Id stack;
        std::uint8_t flags;
    };
    enum Flag : std::uint8_t {
        Known = 1,           // stack holds the blocks open at the line's start
        Changed = 2,         // the line is to be read again
        StartsStatement = 4, // the line started a statement when it was read
        Read = 8,            // the line's fold level and marks were worked out
    };

    void KeepInStep(const BlockText &text);
    bool IsKnown(std::int64_t line) const { return (lines_[line].flags & Known) != 0; }
    bool IsRead(std::int64_t line) const { return (lines_[line].flags & (Read | Changed)) == Read; }
    std::int64_t LineCount() const { return static_cast<std::int64_t>(lines_.Size()) - 1; }
    std::int64_t StatementStart(const BlockText &text, std::int64_t line);
    std::int64_t KnownAtOrBefore(std::int64_t line);
    bool IsSyncLine(const BlockText &text, std::int64_t line);
    void AddPending(std::int64_t line);
    void ReadLines(const BlockText &text, std::int64_t first, std::int64_t last,
                   BlockBudget &budget, FoldLevelSink &sink, BlockReport &report);
    void RemovePending(std::int64_t from, std::int64_t to);
    void Forget(std::int64_t from);
    std::int64_t LineOfRecord(BlockStacks::Id record, std::int64_t line) const;
    void AppendMark(const LineStep::Mark &mark, std::span<const BlockToken> tokens,
                    std::int64_t line, std::vector<BlockMark> &marks) const;
    void AppendUnclosed(std::int64_t line, std::span<const BlockToken> tokens,
                        std::vector<BlockMark> &marks) const;

    // The reading itself (BlockPass.cpp).
    void RunWaiting(const BlockText &text, std::int64_t from, std::int64_t to, std::int64_t target,
                    BlockBudget &budget, FoldLevelSink &sink, BlockReport &report);
    std::int64_t StartAt(const BlockText &text, std::int64_t line, std::int64_t target,
                         BlockBudget &budget, FoldLevelSink &sink, BlockReport &report);
    std::int64_t RunPass(const BlockText &text, std::int64_t start, bool afterReset,
                         std::int64_t target, BlockBudget &budget, FoldLevelSink &sink,
                         BlockReport &report);
    bool StopsBefore(std::int64_t line, BlockStacks::Id stack, std::int64_t target,
                     const BlockBudget &budget, std::int64_t &beyond);
    bool EndBlocks();
    BlockStacks::Id StackAfter(std::int64_t line);
    void Store(std::int64_t line, BlockStacks::Id stack, std::uint8_t flags);
    bool Converged(std::int64_t line, BlockStacks::Id stack) const;
    bool EndOfText(BlockStacks::Id stack);

    GapArray<LineInfo> lines_; // one entry per line, then the stack after the last line
    BlockStacks stacks_;
    BlockScanner scanner_;
    BlockStatement statement_;
    BlockStatement probe_;
    LineStep step_;
    std::vector<std::int64_t> pending_; // lines to read again, ascending
    // Lines a refresh asked for but had no time to read, for Continue to finish.
    std::int64_t behindFirst_ = -1;
    std::int64_t behindLast_ = -1;
    // Far below anything analysed (the end of a long text just opened) every paint walked back
    // to the last analysed line, which over millions of lines cost more than the paint itself.
    UnknownRun unknown_;
    bool outOfStep_ = false;
};
