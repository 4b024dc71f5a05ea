// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a large script in the real window: from the file dialog's answer to the coloured first
// screen, and the first keystroke after it.
#include "BenchCase.h"
#include "BenchEditor.h"
#include "BenchKeys.h"
#include "BenchTiming.h"
#include "ScriptGenerator.h"
#include "app/frmMain.h"
#include "document/FileDialog.h"
#include "editor/EditorControl.h"
#include "language/modQuillcode.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

namespace
{

using Sci = QsciScintillaBase;

/// A file dialog that answers every Open with one path, at once, and notes when it answered.
class AnsweringDialog : public FileDialog
{
public:
    explicit AnsweringDialog(QString path) : path_(std::move(path)) {}

    void StartFolder(const QString &) override {}
    void DialogCaption(const QString &) override {}
    void DefaultExtension(const QString &) override {}
    void ShowOpenDialog() override { answered.start(); }
    void ShowSaveDialog() override {}
    QString ChosenPath() const override { return path_; }
    QString ChosenTitle() const override { return QFileInfo(path_).fileName(); }

    QElapsedTimer answered;

private:
    QString path_;
};

class SilentPrompts : public UserPrompts
{
public:
    void ShowError(const QString &message) override
    {
        std::fprintf(stderr, "open_in_window: %s\n", qPrintable(message));
        std::exit(1);
    }
    void ShowNotice(const QString &) override {}
    UnsavedTextAnswer AskAboutUnsavedText(const QString &) override
    {
        return UnsavedTextAnswer::Discard;
    }
    ChangedFileAnswer AskAboutChangedFile(const QString &) override
    {
        return ChangedFileAnswer::Cancel;
    }
};

/// Notes each paint of the widget it watches.
class PaintWatch : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }

    bool painted = false;
};

/// Notes when a paint of the widget it watches has ended: the paint is handed on from inside the
/// filter, so the note comes after it. One call of processEvents may go on long after the paint
/// (a file's text arriving in slices), so the loop that calls it cannot tell.
class PaintEnd : public QObject
{
public:
    explicit PaintEnd(const QElapsedTimer &clock) : clock_(clock) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || inside_)
            return QObject::eventFilter(watched, event);
        inside_ = true;
        QApplication::sendEvent(watched, event);
        inside_ = false;
        if (check && check() && endedMs < 0)
            endedMs = clock_.nsecsElapsed() / 1e6;
        return true;
    }

    /// What a paint must show to count.
    std::function<bool()> check;
    double endedMs = -1;

private:
    const QElapsedTimer &clock_;
    bool inside_ = false;
};

/// Lets the program handle what comes its way for `ms` milliseconds, as between two keys.
void Pause(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, ms);
}

/// One key pressed and released in `view`, until the view has painted what it changed, in ms.
double KeyToRepaint(QsciScintilla *view, PaintWatch &painted, QKeyCombination key,
                    const QString &text)
{
    return TimeMs([&] {
        SendKey(view, key, text);
        painted.painted = false;
        while (!painted.painted)
            QApplication::processEvents();
    });
}

struct OpenWindow {
    explicit OpenWindow(const QString &path)
    {
        frmMainServices services;
        services.prompts = std::make_unique<SilentPrompts>();
        auto answering = std::make_unique<AnsweringDialog>(path);
        dialog = answering.get();
        services.fileDialog = std::move(answering);
        window = std::make_unique<frmMain>(std::move(services));
        window->show();
        QApplication::processEvents();
        view = window->Code->findChild<QsciScintilla *>();
        view->setFocus();
        view->viewport()->installEventFilter(&painted);
    }

    /// File > Open answered with the path, until the window has painted the coloured first
    /// screen, in milliseconds from the dialog's answer.
    double Open()
    {
        auto *open = window->findChild<QAction *>(QStringLiteral("mnuOpen"));
        open->trigger();
        while (window->windowTitle() == QStringLiteral("Quillmark") ||
               view->SendScintilla(Sci::SCI_GETSTYLEAT, 0L) == 0)
            QApplication::processEvents();
        return dialog->answered.nsecsElapsed() / 1e6;
    }

