// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockScanner: splits statements into words and separators, then reads their block words.
#include "BlockScanner.h"

#include <algorithm>
#include <array>
#include <bit>

namespace
{

// The words the scanner tells apart; every other word is None.
enum Vocabulary : std::uint8_t {
    None,
    Sub,
    Function,
    Type,
    If,
    Then,
    ElseIf,
    Else,
    Select,
    Case,
    For,
    Each,
    Next,
    Do,
    Loop,
    While,
    Wend,
    With,
    End,
    Public,
    Private,
    Static,
    Friend,
    Default,
    Property,
    Get,
    Let,
    Set,
    Class,
};

struct VocabularyEntry {
    std::string_view lower;
    Vocabulary vocabulary;
};

constexpr std::array<VocabularyEntry, 28> Entries = {{
    {"sub", Sub},       {"function", Function}, {"type", Type},       {"if", If},
    {"then", Then},     {"elseif", ElseIf},     {"else", Else},       {"select", Select},
    {"case", Case},     {"for", For},           {"each", Each},       {"next", Next},
    {"do", Do},         {"loop", Loop},         {"while", While},     {"wend", Wend},
    {"with", With},     {"end", End},           {"public", Public},   {"private", Private},
    {"static", Static}, {"friend", Friend},     {"default", Default}, {"property", Property},
    {"get", Get},       {"let", Let},           {"set", Set},         {"class", Class},
}};

constexpr std::size_t LongestEntry = 8;

// Which entries each first letter may start, as bits of their indices: a word is compared with
// those alone, since most words of a script are names and few share a first letter with the
// vocabulary and its length too.
constexpr std::array<std::uint32_t, 26> ByFirstLetter = [] {
    std::array<std::uint32_t, 26> letters{};
    for (std::size_t entry = 0; entry < Entries.size(); ++entry)
        letters[static_cast<std::size_t>(Entries[entry].lower.front() - 'a')] |= 1u << entry;
    return letters;
}();

char Lower(unsigned char byte)
{
    return static_cast<char>(LexerCore::FoldedByte(byte));
}

Vocabulary Classify(const unsigned char *word, std::size_t length)
{
    if (length == 0 || length > LongestEntry)
        return None;
    const char first = Lower(word[0]);
    if (first < 'a' || first > 'z')
        return None;
    std::uint32_t candidates = ByFirstLetter[static_cast<std::size_t>(first - 'a')];
    if (candidates == 0)
        return None;
    std::array<char, LongestEntry> lower{};
    for (std::size_t i = 0; i < length; ++i)
        lower[i] = Lower(word[i]);
    const std::string_view spelled(lower.data(), length);
    for (; candidates != 0; candidates &= candidates - 1) {
        const VocabularyEntry &entry =
            Entries[static_cast<std::size_t>(std::countr_zero(candidates))];
        if (entry.lower == spelled)
            return entry.vocabulary;
    }
    return None;
}

// Words that may start a statement with a block word: everything else needs no closer look.
bool StartsBlockStatement(Vocabulary word)
{
    return word != None && word != Then && word != Each && word != Default && word != Get &&
           word != Let && word != Set;
}

// Words that are block words by themselves at the start of a statement.
constexpr std::array<std::pair<Vocabulary, BlockWord>, 9> PlainWords = {{
    {Sub, BlockWord::Sub},
    {Function, BlockWord::Function},
    {ElseIf, BlockWord::ElseIf},
    {Case, BlockWord::Case},
    {Do, BlockWord::Do},
    {Loop, BlockWord::Loop},
    {While, BlockWord::While},
    {Wend, BlockWord::Wend},
    {With, BlockWord::With},
}};

// The words after End that make it a closer.
constexpr std::array<std::pair<Vocabulary, BlockWord>, 8> EndWords = {{
    {Sub, BlockWord::EndSub},
    {Function, BlockWord::EndFunction},
    {Property, BlockWord::EndProperty},
    {Type, BlockWord::EndType},
    {Class, BlockWord::EndClass},
    {If, BlockWord::EndIf},
    {Select, BlockWord::EndSelect},
    {With, BlockWord::EndWith},
}};

// The words after Property that make it an opener.
constexpr std::array<std::pair<Vocabulary, BlockWord>, 3> PropertyWords = {{
    {Get, BlockWord::PropertyGet},
    {Let, BlockWord::PropertyLet},
    {Set, BlockWord::PropertySet},
}};

template <std::size_t Count>
const BlockWord *Find(const std::array<std::pair<Vocabulary, BlockWord>, Count> &table,
                      std::uint8_t word)
{
    for (const auto &[vocabulary, blockWord] : table) {
        if (vocabulary == word)
            return &blockWord;
    }
    return nullptr;
}

bool IsBlank(unsigned char byte)
{
    return byte == ' ' || byte == '\t';
}

const unsigned char *Bytes(std::string_view line)
{
    return reinterpret_cast<const unsigned char *>(line.data());
}

// Whether the bytes end in a blank-separated "_", before looking at comments and strings.
bool EndsWithUnderscore(std::string_view line)
{
    std::size_t end = line.size();
    while (end > 0 && IsBlank(static_cast<unsigned char>(line[end - 1])))
        --end;
    return end > 0 && line[end - 1] == '_' &&
           (end == 1 || IsBlank(static_cast<unsigned char>(line[end - 2])));
}

} // namespace

