// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// TestWindow: the real main window with its modal services scripted, shown with the editor focused.
#include "TestWindow.h"

#include "document/modGlobals.h"
#include "editor/EditorControl.h"

#include <QTest>

TestWindow::TestWindow()
{
    modGlobals::CurrentFile.clear();
    auto scriptedPrompts = std::make_unique<ScriptedPrompts>();
    auto scriptedDialog = std::make_unique<ScriptedFileDialog>();
    prompts = scriptedPrompts.get();
    dialog = scriptedDialog.get();
    frmMainServices services;
    services.prompts = std::move(scriptedPrompts);
    services.fileDialog = std::move(scriptedDialog);
    form = std::make_unique<frmMain>(std::move(services));
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qFatal("the main window was never shown");
    form->activateWindow();
    form->Code->setFocus();
}
