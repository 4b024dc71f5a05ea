// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockPass: reads lines forward from a known stack until the stacks agree with stored ones.
#pragma once

#include "BlockBudget.h"
#include "BlockLines.h"
#include "BlockRules.h"
#include "BlockScanner.h"

#include <cstdint>

/// The reading of the block analysis. A pass starts at a statement whose stack is known, works
/// out each line's stack, fold level and endings, and stops where the stack it computed agrees
/// with the one stored, past the lines it was asked for where nothing was analysed and no block
/// is open, or when the budget is spent, leaving the line it stopped at waiting.
class BlockPass
{
public:
    /// How far back from a line not analysed the analysis looks for a Sub, Function, Property,
    /// Type or Class to start from, before it starts from the nearest analysed line instead.
    static constexpr std::int64_t SyncSearchLines = 4000;

    BlockPass(BlockLines &lines, BlockScanner &scanner) : lines_(lines), scanner_(scanner) {}

    /// Reads again from `start`, a statement's first line whose stack is known, until the pass
    /// stops; past `target` it only finds the ends of the blocks still open. Returns the first
    /// line not read.
    std::int64_t ReadOn(const BlockText &text, std::int64_t start, std::int64_t target,
                        BlockBudget &budget, FoldLevelSink &sink, BlockReport &report);
    /// Reads for `line`, which is not analysed: from a Sub, Function, Property, Type or Class
    /// shortly before it, or else from the nearest analysed statement before it. Returns the
    /// line where reading stopped.
    std::int64_t ReadUnanalysed(const BlockText &text, std::int64_t line, std::int64_t target,
                                BlockBudget &budget, FoldLevelSink &sink, BlockReport &report);

private:
    std::int64_t Run(const BlockText &text, std::int64_t start, bool afterReset,
                     std::int64_t target, BlockBudget &budget, FoldLevelSink &sink,
                     BlockReport &report);
    bool IsSyncLine(const BlockText &text, std::int64_t line);
    bool StopsBefore(std::int64_t line, BlockStacks::Id stack, std::int64_t target,
                     const BlockBudget &budget, std::int64_t &beyond);
    bool EndBlocks();
    BlockStacks::Id StackAfter(std::int64_t line, BlockStacks::Id incoming);
    BlockStacks::Id KeptStack(std::int64_t line, BlockStacks::Id incoming) const;
    bool Converged(std::int64_t line, BlockStacks::Id stack) const;
    bool DoubtEndings(std::int64_t line, BlockStacks::Id next);
    bool EndOfText(BlockStacks::Id stack);

    BlockLines &lines_;
    BlockScanner &scanner_;
    BlockStatement statement_;
    BlockStatement probe_;
    LineStep step_;
};
