// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Keys typed at the end of a large script while the uses of the word at the caret are marked.
#include "BenchCase.h"
#include "BenchEditor.h"
#include "BenchKeys.h"
#include "BenchTiming.h"
#include "ScriptGenerator.h"
#include "colouring/QuillLexer.h"
#include "editor/EditorControl.h"
#include "language/modQuillcode.h"
#include "wordhighlight/WordHighlight.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <vector>

namespace
{

// The lines the caret ends on: the word it stands in is used twice more on screen.
const QByteArray Tail("\r\ncount = count + 1\r\ncount");

/// Lets the event loop run past the caret's rest, so the marks are shown.
void RestTheCaret()
{
    QEventLoop loop;
    QTimer::singleShot(WordHighlight::RestMs + 50, &loop, &QEventLoop::quit);
    loop.exec();
}

/// Lets the background colouring finish, so that its slices do not fall among the keys timed.
void ColourEverything(EditorControl &code)
{
    auto *lexer = code.findChild<QuillLexer *>();
    while (lexer && !lexer->NothingWaits())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

/// At the end of the text, a letter typed (leaving the marked word) and taken back, each after
/// the caret rested with the word's uses marked; the letters are timed with their repaint.
std::vector<double> TypeWhileMarked(EditorControl &code, int count)
{
    QsciScintilla *view = ViewOf(code);
    view->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
    view->setFocus();
    ColourEverything(code);
    std::vector<double> samples;
    for (int i = 0; i < count; ++i) {
        RestTheCaret();
        samples.push_back(KeyMs(view, Qt::Key_X, QStringLiteral("x")));
        RestTheCaret();
        KeyMs(view, Qt::Key_Backspace);
    }
    return samples;
}

void WordHighlightKeystroke(const BenchOptions &options)
{
    const int keys = options.quick ? 2 : 41;
    modQuillcode::SetupLanguage();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("large.qc"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(GenerateScript(options.LargeScript()) + Tail);
    }
    std::unique_ptr<EditorControl> small = ShownEditor(QStringLiteral("Quillcode"));
    small->SetText(QString::fromLatin1(Tail.mid(2)));
    const std::vector<double> baseline = TypeWhileMarked(*small, keys);
    small.reset();

    std::unique_ptr<EditorControl> large = ShownEditor(QStringLiteral("Quillcode"));
    large->OpenFile(path);
    const std::vector<double> samples = TypeWhileMarked(*large, keys);
    const double median = Percentile(samples, 0.5);
    ReportResult("word_highlight_keystroke", median, "ms",
                 {{"ratio_vs_empty_document", median / Percentile(baseline, 0.5)}});
}

const BenchRegistration registration{"word_highlight_keystroke", WordHighlightKeystroke};

} // namespace
