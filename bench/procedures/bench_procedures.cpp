// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Going to a procedure in a large script once its blocks are read: the list opened by
// Ctrl+Shift+O against a key typed in an empty text, and one letter narrowing it against a frame.
#include "BenchCase.h"
#include "BenchEditor.h"
#include "BenchKeys.h"
#include "BenchTiming.h"
#include "ScriptGenerator.h"
#include "editor/EditorControl.h"
#include "language/modQuillcode.h"
#include "procedures/ProcedureBar.h"

#include <Qsci/qsciscintilla.h>

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include <cstdio>
#include <cstdlib>

namespace
{

constexpr double FrameMs = 1000.0 / 60.0;

void OpenList(EditorControl &code)
{
    for (QAction *action : code.actions()) {
        if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O))
            action->trigger();
    }
    QApplication::processEvents();
}

QLineEdit &Field(EditorControl &code)
{
    return *code.findChild<QLineEdit *>(QStringLiteral("procedureField"));
}

int RowsShown(EditorControl &code)
{
    const auto *list = code.findChild<QTableView *>(QStringLiteral("procedureList"));
    return list && list->isVisible() ? list->model()->rowCount() : -1;
}

QString State(EditorControl &code)
{
    return code.findChild<QLabel *>(QStringLiteral("procedureState"))->text();
}

/// Opens the list and lets the background analysis run until the list holds every procedure.
int ReadEverything(EditorControl &code)
{
    OpenList(code);
    while (!State(code).isEmpty())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const int rows = RowsShown(code);
    SendKey(&Field(code), Qt::Key_Escape);
    QApplication::processEvents();
    return rows;
}

std::vector<double> KeysInEmptyText(int count)
{
    std::unique_ptr<EditorControl> empty = ShownEditor(QStringLiteral("Quillcode"));
    QsciScintilla *view = ViewOf(*empty);
    view->setFocus();
    QApplication::processEvents();
    return LettersMs(view, count);
}

void GoToProcedure(const BenchOptions &options)
{
    const int rounds = options.quick ? 3 : 21;
    modQuillcode::SetupLanguage();
    const std::vector<double> keystroke = KeysInEmptyText(200);
    const ScriptOnDisk script(options.LargeScript());
    std::unique_ptr<EditorControl> code = ShownEditor(QStringLiteral("Quillcode"));
    OpenWhole(*code, script.path);
    const int procedures = ReadEverything(*code);
    std::vector<double> opens;
    std::vector<double> narrows;
    for (int round = 0; round < rounds; ++round) {
        opens.push_back(TimeMs([&] { OpenList(*code); }));
        if (RowsShown(*code) != procedures) {
            std::fprintf(stderr, "go_to_procedure: the list shows %d of %d procedures\n",
                         RowsShown(*code), procedures);
            std::exit(1);
        }
        // Every generated name holds a "p" and none starts with one: the most a letter can keep.
        narrows.push_back(KeyMs(&Field(*code), Qt::Key_P, QStringLiteral("p")));
        if (RowsShown(*code) != procedures) {
            std::fprintf(stderr, "go_to_procedure: \"p\" leaves %d of %d procedures\n",
                         RowsShown(*code), procedures);
            std::exit(1);
        }
        SendKey(&Field(*code), Qt::Key_Escape);
        QApplication::processEvents();
    }
    const double open = Percentile(opens, 0.5);
    const double narrow = Percentile(narrows, 0.5);
    ReportResult("go_to_procedure", open, "ms",
                 {{"ratio_vs_keystroke", open / Percentile(keystroke, 0.5)},
                  {"narrow_ms", narrow},
                  {"narrow_ratio_vs_frame", narrow / FrameMs},
                  {"procedures", double(procedures)}});
}

const BenchRegistration registration{"go_to_procedure", GoToProcedure};

} // namespace