std::span<const BlockToken> BlockStatement::TokensOn(std::int64_t line) const
{
    const auto relative = static_cast<std::uint32_t>(line - first);
    const auto begin = std::find_if(tokens.begin(), tokens.end(),
                                    [relative](const BlockToken &t) { return t.line >= relative; });
    const auto end = std::find_if(begin, tokens.end(),
                                  [relative](const BlockToken &t) { return t.line > relative; });
    return {begin, end};
}

BlockScanner::BlockScanner(LexerCore::Lexicon lexicon, std::string_view commentToken,
                           std::string_view stringDelimiter)
    : lexicon_(std::move(lexicon))
{
    for (const std::string_view token : {commentToken, stringDelimiter}) {
        if (token.empty())
            continue;
        const unsigned char first = static_cast<unsigned char>(token.front());
        starters_ += static_cast<char>(first);
        if (first >= 'a' && first <= 'z')
            starters_ += static_cast<char>(first - ('a' - 'A'));
        else if (first >= 'A' && first <= 'Z')
            starters_ += static_cast<char>(first + ('a' - 'A'));
    }
}

bool BlockScanner::MayHoldCommentOrString(std::string_view line) const
{
    for (const char starter : starters_) {
        if (line.find(starter) != std::string_view::npos)
            return true;
    }
    return false;
}

bool BlockScanner::Continues(std::string_view line)
{
    if (!EndsWithUnderscore(line))
        return false;
    units_.clear();
    return ReadUnits(line, 0);
}

std::int64_t BlockScanner::StatementStart(const BlockText &text, std::int64_t line)
{
    while (line > 0 && Continues(text.Line(line - 1)))
        --line;
    return line;
}

void BlockScanner::Scan(const BlockText &text, std::int64_t first, BlockStatement &statement)
{
    statement.first = first;
    statement.last = first;
    statement.tokens.clear();
    if (NeedsNoScan(text.Line(first)))
        return;
    units_.clear();
    std::int64_t line = first;
    const std::int64_t count = text.LineCount();
    while (ReadUnits(text.Line(line), static_cast<std::uint32_t>(line - first)) && line + 1 < count)
        ++line;
    statement.last = line;
    Parse(statement.tokens);
}

// A single line that has no colon, does not continue and starts with no block word holds no
// block word: most lines are settled here without colouring them.
bool BlockScanner::NeedsNoScan(std::string_view line) const
{
    if (line.find(':') != std::string_view::npos || EndsWithUnderscore(line))
        return false;
    const unsigned char *bytes = Bytes(line);
    std::size_t at = 0;
    while (at < line.size() && IsBlank(bytes[at]))
        ++at;
    if (at == line.size() || !LexerCore::IsWordByte(bytes[at]))
        return true;
    const std::size_t end = LexerCore::WordEnd(bytes, at, line.size());
    return !StartsBlockStatement(Classify(bytes + at, end - at));
}

