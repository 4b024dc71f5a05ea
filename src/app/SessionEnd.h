// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// SessionEnd: the unsaved text settled when the desktop session ends (a logout or shutdown).
#pragma once

#include <functional>

class FileCommands;
class QGuiApplication;
class QObject;
class QString;
class UserPrompts;

/// What the session manager lends the program while the desktop session ends; the desktop's
/// wraps QSessionManager, tests script it.
struct SessionManagerParts {
    /// Asks for leave to put a question to the user, which may first wait for other programs'
    /// questions; true when it is granted.
    std::function<bool()> allowsInteraction;
    /// Stops the session from ending.
    std::function<void()> cancel;
    /// Writes one line where a session's messages go (standard error).
    std::function<void(const QString &)> note;
};

/// Settles unsaved text before the session ends, as the close box would. With nothing unsaved it
/// answers at once, without asking for leave. With leave, the unsaved-text question is asked;
/// Cancel, or a save that is cancelled or fails, cancels the session's end. Without leave the
/// text is saved when its file is still the version last opened or saved, and otherwise kept
/// and the reason noted, without holding up the session.
void SettleForSessionEnd(FileCommands &files, UserPrompts &prompts,
                         const SessionManagerParts &manager);

/// Settles the unsaved text of a window with the session manager's parts.
using SessionSettler = std::function<void(const SessionManagerParts &manager)>;

/// Has the session manager's requests to `app` answered while `window` lives: commitDataRequest
/// through `settle`, and saveStateRequest with nothing to restore.
void AnswerSessionManager(QGuiApplication &app, QObject &window, const SessionSettler &settle);
