// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// fuzz_scriptfile: any bytes read as a script file and saved again give the same bytes (or, after
// a UTF-16 byte-order mark, are refused when they are not UTF-16), and the codec's streaming parts
// agree with one pass over the whole wherever the pieces are cut.
#include "common/EditorError.h"
#include "scriptfile/ScriptFile.h"
#include "scriptfile/Utf16Codec.h"

#include <QFile>
#include <QTemporaryDir>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace
{

// The reader takes a file in pieces of this size unless told otherwise. A file padded to just
// short of it puts a piece boundary among the fuzzed bytes, inside a UTF-8 sequence, a UTF-16
// pair or a CR LF pair when they fall there.
constexpr qsizetype ReaderPieceBytes = ScriptChunkBytes;

void Check(bool holds, const char *property)
{
    if (holds)
        return;
    std::fprintf(stderr, "broken: %s\n", property);
    std::abort();
}

class CollectingSink : public ScriptTextSink
{
public:
    void Restart(qint64) override { text.clear(); }
    void Append(QByteArrayView utf8) override { text.append(utf8); }
    QByteArray text;
};

const QString &Folder()
{
    static const QTemporaryDir dir(QFile::exists(QStringLiteral("/dev/shm"))
                                       ? QStringLiteral("/dev/shm/quillmark-fuzz-XXXXXX")
                                       : QString());
    static const QString path = dir.path();
    return path;
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
              file.write(bytes) == bytes.size(),
          "the fuzz input can be put in a file");
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    Check(file.open(QIODevice::ReadOnly), "the saved file can be read back");
    return file.readAll();
}

/// `whole` cut into pieces whose sizes repeat `sizes`; one piece when there are none.
std::vector<QByteArrayView> Pieces(QByteArrayView whole, const std::vector<qsizetype> &sizes)
{
    std::vector<QByteArrayView> pieces;
    for (std::size_t i = 0; !whole.isEmpty(); ++i) {
        const qsizetype size = sizes.empty() ? whole.size() : sizes[i % sizes.size()];
        pieces.push_back(whole.first(std::min(size, whole.size())));
        whole = whole.sliced(pieces.back().size());
    }
    return pieces;
}

struct LineEndCounts {
    std::int64_t crlf = 0, lf = 0, cr = 0;
    friend bool operator==(const LineEndCounts &, const LineEndCounts &) = default;
};

/// The line ends of `bytes`, but a CR at the very end, which a counter holds back until it
/// knows whether an LF follows.
LineEndCounts CountLineEnds(QByteArrayView bytes)
{
    LineEndCounts counts;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            ++counts.crlf;
            ++i;
        } else if (bytes[i] == '\r' && i + 1 < bytes.size()) {
            ++counts.cr;
        } else if (bytes[i] == '\n') {
            ++counts.lf;
        }
    }
    return counts;
}

/// The UTF-16 `bytes` of the byte order asked for as a string, or nothing when they are not
/// UTF-16: an odd length or an unpaired surrogate.
std::optional<QString> DecodeUtf16(QByteArrayView bytes, bool bigEndian)
{
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    QString text;
    for (qsizetype i = 0; i < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        text.append(QChar(bigEndian ? (first << 8) | second : (second << 8) | first));
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return std::nullopt;
    }
    return text;
}

/// UTF-16 decoded in pieces gives Qt's UTF-8 of the whole, or finds the fault the whole has;
/// encoded again it gives the bytes back.
void CheckUtf16(QByteArrayView bytes, const std::vector<QByteArrayView> &pieces, bool bigEndian)
{
    const std::optional<QString> reference = DecodeUtf16(bytes, bigEndian);
    Utf16Decoder decoder(bigEndian);
    QByteArray utf8;
    bool fine = true;
    for (const QByteArrayView piece : pieces)
        fine = fine && decoder.Feed(piece, &utf8);
    fine = fine && decoder.Finish();
    Check(fine == reference.has_value(), "UTF-16 faults are found whatever the pieces");
    if (!fine)
        return;
    Check(utf8 == reference->toUtf8() && decoder.DecodedBytes() == utf8.size(),
          "UTF-16 decoded in pieces is the UTF-8 of the whole");
    QByteArray encoded;
    Check(AppendUtf8AsUtf16(utf8, bigEndian, encoded) && encoded == bytes,
          "UTF-16 decoded and encoded again gives the original bytes");
}

