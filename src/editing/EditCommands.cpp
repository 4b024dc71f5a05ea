// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The Edit menu's undo, redo and clipboard commands: ask the control, act only on a yes. A
// command that edits waits for the text of a file still arriving.
#include "EditCommands.h"

#include "editor/EditorControl.h"

namespace EditCommands
{

void Undo(EditorControl &code)
{
    if (code.AwaitWholeText() && code.CanUndo())
        code.Undo();
}

void Redo(EditorControl &code)
{
    if (code.AwaitWholeText() && code.CanRedo())
        code.Redo();
}

void Cut(EditorControl &code)
{
    if (code.AwaitWholeText() && code.CanCut())
        code.Cut();
}

void Copy(EditorControl &code)
{
    if (code.CanCopy())
        code.Copy();
}

void Paste(EditorControl &code)
{
    if (code.AwaitWholeText() && code.CanPaste())
        code.Paste();
}

} // namespace EditCommands
