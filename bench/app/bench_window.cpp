// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmarks of the editor window: start-up to first paint, typing at the end of a large script,
// and the completion list.
#include "BenchCase.h"
#include "BenchEditor.h"
#include "BenchKeys.h"
#include "BenchTiming.h"
#include "ScriptGenerator.h"
#include "app/frmMain.h"
#include "completion/EditorList.h"
#include "editor/EditorControl.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace
{

constexpr int KeystrokesTimed = 200;

class SilentPrompts : public UserPrompts
{
public:
    void ShowError(const QString &) override {}
    void ShowNotice(const QString &) override {}
    // The benchmark's windows are thrown away with whatever they hold.
    UnsavedTextAnswer AskAboutUnsavedText(const QString &) override
    {
        return UnsavedTextAnswer::Discard;
    }
    ChangedFileAnswer AskAboutChangedFile(const QString &) override
    {
        return ChangedFileAnswer::Cancel;
    }
};

std::unique_ptr<frmMain> MakeWindow()
{
    frmMainServices services;
    services.prompts = std::make_unique<SilentPrompts>();
    return std::make_unique<frmMain>(std::move(services));
}

void ShowAndPaint(QWidget &window)
{
    window.show();
    QApplication::processEvents();
    window.repaint();
}

double StartupOnce()
{
    return TimeMs([] {
        auto window = MakeWindow();
        ShowAndPaint(*window);
    });
}

double BareStartupOnce()
{
    return TimeMs([] {
        QMainWindow window;
        window.setCentralWidget(new QsciScintilla(&window));
        window.resize(625, 440);
        ShowAndPaint(window);
    });
}

void StartupFirstPaint(const BenchOptions &options)
{
    const int rounds = options.quick ? 3 : 41;
    StartupOnce();
    BareStartupOnce();
    std::vector<double> ours, bare;
    for (int round = 0; round < rounds; ++round) {
        ours.push_back(StartupOnce());
        bare.push_back(BareStartupOnce());
    }
    const double median = Percentile(ours, 0.5);
    ReportResult("startup_first_paint", median, "ms",
                 {{"ratio_vs_bare_window", median / Percentile(bare, 0.5)}});
}

/// Types `count` characters one key event at a time, each followed by the repaint it asks for.
std::vector<double> TypeAtEnd(frmMain &window, int count)
{
    auto *view = window.Code->findChild<QsciScintilla *>();
    view->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
    view->setFocus();
    QApplication::processEvents();
    return LettersMs(view, count);
}

/// Types `text` at the very start of the text and takes it back with Backspace, untimed. A "("
/// there has nothing to close it before the text ends.
std::vector<double> TypeAtTop(frmMain &window, int count, Qt::Key key, const QString &text)
{
    auto *view = window.Code->findChild<QsciScintilla *>();
    view->SendScintilla(QsciScintilla::SCI_DOCUMENTSTART);
    QApplication::processEvents();
    std::vector<double> samples;
    for (int i = 0; i < count; ++i) {
        samples.push_back(KeyMs(view, key, text));
        KeyMs(view, Qt::Key_Backspace, {});
    }
    return samples;
}

void KeystrokeLatency(const BenchOptions &options)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("large.qc"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(GenerateScript(options.LargeScript()));
    }
    auto empty = MakeWindow();
    ShowAndPaint(*empty);
    const std::vector<double> baseline = TypeAtEnd(*empty, KeystrokesTimed);
    empty.reset();

    auto large = MakeWindow();
    OpenWhole(*large->Code, path);
    ShowAndPaint(*large);
    const std::vector<double> samples = TypeAtEnd(*large, KeystrokesTimed);
    const int atTop = options.quick ? 3 : 21;
    const std::vector<double> letters = TypeAtTop(*large, atTop, Qt::Key_X, QStringLiteral("x"));
    const std::vector<double> braces =
        TypeAtTop(*large, atTop, Qt::Key_ParenLeft, QStringLiteral("("));
    const double median = Percentile(samples, 0.5);
    ReportResult("keystroke_latency", median, "ms",
                 {{"ratio_vs_empty_document", median / Percentile(baseline, 0.5)},
                  {"p95_ms", Percentile(samples, 0.95)},
                  {"open_brace_ratio_vs_letter_at_top",
                   Percentile(braces, 0.5) / Percentile(letters, 0.5)}});
}

/// Stops the run when the list is not as a user would see it.
void RequireList(const EditorList *list, int shown, const char *when)
{
    int visibleRows = 0;
    for (int row = 0; list && row < list->count(); ++row)
        visibleRows += list->item(row)->isHidden() ? 0 : 1;
    if (!list || !list->isVisible() || visibleRows != shown) {
        std::fprintf(stderr, "completion_popup: %s, the list shows %d entries, not %d\n", when,
                     visibleRows, shown);
        std::exit(1);
    }
}

