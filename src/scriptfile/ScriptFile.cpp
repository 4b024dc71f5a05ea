// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptFile: chunked reading with encoding detection, and writing in the file's own format.
#include "ScriptFile.h"

#include "FileErrors.h"
#include "FileReplacement.h"

#include <QFile>

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

constexpr qsizetype ChunkBytes = qsizetype(1) << 20;

/// Refuses what is not an ordinary file, or an ordinary file too large to open.
void CheckReadable(const QString &path, const struct stat &info)
{
    if (S_ISDIR(info.st_mode))
        FailOnFile(QStringLiteral("open"), path, SystemReason(EISDIR));
    if (!S_ISREG(info.st_mode))
        FailOnFile(QStringLiteral("open"), path, QStringLiteral("it is not an ordinary file"));
    if (info.st_size > MaxScriptFileBytes)
        FailOnFile(QStringLiteral("open"), path,
                   QStringLiteral("the file holds %1 bytes, and %2")
                       .arg(qint64(info.st_size))
                       .arg(DocumentLimitText()));
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

/// One pass over an open script file, handing its text to the sink.
class ScriptReader
{
public:
    ScriptReader(const QString &path, int fd, qint64 size, ScriptTextSink &sink)
        : path_(path), fd_(fd), size_(size), sink_(sink), buffer_(ChunkBytes, Qt::Uninitialized)
    {
    }

    /// The file's format when it is valid UTF-8 (the text already handed over), else nothing.
    std::optional<ScriptFormat> ReadAsUtf8()
    {
        Start(size_);
        Utf8Validator utf8;
        LineEndCounter lineEnds;
        bool bom = false;
        for (bool first = true;; first = false) {
            QByteArrayView chunk = NextChunk();
            if (chunk.isEmpty())
                break;
            if (first && chunk.startsWith(Utf8Bom)) {
                bom = true;
                chunk = chunk.sliced(Utf8Bom.size());
            }
            if (!utf8.Feed(chunk))
                return std::nullopt;
            lineEnds.Feed(chunk);
            Deliver(chunk);
        }
        if (!utf8.Complete())
            return std::nullopt;
        return ScriptFormat{bom ? TextEncoding::Utf8WithBom : TextEncoding::Utf8,
                            lineEnds.Dominant()};
    }

    /// Reads the file again from its start as Windows-1252.
    ScriptFormat ReadAsWindows1252()
    {
        Rewind();
        qint64 decodedSize = 0;
        for (QByteArrayView chunk = NextChunk(); !chunk.isEmpty(); chunk = NextChunk())
            decodedSize += Windows1252AsUtf8Length(chunk);
        if (decodedSize > MaxDocumentBytes)
            FailTooLargeOnceDecoded();
        Rewind();
        Start(decodedSize);
        LineEndCounter lineEnds;
        QByteArray utf8;
        for (;;) {
            const QByteArrayView chunk = NextChunk();
            if (chunk.isEmpty())
                break;
            utf8.clear();
            AppendWindows1252AsUtf8(chunk, utf8);
            lineEnds.Feed(chunk);
            Deliver(utf8);
        }
        return ScriptFormat{TextEncoding::Windows1252, lineEnds.Dominant()};
    }

private:
    void Start(qint64 expected)
    {
        delivered_ = 0;
        // One byte more than the text needs: a document whose room is filled exactly grows
        // by a sixth at the last piece, copying all of its text and styles once more.
        sink_.Restart(std::min(expected, MaxDocumentBytes) + 1);
    }

    [[noreturn]] void FailTooLargeOnceDecoded() const
    {
        FailOnFile(QStringLiteral("open"), path_,
                   QStringLiteral("its text grows past the limit once decoded, and %1")
                       .arg(DocumentLimitText()));
    }

    void Rewind()
    {
        if (::lseek(fd_, 0, SEEK_SET) != 0)
            FailOnFile(QStringLiteral("read"), path_, SystemReason(errno));
        read_ = 0;
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
        if (read_ > MaxScriptFileBytes)
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
    qint64 read_ = 0;
    qint64 delivered_ = 0;
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

void PutAsWindows1252(const QString &path, FileReplacement &file, QByteArrayView text)
{
    QByteArray bytes;
    while (!text.isEmpty()) {
        const qsizetype take = CharacterBoundaryBefore(text, ChunkBytes);
        bytes.clear();
        if (!AppendUtf8AsWindows1252(text.first(take), bytes))
            FailOnFile(QStringLiteral("save"), path,
                       QStringLiteral("the text holds a character Windows-1252 cannot store"));
        file.Write(bytes);
        text = text.sliced(take);
    }
}

} // namespace

QString DocumentLimitText()
{
    return QStringLiteral("a document holds at most %1 bytes of text").arg(MaxDocumentBytes);
}

LoadedScript ReadScriptFile(const QString &path, ScriptTextSink &sink)
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
    ScriptReader reader(path, file.get(), info.st_size, sink);
    if (const std::optional<ScriptFormat> utf8 = reader.ReadAsUtf8())
        return LoadedScript{*utf8, identity};
    return LoadedScript{reader.ReadAsWindows1252(), identity};
}

SavedScript WriteScriptFile(const QString &path, QByteArrayView text, ScriptFormat format)
{
    SavedScript saved{format, 0, {}};
    if (format.encoding == TextEncoding::Windows1252) {
        saved.unencodable = FirstCharacterOutsideWindows1252(text);
        if (saved.unencodable != 0)
            saved.format.encoding = TextEncoding::Utf8;
    }
    const std::optional<struct stat> existing = ExistingTarget(path);
    FileReplacement file(path, existing ? &*existing : nullptr);
    if (saved.format.encoding == TextEncoding::Windows1252) {
        PutAsWindows1252(path, file, text);
    } else {
        if (saved.format.encoding == TextEncoding::Utf8WithBom)
            file.Write(Utf8Bom);
        file.Write(text);
    }
    saved.identity = file.Commit();
    return saved;
}
