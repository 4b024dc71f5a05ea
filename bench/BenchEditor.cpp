// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BenchEditor: the shown editor control the benchmarks measure, at the program window's size.
#include "BenchEditor.h"

#include "editor/EditorControl.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>

std::unique_ptr<EditorControl> ShownEditor(const QString &language)
{
    auto code = std::make_unique<EditorControl>();
    code->SetLanguageName(language);
    code->resize(625, 417);
    code->show();
    QApplication::processEvents();
    return code;
}

QsciScintilla *ViewOf(EditorControl &code)
{
    return code.findChild<QsciScintilla *>();
}

void OpenWhole(EditorControl &code, const QString &path)
{
    code.OpenFile(path);
    code.AwaitWholeText();
}
