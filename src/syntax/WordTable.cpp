// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// WordTable: a language's word lists compiled for lookups that never allocate.
#include "WordTable.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace LexerCore
{

namespace
{

const unsigned char *Bytes(const char *text)
{
    return reinterpret_cast<const unsigned char *>(text);
}

} // namespace

WordTable::WordTable(bool matchCase, std::string_view keywords, std::string_view operators,
                     std::string_view literals, std::string_view constants)
{
    for (int byte = 0; byte < 256; ++byte) {
        const bool upper = byte >= 'A' && byte <= 'Z';
        fold_[byte] = static_cast<unsigned char>(!matchCase && upper ? byte + 32 : byte);
    }
    // The order decides which category an entry that stands in two lists gets: the first.
    AddList(keywords, Keyword);
    AddList(operators, Operator);
    AddList(literals, Literal);
    AddList(constants, Constant);
    BuildTables();
}

void WordTable::AddList(std::string_view list, Style style)
{
    while (!list.empty()) {
        const std::size_t feed = list.find('\n');
        const std::string_view entry = list.substr(0, feed);
        if (!entry.empty())
            AddEntry(entry, style);
        if (feed == std::string_view::npos)
            break;
        list.remove_prefix(feed + 1);
    }
}

void WordTable::AddEntry(std::string_view entry, Style style)
{
    Entry added;
    added.offset = static_cast<std::uint32_t>(pool_.size());
    added.length = static_cast<std::uint32_t>(entry.size());
    added.style = style;
    for (const char byte : entry)
        pool_.push_back(static_cast<char>(fold_[static_cast<unsigned char>(byte)]));
    pending_.push_back(added);
}

void WordTable::BuildTables()
{
    std::uint32_t capacity = 16;
    while (capacity < 2 * pending_.size())
        capacity *= 2;
    slots_.assign(capacity, Slot{});
    slotMask_ = capacity - 1;

    const unsigned char *pool = Bytes(pool_.data());
    std::vector<std::pair<std::uint32_t, Entry>> compounds;
    for (const Entry &entry : pending_) {
        const unsigned char *bytes = pool + entry.offset;
        if (!IsWordByte(bytes[0])) {
            symbols_.push_back(entry);
            continue;
        }
        const std::size_t leading = WordEnd(bytes, 0, entry.length);
        Slot *slot = FindSlot(Hash(bytes, leading), bytes, leading);
        if (!slot->word.length) {
            slot->hash = Hash(bytes, leading);
            slot->word = Entry{entry.offset, static_cast<std::uint32_t>(leading), Default};
            longestWord_ = std::max(longestWord_, leading);
            startsWord_[bytes[0]] = true;
        }
        if (leading < entry.length)
            compounds.emplace_back(static_cast<std::uint32_t>(slot - slots_.data()), entry);
        else if (slot->word.style == Default)
            slot->word.style = entry.style;
    }

    // Entries that start with the same word are tried longest first.
    std::stable_sort(compounds.begin(), compounds.end(), [](const auto &a, const auto &b) {
        return std::tuple(a.first, b.second.length) < std::tuple(b.first, a.second.length);
    });
    for (const auto &[slotIndex, entry] : compounds) {
        Slot &slot = slots_[slotIndex];
        if (slot.compoundBegin == slot.compoundEnd)
            slot.compoundBegin = static_cast<std::uint32_t>(compounds_.size());
        compounds_.push_back(entry);
        slot.compoundEnd = static_cast<std::uint32_t>(compounds_.size());
    }

    // Symbols are grouped by their first byte and tried longest first ("<=" before "<").
    std::stable_sort(symbols_.begin(), symbols_.end(), [pool](const Entry &a, const Entry &b) {
        return std::tuple(pool[a.offset], b.length) < std::tuple(pool[b.offset], a.length);
    });
    std::size_t next = 0;
    for (int byte = 0; byte <= 256; ++byte) {
        while (next < symbols_.size() && pool[symbols_[next].offset] < byte)
            ++next;
        symbolIndex_[byte] = static_cast<std::uint32_t>(next);
    }
    pending_.clear();
    pending_.shrink_to_fit();
}

std::uint32_t WordTable::Hash(const unsigned char *bytes, std::size_t length) const
{
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < length; ++i)
        hash = (hash ^ fold_[bytes[i]]) * 16777619u;
    return hash;
}

WordTable::Slot *WordTable::FindSlot(std::uint32_t hash, const unsigned char *word,
                                     std::size_t length)
{
    return const_cast<Slot *>(std::as_const(*this).FindSlot(hash, word, length));
}

// The slot holding `word`, or the empty slot where it would go.
const WordTable::Slot *WordTable::FindSlot(std::uint32_t hash, const unsigned char *word,
                                           std::size_t length) const
{
    const unsigned char *pool = Bytes(pool_.data());
    for (std::uint32_t index = hash & slotMask_;; index = (index + 1) & slotMask_) {
        const Slot &slot = slots_[index];
        if (!slot.word.length)
            return &slot;
        if (slot.hash != hash || slot.word.length != length)
            continue;
        const unsigned char *key = pool + slot.word.offset;
        std::size_t i = 0;
        while (i < length && fold_[word[i]] == key[i])
            ++i;
        if (i == length)
            return &slot;
    }
}

// Whether `entry` stands in the line at `at`, ending at a word boundary when it ends in a word.
bool WordTable::EntryAt(const Entry &entry, const unsigned char *line, std::size_t at,
                        std::size_t length) const
{
    if (entry.length > length - at)
        return false;
    const unsigned char *key = Bytes(pool_.data()) + entry.offset;
    for (std::size_t i = 0; i < entry.length; ++i) {
        if (fold_[line[at + i]] != key[i])
            return false;
    }
    const std::size_t end = at + entry.length;
    return !IsWordByte(key[entry.length - 1]) || end == length || !IsWordByte(line[end]);
}

// Whether the bytes of `token` stand at `at`, letters folded as the language says.
bool WordTable::BytesAt(std::string_view token, const unsigned char *line, std::size_t at,
                        std::size_t length) const
{
    if (token.size() > length - at)
        return false;
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (fold_[line[at + i]] != fold_[static_cast<unsigned char>(token[i])])
            return false;
    }
    return true;
}

// The longest entry that starts with the word at `at`, longest compound first.
std::size_t WordTable::WordEntryEnd(const unsigned char *line, std::size_t at, std::size_t length,
                                    Style &style) const
{
    const std::size_t end = WordEnd(line, at, length);
    style = Default;
    if (end - at > longestWord_ || !startsWord_[fold_[line[at]]])
        return end;
    const Slot *slot = FindSlot(Hash(line + at, end - at), line + at, end - at);
    if (!slot->word.length)
        return end;
    for (std::uint32_t i = slot->compoundBegin; i < slot->compoundEnd; ++i) {
        if (EntryAt(compounds_[i], line, at, length)) {
            style = compounds_[i].style;
            return at + compounds_[i].length;
        }
    }
    style = slot->word.style;
    return end;
}

// The end of the longest operator symbol at `at`, or `at` when none stands there.
std::size_t WordTable::SymbolEnd(const unsigned char *line, std::size_t at,
                                 std::size_t length) const
{
    const unsigned char first = fold_[line[at]];
    for (std::uint32_t i = symbolIndex_[first]; i < symbolIndex_[first + 1]; ++i) {
        if (EntryAt(symbols_[i], line, at, length))
            return at + symbols_[i].length;
    }
    return at;
}

} // namespace LexerCore
