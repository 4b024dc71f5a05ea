// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// HelpCommands: the Help menu's files beside the program and the project's web site.
#pragma once

#include <QString>

class UrlLauncher;

namespace HelpCommands
{

/// The project's home page, opened by "Website".
inline constexpr char WebsiteAddress[] = "https://quillmark.example.org/";
inline constexpr char ReadmeFileName[] = "Readme.txt";
inline constexpr char VersionsFileName[] = "Versions.txt";

/// `folder`, this platform's separator and `fileName`, joined as they stand: a folder that
/// already ends with a separator gives two in a row, and nothing checks that the file exists.
QString ProgramFile(const QString &folder, const QString &fileName);

/// Opens Readme.txt from the running program's folder.
void OpenReadme(UrlLauncher &launcher);

/// Opens Versions.txt from the running program's folder.
void OpenVersions(UrlLauncher &launcher);

/// Opens the project's web site; the program's folder plays no part.
void OpenWebsite(UrlLauncher &launcher);

} // namespace HelpCommands
