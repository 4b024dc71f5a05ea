// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Quillmark's start-up: the process settings, the application object and the main window.
#include "app/CloseRequests.h"
#include "app/ProcessSetup.h"
#include "app/SessionEnd.h"
#include "app/frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    SetUpProcess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLMARK_VERSION));
    frmMain window;
    // The ends that come from outside the window ask about unsaved text as its close box does.
    CloseRequests terminationSignals(TerminationSignalPipe(), window);
    AnswerSessionManager(app, window, [&window](const SessionManagerParts &manager) {
        window.SettleForSessionEnd(manager);
    });
    window.show();
    return app.exec();
}