// Appends the line's words, colons and other code as units, skipping comments and taking each
// string as one unit. Returns whether the line continues; its "_" is then no unit.
bool BlockScanner::ReadUnits(std::string_view line, std::uint32_t lineIndex)
{
    const std::size_t length = line.size();
    const unsigned char *bytes = Bytes(line);
    styles_.resize(length);
    if (MayHoldCommentOrString(line))
        lexicon_.StyleText(line.data(), length, styles_.data());
    else
        std::fill(styles_.begin(), styles_.end(), LexerCore::Default);
    const std::size_t firstUnit = units_.size();
    std::size_t at = 0;
    while (at < length && styles_[at] != LexerCore::Comment) {
        const unsigned char byte = bytes[at];
        std::size_t end = at + 1;
        Unit unit{UnitKind::Other, None, byte, lineIndex, static_cast<std::uint32_t>(at), 1};
        if (styles_[at] == LexerCore::String) {
            while (end < length && styles_[end] == LexerCore::String)
                ++end;
        } else if (IsBlank(byte)) {
            ++at;
            continue;
        } else if (LexerCore::IsWordByte(byte)) {
            while (end < length && LexerCore::IsWordByte(bytes[end]) &&
                   styles_[end] != LexerCore::String && styles_[end] != LexerCore::Comment)
                ++end;
            if (byte < '0' || byte > '9') {
                unit.kind = UnitKind::Word;
                unit.vocabulary = Classify(bytes + at, end - at);
            }
        } else if (byte == ':') {
            unit.kind = UnitKind::Colon;
        }
        unit.length = static_cast<std::uint32_t>(end - at);
        units_.push_back(unit);
        at = end;
    }
    if (units_.size() == firstUnit)
        return false;
    const Unit &last = units_.back();
    // As Continues and NeedsNoScan decide: nothing, not even a comment, follows the "_".
    const bool continues = last.kind == UnitKind::Word && last.length == 1 &&
                           bytes[last.column] == '_' && EndsWithUnderscore(line);
    if (continues)
        units_.pop_back();
    return continues;
}

void BlockScanner::Parse(std::vector<BlockToken> &tokens) const
{
    std::size_t at = 0;
    while (at < units_.size())
        at = ParseStatement(at, tokens);
}

// Reads the statement whose first unit is `at`; returns the first unit of the next one.
std::size_t BlockScanner::ParseStatement(std::size_t at, std::vector<BlockToken> &tokens) const
{
    const Unit &unit = units_[at];
    if (unit.kind == UnitKind::Colon)
        return at + 1;
    const std::uint8_t word = VocabularyAt(at);
    const std::uint8_t following = VocabularyAt(at + 1);
    const Unit *next = at + 1 < units_.size() ? &units_[at + 1] : nullptr;
    if (const BlockWord *plain = Find(PlainWords, word)) {
        Emit(*plain, unit, nullptr, tokens);
    } else if (word == Public || word == Private || word == Static || word == Friend) {
        return ParseModified(at, tokens);
    } else if (word == If) {
        return ParseIf(at, tokens);
    } else if (word == Else) {
        // What follows Else on its line is a statement of its own.
        Emit(BlockWord::Else, unit, nullptr, tokens);
        return at + 1;
    } else if ((word == Type || word == Class) && TypeNameAlone(at)) {
        Emit(word == Type ? BlockWord::Type : BlockWord::Class, unit, nullptr, tokens);
    } else if (const BlockWord *property =
                   word == Property ? Find(PropertyWords, following) : nullptr) {
        Emit(*property, unit, next, tokens);
    } else if (word == Select && following == Case) {
        Emit(BlockWord::Select, unit, next, tokens);
    } else if (word == For) {
        Emit(following == Each ? BlockWord::ForEach : BlockWord::For, unit,
             following == Each ? next : nullptr, tokens);
    } else if (word == Next) {
        for (std::size_t count = NextCount(at); count > 0; --count)
            Emit(BlockWord::Next, unit, nullptr, tokens);
    } else if (const BlockWord *closer = word == End ? Find(EndWords, following) : nullptr) {
        Emit(*closer, unit, next, tokens);
    }
    return StatementEnd(at);
}

