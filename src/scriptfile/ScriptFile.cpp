// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptFile: chunked reading with encoding detection, and writing in the file's own format.
#include "ScriptFile.h"

#include "FileErrors.h"
#include "FileReplacement.h"
#include "Utf16Codec.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

[[noreturn]] void FailTooLarge(const QString &path, qint64 size)
{
    FailOnFile(
        QStringLiteral("open"), path,
        QStringLiteral("the file holds %1 bytes, and %2").arg(size).arg(DocumentLimitText()));
}

/// Refuses what is not an ordinary file, or an ordinary file too large to open in any encoding.
void CheckReadable(const QString &path, const struct stat &info)
{
    if (S_ISDIR(info.st_mode))
        FailOnFile(QStringLiteral("open"), path, SystemReason(EISDIR));
    if (!S_ISREG(info.st_mode))
        FailOnFile(QStringLiteral("open"), path, QStringLiteral("it is not an ordinary file"));
    if (info.st_size > std::max(MaxScriptFileBytes, MaxUtf16ScriptFileBytes))
        FailTooLarge(path, info.st_size);
}

/// An open file descriptor, closed when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

/// The passes over an open script file that find its encoding and hand its text to the sink.
class ScriptReader
{
public:
    ScriptReader(const QString &path, int fd, qint64 size, ScriptTextSink &sink,
                 qsizetype chunkBytes)
        : path_(path), fd_(fd), size_(size), sink_(sink),
          buffer_(std::max<qsizetype>(chunkBytes, 1), Qt::Uninitialized)
    {
    }

    /// The file's format, its text handed over. A byte-order mark decides the encoding; without
    /// one a file is UTF-8 when it is valid UTF-8, otherwise Windows-1252.
    ScriptFormat Read()
    {
        const QByteArray start = FirstBytes();
        if (start.startsWith(Utf16LeBom))
            return ReadAsUtf16(false);
        if (start.startsWith(Utf16BeBom))
            return ReadAsUtf16(true);
        LimitTo(MaxScriptFileBytes);
        if (const std::optional<ScriptFormat> utf8 = ReadAsUtf8(start.startsWith(Utf8Bom)))
            return *utf8;
        return ReadAsWindows1252();
    }

    /// The longest line of the text handed over, in UTF-8 bytes, its line end left out.
    qint64 LongestLine() const { return longestLine_; }

private:
    /// The file's format when it is valid UTF-8 (the text already handed over), else nothing.
    std::optional<ScriptFormat> ReadAsUtf8(bool bom)
    {
        const qint64 skipped = bom ? Utf8Bom.size() : 0;
        Rewind(skipped);
        Start(size_ - skipped);
        Utf8Validator utf8;
        LineEndCounter lineEnds;
        for (QByteArrayView chunk = NextChunk(); !chunk.isEmpty(); chunk = NextChunk()) {
            if (!utf8.Feed(chunk))
                return std::nullopt;
            lineEnds.Feed(chunk);
            Deliver(chunk);
        }
        if (!utf8.Complete())
            return std::nullopt;
        longestLine_ = lineEnds.LongestLine();
        return ScriptFormat{bom ? TextEncoding::Utf8WithBom : TextEncoding::Utf8,
                            lineEnds.Dominant()};
    }

    /// Reads the file again from its start as Windows-1252.
    ScriptFormat ReadAsWindows1252()
    {
        Rewind(0);
        qint64 decodedSize = 0;
        for (QByteArrayView chunk = NextChunk(); !chunk.isEmpty(); chunk = NextChunk())
            decodedSize += Windows1252AsUtf8Length(chunk);
        if (decodedSize > MaxDocumentBytes)
            FailTooLargeOnceDecoded();
        Rewind(0);
        Start(decodedSize);
        LineEndCounter lineEnds;
        QByteArray utf8;
        for (QByteArrayView chunk = NextChunk(); !chunk.isEmpty(); chunk = NextChunk()) {
            utf8.clear();
            AppendWindows1252AsUtf8(chunk, utf8);
            lineEnds.Feed(utf8);
            Deliver(utf8);
        }
        longestLine_ = lineEnds.LongestLine();
        return ScriptFormat{TextEncoding::Windows1252, lineEnds.Dominant()};
    }

