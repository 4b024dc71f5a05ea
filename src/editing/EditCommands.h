// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The Edit menu's undo, redo and clipboard commands: ask the control, act only on a yes.
#pragma once

class EditorControl;

namespace EditCommands
{

void Undo(EditorControl &code);
void Redo(EditorControl &code);
void Cut(EditorControl &code);
void Copy(EditorControl &code);
void Paste(EditorControl &code);

} // namespace EditCommands
