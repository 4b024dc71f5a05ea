// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockWords: the words that open, continue and close blocks, and the texts of block marks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// A block word as it stands at the start of a statement ("End If" and "For Each" are one word).
enum class BlockWord : std::uint8_t {
    Sub,
    Function,
    PropertyGet,
    PropertyLet,
    PropertySet,
    Type,
    Class,
    If,
    Select,
    For,
    ForEach,
    Do,
    While,
    With,
    ElseIf,
    Else,
    Case,
    EndSub,
    EndFunction,
    EndProperty,
    EndType,
    EndClass,
    EndIf,
    EndSelect,
    Next,
    Loop,
    Wend,
    EndWith,
};

/// What a word does to the blocks open before it.
enum class BlockRole : std::uint8_t { Opener, Middle, Closer };

/// The kind of block a word belongs to; For and For Each are one kind, as both end at Next, and
/// the three kinds of Property one, as all end at End Property.
enum class BlockFamily : std::uint8_t {
    Sub,
    Function,
    Property,
    Type,
    Class,
    If,
    Select,
    For,
    Do,
    While,
    With
};

/// Why a block word is marked.
enum class MarkKind : std::uint8_t {
    Unclosed,   // an opener whose block never ends
    Stray,      // a closer or middle word with no block of its kind open
    Mismatched, // an End Sub, End Function, End Property, End Type or End Class that ends a
                // block of another kind
};

BlockRole RoleOf(BlockWord word);
BlockFamily FamilyOf(BlockWord word);

/// Sub, Function, Property, Type and Class blocks never nest in one another, except that a Class
/// holds the others: a Class opener ends every block still open, and the others' openers every
/// block open inside the Class that holds them.
bool IsOutermost(BlockFamily family);

/// The word as the marks spell it: "If", "Select Case", "For Each", "End If".
std::string_view Spelling(BlockWord word);

/// The mark of an opener on the given line (counted from 1): "If" on line 12 has no "End If".
std::string UnclosedText(BlockWord opener, std::int64_t line);
/// The mark of a stray closer: "Next" closes no "For", "End Property" closes no "Property"; of a
/// middle word: "Else" is outside any "If".
std::string StrayText(BlockWord word);
/// The mark of a closer of another block: "End Sub" does not match "Function" on line 3.
std::string MismatchText(BlockWord closer, BlockWord opener, std::int64_t line);
