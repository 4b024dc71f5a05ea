// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockRules: what one line's block words do to the blocks open before it.
#pragma once

#include "BlockScanner.h"
#include "BlockStacks.h"

#include <cstdint>
#include <span>
#include <vector>

/// The effect of one line, worked out without changing any record.
struct LineStep {
    /// A block the line opens and leaves open, by the index of its token in the line.
    struct Opened {
        BlockWord word;
        std::uint32_t token;
    };
    /// A block open before the line that the line ends.
    struct Ended {
        BlockStacks::Id record;
        BlockStacks::Status status;
    };
    /// A word of the line marked by the line alone. A mismatch names the block it ended: a
    /// record from an earlier line, or else a token of this line.
    struct Mark {
        std::uint32_t token;
        MarkKind kind;
        BlockWord related = BlockWord::Sub;
        BlockStacks::Id relatedRecord = 0;
    };

    /// The stack left of the blocks open before the line, under the blocks the line opens.
    BlockStacks::Id below = 0;
    std::vector<Opened> opened;
    std::vector<Ended> ended;
    std::vector<Mark> marks;
    /// The fold level: the blocks that hold the line (the ones it opens excluded).
    std::uint32_t level = 0;
    /// Whether the line opens a block that goes on after it.
    bool header = false;
};

/// Works out `step` for a line holding `tokens` with the stack `incoming` open before it.
///
/// A closer ends the nearest open block of its kind; blocks opened after that one are unclosed.
/// A closer with no such block is stray and ends nothing, except that End Sub, End Function,
/// End Property and End Type end the outermost block inside the open Class (of all blocks when
/// none is open), and End Class the outermost of all, as a mismatch when that is a Sub,
/// Function, Property or Type. A middle word (ElseIf, Else, Case) ends the unclosed blocks above
/// its If or Select Case. A Class ends every block still open, and Sub, Function, Property and
/// Type every block open inside the Class: those blocks never nest, which keeps one slip from
/// spreading further.
void StepLine(const BlockStacks &stacks, BlockStacks::Id incoming,
              std::span<const BlockToken> tokens, LineStep &step);
