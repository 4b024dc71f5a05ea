// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Opening and saving large scripts, each against the plainest way to do the same work.
#include "BenchCase.h"
#include "BenchEditor.h"
#include "RegexHighlighter.h"
#include "ScriptGenerator.h"

#include "editor/EditorControl.h"
#include "language/modQuillcode.h"
#include "scintilla/EditLimits.h"
#include "syntax/LanguageRegistry.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>

#include <malloc.h>

namespace
{

constexpr int Rounds = 3;

/// A generated script in a temporary folder.
struct ScriptOnDisk {
    explicit ScriptOnDisk(qsizetype bytes)
    {
        path = folder.filePath(QStringLiteral("large.qc"));
        QFile file(path);
        const QByteArray script = GenerateScript(bytes);
        size = script.size();
        if (!file.open(QIODevice::WriteOnly) || file.write(script) != script.size())
            qFatal("cannot write the benchmark script to %s", qPrintable(path));
    }

    QTemporaryDir folder;
    QString path;
    qint64 size = 0;
};

double Milliseconds(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.nsecsElapsed() / 1e6;
}

/// The fastest of a few rounds, so a stray pause on a shared machine does not count.
double Fastest(const std::function<double()> &round)
{
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < Rounds; ++i)
        best = std::min(best, round());
    return best;
}

QByteArray ReadWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void ShowAtWorkingSize(QWidget &widget)
{
    widget.resize(800, 600);
    widget.show();
    QApplication::processEvents();
}

double BareScintillaOpen(const QString &path)
{
    QsciScintilla bare;
    bare.setUtf8(true);
    ShowAtWorkingSize(bare);
    return Milliseconds([&] {
        const QByteArray bytes = ReadWhole(path);
        bare.SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0L);
        bare.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0L);
        bare.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT,
                           static_cast<unsigned long>(bytes.size()), bytes.constData());
        bare.grab();
    });
}

double ReadAndCountLines(const QString &path)
{
    qsizetype lines = 0;
    const double elapsed = Milliseconds([&] {
        const QByteArray bytes = ReadWhole(path);
        const char *p = bytes.constData();
        const char *const end = p + bytes.size();
        while ((p = static_cast<const char *>(std::memchr(p, '\n', end - p)))) {
            ++lines;
            ++p;
        }
    });
    if (lines == 0)
        qFatal("the benchmark script has no lines");
    return elapsed;
}

double EditorOpen(const QString &path)
{
    EditorControl editor;
    editor.SetLanguageName(QStringLiteral("Quillcode"));
    ShowAtWorkingSize(editor);
    return Milliseconds([&] {
        OpenWhole(editor, path);
        editor.grab();
    });
}

// What a Qt program would do by default: the text in a QPlainTextEdit, coloured by a
// QSyntaxHighlighter with regular expressions for the same word lists. It colours the whole text
// before the first paint, so it is timed on the medium script and scaled to the large one.
double PlainTextEditOpen(const QString &path)
{
    const auto definition = LanguageRegistry().Find(QStringLiteral("Quillcode"));
    QPlainTextEdit editor;
    RegexHighlighter highlighter(*definition, editor.document());
    ShowAtWorkingSize(editor);
    return Milliseconds([&] {
        editor.setPlainText(QString::fromUtf8(ReadWhole(path)));
        editor.grab();
    });
}

void OpenFirstPaint(const BenchOptions &options)
{
    modQuillcode::SetupLanguage();
    const ScriptOnDisk script(options.LargeScript());
    ReadAndCountLines(script.path);
    const double bare = Fastest([&] { return BareScintillaOpen(script.path); });
    const double editor = Fastest([&] { return EditorOpen(script.path); });
    const double floor = Fastest([&] { return ReadAndCountLines(script.path); });
    double plain = 0;
    {
        const ScriptOnDisk medium(options.MediumScript());
        plain = PlainTextEditOpen(medium.path);
    }
    const double scale = double(options.LargeScript()) / double(options.MediumScript());
    ReportResult("open_first_paint", editor, "ms",
                 {{"ratio_vs_bare_scintilla", editor / bare},
                  {"ratio_vs_read_and_count_lines", editor / floor},
                  {"ratio_vs_plain_text_edit", editor / (plain * scale)},
                  {"plain_text_edit_ms_at_medium_size", plain},
                  {"plain_text_edit_scaled_by", scale}});
}

