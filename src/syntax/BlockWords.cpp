// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockWords: roles, kinds and spellings of the block words, and the texts of block marks.
#include "BlockWords.h"

#include <array>

namespace
{

struct WordFacts {
    std::string_view spelling;
    BlockRole role;
    BlockFamily family;
};

constexpr std::array<WordFacts, 22> Facts = {{
    {"Sub", BlockRole::Opener, BlockFamily::Sub},
    {"Function", BlockRole::Opener, BlockFamily::Function},
    {"Type", BlockRole::Opener, BlockFamily::Type},
    {"If", BlockRole::Opener, BlockFamily::If},
    {"Select Case", BlockRole::Opener, BlockFamily::Select},
    {"For", BlockRole::Opener, BlockFamily::For},
    {"For Each", BlockRole::Opener, BlockFamily::For},
    {"Do", BlockRole::Opener, BlockFamily::Do},
    {"While", BlockRole::Opener, BlockFamily::While},
    {"With", BlockRole::Opener, BlockFamily::With},
    {"ElseIf", BlockRole::Middle, BlockFamily::If},
    {"Else", BlockRole::Middle, BlockFamily::If},
    {"Case", BlockRole::Middle, BlockFamily::Select},
    {"End Sub", BlockRole::Closer, BlockFamily::Sub},
    {"End Function", BlockRole::Closer, BlockFamily::Function},
    {"End Type", BlockRole::Closer, BlockFamily::Type},
    {"End If", BlockRole::Closer, BlockFamily::If},
    {"End Select", BlockRole::Closer, BlockFamily::Select},
    {"Next", BlockRole::Closer, BlockFamily::For},
    {"Loop", BlockRole::Closer, BlockFamily::Do},
    {"Wend", BlockRole::Closer, BlockFamily::While},
    {"End With", BlockRole::Closer, BlockFamily::With},
}};

// Indexed by family: the word that opens and the word that closes a block of that kind.
constexpr std::array<BlockWord, 9> Openers = {BlockWord::Sub, BlockWord::Function, BlockWord::Type,
                                              BlockWord::If,  BlockWord::Select,   BlockWord::For,
                                              BlockWord::Do,  BlockWord::While,    BlockWord::With};
constexpr std::array<BlockWord, 9> Closers = {
    BlockWord::EndSub, BlockWord::EndFunction, BlockWord::EndType,
    BlockWord::EndIf,  BlockWord::EndSelect,   BlockWord::Next,
    BlockWord::Loop,   BlockWord::Wend,        BlockWord::EndWith};

const WordFacts &FactsOf(BlockWord word)
{
    return Facts[static_cast<std::size_t>(word)];
}

std::string Quoted(BlockWord word)
{
    return "\"" + std::string(Spelling(word)) + "\"";
}

} // namespace

BlockRole RoleOf(BlockWord word)
{
    return FactsOf(word).role;
}

BlockFamily FamilyOf(BlockWord word)
{
    return FactsOf(word).family;
}

bool IsOutermost(BlockFamily family)
{
    return family == BlockFamily::Sub || family == BlockFamily::Function ||
           family == BlockFamily::Type;
}

std::string_view Spelling(BlockWord word)
{
    return FactsOf(word).spelling;
}

std::string UnclosedText(BlockWord opener, std::int64_t line)
{
    const BlockWord closer = Closers[static_cast<std::size_t>(FamilyOf(opener))];
    return Quoted(opener) + " on line " + std::to_string(line) + " has no " + Quoted(closer);
}

std::string StrayText(BlockWord word)
{
    const BlockWord opener = Openers[static_cast<std::size_t>(FamilyOf(word))];
    if (RoleOf(word) == BlockRole::Middle)
        return Quoted(word) + " is outside any " + Quoted(opener);
    return Quoted(word) + " closes no " + Quoted(opener);
}

std::string MismatchText(BlockWord closer, BlockWord opener, std::int64_t line)
{
    return Quoted(closer) + " does not match " + Quoted(opener) + " on line " +
           std::to_string(line);
}
