// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// fuzz_scriptfile: any bytes read as a script file and saved again give the same bytes, and the
// codec's streaming parts agree with one pass over the whole wherever the pieces are cut.
#include "scriptfile/ScriptFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{

// The reader takes a file in pieces of this size. A file padded to just short of it puts a
// piece boundary among the fuzzed bytes, inside a UTF-8 sequence or a CR LF pair when they
// fall there.
constexpr qsizetype ReaderPieceBytes = qsizetype(1) << 20;

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

/// The file read and saved again in the format it was read in holds the same bytes.
void CheckFileRoundTrip(const QByteArray &bytes)
{
    const QString source = Folder() + QStringLiteral("/source.qc");
    const QString saved = Folder() + QStringLiteral("/saved.qc");
    WriteFile(source, bytes);
    CollectingSink sink;
    const ScriptFormat format = ReadScriptFile(source, sink).format;

    const bool utf8 = QByteArrayView(bytes).isValidUtf8();
    const bool bom = utf8 && bytes.startsWith(Utf8Bom);
    Check(format.encoding == (!utf8 ? TextEncoding::Windows1252
                              : bom ? TextEncoding::Utf8WithBom
                                    : TextEncoding::Utf8),
          "the encoding is detected as Qt's validation says");
    Check(QByteArrayView(sink.text).isValidUtf8(), "the editor receives valid UTF-8");
    if (utf8)
        Check(sink.text == QByteArrayView(bytes).sliced(bom ? Utf8Bom.size() : 0),
              "UTF-8 reaches the editor unchanged, without its byte-order mark");
    LineEndCounter counter;
    counter.Feed(bytes);
    Check(format.lineEnd == counter.Dominant(), "the line end is the dominant one");

    QFile::remove(saved);
    const SavedScript written = WriteScriptFile(saved, sink.text, format);
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

    if (padded)
        CheckFileRoundTrip(QByteArray(ReaderPieceBytes - padShift, 'a') + bytes);
    else
        CheckFileRoundTrip(bytes);
    return 0;
}
