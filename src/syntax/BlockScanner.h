// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockScanner: finds the block words of a statement, outside its comments and strings.
#pragma once

#include "BlockText.h"
#include "BlockWords.h"
#include "LexerCore.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

/// A block word where it stands: the line (counted from the statement's first line), and the
/// byte column and byte length of the word in that line.
struct BlockToken {
    BlockWord word;
    std::uint32_t line;
    std::uint32_t column;
    std::uint32_t length;
};

/// One statement: lines joined by continuations (a line whose code ends in " _" goes on in the
/// next), with the block words found at the starts of its colon-separated parts.
struct BlockStatement {
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::vector<BlockToken> tokens;

    /// The tokens on `line` of the text, in order.
    std::span<const BlockToken> TokensOn(std::int64_t line) const;
};

/// Reads statements with a language's comment token and string delimiter. A one-line If (code
/// after its Then) is no block and nothing after it on its line counts; Exit statements, a bare
/// End and words inside comments and strings are no block words; case never matters.
class BlockScanner
{
public:
    /// `lexicon` finds the comments and strings; a line holding no byte that starts the comment
    /// token or the string delimiter has none, and is read without it.
    BlockScanner(LexerCore::Lexicon lexicon, std::string_view commentToken,
                 std::string_view stringDelimiter);

    /// Whether the code of `line` ends with a continuation, so the statement goes on.
    bool Continues(std::string_view line);
    /// The first line of the statement `line` belongs to.
    std::int64_t StatementStart(const BlockText &text, std::int64_t line);
    /// The statement that starts at `first` (a line that continues no other).
    void Scan(const BlockText &text, std::int64_t first, BlockStatement &statement);

private:
    enum class UnitKind : std::uint8_t { Word, Colon, Other };
    struct Unit {
        UnitKind kind;
        std::uint8_t vocabulary;
        unsigned char byte;
        std::uint32_t line;
        std::uint32_t column;
        std::uint32_t length;
    };

    bool NeedsNoScan(std::string_view line) const;
    bool MayHoldCommentOrString(std::string_view line) const;
    bool ReadUnits(std::string_view line, std::uint32_t lineIndex);
    void Parse(std::vector<BlockToken> &tokens) const;
    std::size_t ParseStatement(std::size_t at, std::vector<BlockToken> &tokens) const;
    std::size_t ParseModified(std::size_t at, std::vector<BlockToken> &tokens) const;
    std::size_t ParseIf(std::size_t at, std::vector<BlockToken> &tokens) const;
    bool TypeNameAlone(std::size_t at) const;
    void Emit(BlockWord word, const Unit &from, const Unit *to,
              std::vector<BlockToken> &tokens) const;
    std::size_t NextCount(std::size_t at) const;
    std::size_t StatementEnd(std::size_t at) const;
    std::uint8_t VocabularyAt(std::size_t at) const;

    LexerCore::Lexicon lexicon_;
    std::string starters_; // the first bytes of the comment token and string delimiter
    std::vector<unsigned char> styles_;
    std::vector<Unit> units_;
};
