// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file byte helpers for tests that check exactly what is on disk.
#pragma once

#include <QByteArray>
#include <QString>

/// Writes `bytes` to `path`, replacing the file; a failure fails the running test.
void WriteBytes(const QString &path, const QByteArray &bytes);

/// The file's bytes, or "<missing>" when it cannot be read, so comparisons show why.
QByteArray ReadBytes(const QString &path);