/// Validation and line-end counting piece by piece give what one look at the whole gives.
void CheckStreamedChecks(QByteArrayView bytes, const std::vector<QByteArrayView> &pieces)
{
    Utf8Validator validator;
    LineEndCounter counter;
    bool valid = true;
    for (const QByteArrayView piece : pieces) {
        valid = valid && validator.Feed(piece);
        counter.Feed(piece);
    }
    Check((valid && validator.Complete()) == bytes.isValidUtf8(),
          "UTF-8 validation in pieces agrees with Qt's over the whole");
    Check((LineEndCounts{counter.crlf, counter.lf, counter.cr} == CountLineEnds(bytes)),
          "line ends counted in pieces match a count over the whole");
    LineEndCounter whole;
    whole.Feed(bytes);
    Check(counter.Dominant() == whole.Dominant(),
          "the dominant line end does not depend on pieces");
}

/// Windows-1252 decoded in pieces and encoded again in pieces cut at character boundaries gives
/// the bytes back.
void CheckWindows1252(QByteArrayView bytes, const std::vector<QByteArrayView> &pieces,
                      const std::vector<qsizetype> &limits)
{
    QByteArray whole;
    AppendWindows1252AsUtf8(bytes, whole);
    QByteArray streamed;
    qsizetype predicted = 0;
    for (const QByteArrayView piece : pieces) {
        AppendWindows1252AsUtf8(piece, streamed);
        predicted += Windows1252AsUtf8Length(piece);
    }
    Check(streamed == whole, "Windows-1252 decoded in pieces equals the whole decoded");
    Check(predicted == whole.size(), "the decoded length is predicted exactly");
    Check(QByteArrayView(whole).isValidUtf8(), "decoded Windows-1252 is valid UTF-8");
    Check(FirstCharacterOutsideWindows1252(whole) == 0, "decoded Windows-1252 fits Windows-1252");

    QByteArray encoded;
    QByteArrayView rest(whole);
    for (std::size_t i = 0; !rest.isEmpty(); ++i) {
        const qsizetype limit = limits.empty() ? rest.size() : limits[i % limits.size()];
        const qsizetype take = CharacterBoundaryBefore(rest, limit);
        Check(take > 0 && take <= limit, "a piece of at least four bytes keeps a character");
        Check(take == rest.size() || (static_cast<unsigned char>(rest[take]) & 0xC0) != 0x80,
              "a piece ends on a character boundary");
        Check(AppendUtf8AsWindows1252(rest.first(take), encoded), "each piece encodes");
        rest = rest.sliced(take);
    }
    Check(encoded == bytes, "Windows-1252 encoded in pieces gives the original bytes");
}

/// Valid UTF-8 that Windows-1252 can hold survives the trip through it and back.
void CheckUtf8ThroughWindows1252(QByteArrayView text)
{
    QByteArray legacy;
    const bool fits = AppendUtf8AsWindows1252(text, legacy);
    Check(fits == (FirstCharacterOutsideWindows1252(text) == 0),
          "encoding succeeds exactly when every character fits");
    if (!fits)
        return;
    QByteArray back;
    AppendWindows1252AsUtf8(legacy, back);
    Check(back == text, "UTF-8 through Windows-1252 comes back unchanged");
}

