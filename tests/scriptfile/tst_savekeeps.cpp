// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What a save keeps of the file it writes: owner, group, mode, ACLs, extended attributes and hard
// links, for the superuser and for another user; and a save that fails keeps the old bytes.
#include "scriptfile/ScriptFile.h"
#include "support/FileBytes.h"
#include "support/TestMain.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace
{

// Users and groups the test gives files to and saves as; none needs to exist by name.
constexpr uid_t Tester = 60001, Other = 60002;
constexpr gid_t Shared = 60100, Foreign = 60200;

QByteArray Native(const QString &path)
{
    return QFile::encodeName(path);
}

/// Saves `bytes` over `path` in a child process: as root, or as Tester (in the group Shared)
/// when `asTester`, its files limited to `sizeLimit` bytes when that is not 0. Returns the
/// save's error, or "" when it succeeded.
QString SaveInChild(const QString &path, const QByteArray &bytes, bool asTester,
                    rlim_t sizeLimit = 0)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return QStringLiteral("<no pipe>");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{sizeLimit, sizeLimit};
        const gid_t groups[] = {Shared};
        QByteArray report = "<could not become the tester>";
        if ((sizeLimit == 0 || ::setrlimit(RLIMIT_FSIZE, &limit) == 0) &&
            (!asTester ||
             (::setgroups(1, groups) == 0 && ::setresgid(Tester, Tester, Tester) == 0 &&
              ::setresuid(Tester, Tester, Tester) == 0))) {
            try {
                WriteScriptFile(path, bytes, ScriptFormat{TextEncoding::Utf8, LineEnd::Lf});
                report.clear();
            } catch (const std::exception &error) {
                report = error.what();
            }
        }
        [[maybe_unused]] const ssize_t sent = ::write(channel[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    QByteArray report;
    char buffer[4096];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, got);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? QString::fromUtf8(report) : QStringLiteral("<child died>");
}

/// Owner, group, permission bits and link count, as "60002:60100 660 1".
QString Status(const QString &path)
{
    struct stat info {
    };
    if (::lstat(Native(path).constData(), &info) != 0)
        return QStringLiteral("<missing>");
    return QStringLiteral("%1:%2 %3 %4")
        .arg(info.st_uid)
        .arg(info.st_gid)
        .arg(info.st_mode & 07777, 0, 8)
        .arg(info.st_nlink);
}

/// Every extended attribute of the file, ACLs included, as sorted "name=hex value" lines.
QStringList Attributes(const QString &path)
{
    char names[4096];
    const ssize_t length = ::llistxattr(Native(path).constData(), names, sizeof names);
    QStringList attributes;
    for (const QByteArray &name : QByteArray(names, std::max<ssize_t>(length, 0)).split('\0')) {
        if (name.isEmpty())
            continue;
        char value[4096];
        const ssize_t size = ::lgetxattr(Native(path).constData(), name, value, sizeof value);
        attributes << QString::fromLatin1(name + '=' + QByteArray(value, size).toHex());
    }
    attributes.sort();
    return attributes;
}

/// Runs one setup step on `file` in the folder `root`: "acl ENTRIES" and "folder-acl ENTRIES"
/// through setfacl, "xattr NAME=VALUE", "link" (a hard link "twin.qc"). Empty when it worked.
QString SetUp(const QString &step, const QString &root, const QString &file)
{
    const QString argument = step.section(QLatin1Char(' '), 1);
    if (step.startsWith(QLatin1String("acl ")) || step.startsWith(QLatin1String("folder-acl "))) {
        QProcess setfacl;
        setfacl.start(QStringLiteral("setfacl"),
                      {QStringLiteral("-m"), argument, step.startsWith('a') ? file : root});
        setfacl.waitForFinished();
        return setfacl.exitCode() == 0 ? QString()
                                       : QString::fromLocal8Bit(setfacl.readAllStandardError());
    }
    if (step.startsWith(QLatin1String("xattr "))) {
        const QByteArray name = argument.section(QLatin1Char('='), 0, 0).toLatin1();
        const QByteArray value = argument.section(QLatin1Char('='), 1).toLatin1();
        return ::setxattr(Native(file).constData(), name, value.data(), value.size(), 0) == 0
                   ? QString()
                   : QString::fromLocal8Bit(std::strerror(errno));
    }
    return ::link(Native(file).constData(), Native(root + "/twin.qc").constData()) == 0
               ? QString()
               : QString::fromLocal8Bit(std::strerror(errno));
}

/// Why the saves here cannot be tested, or "" when they can.
QString Unsupported(const QString &root)
{
    if (::geteuid() != 0)
        return QStringLiteral("only the superuser can give files to other users and save as one");
    if (QStandardPaths::findExecutable(QStringLiteral("setfacl")).isEmpty())
        return QStringLiteral("setfacl is missing; scripts/setup.sh installs it");
    const QByteArray probe = Native(root + "/probe");
    WriteBytes(QString::fromLocal8Bit(probe), "probe");
    const bool kept = ::setxattr(probe, "user.probe", "1", 1, 0) == 0;
    ::unlink(probe);
    return kept ? QString()
                : QStringLiteral("the temporary folder's file system keeps no user attributes");
}

} // namespace

