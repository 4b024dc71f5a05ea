// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Find and replace on a large script: the next match against memmem over the same bytes, typing
// in the find field against a frame, and Replace All and its Undo against opening the script.
#include "BenchCase.h"
#include "BenchEditor.h"
#include "BenchKeys.h"
#include "BenchTiming.h"
#include "ScriptGenerator.h"

#include "editor/EditorControl.h"
#include "find/FindBar.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{

constexpr double FrameMs = 1000.0 / 60.0;
const QByteArray Marker = "Call QuestComplete(index, 77)\r\n";
const QString Needle = QStringLiteral("questcomplete(");

void Require(bool holds, const char *what)
{
    if (holds)
        return;
    std::fprintf(stderr, "bench_find: %s\n", what);
    std::exit(1);
}

/// A script on disk and a shown control holding it.
struct Subject {
    explicit Subject(const QByteArray &bytes) : script(bytes)
    {
        path = folder.filePath(QStringLiteral("bench.qc"));
        QFile file(path);
        Require(file.open(QIODevice::WriteOnly) && file.write(script) == script.size(),
                "cannot write the script");
        code.resize(900, 600);
        code.show();
        QApplication::processEvents();
    }

    double Open()
    {
        return TimeMs([&] { OpenWhole(code, path); });
    }
    QsciScintilla &View() { return *code.findChild<QsciScintilla *>(); }
    /// The find bar, made (by Ctrl+F) when the control has not made it yet.
    FindBar &Bar()
    {
        if (!code.findChild<FindBar *>())
            Trigger(QKeySequence(Qt::CTRL | Qt::Key_F));
        return *code.findChild<FindBar *>();
    }
    void Trigger(const QKeySequence &key)
    {
        for (QAction *action : code.actions())
            if (action->shortcut() == key)
                action->trigger();
    }
    long SelectionStart() { return View().SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART); }
    QString Status() { return Bar().findChild<QLabel *>(QStringLiteral("findStatus"))->text(); }
    bool Searching() { return Status() == QStringLiteral("Searching..."); }

    QByteArray script;
    QTemporaryDir folder;
    QString path;
    EditorControl code;
};

/// The generated script with the marker written at a line start near its end.
QByteArray ScriptWithMarkerNearEnd(qsizetype bytes, qsizetype &markerAt)
{
    QByteArray script = GenerateScript(bytes);
    markerAt = script.indexOf("Sub ", script.size() * 99 / 100);
    script.insert(markerAt, Marker);
    return script;
}

void FindNext(const BenchOptions &options)
{
    qsizetype markerAt = 0;
    Subject subject(ScriptWithMarkerNearEnd(options.LargeScript(), markerAt));
    subject.Open();
    subject.Bar().SetSearchText(Needle);
    const auto ours = [&] {
        subject.code.SetSelection(EditorRange{}, false);
        return TimeMs([&] {
            subject.Trigger(QKeySequence(Qt::Key_F3));
            while (subject.SelectionStart() != markerAt + 5)
                QApplication::processEvents();
        });
    };
    const char *bytes = reinterpret_cast<const char *>(
        subject.View().SendScintilla(QsciScintilla::SCI_GETCHARACTERPOINTER));
    const long length = subject.View().SendScintilla(QsciScintilla::SCI_GETLENGTH);
    const auto bare = [&] {
        const void *found = nullptr;
        const double elapsed = TimeMs([&] { found = memmem(bytes, length, "QuestComplete(", 14); });
        Require(found == bytes + markerAt + 5, "memmem found the marker elsewhere");
        return elapsed;
    };
    std::vector<double> mine, theirs, exact;
    for (int round = 0; round < (options.quick ? 3 : 9); ++round) {
        theirs.push_back(bare());
        mine.push_back(ours());
    }
    subject.code.setFocus();
    subject.Trigger(QKeySequence(Qt::ALT | Qt::Key_C));
    subject.Bar().SetSearchText(QStringLiteral("QuestComplete("));
    for (int round = 0; round < (options.quick ? 3 : 9); ++round)
        exact.push_back(ours());
    const double median = Percentile(mine, 0.5), memmemMs = Percentile(theirs, 0.5);
    ReportResult("find_next", median, "ms",
                 {{"ratio_vs_memmem", median / memmemMs},
                  {"match_case_ratio_vs_memmem", Percentile(exact, 0.5) / memmemMs}});
}

