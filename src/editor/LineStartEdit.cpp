// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LineStartEdit: insertions at the start of many lines, made as a few large changes in one undo
// step.
#include "LineStartEdit.h"

#include "EditorControl.h"
#include "ForwardRewrite.h"
#include "ScintillaView.h"
#include "common/EditorError.h"
#include "scriptfile/ScriptFile.h"

LineStartEdit EditorControl::BeginLineStartEdit()
{
    return LineStartEdit(*this);
}

void LineStartEdit::InsertAtLineStart(std::int32_t line, const QString &text)
{
    const long lines = control_.view_->SendScintilla(ScintillaView::SCI_GETLINECOUNT);
    if (line < 0 || line >= lines)
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

void LineStartEdit::Apply()
{
    if (runs_.empty())
        return;
    ScintillaView &view = *control_.view_;
    qsizetype added = 0;
    for (const Run &run : runs_)
        added += (qsizetype(run.lastLine) - run.firstLine + 1) * run.text.size();
    // Room for the whole result first, so the buffer grows once and by no more than it must.
    const long length = view.SendScintilla(ScintillaView::SCI_GETLENGTH);
    // The edit is refused whole when its result would pass the document's limit: made a piece at
    // a time, its pieces would each take out old text that the limit then kept out.
    if (length + added > MaxDocumentBytes) {
        runs_.clear();
        control_.ReportRefusal();
        return;
    }
    view.SendScintilla(ScintillaView::SCI_ALLOCATE, static_cast<unsigned long>(length + added + 1));

    // The first line's text goes in on its own, then the lines after it are rewritten in pieces.
    // Undo replays that in reverse and leaves the caret at the start of the first line, Redo just
    // after the last insertion: where the insertions made one by one would leave it.
    const Run &first = runs_.front();
    const long firstStart =
        view.SendScintilla(ScintillaView::SCI_POSITIONFROMLINE, first.firstLine);
    view.SendScintilla(ScintillaView::SCI_BEGINUNDOACTION);
    InsertBytesAt(view, firstStart, first.text.constData(), first.text.size());
    ForwardRewrite rewrite(view, firstStart + first.text.size());
    for (const Run &run : runs_) {
        for (long line = run.firstLine; line <= run.lastLine; ++line) {
            if (line == first.firstLine)
                continue;
            rewrite.CopyUpTo(view.SendScintilla(ScintillaView::SCI_POSITIONFROMLINE, line));
            rewrite.Append(run.text);
        }
    }
    rewrite.Finish();
    view.SendScintilla(ScintillaView::SCI_ENDUNDOACTION);
    runs_.clear();
}
