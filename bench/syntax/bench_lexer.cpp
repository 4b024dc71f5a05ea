// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Lexer benchmarks: full colouring against Scintilla's built-in VB lexer, and the lazy first
// screen.
#include "BenchCase.h"
#include "BenchEditor.h"
#include "ScriptGenerator.h"
#include "editor/EditorControl.h"
#include "language/modQuillcode.h"
#include "scintilla/ScintillaView.h"
#include "syntax/LanguageDefinition.h"
#include "syntax/LanguageRegistry.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace
{

using Sci = QsciScintillaBase;

constexpr int Rounds = 3;

// Scintilla's VB lexer takes blank-separated lower-case words.
QByteArray VbWords(const QString &list)
{
    QString words = list.toLower();
    words.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return words.trimmed().toUtf8();
}

// An editor set up as the program's own, but with the built-in VB lexer and the "Quillcode"
// word lists.
std::unique_ptr<QsciScintilla> BuiltInVbEditor()
{
    auto editor = std::make_unique<ScintillaView>();
    editor->SendScintilla(Sci::SCI_SETLEXER, static_cast<unsigned long>(Sci::SCLEX_VB));
    if (editor->SendScintilla(Sci::SCI_GETLEXER) != Sci::SCLEX_VB)
        std::fprintf(stderr, "the built-in VB lexer is not available\n");
    const auto definition = LanguageRegistry().Find(QStringLiteral("Quillcode"));
    const QByteArray lists[] = {VbWords(definition->KeywordList), VbWords(definition->OperatorList),
                                VbWords(definition->LiteralList),
                                VbWords(definition->ConstantList)};
    for (unsigned long set = 0; set < 4; ++set)
        editor->SendScintilla(Sci::SCI_SETKEYWORDS, set, lists[set].constData());
    return editor;
}

std::unique_ptr<EditorControl> QuillcodeEditor()
{
    auto code = std::make_unique<EditorControl>();
    code->SetLanguageName(QStringLiteral("Quillcode"));
    return code;
}

void Load(QsciScintilla *view, const QByteArray &script)
{
    view->SendScintilla(Sci::SCI_APPENDTEXT, static_cast<unsigned long>(script.size()),
                        script.constData());
}

// Seconds for colouring the whole text once.
double ColouriseAll(QsciScintilla *view)
{
    QElapsedTimer timer;
    timer.start();
    view->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

void LexerThroughput(const BenchOptions &options)
{
    modQuillcode::SetupLanguage();
    const QByteArray script = GenerateScript(options.MediumScript());
    std::unique_ptr<EditorControl> ours = QuillcodeEditor();
    std::unique_ptr<QsciScintilla> builtIn = BuiltInVbEditor();
    Load(ViewOf(*ours), script);
    Load(builtIn.get(), script);
    double oursBest = 1e9;
    double builtInBest = 1e9;
    for (int round = 0; round < Rounds; ++round) {
        oursBest = std::min(oursBest, ColouriseAll(ViewOf(*ours)));
        builtInBest = std::min(builtInBest, ColouriseAll(builtIn.get()));
    }
    // The first word of the script is "Sub": a keyword for both lexers, or the run is void.
    if (builtIn->SendScintilla(Sci::SCI_GETSTYLEAT, 0L) == 0 ||
        ViewOf(*ours)->SendScintilla(Sci::SCI_GETSTYLEAT, 0L) == 0)
        std::fprintf(stderr, "lexer_throughput: a lexer left the text unstyled\n");
    const double megabytes = static_cast<double>(script.size()) / 1e6;
    ReportResult("lexer_throughput", megabytes / oursBest, "MB/s",
                 {{"ratio_vs_builtin_vb", builtInBest / oursBest}});
}

// Milliseconds to paint the first screen of `view` right after its text was loaded.
double FirstPaint(QWidget &window, QsciScintilla *view, const std::function<void()> &load)
{
    window.resize(625, 417);
    window.show();
    QApplication::processEvents();
    load();
    QElapsedTimer timer;
    timer.start();
    view->viewport()->repaint();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void LexerFirstScreen(const BenchOptions &options)
{
    modQuillcode::SetupLanguage();
    const QByteArray script = GenerateScript(options.LargeScript());
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("large.qc"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(script) != script.size())
        return;
    file.close();

    // Alternate the two editors so neither pays alone for the first use of fonts and caches.
    double oursMs = 1e9;
    double builtInMs = 1e9;
    for (int round = 0; round < Rounds; ++round) {
        std::unique_ptr<QsciScintilla> builtIn = BuiltInVbEditor();
        builtInMs = std::min(
            builtInMs, FirstPaint(*builtIn, builtIn.get(), [&] { Load(builtIn.get(), script); }));
        builtIn.reset();
        std::unique_ptr<EditorControl> ours = QuillcodeEditor();
        QsciScintilla *view = ViewOf(*ours);
        oursMs = std::min(oursMs, FirstPaint(*ours, view, [&] { OpenWhole(*ours, path); }));
    }
    ReportResult("lexer_first_screen", oursMs, "ms",
                 {{"ratio_vs_builtin_vb", builtInMs / oursMs},
                  {"script_bytes", static_cast<double>(script.size())}});
}

const BenchRegistration throughput{"lexer_throughput", LexerThroughput};
const BenchRegistration firstScreen{"lexer_first_screen", LexerFirstScreen};

} // namespace