/// Types the needle into the field a key at a time from the top of the script; for each key,
/// the longest time the event loop was held, until the match or "No matches" showed.
void FindTyping(const BenchOptions &options)
{
    qsizetype markerAt = 0;
    Subject subject(ScriptWithMarkerNearEnd(options.LargeScript(), markerAt));
    subject.Open();
    subject.code.SetSelection(EditorRange{}, false);
    subject.Trigger(QKeySequence(Qt::CTRL | Qt::Key_F));
    // The first paint of the script and of the bar, before the typing.
    for (int turn = 0; turn < 10; ++turn)
        QApplication::processEvents();
    QLineEdit *field = subject.Bar().findChild<QLineEdit *>(QStringLiteral("searchField"));
    std::vector<double> longest;
    double untilFound = 0;
    for (const QChar typed : Needle) {
        double block = 0;
        const double whole = TimeMs([&] {
            block = TimeMs([&] { SendKey(field, Qt::Key_unknown, QString(typed)); });
            while (subject.Searching() || subject.Status().isEmpty())
                block = std::max(block, TimeMs([] { QApplication::processEvents(); }));
            // The count comes in a turn of its own.
            block = std::max(block, TimeMs([] { QApplication::processEvents(); }));
        });
        untilFound = std::max(untilFound, whole);
        longest.push_back(block);
    }
    Require(subject.SelectionStart() == markerAt + 5, "typing did not find the marker");
    const double p95 = Percentile(longest, 0.95);
    ReportResult("find_typing", p95, "ms",
                 {{"ratio_vs_frame", p95 / FrameMs},
                  {"median_ms", Percentile(longest, 0.5)},
                  {"slowest_until_found_ms", untilFound}});
}

/// The generated script with exactly `count` of its "vbYellow" left, evenly spread, and the
/// others made "vbOrange".
QByteArray ScriptWithMatches(qsizetype bytes, qsizetype count)
{
    QByteArray script = GenerateScript(bytes);
    std::vector<qsizetype> at;
    for (qsizetype found = 0; (found = script.indexOf("vbYellow", found)) >= 0; ++found)
        at.push_back(found);
    Require(qsizetype(at.size()) >= count, "the script holds too few matches");
    qsizetype kept = 0;
    for (std::size_t i = 0; i < at.size(); ++i) {
        const bool keep = kept < count && qsizetype(i) * count / qsizetype(at.size()) >= kept;
        kept += keep;
        if (!keep)
            std::memcpy(script.data() + at[i], "vbOrange", 8);
    }
    return script;
}

struct ReplaceTimings {
    double open = 0;
    double replace = 0;
    double undo = 0;
};

ReplaceTimings MeasureReplaceAll(qsizetype bytes, qsizetype count, int rounds)
{
    Subject subject(ScriptWithMatches(bytes, count));
    subject.Bar().SetSearchText(QStringLiteral("vbYellow"));
    subject.Bar()
        .findChild<QLineEdit *>(QStringLiteral("replaceField"))
        ->setText(QStringLiteral("vbGreen"));
    auto *replaceAll = subject.Bar().findChild<QPushButton *>(QStringLiteral("replaceAll"));
    std::vector<double> open, replace, undo;
    for (int round = 0; round < rounds; ++round) {
        open.push_back(subject.Open());
        replace.push_back(TimeMs([&] { replaceAll->click(); }));
        if (round == 0)
            Require(subject.Status() == QStringLiteral("Replaced %1").arg(count),
                    "Replace All replaced another number of matches");
        undo.push_back(TimeMs([&] { subject.code.Undo(); }));
    }
    const char *text = reinterpret_cast<const char *>(
        subject.View().SendScintilla(QsciScintilla::SCI_GETCHARACTERPOINTER));
    Require(subject.View().SendScintilla(QsciScintilla::SCI_GETLENGTH) == subject.script.size() &&
                std::memcmp(text, subject.script.constData(), subject.script.size()) == 0,
            "Undo did not give back the script");
    return {Percentile(open, 0.5), Percentile(replace, 0.5), Percentile(undo, 0.5)};
}

void ReplaceAllCase(const BenchOptions &options)
{
    const qsizetype bytes = options.LargeScript();
    const qsizetype count = 100'000 * bytes / 100'000'000;
    const int rounds = options.quick ? 3 : 5;
    const ReplaceTimings full = MeasureReplaceAll(bytes, count, rounds);
    const ReplaceTimings tenth = MeasureReplaceAll(bytes / 10, count / 10, rounds);
    ReportResult("replace_all", full.replace, "ms",
                 {{"ratio_vs_open", full.replace / full.open},
                  {"growth_10x", full.replace / tenth.replace}});
    ReportResult("undo_replace_all", full.undo, "ms", {{"ratio_vs_open", full.undo / full.open}});
}

const BenchRegistration findNext{"find_next", FindNext};
const BenchRegistration findTyping{"find_typing", FindTyping};
const BenchRegistration replaceAll{"replace_all", ReplaceAllCase};

} // namespace
