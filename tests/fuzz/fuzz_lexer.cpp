// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// fuzz_lexer: random bytes through the lexer, with random word lists, comment token and delimiter.
#include "syntax/LexerCore.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace
{

bool IsLineEnd(char byte)
{
    return byte == '\n' || byte == '\r';
}

// Every style is one the lexer knows, and line ends are plain text.
void CheckStyles(const std::string &text, const std::vector<unsigned char> &styles)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (styles[i] >= LexerCore::StyleCount)
            __builtin_trap();
        if (IsLineEnd(text[i]) && styles[i] != LexerCore::Default)
            __builtin_trap();
    }
}

// Each line styled on its own gets the styles it got within the whole text.
void CheckLinesStandAlone(const LexerCore::Lexicon &lexicon, const std::string &text,
                          const std::vector<unsigned char> &styles)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && !IsLineEnd(text[end]))
            ++end;
        std::vector<unsigned char> alone(end - start);
        lexicon.StyleText(text.data() + start, alone.size(), alone.data());
        for (std::size_t i = 0; i < alone.size(); ++i) {
            if (alone[i] != styles[start + i])
                __builtin_trap();
        }
        start = end + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool matchCase = input.ConsumeBool();
    const std::string keywords = input.ConsumeRandomLengthString(200);
    const std::string operators = input.ConsumeRandomLengthString(60);
    const std::string literals = input.ConsumeRandomLengthString(60);
    const std::string constants = input.ConsumeRandomLengthString(60);
    const std::string comment = input.ConsumeRandomLengthString(4);
    const std::string delimiter = input.ConsumeRandomLengthString(4);
    const std::string text = input.ConsumeRemainingBytesAsString();

    const LexerCore::Lexicon lexicon(LexerCore::Settings{matchCase, keywords, operators, literals,
                                                         constants, comment, delimiter});
    std::vector<unsigned char> styles(text.size());
    lexicon.StyleText(text.data(), text.size(), styles.data());
    CheckStyles(text, styles);
    CheckLinesStandAlone(lexicon, text, styles);
    return 0;
}
