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

constexpr std::array<WordFacts, 28> Facts = {{
    {"Sub", BlockRole::Opener, BlockFamily::Sub},
    {"Function", BlockRole::Opener, BlockFamily::Function},
    {"Property Get", BlockRole::Opener, BlockFamily::Property},
    {"Property Let", BlockRole::Opener, BlockFamily::Property},
    {"Property Set", BlockRole::Opener, BlockFamily::Property},
    {"Type", BlockRole::Opener, BlockFamily::Type},
    {"Class", BlockRole::Opener, BlockFamily::Class},
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
    {"End Property", BlockRole::Closer, BlockFamily::Property},
    {"End Type", BlockRole::Closer, BlockFamily::Type},
    {"End Class", BlockRole::Closer, BlockFamily::Class},
    {"End If", BlockRole::Closer, BlockFamily::If},
    {"End Select", BlockRole::Closer, BlockFamily::Select},
    {"Next", BlockRole::Closer, BlockFamily::For},
    {"Loop", BlockRole::Closer, BlockFamily::Do},
    {"Wend", BlockRole::Closer, BlockFamily::While},
    {"End With", BlockRole::Closer, BlockFamily::With},
}};

// Indexed by family: the name of a block of that kind, and the word that closes it.
constexpr std::array<std::string_view, 11> Names = {"Sub",   "Function", "Property",    "Type",
                                                    "Class", "If",       "Select Case", "For",
                                                    "Do",    "While",    "With"};
constexpr std::array<BlockWord, 11> Closers = {
    BlockWord::EndSub,   BlockWord::EndFunction, BlockWord::EndProperty, BlockWord::EndType,
    BlockWord::EndClass, BlockWord::EndIf,       BlockWord::EndSelect,   BlockWord::Next,
    BlockWord::Loop,     BlockWord::Wend,        BlockWord::EndWith};

const WordFacts &FactsOf(BlockWord word)
{
    return Facts[static_cast<std::size_t>(word)];
}

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

std::string Quoted(BlockWord word)
{
    return Quoted(Spelling(word));
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
           family == BlockFamily::Property || family == BlockFamily::Type ||
           family == BlockFamily::Class;
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
    const std::string_view name = Names[static_cast<std::size_t>(FamilyOf(word))];
    if (RoleOf(word) == BlockRole::Middle)
        return Quoted(word) + " is outside any " + Quoted(name);
    return Quoted(word) + " closes no " + Quoted(name);
}

std::string MismatchText(BlockWord closer, BlockWord opener, std::int64_t line)
{
    return Quoted(closer) + " does not match " + Quoted(opener) + " on line " +
           std::to_string(line);
}
