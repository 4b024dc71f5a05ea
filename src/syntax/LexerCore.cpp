// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LexerCore: the widget-free colouring of script text, one line at a time, over bytes.
#include "LexerCore.h"

#include <cstring>

namespace LexerCore
{

namespace
{

bool IsDigit(unsigned char byte)
{
    return byte >= '0' && byte <= '9';
}

bool IsHexDigit(unsigned char byte)
{
    return IsDigit(byte) || (byte >= 'a' && byte <= 'f') || (byte >= 'A' && byte <= 'F');
}

bool IsOctalDigit(unsigned char byte)
{
    return byte >= '0' && byte <= '7';
}

bool IsLineEnd(unsigned char byte)
{
    return byte == '\n' || byte == '\r';
}

const unsigned char *Bytes(const char *text)
{
    return reinterpret_cast<const unsigned char *>(text);
}

// A decimal number starting with a digit or a point: digits, a fraction, an exponent with its
// sign, and whatever letters are glued to it (type suffixes) belong to the one token.
std::size_t DecimalEnd(const unsigned char *line, std::size_t at, std::size_t length)
{
    const bool startsWithPoint = line[at] == '.';
    if (startsWithPoint)
        ++at;
    while (at < length && IsDigit(line[at]))
        ++at;
    if (!startsWithPoint && at + 1 < length && line[at] == '.' && IsDigit(line[at + 1])) {
        at += 2;
        while (at < length && IsDigit(line[at]))
            ++at;
    }
    if (at < length && (line[at] == 'e' || line[at] == 'E')) {
        std::size_t exponent = at + 1;
        if (exponent < length && (line[exponent] == '+' || line[exponent] == '-'))
            ++exponent;
        if (exponent < length && IsDigit(line[exponent]))
            at = exponent;
    }
    return WordEnd(line, at, length);
}

// "&H1F" or "&O17" with an optional "&" suffix; `at` is at the ampersand. Returns `at` when
// the text there is no such number (then the ampersand is an operator).
std::size_t RadixNumberEnd(const unsigned char *line, std::size_t at, std::size_t length)
{
    if (at + 2 >= length)
        return at;
    const unsigned char radix = line[at + 1];
    bool (*isDigit)(unsigned char) = nullptr;
    if (radix == 'h' || radix == 'H')
        isDigit = IsHexDigit;
    else if (radix == 'o' || radix == 'O')
        isDigit = IsOctalDigit;
    else
        return at;
    std::size_t end = at + 2;
    while (end < length && isDigit(line[end]))
        ++end;
    if (end == at + 2)
        return at;
    if (end < length && line[end] == '&')
        ++end;
    if (end < length && IsWordByte(line[end]))
        return at;
    return end;
}

} // namespace

std::string_view StyleName(Style style)
{
    static constexpr std::array<std::string_view, StyleCount> names = {
        "Default", "Keyword", "Operator", "Literal", "Constant", "Comment", "String", "Number"};
    return style < names.size() ? names[style] : std::string_view("Unknown");
}

Lexicon::Lexicon(const Settings &settings)
    : words_(settings.matchCase, settings.keywords, settings.operators, settings.literals,
             settings.constants),
      commentToken_(settings.commentToken), stringDelimiter_(settings.stringDelimiter)
{
}

// Whether the comment token stands at `at` as a token of its own (a token made of letters,
// such as a "REM", does not start inside or end inside a longer word).
bool Lexicon::TokenAt(std::string_view token, const unsigned char *line, std::size_t at,
                      std::size_t length) const
{
    if (!words_.BytesAt(token, line, at, length))
        return false;
    const std::size_t end = at + token.size();
    if (IsWordByte(static_cast<unsigned char>(token.front())) && at > 0 && IsWordByte(line[at - 1]))
        return false;
    return !IsWordByte(static_cast<unsigned char>(token.back())) || end == length ||
           !IsWordByte(line[end]);
}

void Lexicon::StyleText(const char *text, std::size_t length, unsigned char *styles) const
{
    const unsigned char *bytes = Bytes(text);
    std::size_t position = 0;
    while (position < length) {
        if (IsLineEnd(bytes[position])) {
            styles[position++] = Default;
            continue;
        }
        std::size_t end = position;
        while (end < length && !IsLineEnd(bytes[end]))
            ++end;
        StyleLine(bytes + position, end - position, styles + position);
        position = end;
    }
}

void Lexicon::StyleLine(const unsigned char *line, std::size_t length, unsigned char *styles) const
{
    const std::size_t delimiter = stringDelimiter_.size();
    const unsigned char delimiterStart =
        delimiter ? words_.Fold(static_cast<unsigned char>(stringDelimiter_[0])) : 0;
    const unsigned char commentStart =
        commentToken_.empty() ? 0 : words_.Fold(static_cast<unsigned char>(commentToken_[0]));
    std::size_t at = 0;
    while (at < length) {
        const unsigned char byte = line[at];
        const unsigned char folded = words_.Fold(byte);
        std::size_t end = at;
        Style style = Default;
        if (!commentToken_.empty() && folded == commentStart &&
            TokenAt(commentToken_, line, at, length)) {
            std::memset(styles + at, Comment, length - at);
            return;
        }
        if (delimiter && folded == delimiterStart &&
            words_.BytesAt(stringDelimiter_, line, at, length)) {
            end = StringEnd(line, at, length);
            style = String;
        } else if (IsWordByte(byte)) {
            end = WordToken(line, at, length, style);
        } else if (byte == '.' && at + 1 < length && IsDigit(line[at + 1]) &&
                   (at == 0 || !IsWordByte(line[at - 1]))) {
            end = DecimalEnd(line, at, length);
            style = Number;
        } else if (byte == '&' && (end = RadixNumberEnd(line, at, length)) > at) {
            style = Number;
        } else if ((end = words_.SymbolEnd(line, at, length)) > at) {
            style = Operator;
        } else {
            end = at + 1;
        }
        std::memset(styles + at, style, end - at);
        at = end;
    }
}

// The end of the string that opens at `at`: after its closing delimiter, or the line's end.
// A doubled delimiter inside the string stands for one delimiter character.
std::size_t Lexicon::StringEnd(const unsigned char *line, std::size_t at, std::size_t length) const
{
    const std::size_t delimiter = stringDelimiter_.size();
    const unsigned char first = words_.Fold(static_cast<unsigned char>(stringDelimiter_[0]));
    std::size_t position = at + delimiter;
    while (position < length) {
        if (words_.Fold(line[position]) != first ||
            !words_.BytesAt(stringDelimiter_, line, position, length)) {
            ++position;
            continue;
        }
        position += delimiter;
        if (position < length && words_.Fold(line[position]) == first &&
            words_.BytesAt(stringDelimiter_, line, position, length)) {
            position += delimiter;
            continue;
        }
        return position;
    }
    return length;
}

// A number, or a word with the entry that stands there ("Derived Maths" runs past its word).
std::size_t Lexicon::WordToken(const unsigned char *line, std::size_t at, std::size_t length,
                               Style &style) const
{
    if (IsDigit(line[at])) {
        style = Number;
        return DecimalEnd(line, at, length);
    }
    return words_.WordEntryEnd(line, at, length, style);
}

} // namespace LexerCore
