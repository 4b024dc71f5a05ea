// LexerCore: the widget-free colouring of script text by a language's word lists, over bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

/// The word lists of one language compiled for lookups that never allocate. Without match
/// case, ASCII letters match in either case.
class Lexicon
{
public:
    explicit Lexicon(const Settings &settings);

    /// Writes one style per byte of `text` into `styles` (room for `length` bytes). Every line
    /// is coloured on its own: comments and strings end at their line's end.
    void StyleText(const char *text, std::size_t length, unsigned char *styles) const;

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
    bool BytesAt(std::string_view token, const unsigned char *line, std::size_t at,
                 std::size_t length) const;
    bool TokenAt(std::string_view token, const unsigned char *line, std::size_t at,
                 std::size_t length) const;

    void StyleLine(const unsigned char *line, std::size_t length, unsigned char *styles) const;
    std::size_t StringEnd(const unsigned char *line, std::size_t at, std::size_t length) const;
    std::size_t WordToken(const unsigned char *line, std::size_t at, std::size_t length,
                          Style &style) const;
    std::size_t SymbolToken(const unsigned char *line, std::size_t at, std::size_t length) const;

    std::array<unsigned char, 256> fold_{};
    std::string commentToken_;
    std::string stringDelimiter_;
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
