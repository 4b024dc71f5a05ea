// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Block structure benchmarks: typing inside a block of a large script against typing in an
// empty one, opening a large script to its first screen with and without block analysis, and
// typing far below anything analysed.
#include "BenchCase.h"
#include "BenchEditor.h"
#include "BenchKeys.h"
#include "BenchTiming.h"
#include "ScriptGenerator.h"
#include "editor/EditorControl.h"
#include "language/modQuillcode.h"
#include "syntax/LanguageRegistry.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace
{

using Sci = QsciScintillaBase;

constexpr int KeystrokesTimed = 400;
constexpr int KeystrokesATurn = 20;
const QString WithoutBlocks = QStringLiteral("Quillcode without blocks");

// "Quillcode" coloured the same, but with a keyword list the block rules do not apply to.
void RegisterLanguages()
{
    modQuillcode::SetupLanguage();
    LanguageDefinition plain = *LanguageRegistry().Find(QStringLiteral("Quillcode"));
    QStringList keywords = WordListEntries(plain.KeywordList);
    keywords.removeAll(QStringLiteral("Function"));
    plain.KeywordList = keywords.join(QLatin1Char('\n'));
    LanguageRegistry().RegisterLanguage(WithoutBlocks, plain);
}

QString WriteScript(const QTemporaryDir &folder, qsizetype bytes)
{
    const QString path = folder.filePath(QStringLiteral("large.qc"));
    QFile file(path);
    const QByteArray script = GenerateScript(bytes);
    if (!file.open(QIODevice::WriteOnly) || file.write(script) != script.size())
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    return path;
}

// Types `count` keys of `keys` one at a time where the caret is, each key followed by the
// paint it asks for, and appends each key's milliseconds to `samples`.
void Type(EditorControl &code, const QString &keys, int count, std::vector<double> &samples)
{
    QsciScintilla *view = ViewOf(code);
    view->setFocus();
    QApplication::processEvents();
    for (int i = 0; i < count; ++i) {
        const QChar typed = keys[i % keys.size()];
        const bool enter = typed == QLatin1Char('\n');
        const QString text = enter ? QStringLiteral("\r") : QString(typed);
        const auto key = enter ? Qt::Key_Return : Qt::Key(typed.toUpper().unicode());
        samples.push_back(KeyMs(view, key, text));
    }
}

void PutCaret(QsciScintilla *view, long line)
{
    view->SendScintilla(Sci::SCI_GOTOLINE, static_cast<unsigned long>(line));
    QApplication::processEvents();
}

// The caret at the end of the first line inside an ElseIf block after the middle of the text.
void CaretInsideBlock(QsciScintilla *view)
{
    const long middle = view->SendScintilla(Sci::SCI_GETLENGTH) / 2;
    const QByteArray needle("Call GivePlayerEXP");
    view->SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(middle),
                        view->SendScintilla(Sci::SCI_GETLENGTH));
    const long found = view->SendScintilla(
        Sci::SCI_SEARCHINTARGET, static_cast<unsigned long>(needle.size()), needle.constData());
    const long line =
        view->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(found));
    view->SendScintilla(Sci::SCI_GOTOPOS, view->SendScintilla(Sci::SCI_GETLINEENDPOSITION,
                                                              static_cast<unsigned long>(line)));
    view->SendScintilla(Sci::SCI_SCROLLCARET);
    QApplication::processEvents();
}

bool ShowsBlocks(QsciScintilla *view)
{
    const long line = view->SendScintilla(
        Sci::SCI_LINEFROMPOSITION,
        static_cast<unsigned long>(view->SendScintilla(Sci::SCI_GETCURRENTPOS)));
    const long level = view->SendScintilla(Sci::SCI_GETFOLDLEVEL, static_cast<unsigned long>(line));
    return (level & Sci::SC_FOLDLEVELNUMBERMASK) > Sci::SC_FOLDLEVELBASE;
}

// Both editors are typed in by turns, so a change in the machine's load hits both alike. Then
// block openers are typed near the top of the large script, each changing the nesting of the
// lines after it.
void StructureKeystroke(const BenchOptions &options)
{
    RegisterLanguages();
    QTemporaryDir folder;
    const QString path = WriteScript(folder, options.LargeScript());
    auto empty = ShownEditor(QStringLiteral("Quillcode"));
    auto large = ShownEditor(QStringLiteral("Quillcode"));
    OpenWhole(*large, path);
    CaretInsideBlock(ViewOf(*large));
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    std::vector<double> baseline, samples, openers;
    for (int turn = 0; turn < KeystrokesTimed / KeystrokesATurn; ++turn) {
        Type(*empty, letters, KeystrokesATurn, baseline);
        Type(*large, letters, KeystrokesATurn, samples);
    }
    if (!ShowsBlocks(ViewOf(*large)))
        std::fprintf(stderr, "structure_keystroke: the caret's line is in no block\n");
    PutCaret(ViewOf(*large), 2);
    Type(*large, QStringLiteral("If x Then\n"), KeystrokesTimed, openers);
    const double median = Percentile(samples, 0.5);
    const double emptyMedian = Percentile(baseline, 0.5);
    ReportResult("structure_keystroke", median, "ms",
                 {{"ratio_vs_empty_document", median / emptyMedian},
                  {"p95_ms", Percentile(samples, 0.95)},
                  {"openers_ratio_vs_empty_document", Percentile(openers, 0.5) / emptyMedian}});
}

