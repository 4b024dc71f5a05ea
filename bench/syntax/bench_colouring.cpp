// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Colouring a large script on screen first: Ctrl+End right after opening, and how long the
// background colouring of the rest may hold the event loop.
#include "BenchCase.h"
#include "BenchEditor.h"
#include "BenchKeys.h"
#include "BenchTiming.h"
#include "ScriptGenerator.h"
#include "colouring/QuillLexer.h"
#include "editor/EditorControl.h"
#include "language/modQuillcode.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace
{

using Sci = QsciScintillaBase;

constexpr double FrameMs = 1000.0 / 60.0;

/// A shown Quillcode control at the size of the program's window.
std::unique_ptr<EditorControl> ShownQuillcode()
{
    modQuillcode::SetupLanguage();
    return ShownEditor(QStringLiteral("Quillcode"));
}

/// Stops the run when the last line is not coloured after Ctrl+End.
void RequireColouredEnd(QsciScintilla *view)
{
    const long lastLine = view->SendScintilla(Sci::SCI_GETLINECOUNT) - 2;
    const long start = view->SendScintilla(Sci::SCI_POSITIONFROMLINE, lastLine);
    if (view->SendScintilla(Sci::SCI_GETSTYLEAT, start + 4) == 0) {
        std::fprintf(stderr, "jump_to_end: the last screen was painted uncoloured\n");
        std::exit(1);
    }
}

// Both paints happen with the event loop held, so the background has coloured nothing yet:
// what Ctrl+End costs right after opening.
void JumpToEnd(const BenchOptions &options)
{
    const ScriptOnDisk script(options.LargeScript());
    const int rounds = options.quick ? 3 : 5;
    std::vector<double> firstScreen, jump;
    for (int round = 0; round < rounds; ++round) {
        std::unique_ptr<EditorControl> code = ShownQuillcode();
        QsciScintilla *view = ViewOf(*code);
        OpenWhole(*code, script.path);
        firstScreen.push_back(TimeMs([&] { view->viewport()->repaint(); }));
        jump.push_back(TimeMs([&] {
            SendKey(view, Qt::ControlModifier | Qt::Key_End);
            view->viewport()->repaint();
        }));
        RequireColouredEnd(view);
    }
    const double median = Percentile(jump, 0.5);
    ReportResult("jump_to_end", median, "ms",
                 {{"ratio_vs_first_screen", median / Percentile(firstScreen, 0.5)}});
}

/// The longest gap between the ticks of a 1 ms timer while the background colours the whole
/// script, and the time that took.
std::pair<double, double> LongestStall(const QString &path, bool fromTheEnd)
{
    std::unique_ptr<EditorControl> code = ShownQuillcode();
    QsciScintilla *view = ViewOf(*code);
    auto *lexer = code->findChild<QuillLexer *>();
    OpenWhole(*code, path);
    if (fromTheEnd)
        SendKey(view, Qt::ControlModifier | Qt::Key_End);
    view->viewport()->repaint();
    QEventLoop loop;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.setInterval(1);
    QElapsedTimer sinceTick, total;
    double longest = 0;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.start();
        if (lexer->NothingWaits())
            loop.quit();
    });
    total.start();
    sinceTick.start();
    ticks.start();
    loop.exec();
    return {longest, total.nsecsElapsed() / 1e6};
}

void IdleStylingStall(const BenchOptions &options)
{
    const ScriptOnDisk script(options.LargeScript());
    const auto [atTop, topTotal] = LongestStall(script.path, false);
    const auto [atEnd, endTotal] = LongestStall(script.path, true);
    const double longest = std::max(atTop, atEnd);
    ReportResult("idle_styling_stall", longest, "ms",
                 {{"ratio_vs_frame", longest / FrameMs},
                  {"from_top_ms", atTop},
                  {"from_end_ms", atEnd},
                  {"colour_all_from_top_ms", topTotal},
                  {"colour_all_from_end_ms", endTotal}});
}

const BenchRegistration jumpToEnd{"jump_to_end", JumpToEnd};
const BenchRegistration idleStall{"idle_styling_stall", IdleStylingStall};

} // namespace
