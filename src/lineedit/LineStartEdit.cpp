// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LineStartEdit: insertions at the start of many lines, made as a few large changes in one undo
// step.
#include "LineStartEdit.h"

#include "common/EditorError.h"
#include "scintilla/ForwardRewrite.h"
#include "scintilla/ScintillaCall.h"

#include <algorithm>

void LineStartEdit::InsertAtLineStart(std::int32_t line, const QString &text)
{
    if (line < 0 || line >= view_.LineCount())
        throw EditorError(QStringLiteral("line %1 is not in the text").arg(line).toStdString());
    if (!runs_.empty() && line <= runs_.back().lastLine)
        throw EditorError(QStringLiteral("line %1 was queued after line %2")
                              .arg(line)
                              .arg(runs_.back().lastLine)
                              .toStdString());
    if (!runs_.empty() && line == runs_.back().lastLine + 1 && text == lastText_) {
        runs_.back().lastLine = line;
        return;
    }
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        throw EditorError("text put at the start of a line cannot hold a line end");
    runs_.push_back(Run{line, line, text.toUtf8()});
    lastText_ = text;
}

// Lines are measured only when one could outgrow the memory the view lays lines out in.
qint64 LineStartEdit::LongestLineAfter(qint64 added) const
{
    if (view_.LongestLine() >= view_.Length() + added)
        return 0;
    qint64 longest = 0;
    for (const Run &run : runs_) {
        for (long line = run.firstLine; line <= run.lastLine; ++line)
            longest = std::max<qint64>(longest, view_.LineEnd(line) - view_.LineStart(line) +
                                                    run.text.size());
    }
    return longest;
}

bool LineStartEdit::Apply()
{
    if (runs_.empty())
        return true;
    qsizetype added = 0;
    for (const Run &run : runs_)
        added += (qsizetype(run.lastLine) - run.firstLine + 1) * run.text.size();
    // Room for the whole result first, so the buffer grows once and by no more than it must.
    // The edit is refused whole when its result would pass the view's limits: made a piece at a
    // time, its pieces would each take out old text that the limits then kept out.
    if (!view_.AllowsGrowth(added, LongestLineAfter(added))) {
        runs_.clear();
        return false;
    }
    view_.Allocate(static_cast<long>(view_.Length() + added + 1));

    // The first line's text goes in on its own, then the lines after it are rewritten in pieces.
    // Undo replays that in reverse and leaves the caret at the start of the first line, Redo just
    // after the last insertion: where the insertions made one by one would leave it.
    const Run &first = runs_.front();
    const long firstStart = view_.LineStart(first.firstLine);
    view_.BeginUndoAction();
    view_.InsertBytes(firstStart, first.text);
    ForwardRewrite rewrite(view_, firstStart + first.text.size());
    for (const Run &run : runs_) {
        for (long line = run.firstLine; line <= run.lastLine; ++line) {
            if (line == first.firstLine)
                continue;
            rewrite.CopyUpTo(view_.LineStart(line));
            rewrite.Append(run.text);
        }
    }
    rewrite.Finish();
    view_.EndUndoAction();
    runs_.clear();
    return true;
}
