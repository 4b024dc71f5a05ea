// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// TestWindow: the real main window with its modal services scripted, shown with the editor focused.
#pragma once

#include "app/frmMain.h"
#include "support/ScriptedFileDialog.h"
#include "support/ScriptedPrompts.h"

#include <memory>

/// A fresh frmMain on an empty document with no current file; messages, questions and the file
/// dialog are scripted, and the window is exposed and active with the focus in `Code`.
class TestWindow
{
public:
    TestWindow();

    std::unique_ptr<frmMain> form;
    ScriptedPrompts *prompts = nullptr;
    ScriptedFileDialog *dialog = nullptr;
};
