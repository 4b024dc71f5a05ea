// Comment Selected over every line of a large script, and its Undo, against opening that script.
#include "BenchCase.h"
#include "ScriptGenerator.h"

#include "editing/CommentSelected.h"
#include "editor/EditorControl.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>

namespace
{

constexpr int Rounds = 5;

/// Best times in milliseconds over the rounds, for one script size.
struct Timings {
    double open = std::numeric_limits<double>::max();
    double comment = std::numeric_limits<double>::max();
    double undo = std::numeric_limits<double>::max();
};

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

/// Opens a generated script of about `bytes` bytes from a file, comments every line and undoes
/// that, keeping the best time of each step.
Timings Measure(qsizetype bytes)
{
    const QByteArray script = GenerateScript(bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.qc"));
    QFile file(path);
    Require(file.open(QIODevice::WriteOnly) && file.write(script) == script.size(),
            "cannot write the script");
    file.close();
    const auto lastLine = static_cast<std::int32_t>(script.count('\n'));
    const EditorRange everyLine{0, 0, lastLine, 0};

    EditorControl code;
    Timings best;
    for (int round = 0; round < Rounds; ++round) {
        best.open = std::min(best.open, Milliseconds([&] { code.OpenFile(path); }));
        code.SetSelection(everyLine, false);
        best.comment =
            std::min(best.comment, Milliseconds([&] { CommentSelected::CommentLines(code); }));
        Require(code.Text().size() == script.size() + lastLine + 1, "not every line was commented");
        best.undo = std::min(best.undo, Milliseconds([&] { code.Undo(); }));
        Require(code.Text().size() == script.size(), "undo did not restore the script");
    }
    return best;
}

/// The medium script's timings and the comment time on a tenth of it, measured once per run.
const std::pair<Timings, Timings> &Measured(const BenchOptions &options)
{
    static std::map<bool, std::pair<Timings, Timings>> cache;
    auto found = cache.find(options.quick);
    if (found == cache.end())
        found = cache
                    .emplace(options.quick, std::pair{Measure(options.MediumScript()),
                                                      Measure(options.MediumScript() / 10)})
                    .first;
    return found->second;
}

void CommentSelectedCase(const BenchOptions &options)
{
    const auto &[full, tenth] = Measured(options);
    ReportResult("comment_selected", full.comment, "ms",
                 {{"ratio_vs_open", full.comment / full.open},
                  {"growth_10x", full.comment / tenth.comment}});
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
