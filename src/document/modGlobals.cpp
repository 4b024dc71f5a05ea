// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// modGlobals: the current document's file and the file existence test.
#include "modGlobals.h"

#include <QFileInfo>

namespace modGlobals
{

QString CurrentFile;

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

} // namespace modGlobals