    /// File > Open answered with the path, until the end of the paint that showed the coloured
    /// first screen with the file's name in the caption, in milliseconds from the answer.
    double OpenToPaintedScreen()
    {
        PaintEnd end(dialog->answered);
        end.check = [this] {
            return window->windowTitle() != QStringLiteral("Quillmark") &&
                   view->SendScintilla(Sci::SCI_GETSTYLEAT, 0L) != 0;
        };
        view->viewport()->installEventFilter(&end);
        auto *open = window->findChild<QAction *>(QStringLiteral("mnuOpen"));
        open->trigger();
        while (end.endedMs < 0)
            QApplication::processEvents();
        view->viewport()->removeEventFilter(&end);
        return end.endedMs;
    }

    /// After Open, until the whole text is in and can be edited, in milliseconds from the
    /// dialog's answer; `longestTurn` is the longest the event loop was held meanwhile.
    double WholeText(double *longestTurn = nullptr)
    {
        QElapsedTimer turn;
        while (window->Code->Loading()) {
            turn.start();
            QApplication::processEvents();
            if (longestTurn)
                *longestTurn = std::max(*longestTurn, turn.nsecsElapsed() / 1e6);
        }
        return dialog->answered.nsecsElapsed() / 1e6;
    }

    double Key(QKeyCombination key, const QString &text = {})
    {
        return KeyToRepaint(view, painted, key, text);
    }

    PaintWatch painted;
    AnsweringDialog *dialog = nullptr;
    std::unique_ptr<frmMain> window;
    QsciScintilla *view = nullptr;
};

/// The in-process open of the same script: the control alone, opened and painted, its text
/// arriving through the event loop as in the window.
double ControlOpen(const QString &path)
{
    EditorControl editor;
    editor.SetLanguageName(QStringLiteral("Quillcode"));
    editor.resize(625, 417);
    editor.show();
    QApplication::processEvents();
    return TimeMs([&] {
        editor.OpenFile(path);
        editor.grab();
        while (editor.Loading())
            QApplication::processEvents();
    });
}

void OpenInWindow(const BenchOptions &options)
{
    modQuillcode::SetupLanguage();
    const ScriptOnDisk script(options.LargeScript());
    const int rounds = 3;
    std::vector<double> window, control;
    for (int round = 0; round < rounds; ++round) {
        control.push_back(ControlOpen(script.path));
        OpenWindow open(script.path);
        open.Open();
        window.push_back(open.WholeText());
    }
    const double median = Percentile(window, 0.5);
    ReportResult("open_in_window", median, "ms",
                 {{"ratio_vs_open_first_paint", median / Percentile(control, 0.5)}});
}