/// A field of /proc/self/status in bytes (the kernel gives kB).
qint64 StatusBytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        qFatal("cannot read /proc/self/status");
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(std::strlen(field)).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    qFatal("/proc/self/status has no %s", field);
}

void OpenPeakMemory(const BenchOptions &options)
{
    const ScriptOnDisk script(options.LargeScript());
    EditorControl editor;
    ShowAtWorkingSize(editor);
    // Give freed memory back and start the peak afresh, so only the opening counts.
    malloc_trim(0);
    QFile resetPeak(QStringLiteral("/proc/self/clear_refs"));
    if (!resetPeak.open(QIODevice::WriteOnly) || resetPeak.write("5") != 1)
        qFatal("cannot reset the peak resident size through /proc/self/clear_refs");
    resetPeak.close();
    const qint64 before = StatusBytes("VmRSS:");
    OpenWhole(editor, script.path);
    editor.grab();
    const qint64 growth = StatusBytes("VmHWM:") - before;
    ReportResult("open_peak_memory", growth / 1e6, "MB",
                 {{"ratio_to_file_size", double(growth) / double(script.size)}});
}

// A script that is one long line, shown: the memory its layout takes for each byte of the line,
// against the factor by which the editor refuses lines the computer's memory cannot lay out.
void LongLineLayoutMemory(const BenchOptions &options)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("line.qc"));
    const qsizetype bytes = options.quick ? qsizetype(4) << 20 : qsizetype(50) << 20;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(bytes, 'a')) != bytes)
        qFatal("cannot write the one-line script");
    file.close();
    EditorControl editor;
    ShowAtWorkingSize(editor);
    editor.OpenFile(path);
    malloc_trim(0);
    const qint64 before = StatusBytes("VmRSS:");
    editor.grab();
    const double perByte = double(StatusBytes("VmRSS:") - before) / double(bytes);
    ReportResult("long_line_layout_memory", perByte, "bytes a byte",
                 {{"ratio_vs_refusal_factor", perByte / double(LayoutBytesPerByte)}});
}

void Save(const BenchOptions &options)
{
    const ScriptOnDisk script(options.LargeScript());
    const QString target = script.folder.filePath(QStringLiteral("saved.qc"));
    const QByteArray bytes = ReadWhole(script.path);
    const auto bareSave = [&] {
        return Milliseconds([&] {
            QSaveFile file(target);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
                !file.commit())
                qFatal("the bare save failed");
        });
    };
    const auto middleLine = static_cast<std::int32_t>(bytes.count('\n') / 2);
    EditorControl editor;
    OpenWhole(editor, script.path);
    const auto editorSave = [&] {
        // An edit in the middle first, as before a real save, so the text is not one block.
        editor.SetSelection(EditorRange{middleLine, 0, middleLine, 0}, false);
        editor.SetSelectedText(QStringLiteral(" "));
        return Milliseconds([&] { editor.SaveFile(target, true); });
    };
    bareSave();
    const double bare = Fastest(bareSave);
    const double ours = Fastest(editorSave);
    ReportResult("save", ours, "ms", {{"ratio_vs_bare_qsavefile", ours / bare}});
}

const BenchRegistration openFirstPaint{"open_first_paint", OpenFirstPaint};
const BenchRegistration openPeakMemory{"open_peak_memory", OpenPeakMemory};
const BenchRegistration longLineLayout{"long_line_layout_memory", LongLineLayoutMemory};
const BenchRegistration save{"save", Save};

} // namespace