/// The file read and saved again in the format it was read in, both in chunks of `chunkBytes`,
/// holds the same bytes.
void CheckFileRoundTrip(const QByteArray &bytes, qsizetype chunkBytes)
{
    const QString source = Folder() + QStringLiteral("/source.qc");
    const QString saved = Folder() + QStringLiteral("/saved.qc");
    WriteFile(source, bytes);
    CollectingSink sink;
    const bool utf16 = bytes.startsWith(Utf16LeBom) || bytes.startsWith(Utf16BeBom);
    const bool big = bytes.startsWith(Utf16BeBom);
    const std::optional<QString> wide =
        utf16 ? DecodeUtf16(QByteArrayView(bytes).sliced(2), big) : std::nullopt;
    ScriptFormat format;
    try {
        format = ReadScriptFile(source, sink, chunkBytes).format;
    } catch (const EditorError &error) {
        Check(utf16 && !wide && std::strstr(error.what(), "by its byte-order mark, but"),
              "only broken UTF-16 is refused, and the message says why");
        return;
    }
    Check(!utf16 || wide, "broken UTF-16 is refused");

    const bool utf8 = !utf16 && QByteArrayView(bytes).isValidUtf8();
    const bool bom = utf8 && bytes.startsWith(Utf8Bom);
    Check(format.encoding == (utf16   ? (big ? TextEncoding::Utf16Be : TextEncoding::Utf16Le)
                              : !utf8 ? TextEncoding::Windows1252
                              : bom   ? TextEncoding::Utf8WithBom
                                      : TextEncoding::Utf8),
          "the encoding is detected by the byte-order mark or as Qt's validation says");
    Check(QByteArrayView(sink.text).isValidUtf8(), "the editor receives valid UTF-8");
    if (utf8)
        Check(sink.text == QByteArrayView(bytes).sliced(bom ? Utf8Bom.size() : 0),
              "UTF-8 reaches the editor unchanged, without its byte-order mark");
    if (utf16)
        Check(sink.text == wide->toUtf8(), "UTF-16 reaches the editor as its UTF-8");
    LineEndCounter counter;
    counter.Feed(utf16 ? sink.text : bytes);
    Check(format.lineEnd == counter.Dominant(), "the line end is the dominant one");

    QFile::remove(saved);
    const SavedScript written = WriteScriptFile(saved, sink.text, format, chunkBytes);
    Check(written.format == format && written.unencodable == 0, "the save keeps the format");
    Check(ReadFile(saved) == bytes, "the saved file holds the bytes that were read");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    // A padded file costs as much as a few hundred small ones; one input in 256 is one.
    const bool padded = input.ConsumeIntegral<std::uint8_t>() == 0;
    const qsizetype padShift = input.ConsumeIntegralInRange<qsizetype>(0, 7);
    // 1 and 2 put a UTF-16 byte-order mark before the bytes, little-endian and big-endian.
    const int mark = input.ConsumeIntegralInRange<int>(0, 3);
    std::vector<qsizetype> sizes(input.ConsumeIntegralInRange<std::size_t>(0, 6));
    for (qsizetype &pieceSize : sizes)
        pieceSize = input.ConsumeIntegralInRange<qsizetype>(1, 64);
    const std::vector<std::uint8_t> rest = input.ConsumeRemainingBytes<std::uint8_t>();
    const QByteArray bytes(reinterpret_cast<const char *>(rest.data()), qsizetype(rest.size()));

    const std::vector<QByteArrayView> pieces = Pieces(bytes, sizes);
    CheckStreamedChecks(bytes, pieces);
    std::vector<qsizetype> limits;
    for (const qsizetype pieceSize : sizes)
        limits.push_back(pieceSize + 3);
    CheckWindows1252(bytes, pieces, limits);
    if (bytes.isValidUtf8())
        CheckUtf8ThroughWindows1252(bytes);
    CheckUtf16(bytes, pieces, mark == 2);

    const QByteArray bom = mark == 1   ? Utf16LeBom.toByteArray()
                           : mark == 2 ? Utf16BeBom.toByteArray()
                                       : QByteArray();
    if (padded) {
        // After a mark, whole units of "a", so the fuzzed bytes keep their alignment.
        const qsizetype pad = ReaderPieceBytes - padShift - bom.size();
        const QByteArray filler = bom.isEmpty() ? QByteArray(pad, 'a')
                                  : mark == 1   ? QByteArray("a\0", 2).repeated(pad / 2)
                                                : QByteArray("\0a", 2).repeated(pad / 2);
        CheckFileRoundTrip(bom + filler + bytes, ReaderPieceBytes);
    } else {
        // The pieces' first size, when there is one, is the reader's and writer's chunk.
        CheckFileRoundTrip(bom + bytes, sizes.empty() ? ReaderPieceBytes : sizes.front());
    }
    return 0;
}
