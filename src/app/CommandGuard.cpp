// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// RunCommand: the one top-level guard that keeps a failing command from ending the program.
#include "CommandGuard.h"

#include "common/UserPrompts.h"

#include <exception>

bool RunCommand(UserPrompts &prompts, const QString &command, const std::function<void()> &body)
{
    QString reason;
    try {
        body();
        return true;
    } catch (const std::exception &error) {
        reason = QString::fromUtf8(error.what());
    } catch (...) {
        reason = QStringLiteral("an unknown error occurred");
    }
    prompts.ShowError(
        QStringLiteral("The command \"%1\" could not be completed: %2.").arg(command, reason));
    return false;
}