// Ctrl+Space until the list of the 60 server functions is shown and painted, then one letter
// that narrows it and the repaint after it.
void CompletionPopup(const BenchOptions &options)
{
    const int rounds = options.quick ? 5 : 41;
    auto empty = MakeWindow();
    ShowAndPaint(*empty);
    const std::vector<double> keystroke = TypeAtEnd(*empty, KeystrokesTimed);
    empty.reset();

    auto window = MakeWindow();
    ShowAndPaint(*window);
    auto *view = window->Code->findChild<QsciScintilla *>();
    view->setFocus();
    // An untimed first round, checked at each step.
    SendKey(view, Qt::ControlModifier | Qt::Key_Space);
    QApplication::processEvents();
    RequireList(window->Code->findChild<EditorList *>(), 60, "after Ctrl+Space");
    SendKey(view, Qt::Key_Escape);
    std::vector<double> samples;
    for (int round = 0; round <= rounds; ++round) {
        const double ms = TimeMs([&] {
            SendKey(view, Qt::ControlModifier | Qt::Key_Space);
            QApplication::processEvents();
            SendKey(view, Qt::Key_G, QStringLiteral("G"));
            QApplication::processEvents();
        });
        RequireList(window->Code->findChild<EditorList *>(), 18, "after typing G");
        SendKey(view, Qt::Key_Escape);
        SendKey(view, Qt::Key_Backspace);
        QApplication::processEvents();
        if (round > 0)
            samples.push_back(ms);
    }
    const double median = Percentile(samples, 0.5);
    ReportResult("completion_popup", median, "ms",
                 {{"ratio_vs_keystroke", median / Percentile(keystroke, 0.5)}});
}

/// A script of about `bytes` bytes in one line: the generated lines joined by blanks.
QByteArray OneLine(qsizetype bytes)
{
    QByteArray line = GenerateScript(bytes);
    line.replace("\r\n", " ");
    return line;
}

double OpenAndPaint(frmMain &window, const QString &path)
{
    return TimeMs([&] {
        OpenWhole(*window.Code, path);
        window.repaint();
    });
}

// Typing at the end of a script that is one long line, as generated data or a minified script
// is. The whole script in one line is what makes it slow; the quick run uses a short one.
void LongLineKeystroke(const BenchOptions &options)
{
    QTemporaryDir folder;
    const qsizetype bytes = options.quick ? 100'000 : options.LargeScript();
    const QString longPath = folder.filePath(QStringLiteral("line.qc"));
    const QString linesPath = folder.filePath(QStringLiteral("lines.qc"));
    for (const auto &[path, text] :
         {std::pair{longPath, OneLine(bytes)}, std::pair{linesPath, GenerateScript(bytes)}}) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text);
    }
    auto empty = MakeWindow();
    ShowAndPaint(*empty);
    const std::vector<double> baseline = TypeAtEnd(*empty, KeystrokesTimed);
    empty.reset();

    double ordinaryOpen = 0;
    {
        auto lines = MakeWindow();
        ShowAndPaint(*lines);
        ordinaryOpen = OpenAndPaint(*lines, linesPath);
    }
    auto window = MakeWindow();
    ShowAndPaint(*window);
    const double open = OpenAndPaint(*window, longPath);
    const std::vector<double> samples = TypeAtEnd(*window, options.quick ? 5 : 1);
    const double median = Percentile(samples, 0.5);
    ReportResult("long_line_keystroke", median, "ms",
                 {{"ratio_vs_empty_document", median / Percentile(baseline, 0.5)},
                  {"open_ms", open},
                  {"open_ratio_vs_ordinary_lines", open / ordinaryOpen},
                  {"line_bytes", double(bytes)}});
}

/// `count` lines of `width` bytes of script words, numbers and names drawn at random and cut
/// off mid-word, as generated data has: few of its words repeat, so Scintilla measures most of
/// them afresh.
QByteArray WideLines(int count, qsizetype width)
{
    static const std::array<const char *, 16> words = {
        "Print",           "If", "Then", "Else", "End", "Dim", "As", "For", "To", "Next", "Call",
        "\"hello world\"", "=",  "+",    "(",    ")"};
    std::uint32_t state = 7;
    const auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 8; };
    QByteArray script;
    for (int line = 0; line < count; ++line) {
        QByteArray text;
        while (text.size() < width) {
            const std::uint32_t pick = next() % 24;
            text += pick < words.size() ? QByteArray(words[pick])
                    : pick < 20         ? QByteArray::number(next() % 100000)
                                        : "v" + QByteArray::number(next() % 10000);
            text += ' ';
        }
        script += text.left(width) + '\n';
    }
    return script;
}

// Typing at the end of a line in a screen of coloured lines 24 KB long, under the long-line
// limit: each key lays out its own line again, and must not lay out every line shown.
void WideLinesKeystroke(const BenchOptions &options)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("wide.qc"));
    const qsizetype width = options.quick ? 4000 : 24000;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(WideLines(200, width)) < 0)
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    file.close();
    auto empty = MakeWindow();
    ShowAndPaint(*empty);
    const std::vector<double> baseline = TypeAtEnd(*empty, KeystrokesTimed);
    empty.reset();

    auto window = MakeWindow();
    ShowAndPaint(*window);
    OpenWhole(*window->Code, path);
    window->repaint();
    auto *view = window->Code->findChild<QsciScintilla *>();
    view->setFocus();
    view->SendScintilla(QsciScintilla::SCI_GOTOLINE, 10UL);
    view->SendScintilla(QsciScintilla::SCI_LINEEND);
    QApplication::processEvents();
    std::vector<double> samples;
    for (int i = 0; i < 21; ++i)
        samples.push_back(KeyMs(view, Qt::Key_X, QStringLiteral("x")));
    const double median = Percentile(samples, 0.5);
    ReportResult("wide_lines_keystroke", median, "ms",
                 {{"ratio_vs_empty_document", median / Percentile(baseline, 0.5)},
                  {"line_bytes", double(width)}});
}

const BenchRegistration startup{"startup_first_paint", StartupFirstPaint};
const BenchRegistration keystrokes{"keystroke_latency", KeystrokeLatency};
const BenchRegistration completion{"completion_popup", CompletionPopup};
const BenchRegistration longLine{"long_line_keystroke", LongLineKeystroke};
const BenchRegistration wideLines{"wide_lines_keystroke", WideLinesKeystroke};

} // namespace
