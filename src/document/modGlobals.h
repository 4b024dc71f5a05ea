// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// modGlobals: the current document's file and the file existence test.
#pragma once

#include <QString>

namespace modGlobals
{

/// Full path of the current document's file, as chosen in the file dialog; empty when none.
extern QString CurrentFile;

/// True for an existing regular file (symbolic links followed, dot-files included);
/// false for folders, other kinds of file and paths that name nothing.
bool FileExists(const QString &path);

} // namespace modGlobals
