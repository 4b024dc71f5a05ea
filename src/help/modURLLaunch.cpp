// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// modURLLaunch: the program's one way of handing a file or web address to the desktop.
#include "modURLLaunch.h"

#include <QDesktopServices>

namespace
{

bool IsWebAddress(const QString &target)
{
    return target.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive) ||
           target.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive);
}

// QUrl::fromLocalFile reads a leading "//" as a network host ("//Readme.txt" would become the
// host "readme.txt"); an explicit empty host keeps the whole target the file's path.
QUrl LocalFileUrl(const QString &path)
{
    QUrl url;
    url.setScheme(QStringLiteral("file"));
    url.setAuthority(QStringLiteral(""));
    url.setPath(path);
    return url;
}

} // namespace

bool DesktopLauncher::OpenUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

namespace modURLLaunch
{

QUrl TargetUrl(const QString &target)
{
    if (IsWebAddress(target))
        return QUrl(target);
    return LocalFileUrl(target);
}

void LaunchURL(UrlLauncher &launcher, const QString &target)
{
    launcher.OpenUrl(TargetUrl(target));
}

} // namespace modURLLaunch
