// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Ctrl+/ over every line of a large script: the comments put on, then taken off again.
#include "BenchCase.h"
#include "BenchEditor.h"
#include "BenchKeys.h"
#include "BenchTiming.h"
#include "ScriptGenerator.h"
#include "editor/EditorControl.h"
#include "language/modQuillcode.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace
{

double ToggleMs(QsciScintilla *view)
{
    return TimeMs(
        [view] { SendKey(view, Qt::ControlModifier | Qt::Key_Slash, QStringLiteral("/")); });
}

// Taking comments off rewrites the text as putting them on does: it must cost about the same.
void ToggleComment(const BenchOptions &options)
{
    modQuillcode::SetupLanguage();
    const ScriptOnDisk script(options.MediumScript());
    auto code = ShownEditor(QStringLiteral("Quillcode"));
    QsciScintilla *view = ViewOf(*code);
    double open = std::numeric_limits<double>::max();
    double on = open;
    double off = open;
    for (int round = 0; round < 5; ++round) {
        open = std::min(open, TimeMs([&] { OpenWhole(*code, script.path); }));
        const QString original = round == 0 ? code->Text() : QString();
        view->selectAll();
        on = std::min(on, ToggleMs(view));
        view->selectAll();
        off = std::min(off, ToggleMs(view));
        if (round == 0 && code->Text() != original) {
            std::fprintf(stderr, "toggle_comment: the text did not come back\n");
            std::exit(1);
        }
    }
    ReportResult("toggle_comment_off", off, "ms",
                 {{"ratio_vs_comment_on", off / on}, {"ratio_vs_open", off / open}});
}

const BenchRegistration toggleComment{"toggle_comment_off", ToggleComment};

} // namespace
