// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FileReplacement: atomic replacement through an unnamed temporary file linked just before the
// rename, or a short named one where the file system cannot make unnamed files.
//
// QSaveFile names its temporary file after the target plus a suffix, which passes the 255-byte
// name limit for long names, and leaves that file behind when the program is killed while
// writing; neither can be changed from outside it, so the few steps are done here directly.
#include "FileReplacement.h"

#include "FileErrors.h"
#include "FileReplacementSteps.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <tuple>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace
{

constexpr int MaxLinksFollowed = 40;

/// The file `native` names once symbolic links are followed. A link to nothing gives the path it
/// points at, where the save then creates the file.
QByteArray FollowLinks(const QString &path, QByteArray native)
{
    for (int followed = 0; followed < MaxLinksFollowed; ++followed) {
        struct stat status {
        };
        if (::lstat(native.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
            return native;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(native.constData(), target, sizeof target);
        if (length < 0)
            FailToSave(path, SystemReason(errno));
        if (length == ssize_t(sizeof target))
            FailToSave(path, SystemReason(ENAMETOOLONG));
        const QByteArray pointed(target, length);
        const qsizetype slash = native.lastIndexOf('/');
        native = pointed.startsWith('/') || slash < 0 ? pointed : native.first(slash + 1) + pointed;
    }
    FailToSave(path, SystemReason(ELOOP));
}

/// The file a save of `path` writes: links followed unless a SaveNameItself covers it.
QByteArray SavedFile(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    return SaveNameItself::Covers(path) ? native : FollowLinks(path, native);
}

/// The folder part of `file` ("." for a bare name) and the name in it.
std::pair<QByteArray, QByteArray> FolderAndName(const QByteArray &file)
{
    const qsizetype slash = file.lastIndexOf('/');
    return {slash < 0 ? QByteArray(".") : file.first(std::max<qsizetype>(slash, 1)),
            file.sliced(slash + 1)};
}

/// True when `error` from an O_TMPFILE open means only that this file system or kernel cannot
/// make unnamed files.
bool UnnamedFilesUnsupported(int error)
{
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

const SaveNameItself *innermostNameItself = nullptr;

} // namespace

QByteArray SaveLeftoverPrefix(QByteArrayView fileName)
{
    const QByteArray digest = QCryptographicHash::hash(fileName, QCryptographicHash::Sha256);
    return ".quillmark-save-" + digest.first(8).toHex() + '-';
}

QByteArray SaveBackupPrefix(QByteArrayView fileName)
{
    const QByteArray digest = QCryptographicHash::hash(fileName, QCryptographicHash::Sha256);
    return ".quillmark-backup-" + digest.first(8).toHex() + '-';
}

QStringList LeftoverBackups(const QString &path)
{
    try {
        const auto [folder, name] = FolderAndName(SavedFile(path));
        const QDir dir(QFile::decodeName(folder));
        QStringList backups;
        const QString prefix = QString::fromLatin1(SaveBackupPrefix(name));
        for (const QString &entry :
             dir.entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System))
            backups << dir.filePath(entry);
        return backups;
    } catch (const EditorError &) {
        return {};
    }
}

SaveNameItself::SaveNameItself(const QString &path) : path_(path), outer_(innermostNameItself)
{
    innermostNameItself = this;
}

SaveNameItself::~SaveNameItself()
{
    innermostNameItself = outer_;
}

bool SaveNameItself::Covers(const QString &path)
{
    for (const SaveNameItself *scope = innermostNameItself; scope; scope = scope->outer_) {
        if (scope->path_ == path)
            return true;
    }
    return false;
}

FileReplacement::FileReplacement(const QString &path, const struct stat *existing) : path_(path)
{
    try {
        Open(existing);
    } catch (...) {
        Discard();
        throw;
    }
}

FileReplacement::~FileReplacement()
{
    Discard();
}

void FileReplacement::Open(const struct stat *existing)
{
    const QByteArray target = SavedFile(path_);
    nameIsLink_ = target != QFile::encodeName(path_);
    std::tie(folderPath_, name_) = FolderAndName(target);
    folder_ = ::open(folderPath_.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0)
        Fail(SystemReason(errno));
    if (!OpenOriginal(existing)) {
        // A new file gets the usual permissions less the umask, or what the folder's default
        // ACL gives it.
        OpenTemporary(0666);
        return;
    }
    // A replacement starts private and then takes what the old file was; a file with other
    // names, or one whose owner, group or attributes the saver cannot give a new file, is
    // written in place.
    if (originalStatus_.st_nlink == 1) {
        OpenTemporary(0600);
        if (TakeOverMetadata(OriginalPath(), originalStatus_, file_))
            return;
        ::close(file_);
        file_ = -1;
        if (!temporaryName_.isEmpty())
            ::unlinkat(folder_, temporaryName_.constData(), 0);
        temporaryName_.clear();
    }
    OpenInPlace();
}

// The file is opened as it is at the name now, without following a link there, so what the new
// file keeps comes from the very file it replaces.
bool FileReplacement::OpenOriginal(const struct stat *existing)
{
    if (!existing)
        return false;
    original_ = ::openat(folder_, name_.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (original_ < 0 && errno == ENOENT)
        return false;
    if (original_ < 0 || ::fstat(original_, &originalStatus_) != 0)
        Fail(SystemReason(errno));
    if (S_ISLNK(originalStatus_.st_mode) && SaveNameItself::Covers(path_)) {
        // The link is replaced as a new file would be; what it points at keeps its own.
        ::close(original_);
        original_ = -1;
        return false;
    }
    if (!S_ISREG(originalStatus_.st_mode) || originalStatus_.st_dev != existing->st_dev ||
        originalStatus_.st_ino != existing->st_ino)
        Fail(QStringLiteral("another program put something else in its place while it was saved"));
    return true;
}

void FileReplacement::OpenTemporary(mode_t mode)
{
    file_ = ::openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (file_ >= 0 && !CanReachOpenFiles()) {
        ::close(file_);
        file_ = -1;
        errno = EOPNOTSUPP;
    }
    if (file_ < 0 && UnnamedFilesUnsupported(errno))
        OpenNamed(mode);
    if (file_ < 0)
        Fail(SystemReason(errno));
}

void FileReplacement::Discard()
{
    if (overwriting_ && !PutBackOldBytes()) {
        // The backup holds the only whole copy of the old bytes now: it stays.
        backup_->Keep();
    }
    backup_.reset();
    if (!temporaryName_.isEmpty())
        ::unlinkat(folder_, temporaryName_.constData(), 0);
    for (int *fd : {&file_, &original_, &folder_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    temporaryName_.clear();
}

void FileReplacement::OpenNamed(mode_t mode)
{
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const QByteArray name = WithRandomEnd(SaveLeftoverPrefix(name_));
        file_ = ::openat(folder_, name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
        if (file_ >= 0) {
            temporaryName_ = name;
            return;
        }
        if (errno != EEXIST)
            return;
    }
}

// A write the system cuts short (a full disk, a file-size limit) is retried with the rest, so
// the call that fails reports the system's reason.
void FileReplacement::Write(QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const ssize_t written = ::write(file_, bytes.data(), size_t(bytes.size()));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            Fail(SystemReason(errno));
        if (written == 0)
            Fail(SystemReason(EIO));
        written_ += written;
        bytes = bytes.sliced(written);
    }
}

FileIdentity FileReplacement::Commit()
{
    struct stat status {
    };
    if (::fsync(file_) != 0 || ::fstat(file_, &status) != 0)
        Fail(SystemReason(errno));
    if (status.st_size != written_)
        Fail(QStringLiteral("only %1 of %2 bytes could be written")
                 .arg(status.st_size)
                 .arg(written_));
    if (inPlace_) {
        overwriting_ = false;
        backup_.reset();
    } else {
        if (temporaryName_.isEmpty())
            LinkUnnamed();
        if (::renameat(folder_, temporaryName_.constData(), folder_, name_.constData()) != 0)
            Fail(SystemReason(errno));
        temporaryName_.clear();
    }
    // The synced folder keeps the rename itself through a power failure. Both steps are best
    // effort: the new file is already in place, and a folder that cannot be listed keeps
    // leftovers.
    SyncFolder(folder_);
    RemoveLeftovers();
    return IdentityOf(status, nameIsLink_);
}

// Linking cannot replace a file, so the unnamed file gets a temporary name for the moment
// before the rename; a save killed in that moment leaves a file the next save removes.
void FileReplacement::LinkUnnamed()
{
    const QByteArray self = OpenFilePath(file_);
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const QByteArray name = WithRandomEnd(SaveLeftoverPrefix(name_));
        if (::linkat(AT_FDCWD, self.constData(), folder_, name.constData(), AT_SYMLINK_FOLLOW) ==
            0) {
            temporaryName_ = name;
            return;
        }
        if (errno != EEXIST)
            Fail(SystemReason(errno));
    }
    Fail(SystemReason(EEXIST));
}

void FileReplacement::RemoveLeftovers() const
{
    const int listing = ::openat(folder_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return;
    DIR *entries = ::fdopendir(listing);
    if (!entries) {
        ::close(listing);
        return;
    }
    const QByteArray prefix = SaveLeftoverPrefix(name_);
    while (const dirent *entry = ::readdir(entries)) {
        if (QByteArrayView(entry->d_name).startsWith(prefix))
            ::unlinkat(folder_, entry->d_name, 0);
    }
    ::closedir(entries);
}

QByteArray FileReplacement::OriginalPath() const
{
    return CanReachOpenFiles() ? OpenFilePath(original_) : folderPath_ + '/' + name_;
}

// A file written in place keeps its inode and with it everything it was; its old bytes are in a
// synced backup before it is touched.
void FileReplacement::OpenInPlace()
{
    inPlace_ = true;
    // Through /proc the very file opened at the start is opened again, for writing.
    file_ = CanReachOpenFiles()
                ? ::open(OriginalPath().constData(), O_RDWR | O_CLOEXEC | O_NOCTTY)
                : ::openat(folder_, name_.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
    struct stat opened {
    };
    if (file_ < 0 || ::fstat(file_, &opened) != 0)
        Fail(SystemReason(errno));
    if (opened.st_dev != originalStatus_.st_dev || opened.st_ino != originalStatus_.st_ino)
        Fail(QStringLiteral("another program put something else in its place while it was saved"));
    if (!backup_.emplace().Make(folder_, SaveBackupPrefix(name_), file_))
        Fail(SystemReason(errno));
    overwriting_ = true;
    if (::ftruncate(file_, 0) != 0)
        Fail(SystemReason(errno));
}

bool FileReplacement::PutBackOldBytes()
{
    if (!backup_->PutBack(file_))
        return false;
    overwriting_ = false;
    return true;
}

void FileReplacement::Fail(const QString &reason)
{
    if (overwriting_ && !PutBackOldBytes()) {
        overwriting_ = false;
        const QString kept = QFile::decodeName(folderPath_ + '/' + backup_->Keep());
        FailToSave(path_, QStringLiteral("%1; its old content could not be put back and is kept "
                                         "in \"%2\"")
                              .arg(reason, QDir::toNativeSeparators(kept)));
    }
    FailToSave(path_, reason);
}
