// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// WordTable: a language's word lists compiled for lookups that never allocate.
#pragma once

#include "Styles.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace LexerCore
{

/// The keywords, operators, literals and constants of one language. Lists hold one entry per
/// line-feed separated piece, taken exactly as spelled; empty pieces are no entries. Without
/// match case, ASCII letters match in either case. An entry standing in two lists takes the
/// style of the first (keywords, then operators, literals, constants).
class WordTable
{
public:
    WordTable(bool matchCase, std::string_view keywords, std::string_view operators,
              std::string_view literals, std::string_view constants);

    /// A byte as the table compares it: folded to lower case unless case matters.
    unsigned char Fold(unsigned char byte) const { return fold_[byte]; }
    /// Whether the bytes of `token` stand in the line at `at`, folded as the table folds.
    bool BytesAt(std::string_view token, const unsigned char *line, std::size_t at,
                 std::size_t length) const;
    /// For the word that starts at `at`: the end of the longest entry standing there (an entry
    /// may go on past the word, as "Derived Maths" does) with its style, or the word's end with
    /// Default when no entry stands there.
    std::size_t WordEntryEnd(const unsigned char *line, std::size_t at, std::size_t length,
                             Style &style) const;
    /// The end of the longest operator symbol at `at`, or `at` when none stands there.
    std::size_t SymbolEnd(const unsigned char *line, std::size_t at, std::size_t length) const;

private:
    struct Entry {
        std::uint32_t offset = 0; // into pool_, folded
        std::uint32_t length = 0;
        Style style = Default;
    };
    // One distinct word; `style` is Default when only longer entries start with it.
    struct Slot {
        std::uint32_t hash = 0;
        Entry word;
        std::uint32_t compoundBegin = 0;
        std::uint32_t compoundEnd = 0;
    };

    void AddList(std::string_view list, Style style);
    void AddEntry(std::string_view entry, Style style);
    void BuildTables();
    Slot *FindSlot(std::uint32_t hash, const unsigned char *word, std::size_t length);
    const Slot *FindSlot(std::uint32_t hash, const unsigned char *word, std::size_t length) const;
    std::uint32_t Hash(const unsigned char *bytes, std::size_t length) const;
    bool EntryAt(const Entry &entry, const unsigned char *line, std::size_t at,
                 std::size_t length) const;

    std::array<unsigned char, 256> fold_{};
    std::string pool_;
    std::vector<Entry> pending_;
    std::vector<Slot> slots_;
    std::uint32_t slotMask_ = 0;
    std::size_t longestWord_ = 0;
    std::array<bool, 256> startsWord_{};
    std::vector<Entry> compounds_;
    std::vector<Entry> symbols_;
    std::array<std::uint32_t, 257> symbolIndex_{};
};

} // namespace LexerCore