// "Type Name" and "Class Name" alone declare one; "Type = 3" assigns to a variable of that name.
bool BlockScanner::TypeNameAlone(std::size_t at) const
{
    return at + 1 < units_.size() && units_[at + 1].kind == UnitKind::Word &&
           (at + 2 == units_.size() || units_[at + 2].kind == UnitKind::Colon);
}

// "Public", "Private Static" and the like before Sub, Function, Property or Type.
std::size_t BlockScanner::ParseModified(std::size_t at, std::vector<BlockToken> &tokens) const
{
    std::size_t word = at + 1;
    while (VocabularyAt(word) == Public || VocabularyAt(word) == Private ||
           VocabularyAt(word) == Static || VocabularyAt(word) == Friend ||
           VocabularyAt(word) == Default)
        ++word;
    const std::uint8_t vocabulary = VocabularyAt(word);
    if (vocabulary == Sub || vocabulary == Function)
        Emit(vocabulary == Sub ? BlockWord::Sub : BlockWord::Function, units_[word], nullptr,
             tokens);
    else if (vocabulary == Type && TypeNameAlone(word))
        Emit(BlockWord::Type, units_[word], nullptr, tokens);
    else if (const BlockWord *property =
                 vocabulary == Property ? Find(PropertyWords, VocabularyAt(word + 1)) : nullptr)
        Emit(*property, units_[word], &units_[word + 1], tokens);
    return StatementEnd(at);
}

// An If with nothing but a comment after its Then opens a block; with code after its Then it
// is a one-line If, and the rest of the line belongs to it.
std::size_t BlockScanner::ParseIf(std::size_t at, std::vector<BlockToken> &tokens) const
{
    std::size_t word = at + 1;
    while (word < units_.size() && units_[word].kind != UnitKind::Colon) {
        if (units_[word].kind == UnitKind::Word && units_[word].vocabulary == Then) {
            if (word + 1 == units_.size())
                Emit(BlockWord::If, units_[at], nullptr, tokens);
            return units_.size();
        }
        ++word;
    }
    // No Then yet: the block If being typed.
    Emit(BlockWord::If, units_[at], nullptr, tokens);
    return word < units_.size() ? word + 1 : word;
}

void BlockScanner::Emit(BlockWord word, const Unit &from, const Unit *to,
                        std::vector<BlockToken> &tokens) const
{
    const std::uint32_t length =
        to && to->line == from.line ? to->column + to->length - from.column : from.length;
    tokens.push_back({word, from.line, from.column, length});
}

// "Next j, i" ends two loops: one Next for each name it lists.
std::size_t BlockScanner::NextCount(std::size_t at) const
{
    std::size_t count = 1;
    int depth = 0;
    for (std::size_t unit = at + 1; unit < units_.size(); ++unit) {
        const Unit &u = units_[unit];
        if (u.kind == UnitKind::Colon)
            break;
        if (u.kind != UnitKind::Other)
            continue;
        depth += u.byte == '(' ? 1 : u.byte == ')' ? -1 : 0;
        if (u.byte == ',' && depth == 0)
            ++count;
    }
    return count;
}

std::size_t BlockScanner::StatementEnd(std::size_t at) const
{
    while (at < units_.size() && units_[at].kind != UnitKind::Colon)
        ++at;
    return at < units_.size() ? at + 1 : at;
}

std::uint8_t BlockScanner::VocabularyAt(std::size_t at) const
{
    return at < units_.size() && units_[at].kind == UnitKind::Word ? units_[at].vocabulary
                                                                   : std::uint8_t{None};
}
