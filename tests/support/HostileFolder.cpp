// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// HostileFolder: a temporary folder of the things a load or save meets in place of a script.
#include "support/HostileFolder.h"

#include "scriptfile/ScriptFile.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace
{

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

HostileFolder::HostileFolder()
{
    const QDir root(dir.path());
    QFile huge(FilePath(QStringLiteral("huge.qc")));
    made =
        dir.isValid() && root.mkdir(QStringLiteral("folder")) &&
        root.mkdir(QStringLiteral("locked")) &&
        WriteFile(FilePath(QStringLiteral("plain.qc")), "plain\n") &&
        WriteFile(FilePath(QStringLiteral("secret.qc")), "secret") &&
        ::mkfifo(QFile::encodeName(FilePath(QStringLiteral("fifo.qc"))).constData(), 0600) == 0 &&
        huge.open(QIODevice::WriteOnly) && huge.resize(MaxScriptFileBytes + 1) &&
        QFile::setPermissions(FilePath(QStringLiteral("secret.qc")), {}) &&
        QFile::setPermissions(FilePath(QStringLiteral("locked")),
                              QFile::ReadOwner | QFile::ExeOwner);
    if (!made)
        qWarning("the hostile folder %s could not be made", qPrintable(dir.path()));
}

HostileFolder::~HostileFolder()
{
    QFile::setPermissions(FilePath(QStringLiteral("locked")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(FilePath(QStringLiteral("secret.qc")),
                          QFile::ReadOwner | QFile::WriteOwner);
}
