// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// HelpCommands: the Help menu's files beside the program and the project's web site.
#include "HelpCommands.h"

#include "modURLLaunch.h"

#include <QCoreApplication>
#include <QDir>

namespace
{

// The folder is asked for each time, so a program that was moved still finds its own files.
void OpenProgramFile(UrlLauncher &launcher, const char *fileName)
{
    const QString path =
        HelpCommands::ProgramFile(QCoreApplication::applicationDirPath(), QLatin1String(fileName));
    modURLLaunch::LaunchURL(launcher, path);
}

} // namespace

namespace HelpCommands
{

QString ProgramFile(const QString &folder, const QString &fileName)
{
    return folder + QDir::separator() + fileName;
}

void OpenReadme(UrlLauncher &launcher)
{
    OpenProgramFile(launcher, ReadmeFileName);
}

void OpenVersions(UrlLauncher &launcher)
{
    OpenProgramFile(launcher, VersionsFileName);
}

void OpenWebsite(UrlLauncher &launcher)
{
    const QString address = QLatin1String(WebsiteAddress);
    modURLLaunch::LaunchURL(launcher, address);
}

} // namespace HelpCommands
