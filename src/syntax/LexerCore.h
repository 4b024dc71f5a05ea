// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LexerCore: the widget-free colouring of script text, one line at a time, over bytes.
#pragma once

#include "Styles.h"
#include "WordTable.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace LexerCore
{

/// What a language tells the lexer, as UTF-8 text. Word lists hold one entry per line-feed
/// separated piece, taken exactly as spelled; empty pieces are no entries.
struct Settings {
    bool matchCase = false;
    std::string_view keywords;
    std::string_view operators;
    std::string_view literals;
    std::string_view constants;
    std::string_view commentToken;
    std::string_view stringDelimiter;
};

/// A language's lexer: its word table, comment token and string delimiter.
class Lexicon
{
public:
    explicit Lexicon(const Settings &settings);

    /// Writes one style per byte of `text` into `styles` (room for `length` bytes). Every line
    /// is coloured on its own: comments and strings end at their line's end.
    void StyleText(const char *text, std::size_t length, unsigned char *styles) const;

private:
    bool TokenAt(std::string_view token, const unsigned char *line, std::size_t at,
                 std::size_t length) const;
    void StyleLine(const unsigned char *line, std::size_t length, unsigned char *styles) const;
    std::size_t StringEnd(const unsigned char *line, std::size_t at, std::size_t length) const;
    std::size_t WordToken(const unsigned char *line, std::size_t at, std::size_t length,
                          Style &style) const;

    WordTable words_;
    std::string commentToken_;
    std::string stringDelimiter_;
};

} // namespace LexerCore