class SaveKeepsTest : public QObject
{
    Q_OBJECT

private slots:
    void saveKeepsWhatTheFileWas_data()
    {
        QTest::addColumn<bool>("asTester");
        QTest::addColumn<uint>("owner");
        QTest::addColumn<uint>("group");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("another user's file shared with the saver's group")
            << true << uint(Other) << uint(Shared) << 0660 << QStringList();
        QTest::newRow("own file of a group the saver is not in")
            << true << uint(Tester) << uint(Foreign) << 0640 << QStringList();
        QTest::newRow("ACL whose mask is wider than the group's bits")
            << false << uint(Other) << uint(Shared) << 0640
            << QStringList{"acl u:60003:rw-,g::r--"};
        QTest::newRow("user and security attributes")
            << false << uint(Other) << uint(Shared) << 0644
            << QStringList{"xattr user.origin=server", "xattr security.quillmark=label"};
        QTest::newRow("security attribute the saver may not set")
            << true << uint(Tester) << uint(Tester) << 0644
            << QStringList{"xattr security.quillmark=label"};
        QTest::newRow("hard link")
            << false << uint(Other) << uint(Shared) << 0644 << QStringList{"link"};
        QTest::newRow("file without the ACL its folder gives new files")
            << false << uint(Other) << uint(Shared) << 0644
            << QStringList{"folder-acl d:u:60003:rwx"};
    }

    void saveKeepsWhatTheFileWas()
    {
        QFETCH(bool, asTester);
        QFETCH(uint, owner);
        QFETCH(uint, group);
        QFETCH(int, mode);
        QFETCH(QStringList, steps);
        QTemporaryDir dir;
        const QString root = dir.path(), path = root + "/script.qc";
        if (const QString reason = Unsupported(root); !reason.isEmpty())
            QSKIP(qPrintable(reason));
        QCOMPARE(::chmod(Native(root).constData(), 0777), 0);
        WriteBytes(path, "old\n");
        QCOMPARE(::chown(Native(path).constData(), owner, group), 0);
        QCOMPARE(::chmod(Native(path).constData(), mode), 0);
        for (const QString &step : steps) {
            const QString failure = SetUp(step, root, path);
            if (failure.contains(QLatin1String("not supported")))
                QSKIP(qPrintable(QStringLiteral("the temporary folder's file system refuses %1: %2")
                                     .arg(step, failure)));
            QCOMPARE(failure, QString());
        }
        const QString status = Status(path);
        const QStringList attributes = Attributes(path);
        const QStringList entries =
            QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        QCOMPARE(SaveInChild(path, "new\n", asTester), QString());
        QCOMPARE(ReadBytes(path), QByteArray("new\n"));
        QCOMPARE(Status(path), status);
        QCOMPARE(Attributes(path), attributes);
        QCOMPARE(QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 entries);
        if (entries.contains(QStringLiteral("twin.qc")))
            QCOMPARE(ReadBytes(root + "/twin.qc"), QByteArray("new\n"));
    }

    void failedSaveInPlaceKeepsTheOldBytes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("sizeLimit");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("reason");
        const QStringList alone{"script.qc"}, linked{"script.qc", "twin.qc"};
        QTest::newRow("the new bytes pass the file size limit")
            << 0660 << 0777 << (128 << 10) << alone << "File too large";
        // Hard-linked, so that no temporary file is tried first.
        QTest::newRow("no backup can be made beside it")
            << 0660 << 0555 << 0 << linked << "Permission denied";
        QTest::newRow("the saver may only read it")
            << 0640 << 0777 << 0 << alone << "Permission denied";
    }

    void failedSaveInPlaceKeepsTheOldBytes()
    {
        QFETCH(int, mode);
        QFETCH(int, folderMode);
        QFETCH(int, sizeLimit);
        QFETCH(QStringList, names);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString root = dir.path(), path = root + "/script.qc";
        if (const QString unsupported = Unsupported(root); !unsupported.isEmpty())
            QSKIP(qPrintable(unsupported));
        QByteArray old;
        for (int line = 0; old.size() < (64 << 10); ++line)
            old += "Call Old(" + QByteArray::number(line) + ")\n";
        WriteBytes(path, old);
        QCOMPARE(::chown(Native(path).constData(), Other, Shared), 0);
        QCOMPARE(::chmod(Native(path).constData(), mode), 0);
        if (names.size() > 1)
            QCOMPARE(SetUp(QStringLiteral("link"), root, path), QString());
        QCOMPARE(::chmod(Native(root).constData(), folderMode), 0);
        const QString status = Status(path);

        const QString error =
            SaveInChild(path, QByteArray(256 << 10, 'n'), true, rlim_t(sizeLimit));
        QCOMPARE(error, QStringLiteral("cannot save \"%1\": %2").arg(path, reason));
        QCOMPARE(ReadBytes(path), old);
        QCOMPARE(Status(path), status);
        QCOMPARE(QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 names);
    }
};

QUILLMARK_TEST_MAIN(SaveKeepsTest)
#include "tst_savekeeps.moc"
