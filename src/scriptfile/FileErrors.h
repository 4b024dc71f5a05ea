// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FileErrors: the one form of every failure to read or write a file: what failed, which file, why.
#pragma once

#include "common/EditorError.h"

#include <QDir>
#include <QString>

#include <cstring>

/// Throws EditorError reading `cannot <verb> "<path>": <reason>`.
[[noreturn]] inline void FailOnFile(const QString &verb, const QString &path, const QString &reason)
{
    throw EditorError(QStringLiteral("cannot %1 \"%2\": %3")
                          .arg(verb, QDir::toNativeSeparators(path), reason)
                          .toStdString());
}

/// The system's own words for the error number `error`, such as "File too large".
inline QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
