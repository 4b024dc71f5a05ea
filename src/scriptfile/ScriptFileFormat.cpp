// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptFileFormat: strict UTF-8 checking, line-end counting and the Windows-1252 conversions.
#include "ScriptFileFormat.h"

#include <array>
#include <cstring>

namespace
{

constexpr std::uint64_t Ones = 0x0101010101010101ULL;
constexpr std::uint64_t Highs = 0x8080808080808080ULL;

std::uint64_t Load64(const unsigned char *p)
{
    std::uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
    return word;
}

bool HasByte(std::uint64_t word, unsigned char value)
{
    const std::uint64_t x = word ^ (Ones * value);
    return ((x - Ones) & ~x & Highs) != 0;
}

/// Characters of Windows-1252 bytes 80 to 9F; the five unassigned ones keep their own number.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

/// The Windows-1252 byte of `character`, or -1 when the code page has none.
int Windows1252Byte(char32_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<int>(character);
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == character)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

void AppendUtf8(char32_t character, QByteArray &out)
{
    if (character < 0x80) {
        out.append(static_cast<char>(character));
    } else if (character < 0x800) {
        out.append(static_cast<char>(0xC0 | (character >> 6)));
        out.append(static_cast<char>(0x80 | (character & 0x3F)));
    } else if (character < 0x10000) {
        out.append(static_cast<char>(0xE0 | (character >> 12)));
        out.append(static_cast<char>(0x80 | ((character >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (character & 0x3F)));
    } else {
        out.append(static_cast<char>(0xF0 | (character >> 18)));
        out.append(static_cast<char>(0x80 | ((character >> 12) & 0x3F)));
        out.append(static_cast<char>(0x80 | ((character >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (character & 0x3F)));
    }
}

/// Decodes one strictly valid UTF-8 character at `p`; returns its length, or 0 when invalid.
int DecodeUtf8(const unsigned char *p, const unsigned char *end, char32_t &character)
{
    const unsigned char lead = *p;
    if (lead < 0x80) {
        character = lead;
        return 1;
    }
    int length = 0;
    unsigned char lower = 0x80, upper = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        character = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        character = lead & 0x0F;
        lower = lead == 0xE0 ? 0xA0 : 0x80;
        upper = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        character = lead & 0x07;
        lower = lead == 0xF0 ? 0x90 : 0x80;
        upper = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (end - p < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if (p[i] < lower || p[i] > upper)
            return 0;
        lower = 0x80;
        upper = 0xBF;
        character = (character << 6) | (p[i] & 0x3F);
    }
    return length;
}

const unsigned char *Bytes(QByteArrayView view)
{
    return reinterpret_cast<const unsigned char *>(view.data());
}

} // namespace

void AppendUtf8Character(char32_t character, QByteArray &utf8)
{
    AppendUtf8(character, utf8);
}

int DecodeUtf8Character(QByteArrayView text, char32_t &character)
{
    return text.isEmpty() ? 0 : DecodeUtf8(Bytes(text), Bytes(text) + text.size(), character);
}

QString EncodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf8WithBom:
        return QStringLiteral("UTF-8 with a byte-order mark");
    case TextEncoding::Windows1252:
        return QStringLiteral("Windows-1252");
    case TextEncoding::Utf16Le:
        return QStringLiteral("UTF-16LE");
    case TextEncoding::Utf16Be:
        return QStringLiteral("UTF-16BE");
    }
    return QString();
}

bool IsCodePage(TextEncoding encoding)
{
    return encoding == TextEncoding::Windows1252;
}

char32_t FirstCharacterOutside(TextEncoding encoding, QStringView text)
{
    if (!IsCodePage(encoding))
        return 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t character = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            character = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (Windows1252Byte(character) < 0)
            return character;
    }
    return 0;
}

bool Utf8Validator::Feed(QByteArrayView bytes)
{
    const unsigned char *p = Bytes(bytes);
    const unsigned char *const end = p + bytes.size();
    while (valid_ && p < end) {
        if (needed_ > 0) {
            const unsigned char byte = *p++;
            valid_ = byte >= lower_ && byte <= upper_;
            lower_ = 0x80;
            upper_ = 0xBF;
            --needed_;
            continue;
        }
        // Scripts are mostly ASCII: step over plain runs eight bytes at a time.
        while (end - p >= 8 && (Load64(p) & Highs) == 0)
            p += 8;
        if (p == end)
            break;
        const unsigned char lead = *p++;
        if (lead < 0x80)
            continue;
        if (lead >= 0xC2 && lead <= 0xDF) {
            needed_ = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            needed_ = 2;
            lower_ = lead == 0xE0 ? 0xA0 : 0x80;
            upper_ = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            needed_ = 3;
            lower_ = lead == 0xF0 ? 0x90 : 0x80;
            upper_ = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            valid_ = false;
        }
    }
    return valid_;
}

void LineEndCounter::Feed(QByteArrayView bytes)
{
    const unsigned char *p = Bytes(bytes);
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        if (!pendingCr_) {
            while (size - i >= 8 && !HasByte(Load64(p + i), '\n') && !HasByte(Load64(p + i), '\r'))
                i += 8;
            if (i == size)
                break;
        }
        const std::int64_t at = fed_ + i;
        const unsigned char byte = p[i++];
        if (pendingCr_) {
            pendingCr_ = false;
            if (byte == '\n') {
                ++crlf;
                lineStart_ = at + 1;
                continue;
            }
            ++cr;
        }
        if (byte == '\r') {
            EndLine(at);
            pendingCr_ = true;
        } else if (byte == '\n') {
            EndLine(at);
            ++lf;
        }
    }
    fed_ += size;
}

