// LexerCore: the widget-free colouring of script text by a language's word lists, over bytes.
#include "LexerCore.h"

#include <algorithm>
#include <cstring>
#include <tuple>
#include <utility>

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

// The end of the run of word bytes that starts at `at`.
std::size_t WordEnd(const unsigned char *line, std::size_t at, std::size_t length)
{
    while (at < length && IsWordByte(line[at]))
        ++at;
    return at;
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
{
    for (int byte = 0; byte < 256; ++byte) {
        const bool upper = byte >= 'A' && byte <= 'Z';
        fold_[byte] = static_cast<unsigned char>(!settings.matchCase && upper ? byte + 32 : byte);
    }
    commentToken_ = settings.commentToken;
    stringDelimiter_ = settings.stringDelimiter;
    // The order decides which category an entry that stands in two lists gets: the first.
    AddList(settings.keywords, Keyword);
    AddList(settings.operators, Operator);
    AddList(settings.literals, Literal);
    AddList(settings.constants, Constant);
    BuildTables();
}

void Lexicon::AddList(std::string_view list, Style style)
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

void Lexicon::AddEntry(std::string_view entry, Style style)
{
    Entry added;
    added.offset = static_cast<std::uint32_t>(pool_.size());
    added.length = static_cast<std::uint32_t>(entry.size());
    added.style = style;
    for (const char byte : entry)
        pool_.push_back(static_cast<char>(fold_[static_cast<unsigned char>(byte)]));
    pending_.push_back(added);
}

void Lexicon::BuildTables()
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

std::uint32_t Lexicon::Hash(const unsigned char *bytes, std::size_t length) const
{
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < length; ++i)
        hash = (hash ^ fold_[bytes[i]]) * 16777619u;
    return hash;
}

Lexicon::Slot *Lexicon::FindSlot(std::uint32_t hash, const unsigned char *word, std::size_t length)
{
    return const_cast<Slot *>(std::as_const(*this).FindSlot(hash, word, length));
}

// The slot holding `word`, or the empty slot where it would go.
const Lexicon::Slot *Lexicon::FindSlot(std::uint32_t hash, const unsigned char *word,
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
bool Lexicon::EntryAt(const Entry &entry, const unsigned char *line, std::size_t at,
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
bool Lexicon::BytesAt(std::string_view token, const unsigned char *line, std::size_t at,
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

// Whether the comment token stands at `at` as a token of its own (a token made of letters,
// such as a "REM", does not start inside or end inside a longer word).
bool Lexicon::TokenAt(std::string_view token, const unsigned char *line, std::size_t at,
                      std::size_t length) const
{
    if (!BytesAt(token, line, at, length))
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
        delimiter ? fold_[static_cast<unsigned char>(stringDelimiter_[0])] : 0;
    const unsigned char commentStart =
        commentToken_.empty() ? 0 : fold_[static_cast<unsigned char>(commentToken_[0])];
    std::size_t at = 0;
    while (at < length) {
        const unsigned char byte = line[at];
        const unsigned char folded = fold_[byte];
        std::size_t end = at;
        Style style = Default;
        if (!commentToken_.empty() && folded == commentStart &&
            TokenAt(commentToken_, line, at, length)) {
            std::memset(styles + at, Comment, length - at);
            return;
        }
        if (delimiter && folded == delimiterStart && BytesAt(stringDelimiter_, line, at, length)) {
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
        } else if ((end = SymbolToken(line, at, length)) > at) {
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
    const unsigned char first = fold_[static_cast<unsigned char>(stringDelimiter_[0])];
    std::size_t position = at + delimiter;
    while (position < length) {
        if (fold_[line[position]] != first || !BytesAt(stringDelimiter_, line, position, length)) {
            ++position;
            continue;
        }
        position += delimiter;
        if (position < length && fold_[line[position]] == first &&
            BytesAt(stringDelimiter_, line, position, length)) {
            position += delimiter;
            continue;
        }
        return position;
    }
    return length;
}

// A word, a number, or an entry that starts with a word ("Derived Maths"), longest first.
std::size_t Lexicon::WordToken(const unsigned char *line, std::size_t at, std::size_t length,
                               Style &style) const
{
    if (IsDigit(line[at])) {
        style = Number;
        return DecimalEnd(line, at, length);
    }
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
std::size_t Lexicon::SymbolToken(const unsigned char *line, std::size_t at,
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