    /// Reads the UTF-16 after the byte-order mark: once to check it and measure its UTF-8, so
    /// broken UTF-16 is refused before any text is handed over, then to hand the text over. The
    /// line ends are counted in the UTF-8, where a CR or LF byte is always that character.
    ScriptFormat ReadAsUtf16(bool bigEndian)
    {
        LimitTo(MaxUtf16ScriptFileBytes);
        Utf16Decoder check(bigEndian);
        Rewind(Utf16LeBom.size());
        for (QByteArrayView chunk = NextChunk(); !chunk.isEmpty() && check.Feed(chunk, nullptr);
             chunk = NextChunk()) {
        }
        if (!check.Finish())
            FailOnBrokenUtf16(check, bigEndian);
        if (check.DecodedBytes() > MaxDocumentBytes)
            FailTooLargeOnceDecoded();
        Rewind(Utf16LeBom.size());
        Start(check.DecodedBytes());
        Utf16Decoder decoder(bigEndian);
        LineEndCounter lineEnds;
        QByteArray utf8;
        for (QByteArrayView chunk = NextChunk(); !chunk.isEmpty(); chunk = NextChunk()) {
            utf8.clear();
            if (!decoder.Feed(chunk, &utf8))
                break;
            lineEnds.Feed(utf8);
            Deliver(utf8);
        }
        // The file changed between the passes.
        if (!decoder.Finish())
            FailOnBrokenUtf16(decoder, bigEndian);
        longestLine_ = lineEnds.LongestLine();
        return ScriptFormat{bigEndian ? TextEncoding::Utf16Be : TextEncoding::Utf16Le,
                            lineEnds.Dominant()};
    }

    [[noreturn]] void FailOnBrokenUtf16(const Utf16Decoder &decoder, bool bigEndian) const
    {
        const QString reason = decoder.FoundFault() == Utf16Decoder::Fault::OddLength
                                   ? QStringLiteral("its length, %1 bytes, is odd")
                                         .arg(decoder.FaultOffset() + Utf16LeBom.size() + 1)
                                   : QStringLiteral("holds an unpaired surrogate (%1) at byte %2")
                                         .arg(QString::number(decoder.FaultUnit(), 16).toUpper())
                                         .arg(decoder.FaultOffset() + Utf16LeBom.size());
        FailOnFile(QStringLiteral("open"), path_,
                   QStringLiteral("it is %1 by its byte-order mark, but %2")
                       .arg(EncodingName(bigEndian ? TextEncoding::Utf16Be : TextEncoding::Utf16Le),
                            reason));
    }

    void Start(qint64 expected)
    {
        delivered_ = 0;
        // One byte more than the text needs: a document whose room is filled exactly grows
        // by a sixth at the last piece, copying all of its text and styles once more.
        sink_.Restart(std::min(expected, MaxDocumentBytes) + 1);
    }

    /// Refuses a file larger than the encoding found allows.
    void LimitTo(qint64 limit)
    {
        limit_ = limit;
        if (size_ > limit_)
            FailTooLarge(path_, size_);
    }

    [[noreturn]] void FailTooLargeOnceDecoded() const
    {
        FailOnFile(QStringLiteral("open"), path_,
                   QStringLiteral("its text grows past the limit once decoded, and %1")
                       .arg(DocumentLimitText()));
    }

    /// Up to three bytes from the file's start, where a byte-order mark would be.
    QByteArray FirstBytes()
    {
        QByteArray start(Utf8Bom.size(), '\0');
        qsizetype got = 0;
        while (got < start.size()) {
            const ssize_t read = ::pread(fd_, start.data() + got, start.size() - got, got);
            if (read < 0 && errno == EINTR)
                continue;
            if (read < 0)
                FailOnFile(QStringLiteral("read"), path_, SystemReason(errno));
            if (read == 0)
                break;
            got += read;
        }
        start.truncate(got);
        return start;
    }

    void Rewind(qint64 offset)
    {
        if (::lseek(fd_, offset, SEEK_SET) != offset)
            FailOnFile(QStringLiteral("read"), path_, SystemReason(errno));
        read_ = offset;
    }

    /// The next chunk of the file, full unless the file ends in it; empty at the end.
    QByteArrayView NextChunk()
    {
        qsizetype filled = 0;
        while (filled < buffer_.size()) {
            const ssize_t got = ::read(fd_, buffer_.data() + filled, buffer_.size() - filled);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                FailOnFile(QStringLiteral("read"), path_, SystemReason(errno));
            if (got == 0)
                break;
            filled += got;
        }
        read_ += filled;
        // A file cut short under the reader would open as part of itself.
        if (filled < buffer_.size() && read_ < size_)
            FailOnFile(QStringLiteral("read"), path_,
                       QStringLiteral("the file became shorter while it was read, from %1 to %2 "
                                      "bytes")
                           .arg(size_)
                           .arg(read_));
        if (read_ > limit_)
            FailOnFile(
                QStringLiteral("open"), path_,
                QStringLiteral("the file grew while it was read, and %1").arg(DocumentLimitText()));
        return QByteArrayView(buffer_.constData(), filled);
    }

    void Deliver(QByteArrayView utf8)
    {
        delivered_ += utf8.size();
        if (delivered_ > MaxDocumentBytes)
            FailTooLargeOnceDecoded();
        sink_.Append(utf8);
    }

