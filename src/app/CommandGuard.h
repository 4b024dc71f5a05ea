// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// RunCommand: the one top-level guard that keeps a failing command from ending the program.
#pragma once

#include <QString>

#include <functional>

class UserPrompts;

/// Runs `body`. An exception that escapes it ends this command only: it is reported once,
/// naming `command` and the reason, and false is returned. True when the body completed.
bool RunCommand(UserPrompts &prompts, const QString &command, const std::function<void()> &body);
