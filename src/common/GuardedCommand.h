// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// GuardedCommand: how the editor control's own commands reach the window's command guard.
#pragma once

#include <QString>

#include <functional>

/// Runs `body` as the command named `command`: the window's guard, which reports whatever
/// escapes the body, naming the command, and keeps the program going.
using CommandGuard = std::function<void(const QString &command, const std::function<void()> &body)>;

/// Runs `body` through `guard`, or on its own while no guard is set.
inline void RunGuarded(const CommandGuard &guard, const QString &command,
                       const std::function<void()> &body)
{
    if (guard)
        guard(command, body);
    else
        body();
}
