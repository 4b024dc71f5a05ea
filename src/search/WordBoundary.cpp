// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// WordBoundary: whether a match stands as a whole word among the characters around it.
#include "WordBoundary.h"

#include <QChar>

namespace
{

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The character at `at`, decoded leniently: a malformed sequence gives its lead byte.
char32_t CharacterAt(const unsigned char *bytes, qsizetype size, qsizetype at)
{
    const unsigned char lead = bytes[at];
    const int length = Utf8SequenceLength(lead);
    if (length == 1 || at + length > size)
        return lead;
    char32_t value = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if (!IsContinuation(bytes[at + i]))
            return lead;
        value = (value << 6) | (bytes[at + i] & 0x3F);
    }
    return value;
}

bool IsWordCharacter(char32_t c)
{
    if (c < 0x80)
        return c == '_' || (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    return QChar::isLetterOrNumber(c);
}

// Whether the character that ends just before `at` is part of a word.
bool WordBefore(const unsigned char *bytes, qsizetype size, qsizetype at)
{
    if (at <= 0)
        return false;
    qsizetype start = at - 1;
    while (start > 0 && at - start < 4 && IsContinuation(bytes[start]))
        --start;
    return IsWordCharacter(CharacterAt(bytes, size, start));
}

bool WordAt(const unsigned char *bytes, qsizetype size, qsizetype at)
{
    return at < size && IsWordCharacter(CharacterAt(bytes, size, at));
}

} // namespace

int Utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    return 1;
}

bool IsWholeWord(const char *text, qsizetype size, qsizetype start, qsizetype end)
{
    if (start == end)
        return true;
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    if (WordAt(bytes, size, start) && WordBefore(bytes, size, start))
        return false;
    return !(WordBefore(bytes, size, end) && WordAt(bytes, size, end));
}