// File > Open in the real window, from the dialog's answer to the painted coloured first screen,
// for the large script and for a script of 100 KB, in turns: the first screen shows before the
// whole file is in, so the size of the file does not show. Beside it, how long until the whole
// text is in and can be edited.
void OpenFirstScreen(const BenchOptions &options)
{
    modQuillcode::SetupLanguage();
    const ScriptOnDisk large(options.LargeScript());
    const ScriptOnDisk small(100'000);
    const int rounds = options.quick ? 2 : 5;
    std::vector<double> largeScreen, smallScreen, whole, longestTurn;
    for (int round = 0; round < rounds; ++round) {
        {
            OpenWindow open(small.path);
            smallScreen.push_back(open.OpenToPaintedScreen());
            open.WholeText();
        }
        OpenWindow open(large.path);
        largeScreen.push_back(open.OpenToPaintedScreen());
        double longest = 0;
        whole.push_back(open.WholeText(&longest));
        longestTurn.push_back(longest);
    }
    const double median = Percentile(largeScreen, 0.5);
    ReportResult("open_first_screen", median, "ms",
                 {{"ratio_vs_small_script", median / Percentile(smallScreen, 0.5)},
                  {"small_script_ms", Percentile(smallScreen, 0.5)},
                  {"whole_text_ms", Percentile(whole, 0.5)},
                  {"longest_turn_while_arriving_ms", Percentile(longestTurn, 0.5)}});
}

// A quick typist's time between two keys. After a jump the view finishes on its own clock: it
// widens the horizontal scroll bar for the longest line it showed 50 ms after the paint, which
// a key pressed at once would otherwise be timed with.
constexpr int BetweenKeysMs = 100;

/// Keys typed at the pace of `FirstKeystrokeAfterOpen` into a bare QsciScintilla holding one
/// short line, at the program window's size: what Scintilla alone pays for a key after a pause.
std::vector<double> BareScintillaKeysAfterPause(int keys)
{
    QsciScintilla bare;
    bare.resize(625, 417);
    bare.setText(QStringLiteral("Print \"Hello\"\n"));
    bare.show();
    bare.setFocus();
    PaintWatch painted;
    bare.viewport()->installEventFilter(&painted);
    QApplication::processEvents();
    std::vector<double> times;
    for (int i = 0; i < keys; ++i) {
        Pause(BetweenKeysMs);
        times.push_back(KeyToRepaint(&bare, painted, Qt::Key_B, QStringLiteral("b")));
    }
    return times;
}

// Typing right after opening, at the end of the script as a user adding to it would: Ctrl+End,
// the time between two keys, then the first character. The later keys come at the same pace:
// on this machine any key after a pause of a few milliseconds costs three to four times a key
// pressed straight after another, in a bare QsciScintilla as much as here (caches and clocks gone
// cold), so only keys at the same pace tell what the first edit itself pays. Beside them: keys at
// that pace in a bare QsciScintilla, and this window's keys typed straight after one another.
void FirstKeystrokeAfterOpen(const BenchOptions &options)
{
    modQuillcode::SetupLanguage();
    const ScriptOnDisk script(options.LargeScript());
    const int rounds = 3;
    const int laterKeys = 10;
    std::vector<double> first, later, backToBack;
    for (int round = 0; round < rounds; ++round) {
        OpenWindow open(script.path);
        open.Open();
        // The first edit's own cost, once the text is whole: Ctrl+End would otherwise wait for
        // the rest of it, and leave the key to caches the load went through.
        open.WholeText();
        open.Key(Qt::ControlModifier | Qt::Key_End);
        Pause(BetweenKeysMs);
        first.push_back(open.Key(Qt::Key_A, QStringLiteral("a")));
        for (int i = 0; i < laterKeys; ++i) {
            Pause(BetweenKeysMs);
            later.push_back(open.Key(Qt::Key_B, QStringLiteral("b")));
        }
        for (int i = 0; i < laterKeys; ++i)
            backToBack.push_back(open.Key(Qt::Key_C, QStringLiteral("c")));
    }
    const std::vector<double> bare = BareScintillaKeysAfterPause(laterKeys * rounds);
    const double median = Percentile(first, 0.5);
    ReportResult("first_keystroke_after_open", median, "ms",
                 {{"ratio_vs_later_keystroke", median / Percentile(later, 0.5)},
                  {"ratio_vs_bare_scintilla_after_pause", median / Percentile(bare, 0.5)},
                  {"later_keystroke_ms", Percentile(later, 0.5)},
                  {"back_to_back_keystroke_ms", Percentile(backToBack, 0.5)}});
}

const BenchRegistration openInWindow{"open_in_window", OpenInWindow};
const BenchRegistration openFirstScreen{"open_first_screen", OpenFirstScreen};
const BenchRegistration firstKeystroke{"first_keystroke_after_open", FirstKeystrokeAfterOpen};

} // namespace
