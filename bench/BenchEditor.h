// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BenchEditor: the shown editor control the benchmarks measure, at the program window's size.
#pragma once

#include <QString>

#include <memory>

class EditorControl;
class QsciScintilla;

/// A shown control colouring the registered `language`, at the size of the program's window.
std::unique_ptr<EditorControl> ShownEditor(const QString &language);

/// The Scintilla view inside `code`.
QsciScintilla *ViewOf(EditorControl &code);

/// Opens `path` in `code` and waits until its whole text is in, as the cases that time an open
/// to the end, or work on the whole text, need.
void OpenWhole(EditorControl &code, const QString &path);