    const QString &path_;
    int fd_;
    qint64 size_;
    ScriptTextSink &sink_;
    QByteArray buffer_;
    qint64 limit_ = MaxScriptFileBytes;
    qint64 read_ = 0;
    qint64 delivered_ = 0;
    qint64 longestLine_ = 0;
};

/// The target's status when it exists; refuses a target that is not an ordinary file, so a
/// folder, a FIFO or a device is never replaced by a plain file.
std::optional<struct stat> ExistingTarget(const QString &path)
{
    struct stat info {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        if (errno == ENOENT)
            return std::nullopt;
        FailOnFile(QStringLiteral("save"), path, SystemReason(errno));
    }
    if (S_ISDIR(info.st_mode))
        FailOnFile(QStringLiteral("save"), path, SystemReason(EISDIR));
    if (!S_ISREG(info.st_mode))
        FailOnFile(QStringLiteral("save"), path, QStringLiteral("it is not an ordinary file"));
    return info;
}

/// The first piece of the UTF-8 `text`, at most `chunkBytes` long unless its first character is
/// longer, ending on a character boundary.
QByteArrayView FirstPiece(QByteArrayView text, qsizetype chunkBytes)
{
    return text.first(CharacterBoundaryBefore(text, std::max<qsizetype>(chunkBytes, 4)));
}

void PutAsWindows1252(const QString &path, FileReplacement &file, QByteArrayView text,
                      qsizetype chunkBytes)
{
    QByteArray bytes;
    while (!text.isEmpty()) {
        const QByteArrayView piece = FirstPiece(text, chunkBytes);
        bytes.clear();
        if (!AppendUtf8AsWindows1252(piece, bytes))
            FailOnFile(QStringLiteral("save"), path,
                       QStringLiteral("the text holds a character Windows-1252 cannot store"));
        file.Write(bytes);
        text = text.sliced(piece.size());
    }
}

void PutAsUtf16(const QString &path, FileReplacement &file, QByteArrayView text, bool bigEndian,
                qsizetype chunkBytes)
{
    file.Write(bigEndian ? Utf16BeBom : Utf16LeBom);
    QByteArray bytes;
    while (!text.isEmpty()) {
        const QByteArrayView piece = FirstPiece(text, chunkBytes);
        bytes.clear();
        if (!AppendUtf8AsUtf16(piece, bigEndian, bytes))
            FailOnFile(QStringLiteral("save"), path,
                       QStringLiteral("the text holds bytes that are no character, which UTF-16 "
                                      "cannot store"));
        file.Write(bytes);
        text = text.sliced(piece.size());
    }
}

} // namespace

QString DocumentLimitText()
{
    return QStringLiteral("a document holds at most %1 bytes of text").arg(MaxDocumentBytes);
}

LoadedScript ReadScriptFile(const QString &path, ScriptTextSink &sink, qsizetype chunkBytes)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info {
    };
    if (::stat(native.constData(), &info) != 0)
        FailOnFile(QStringLiteral("open"), path, SystemReason(errno));
    CheckReadable(path, info);
    // Non-blocking, so that a FIFO put in the file's place meanwhile cannot hang the open; the
    // check below then refuses it unread.
    const Descriptor file(::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0)
        FailOnFile(QStringLiteral("open"), path, SystemReason(errno));
    if (::fstat(file.get(), &info) != 0)
        FailOnFile(QStringLiteral("open"), path, SystemReason(errno));
    CheckReadable(path, info);

    const FileIdentity identity = IdentityOf(info);
    sink.Opened(identity);
    ScriptReader reader(path, file.get(), info.st_size, sink, chunkBytes);
    const ScriptFormat format = reader.Read();
    return LoadedScript{format, identity, reader.LongestLine()};
}

SavedScript WriteScriptFile(const QString &path, QByteArrayView text, ScriptFormat format,
                            qsizetype chunkBytes)
{
    SavedScript saved{format, 0, {}};
    if (IsCodePage(format.encoding)) {
        saved.unencodable = FirstCharacterOutsideWindows1252(text);
        if (saved.unencodable != 0)
            saved.format.encoding = TextEncoding::Utf8;
    }
    const std::optional<struct stat> existing = ExistingTarget(path);
    FileReplacement file(path, existing ? &*existing : nullptr);
    switch (saved.format.encoding) {
    case TextEncoding::Windows1252:
        PutAsWindows1252(path, file, text, chunkBytes);
        break;
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
        PutAsUtf16(path, file, text, saved.format.encoding == TextEncoding::Utf16Be, chunkBytes);
        break;
    case TextEncoding::Utf8WithBom:
        file.Write(Utf8Bom);
        file.Write(text);
        break;
    case TextEncoding::Utf8:
        file.Write(text);
        break;
    }
    saved.identity = file.Commit();
    return saved;
}
