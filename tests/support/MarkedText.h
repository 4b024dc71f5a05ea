// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// MarkedText: a control's text written with its selection, "|" for a caret, "[" and "]" around a
// selection, so that a test row states text and selection in one string.
#pragma once

#include <QString>

class EditorControl;

/// Sets the text of `code` to `marked` without its marks, and the selection the marks show.
void SetMarkedText(EditorControl &code, const QString &marked);

/// The text of `code` with its selection marked.
QString MarkedText(const EditorControl &code);
