// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Comment Selected over every line of a large script, and its Undo, against opening that script.
#include "BenchCase.h"
#include "BenchEditor.h"
#include "ScriptGenerator.h"

#include "editing/CommentSelected.h"
#include "editor/EditorControl.h"
#include "syntax/LanguageRegistry.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <map>

namespace
{

constexpr int Rounds = 7;
// The tenth-size text takes a tenth of the time, so a stray pause on a shared machine weighs ten
// times as much in its best time: it gets more rounds for the same steadiness.
constexpr int TenthRounds = 5 * Rounds;

/// Best times in milliseconds over the rounds, for one script size.
struct Timings {
    double open = std::numeric_limits<double>::max();
    double comment = std::numeric_limits<double>::max();
    double undo = std::numeric_limits<double>::max();
    /// The processor time the command took, which time given to other processes does not swell.
    double commentCpu = std::numeric_limits<double>::max();
};

double ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

template <typename Work> double Milliseconds(Work &&work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

/// Stops the run when a command did not do its work, so no result hides a broken command.
void Require(bool holds, const char *what)
{
    if (holds)
        return;
    std::fprintf(stderr, "bench_editing: %s\n", what);
    std::exit(1);
}

/// A generated script in a file and a control to open it in.
/// A language of nothing but the apostrophe comment, so the command has its token and nothing
/// colours or folds the text it is timed on.
QString CommentOnlyLanguage()
{
    const QString name = QStringLiteral("comments only");
    LanguageDefinition definition;
    definition.CommentToken = QStringLiteral("'");
    LanguageRegistry().RegisterLanguage(name, definition);
    return name;
}

class Subject
{
public:
    explicit Subject(qsizetype bytes) : script_(GenerateScript(bytes))
    {
        code_.SetLanguageName(CommentOnlyLanguage());
        path_ = dir_.filePath(QStringLiteral("bench.qc"));
        QFile file(path_);
        Require(file.open(QIODevice::WriteOnly) && file.write(script_) == script_.size(),
                "cannot write the script");
        lastLine_ = static_cast<std::int32_t>(script_.count('\n'));
    }

    /// Opens the script, comments every line and undoes that, keeping the best time of each.
    void Round()
    {
        best.open = std::min(best.open, Milliseconds([&] { OpenWhole(code_, path_); }));
        code_.SetSelection(EditorRange{0, 0, lastLine_, 0}, false);
        const double cpuBefore = ThreadCpuMs();
        best.comment =
            std::min(best.comment, Milliseconds([&] { CommentSelected::CommentLines(code_); }));
        best.commentCpu = std::min(best.commentCpu, ThreadCpuMs() - cpuBefore);
        best.undo = std::min(best.undo, Milliseconds([&] { code_.Undo(); }));
    }

    /// Stops the run unless the command commented every line and its Undo restored the script.
    /// Done once, untimed, so the large copies of the text it makes stay out of the rounds.
    void Verify()
    {
        OpenWhole(code_, path_);
        code_.SetSelection(EditorRange{0, 0, lastLine_, 0}, false);
        CommentSelected::CommentLines(code_);
        // The selection ends at column 0 of the empty line after the last line end, which is
        // left out; every line of text before it gets its mark.
        Require(code_.Text().size() == script_.size() + lastLine_, "not every line was commented");
        code_.Undo();
        Require(code_.Text() == QString::fromUtf8(script_), "undo did not restore the script");
    }

    Timings best;

private:
    QByteArray script_;
    QTemporaryDir dir_;
    QString path_;
    std::int32_t lastLine_ = 0;
    EditorControl code_;
};

/// The medium script's timings and those of a tenth of it, measured once per run. Each size runs
/// all its rounds on its own: taking turns would leave each size's large buffers to be allocated
/// afresh in memory the other one has just split up, and measure the allocator instead.
const std::pair<Timings, Timings> &Measured(const BenchOptions &options)
{
    static std::map<bool, std::pair<Timings, Timings>> cache;
    auto found = cache.find(options.quick);
    if (found != cache.end())
        return found->second;
    std::pair<Timings, Timings> measured;
    {
        Subject full(options.MediumScript());
        full.Verify();
        for (int round = 0; round < Rounds; ++round)
            full.Round();
        measured.first = full.best;
    }
    Subject tenth(options.MediumScript() / 10);
    tenth.Verify();
    for (int round = 0; round < TenthRounds; ++round)
        tenth.Round();
    measured.second = tenth.best;
    return cache.emplace(options.quick, measured).first->second;
}

void CommentSelectedCase(const BenchOptions &options)
{
    const auto &[full, tenth] = Measured(options);
    ReportResult("comment_selected", full.comment, "ms",
                 {{"ratio_vs_open", full.comment / full.open},
                  {"growth_10x", full.commentCpu / tenth.commentCpu},
                  {"cpu_ms", full.commentCpu},
                  {"tenth_cpu_ms", tenth.commentCpu}});
}

void UndoCommentSelectedCase(const BenchOptions &options)
{
    const Timings &full = Measured(options).first;
    ReportResult("undo_comment_selected", full.undo, "ms",
                 {{"ratio_vs_open", full.undo / full.open}});
}

BenchRegistration commentSelected{"comment_selected", CommentSelectedCase};
BenchRegistration undoCommentSelected{"undo_comment_selected", UndoCommentSelectedCase};

} // namespace