void LineEndCounter::EndLine(std::int64_t at)
{
    longest_ = std::max(longest_, at - lineStart_);
    lineStart_ = at + 1;
}

std::int64_t LineEndCounter::LongestLine() const
{
    return std::max(longest_, fed_ - lineStart_);
}

LineEnd LineEndCounter::Dominant() const
{
    const std::int64_t lone = cr + (pendingCr_ ? 1 : 0);
    const auto count = [&](LineEnd end) {
        return end == LineEnd::CrLf ? crlf : end == LineEnd::Lf ? lf : lone;
    };
    LineEnd dominant = PlatformLineEnd;
    for (const LineEnd end : {LineEnd::CrLf, LineEnd::Lf, LineEnd::Cr}) {
        if (count(end) > count(dominant))
            dominant = end;
    }
    return dominant;
}

void AppendWindows1252AsUtf8(QByteArrayView bytes, QByteArray &utf8)
{
    const unsigned char *p = Bytes(bytes);
    const unsigned char *const end = p + bytes.size();
    while (p < end) {
        const unsigned char *run = p;
        while (p < end && *p < 0x80)
            ++p;
        utf8.append(reinterpret_cast<const char *>(run), p - run);
        if (p == end)
            break;
        const unsigned char byte = *p++;
        AppendUtf8(byte >= 0xA0 ? char32_t(byte) : char32_t(HighControls[byte - 0x80]), utf8);
    }
}

qsizetype Windows1252AsUtf8Length(QByteArrayView bytes)
{
    qsizetype length = bytes.size();
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (value >= 0xA0)
            length += 1;
        else if (value >= 0x80)
            length += HighControls[value - 0x80] < 0x800 ? 1 : 2;
    }
    return length;
}

char32_t FirstCharacterOutsideWindows1252(QByteArrayView text)
{
    const unsigned char *p = Bytes(text);
    const unsigned char *const end = p + text.size();
    while (p < end) {
        while (end - p >= 8 && (Load64(p) & Highs) == 0)
            p += 8;
        if (p == end)
            break;
        char32_t character = 0;
        const int length = DecodeUtf8(p, end, character);
        if (length == 0)
            return 0xFFFD;
        if (Windows1252Byte(character) < 0)
            return character;
        p += length;
    }
    return 0;
}

bool AppendUtf8AsWindows1252(QByteArrayView text, QByteArray &bytes)
{
    const unsigned char *p = Bytes(text);
    const unsigned char *const end = p + text.size();
    while (p < end) {
        const unsigned char *run = p;
        while (p < end && *p < 0x80)
            ++p;
        bytes.append(reinterpret_cast<const char *>(run), p - run);
        if (p == end)
            break;
        char32_t character = 0;
        const int length = DecodeUtf8(p, end, character);
        const int byte = length > 0 ? Windows1252Byte(character) : -1;
        if (byte < 0)
            return false;
        bytes.append(static_cast<char>(byte));
        p += length;
    }
    return true;
}

qsizetype CharacterBoundaryBefore(QByteArrayView text, qsizetype limit)
{
    if (limit >= text.size())
        return text.size();
    qsizetype boundary = limit;
    while (boundary > 0 && limit - boundary < 3 && (Bytes(text)[boundary] & 0xC0) == 0x80)
        --boundary;
    return boundary;
}
