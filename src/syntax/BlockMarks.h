// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockMarks: the marked block words of an analysed line and the texts that explain them.
#pragma once

#include "BlockLines.h"
#include "BlockRules.h"
#include "BlockScanner.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

/// A marked block word: where it stands in its line, in bytes, and what its tooltip says.
/// `holdsNothing` tells an unclosed opener whose block holds nothing yet: only blank lines
/// follow its line before the end of the text or the line that ended the block, as when the
/// opener has just been typed.
struct BlockMark {
    std::uint32_t column;
    std::uint32_t length;
    std::string text;
    bool holdsNothing = false;
};

/// The marks of a line are not stored: they are worked out when asked, from the line's stored
/// stack and the way the blocks it opens ended.
class BlockMarks
{
public:
    BlockMarks(const BlockLines &lines, BlockScanner &scanner) : lines_(lines), scanner_(scanner) {}

    /// The marked words of an analysed line, by column; none for a line not analysed yet.
    std::vector<BlockMark> Of(const BlockText &text, std::int64_t line);

private:
    void AppendMark(const LineStep::Mark &mark, std::span<const BlockToken> tokens,
                    std::int64_t line, std::vector<BlockMark> &marks) const;
    void AppendUnclosed(const BlockText &text, std::int64_t line,
                        std::span<const BlockToken> tokens, std::vector<BlockMark> &marks) const;
    bool HoldsNothing(const BlockText &text, std::int64_t line, BlockStacks::Id record) const;
    std::int64_t LineOfRecord(BlockStacks::Id record, std::int64_t line) const;

    const BlockLines &lines_;
    BlockScanner &scanner_;
    BlockStatement statement_;
    LineStep step_;
};
