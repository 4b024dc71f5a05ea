// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Styles: the style numbers the lexer writes, how the view shows them, and the bytes the lexer
// counts as parts of words.
#pragma once

#include <cstddef>
#include <string_view>

namespace LexerCore
{

/// The style numbers the lexer writes, one per byte of text.
enum Style : unsigned char {
    Default = 0,
    Keyword = 1,
    Operator = 2,
    Literal = 3,
    Constant = 4,
    Comment = 5,
    String = 6,
    Number = 7,
};
inline constexpr int StyleCount = 8;

/// The name of a style as the style dumps and tests spell it.
std::string_view StyleName(Style style);

/// Letters, digits and underscore form words; bytes of non-ASCII characters count as letters.
inline bool IsWordByte(unsigned char byte)
{
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= '0' && byte <= '9') || byte == '_' || byte >= 0x80;
}

/// The language ignores the case of ASCII letters in its words: `byte` with A to Z made a to z.
inline unsigned char FoldedByte(unsigned char byte)
{
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

/// The end of the run of word bytes that starts at `at`.
inline std::size_t WordEnd(const unsigned char *line, std::size_t at, std::size_t length)
{
    while (at < length && IsWordByte(line[at]))
        ++at;
    return at;
}

} // namespace LexerCore

/// How the view shows the lexer's styles. Scintilla's style 0 is left to text not coloured yet,
/// so coloured plain text has a style of its own with the same look; the part of a long line
/// outside its window has a style that is not drawn and takes no room.
namespace ShownStyle
{

inline constexpr int ColouredDefault = 31;
inline constexpr int HiddenText = 30;
/// Lines longer than this are shown plain, through a window around the caret, and read as
/// holding no block words.
inline constexpr long LongLineBytes = 32 * 1024;

/// The lexer style that the view's style `style` shows.
inline constexpr int LexerStyle(int style)
{
    return style == ColouredDefault ? 0 : style;
}

} // namespace ShownStyle
