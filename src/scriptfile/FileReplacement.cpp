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

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace
{

constexpr int MaxLinksFollowed = 40;
constexpr int NameAttempts = 100;

[[noreturn]] void FailToSave(const QString &path, const QString &reason)
{
    FailOnFile(QStringLiteral("save"), path, reason);
}

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

/// A name for a temporary file of the file `name`: its leftover prefix and six random letters.
QByteArray TemporaryName(QByteArrayView name)
{
    static constexpr char letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray temporary = SaveLeftoverPrefix(name);
    for (int i = 0; i < 6; ++i)
        temporary += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return temporary;
}

/// True when `error` from an O_TMPFILE open means only that this file system or kernel cannot
/// make unnamed files.
bool UnnamedFilesUnsupported(int error)
{
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

/// Unnamed files are given a name through /proc, which a chroot may lack.
bool CanNameUnnamedFiles()
{
    return ::access("/proc/self/fd", X_OK) == 0;
}

} // namespace

QByteArray SaveLeftoverPrefix(QByteArrayView fileName)
{
    const QByteArray digest = QCryptographicHash::hash(fileName, QCryptographicHash::Sha256);
    return ".quillmark-save-" + digest.first(8).toHex() + '-';
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
    const QByteArray target = FollowLinks(path_, QFile::encodeName(path_));
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder =
        slash < 0 ? QByteArray(".") : target.first(std::max<qsizetype>(slash, 1));
    name_ = target.sliced(slash + 1);
    folder_ = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0)
        Fail(SystemReason(errno));
    // A new file gets the usual permissions less the umask; a replacement starts private and
    // then takes the old file's exact mode bits.
    const mode_t mode = existing ? 0600 : 0666;
    file_ = ::openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (file_ >= 0 && !CanNameUnnamedFiles()) {
        ::close(file_);
        file_ = -1;
        errno = EOPNOTSUPP;
    }
    if (file_ < 0 && UnnamedFilesUnsupported(errno))
        OpenNamed(mode);
    if (file_ < 0)
        Fail(SystemReason(errno));
    if (existing)
        KeepModeAndOwner(*existing);
}

void FileReplacement::Discard()
{
    if (!temporaryName_.isEmpty())
        ::unlinkat(folder_, temporaryName_.constData(), 0);
    if (file_ >= 0)
        ::close(file_);
    if (folder_ >= 0)
        ::close(folder_);
    temporaryName_.clear();
    file_ = folder_ = -1;
}

void FileReplacement::OpenNamed(mode_t mode)
{
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const QByteArray name = TemporaryName(name_);
        file_ = ::openat(folder_, name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
        if (file_ >= 0) {
            temporaryName_ = name;
            return;
        }
        if (errno != EEXIST)
            return;
    }
}

void FileReplacement::KeepModeAndOwner(const struct stat &existing)
{
    struct stat fresh {
    };
    if (::fstat(file_, &fresh) == 0 &&
        (fresh.st_uid != existing.st_uid || fresh.st_gid != existing.st_gid)) {
        // Only the superuser may hand a file to another owner; anyone else's save owns the
        // new file, as with every save that replaces a file.
        [[maybe_unused]] const int ignored = ::fchown(file_, existing.st_uid, existing.st_gid);
    }
    if (::fchmod(file_, existing.st_mode & 07777) != 0)
        Fail(SystemReason(errno));
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
    if (temporaryName_.isEmpty())
        LinkUnnamed();
    if (::renameat(folder_, temporaryName_.constData(), folder_, name_.constData()) != 0)
        Fail(SystemReason(errno));
    temporaryName_.clear();
    SyncFolderAndRemoveLeftovers();
    return IdentityOf(status);
}

// Linking cannot replace a file, so the unnamed file gets a temporary name for the moment
// before the rename; a save killed in that moment leaves a file the next save removes.
void FileReplacement::LinkUnnamed()
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(file_);
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const QByteArray name = TemporaryName(name_);
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

// The synced folder keeps the rename itself through a power failure. Both steps are best
// effort: the new file is already in place, and a folder that cannot be listed keeps leftovers.
void FileReplacement::SyncFolderAndRemoveLeftovers()
{
    const int listing = ::openat(folder_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return;
    ::fsync(listing);
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

void FileReplacement::Fail(const QString &reason) const
{
    FailToSave(path_, reason);
}
