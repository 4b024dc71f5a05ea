// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Utf16Codec: decoding UTF-16 in chunks, and the UTF-8 text put back as UTF-16.
#include "Utf16Codec.h"

#include "ScriptFileFormat.h"

namespace
{

int Utf8Length(char32_t character)
{
    return character < 0x80 ? 1 : character < 0x800 ? 2 : character < 0x10000 ? 3 : 4;
}

void AppendUnit(char16_t unit, bool bigEndian, QByteArray &out)
{
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out.append(bigEndian ? high : low);
    out.append(bigEndian ? low : high);
}

} // namespace

bool Utf16Decoder::Feed(QByteArrayView bytes, QByteArray *utf8)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const unsigned char *const end = p + bytes.size();
    const auto unit = [this](unsigned char first, unsigned char second) {
        return static_cast<char16_t>(bigEndian_ ? (first << 8) | second : (second << 8) | first);
    };
    if (fault_ != Fault::None)
        return false;
    if (pendingByte_ >= 0 && p < end) {
        const auto first = static_cast<unsigned char>(pendingByte_);
        pendingByte_ = -1;
        if (!Take(unit(first, *p++), utf8))
            return false;
    }
    for (; end - p >= 2; p += 2) {
        if (!Take(unit(p[0], p[1]), utf8))
            return false;
    }
    if (p < end)
        pendingByte_ = *p;
    return true;
}

bool Utf16Decoder::Finish()
{
    if (fault_ != Fault::None)
        return false;
    if (high_ != 0)
        return Fail(Fault::UnpairedSurrogate, next_ - 2, high_);
    if (pendingByte_ >= 0)
        return Fail(Fault::OddLength, next_, 0);
    return true;
}

bool Utf16Decoder::Take(char16_t unit, QByteArray *utf8)
{
    char32_t character = unit;
    if (high_ != 0) {
        if (!QChar::isLowSurrogate(unit))
            return Fail(Fault::UnpairedSurrogate, next_ - 2, high_);
        character = QChar::surrogateToUcs4(high_, unit);
        high_ = 0;
    } else if (QChar::isHighSurrogate(unit)) {
        high_ = unit;
        next_ += 2;
        return true;
    } else if (QChar::isLowSurrogate(unit)) {
        return Fail(Fault::UnpairedSurrogate, next_, unit);
    }
    next_ += 2;
    decoded_ += Utf8Length(character);
    if (utf8 != nullptr)
        AppendUtf8Character(character, *utf8);
    return true;
}

bool Utf16Decoder::Fail(Fault fault, qint64 offset, char16_t unit)
{
    fault_ = fault;
    faultOffset_ = offset;
    faultUnit_ = unit;
    return false;
}

bool AppendUtf8AsUtf16(QByteArrayView text, bool bigEndian, QByteArray &bytes)
{
    while (!text.isEmpty()) {
        char32_t character = 0;
        const int length = DecodeUtf8Character(text, character);
        if (length == 0)
            return false;
        if (character < 0x10000) {
            AppendUnit(static_cast<char16_t>(character), bigEndian, bytes);
        } else {
            AppendUnit(QChar::highSurrogate(character), bigEndian, bytes);
            AppendUnit(QChar::lowSurrogate(character), bigEndian, bytes);
        }
        text = text.sliced(length);
    }
    return true;
}