// Milliseconds from asking `code` for the file to its first screen painted, coloured.
double OpenToFirstScreen(EditorControl &code, const QString &path)
{
    QsciScintilla *view = ViewOf(code);
    const double ms = TimeMs([&] {
        OpenWhole(code, path);
        view->viewport()->repaint();
    });
    if (view->SendScintilla(Sci::SCI_GETSTYLEAT, 0L) == 0)
        std::fprintf(stderr, "the first screen is not coloured\n");
    return ms;
}

double OpenToFirstScreen(const QString &language, const QString &path)
{
    auto code = ShownEditor(language);
    return OpenToFirstScreen(*code, path);
}

void StructureOpen(const BenchOptions &options)
{
    RegisterLanguages();
    QTemporaryDir folder;
    const QString path = WriteScript(folder, options.LargeScript());
    const int rounds = options.quick ? 2 : 7;
    std::vector<double> with, without;
    OpenToFirstScreen(WithoutBlocks, path);
    for (int round = 0; round < rounds; ++round) {
        without.push_back(OpenToFirstScreen(WithoutBlocks, path));
        with.push_back(OpenToFirstScreen(QStringLiteral("Quillcode"), path));
    }
    const double median = Percentile(with, 0.5);
    ReportResult("structure_open", median, "ms",
                 {{"ratio_vs_open_without_structure", median / Percentile(without, 0.5)}});
}

/// Whether most lines of the text are hidden in folds.
bool MostlyFolded(QsciScintilla *view)
{
    const long lines = view->SendScintilla(Sci::SCI_GETLINECOUNT);
    return view->SendScintilla(Sci::SCI_VISIBLEFROMDOCLINE, static_cast<unsigned long>(lines)) <
           lines / 2;
}

// Folding every block of a large script opened a moment before, when all of it is still to be
// analysed, against opening it: from the keys to the folded screen painted, the event loop
// running while the analysis reads what is left.
void StructureFoldAll(const BenchOptions &options)
{
    RegisterLanguages();
    QTemporaryDir folder;
    const QString path = WriteScript(folder, options.LargeScript());
    auto code = ShownEditor(QStringLiteral("Quillcode"));
    QsciScintilla *view = ViewOf(*code);
    const double open = OpenToFirstScreen(*code, path);
    QApplication::processEvents();
    QElapsedTimer limit;
    limit.start();
    const double fold = TimeMs([&] {
        SendKey(view, Qt::ControlModifier | Qt::Key_K);
        SendKey(view, Qt::ControlModifier | Qt::Key_0);
        while (!MostlyFolded(view) && limit.elapsed() < 120'000)
            QApplication::processEvents();
        view->viewport()->repaint();
    });
    if (!MostlyFolded(view))
        std::fprintf(stderr, "structure_fold_all: most lines are still shown\n");
    ReportResult("structure_fold_all", fold, "ms", {{"ratio_vs_open", fold / open}});
}

// A script of millions of short lines without a Sub to start analysis from, as generated data
// is: Ctrl+End, then keys at the end, far below anything analysed, against the same in an
// editor without block analysis.
void StructureShortLines(const BenchOptions &options)
{
    RegisterLanguages();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("lines.qc"));
    QFile file(path);
    const QByteArray line("x = 1\n");
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(line.repeated(options.LargeScript() / line.size())) < 0)
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    file.close();
    std::vector<double> jumps[2], keys[2];
    for (const bool blocks : {false, true}) {
        auto code = ShownEditor(blocks ? QStringLiteral("Quillcode") : WithoutBlocks);
        OpenToFirstScreen(*code, path);
        ViewOf(*code)->setFocus();
        jumps[blocks].push_back(KeyMs(ViewOf(*code), Qt::ControlModifier | Qt::Key_End));
        for (int i = 0; i < KeystrokesATurn; ++i)
            keys[blocks].push_back(KeyMs(ViewOf(*code), Qt::Key_A, QStringLiteral("a")));
    }
    const double median = Percentile(keys[1], 0.5);
    ReportResult("structure_short_lines", median, "ms",
                 {{"ratio_vs_without_structure", median / Percentile(keys[0], 0.5)},
                  {"jump_to_end_ms", jumps[1][0]},
                  {"jump_ratio_vs_without_structure", jumps[1][0] / jumps[0][0]}});
}

const BenchRegistration keystroke{"structure_keystroke", StructureKeystroke};
const BenchRegistration foldAll{"structure_fold_all", StructureFoldAll};
const BenchRegistration open{"structure_open", StructureOpen};
const BenchRegistration shortLines{"structure_short_lines", StructureShortLines};

} // namespace
