// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// modURLLaunch: the program's one way of handing a file or web address to the desktop.
#pragma once

#include <QString>
#include <QUrl>

/// Asks the desktop to open something with whatever the user has chosen for it.
class UrlLauncher
{
public:
    virtual ~UrlLauncher() = default;

    /// Hands `url` to the desktop; true when the desktop accepted it.
    virtual bool OpenUrl(const QUrl &url) = 0;
};

/// The desktop's own opener: the user's browser for web pages, their viewer for files.
class DesktopLauncher : public UrlLauncher
{
public:
    bool OpenUrl(const QUrl &url) override;
};

namespace modURLLaunch
{

/// The address the desktop is given for `target`: a web address as it stands, anything else as
/// the local file of exactly that path (spaces, doubled separators and all).
QUrl TargetUrl(const QString &target);

/// Hands `target` to the desktop through `launcher`. Whether it could be opened is the desktop's
/// business: the answer is not looked at and the program shows nothing of its own.
void LaunchURL(UrlLauncher &launcher, const QString &target);

} // namespace modURLLaunch
