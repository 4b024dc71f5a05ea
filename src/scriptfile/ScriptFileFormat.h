// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptFileFormat: how script files store text (encoding, line ends) and the conversions to and
// from the UTF-8 the editor holds, so every file comes back byte for byte.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>

/// The character encodings a script file is read and written in.
enum class TextEncoding {
    Utf8,        ///< UTF-8 without a byte-order mark; also every pure ASCII file
    Utf8WithBom, ///< UTF-8 starting with the byte-order mark EF BB BF
    Windows1252, ///< the legacy single-byte encoding of files that are not valid UTF-8
    Utf16Le,     ///< UTF-16 little-endian, starting with the byte-order mark FF FE
    Utf16Be,     ///< UTF-16 big-endian, starting with the byte-order mark FE FF
};

/// The encoding's usual name, such as "Windows-1252", for messages and questions.
QString EncodingName(TextEncoding encoding);

/// True for an encoding that stores only some characters (a legacy code page); the Unicode
/// encodings store every one.
bool IsCodePage(TextEncoding encoding);

/// The first character of `text` that `encoding` cannot store, or 0 when all fit. An unpaired
/// surrogate never fits a code page.
char32_t FirstCharacterOutside(TextEncoding encoding, QStringView text);

/// The line end a document's new lines get.
enum class LineEnd { CrLf, Lf, Cr };

/// The line end of the platform the program runs on, for new documents.
#ifdef Q_OS_WIN
inline constexpr LineEnd PlatformLineEnd = LineEnd::CrLf;
#else
inline constexpr LineEnd PlatformLineEnd = LineEnd::Lf;
#endif

/// What a file looked like on disk, kept so the save writes it the same way.
struct ScriptFormat {
    TextEncoding encoding = TextEncoding::Utf8;
    LineEnd lineEnd = PlatformLineEnd;
    friend bool operator==(const ScriptFormat &, const ScriptFormat &) = default;
};

/// Checks UTF-8 strictly (no overlong forms, surrogates or values past U+10FFFF) over a stream
/// of chunks, so a sequence may be split between two chunks.
class Utf8Validator
{
public:
    /// False as soon as the bytes seen so far cannot be the start of valid UTF-8.
    bool Feed(QByteArrayView bytes);
    /// True when everything fed is valid and no sequence is left unfinished.
    bool Complete() const { return valid_ && needed_ == 0; }

private:
    bool valid_ = true;
    int needed_ = 0;
    unsigned char lower_ = 0x80;
    unsigned char upper_ = 0xBF;
};

/// Counts CRLF, lone LF and lone CR line ends over a stream of chunks, and measures the longest
/// line between them.
class LineEndCounter
{
public:
    void Feed(QByteArrayView bytes);
    /// The most frequent line end; a text without line ends, or a tie with the platform's line
    /// end, gives the platform's.
    LineEnd Dominant() const;
    /// The length in bytes of the longest line fed so far, its line end left out.
    std::int64_t LongestLine() const;

    std::int64_t crlf = 0;
    std::int64_t lf = 0;
    std::int64_t cr = 0;

private:
    void EndLine(std::int64_t at);

    bool pendingCr_ = false;
    std::int64_t fed_ = 0;
    std::int64_t lineStart_ = 0;
    std::int64_t longest_ = 0;
};

/// Appends the UTF-8 form of Windows-1252 `bytes`. Every byte value has a character, the five
/// bytes the code page leaves unassigned (81, 8D, 8F, 90, 9D) the C1 control of the same number,
/// so the encoding back gives the same bytes.
void AppendWindows1252AsUtf8(QByteArrayView bytes, QByteArray &utf8);

/// How many bytes AppendWindows1252AsUtf8 makes of `bytes`.
qsizetype Windows1252AsUtf8Length(QByteArrayView bytes);

/// The first character of the UTF-8 `text` that Windows-1252 cannot hold, or 0 when all fit.
/// Bytes that are not valid UTF-8 count as not fitting (U+FFFD is returned for them).
char32_t FirstCharacterOutsideWindows1252(QByteArrayView text);

/// Appends the Windows-1252 form of the UTF-8 `text`, which must not end inside a character.
/// Returns false, with only part of the text appended, at the first character that does not fit.
bool AppendUtf8AsWindows1252(QByteArrayView text, QByteArray &bytes);

/// Appends the UTF-8 of the Unicode scalar value `character`.
void AppendUtf8Character(char32_t character, QByteArray &utf8);

/// Decodes the strictly valid UTF-8 character that starts `text`; returns its length, or 0 when
/// the bytes there are no whole character.
int DecodeUtf8Character(QByteArrayView text, char32_t &character);

/// How many leading bytes of the UTF-8 `text` (at most `limit`) end on a character boundary.
qsizetype CharacterBoundaryBefore(QByteArrayView text, qsizetype limit);

/// The byte-order mark that starts a UTF-8 file that has one.
inline constexpr QByteArrayView Utf8Bom{"\xEF\xBB\xBF", 3};

/// The byte-order marks that start a UTF-16 file, little-endian and big-endian.
inline constexpr QByteArrayView Utf16LeBom{"\xFF\xFE", 2};
inline constexpr QByteArrayView Utf16BeBom{"\xFE\xFF", 2};
