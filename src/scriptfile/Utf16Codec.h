// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Utf16Codec: UTF-16 files of either byte order to the editor's UTF-8 and back.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

/// Decodes UTF-16 of one byte order to UTF-8 over a stream of chunks, so a code unit, a
/// surrogate pair or a CR LF pair may be split between two chunks. UTF-16 that is no text, an
/// unpaired surrogate or a last byte without its partner, is a fault that ends the decoding: no
/// character could stand for it, so the editor could not save the same bytes again.
class Utf16Decoder
{
public:
    enum class Fault { None, UnpairedSurrogate, OddLength };

    explicit Utf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}
    /// Decodes `bytes`, appending the UTF-8 to `utf8` unless it is null. False once a fault is
    /// found; what follows the fault is not decoded.
    bool Feed(QByteArrayView bytes, QByteArray *utf8);
    /// Ends the stream; false when it holds a fault, also an unfinished pair or unit at its end.
    bool Finish();
    /// How many bytes of UTF-8 the stream gave so far.
    qint64 DecodedBytes() const { return decoded_; }
    Fault FoundFault() const { return fault_; }
    /// Where in the stream the fault begins: the unpaired surrogate, or the odd last byte.
    qint64 FaultOffset() const { return faultOffset_; }
    /// The unpaired surrogate.
    char16_t FaultUnit() const { return faultUnit_; }

private:
    bool Take(char16_t unit, QByteArray *utf8);
    bool Fail(Fault fault, qint64 offset, char16_t unit);

    bool bigEndian_;
    int pendingByte_ = -1;
    char16_t high_ = 0;
    qint64 next_ = 0;
    qint64 decoded_ = 0;
    Fault fault_ = Fault::None;
    qint64 faultOffset_ = 0;
    char16_t faultUnit_ = 0;
};

/// Appends the UTF-16 of the UTF-8 `text`, which must not end inside a character, in the byte
/// order asked for. Returns false, with only part of the text appended, at the first bytes that
/// are not UTF-8.
bool AppendUtf8AsUtf16(QByteArrayView text, bool bigEndian, QByteArray &bytes);
