// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// SessionEnd: the logout's question about unsaved text, and the save made when none may be asked.
#include "SessionEnd.h"

#include "CommandGuard.h"
#include "document/FileCommands.h"
#include "document/modGlobals.h"

#include <QDir>
#include <QGuiApplication>
#include <QSessionManager>

#include <cstdio>
#include <exception>

namespace
{

QString Note(const QString &text)
{
    return QStringLiteral("Quillmark: ") + text;
}

QString Unsaved(const QString &reason)
{
    const QString what =
        modGlobals::CurrentFile.isEmpty()
            ? QStringLiteral("the new script")
            : QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(modGlobals::CurrentFile));
    return Note(QStringLiteral("the desktop session is ending without leave to ask about unsaved "
                               "text, and the changes to %1 were not saved: %2.")
                    .arg(what, reason));
}

} // namespace

void SettleForSessionEnd(FileCommands &files, UserPrompts &prompts,
                         const SessionManagerParts &manager)
{
    if (!files.HasUnsavedText())
        return;
    if (manager.allowsInteraction()) {
        bool settled = false;
        RunCommand(prompts, QStringLiteral("End of session"),
                   [&] { settled = files.SettleUnsavedTextForSessionEnd(); });
        if (!settled)
            manager.cancel();
        return;
    }
    UnaskedSave save;
    try {
        save = files.SaveUnasked();
    } catch (const std::exception &error) {
        save.reason = QString::fromUtf8(error.what());
    }
    if (!save.saved) {
        manager.note(Unsaved(save.reason));
        return;
    }
    manager.note(Note(QStringLiteral("saved the changes to \"%1\" as the desktop session ends.")
                          .arg(QDir::toNativeSeparators(modGlobals::CurrentFile))));
}

void AnswerSessionManager(QGuiApplication &app, QObject &window, const SessionSettler &settle)
{
    QObject::connect(
        &app, &QGuiApplication::commitDataRequest, &window,
        [settle](QSessionManager &manager) {
            settle({[&manager] { return manager.allowsInteraction(); },
                    [&manager] { manager.cancel(); },
                    [](const QString &text) { std::fprintf(stderr, "%s\n", qPrintable(text)); }});
        },
        Qt::DirectConnection);
    // Started again at the next login it would only show an empty window: nothing is restored.
    QObject::connect(
        &app, &QGuiApplication::saveStateRequest, &window,
        [](QSessionManager &manager) { manager.setRestartHint(QSessionManager::RestartNever); },
        Qt::DirectConnection);
}
