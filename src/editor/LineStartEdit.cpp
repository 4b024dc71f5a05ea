// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LineStartEdit: insertions at the start of many lines, made as a few large changes in one undo
// step.
#include "LineStartEdit.h"

#include "EditorControl.h"
#include "ScintillaView.h"
#include "common/EditorError.h"

#include <string>

namespace
{

void InsertAt(ScintillaView &view, long position, const char *bytes, qsizetype length)
{
    view.SendScintilla(ScintillaView::SCI_SETTARGETRANGE, position, position);
    view.SendScintilla(ScintillaView::SCI_REPLACETARGET, static_cast<unsigned long>(length), bytes);
}

/// Rewrites the text from a position onwards a piece at a time: old text is copied into a piece
/// with new text between, and each piece, once large enough, replaces the old text it was made
/// from. The edit never needs a second copy of the whole text, and it stays a handful of changes
/// for anyone listening to them. The inserted text holds no line ends, so line numbers keep
/// pointing at the same lines throughout.
class ForwardRewrite
{
public:
    ForwardRewrite(ScintillaView &view, long start) : view_(view), start_(start), copiedTo_(start)
    {
        ReadOld();
    }

    /// Copies the old text from where the last copy ended up to `position` into the piece.
    void CopyUpTo(long position)
    {
        piece_.append(old_ + (copiedTo_ - oldStart_), position - copiedTo_);
        copiedTo_ = position;
    }

    /// Adds new text to the piece, and puts the piece in place once it is large enough.
    void Append(const QByteArray &text)
    {
        piece_.append(text.constData(), text.size());
        if (static_cast<qsizetype>(piece_.size()) >= PieceBytes)
            Finish();
    }

    /// Replaces the old text copied so far by the piece.
    void Finish()
    {
        if (piece_.empty())
            return;
        view_.SendScintilla(ScintillaView::SCI_DELETERANGE, static_cast<unsigned long>(start_),
                            copiedTo_ - start_);
        InsertAt(view_, start_, piece_.data(), static_cast<qsizetype>(piece_.size()));
        start_ += static_cast<long>(piece_.size());
        copiedTo_ = start_;
        piece_.clear();
        ReadOld();
    }

private:
    static constexpr qsizetype PieceBytes = qsizetype(4) << 20;

    // The edits leave the buffer's gap just before the old text, so this moves nothing.
    void ReadOld()
    {
        const long length = view_.SendScintilla(ScintillaView::SCI_GETLENGTH);
        old_ = reinterpret_cast<const char *>(
            view_.SendScintilla(ScintillaView::SCI_GETRANGEPOINTER, copiedTo_, length - copiedTo_));
        oldStart_ = copiedTo_;
    }

    ScintillaView &view_;
    long start_;
    long copiedTo_;
    const char *old_ = nullptr;
    long oldStart_ = 0;
    std::string piece_;
};

} // namespace

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
    view.SendScintilla(ScintillaView::SCI_ALLOCATE, static_cast<unsigned long>(length + added + 1));

    // The first line's text goes in on its own, then the lines after it are rewritten in pieces.
    // Undo replays that in reverse and leaves the caret at the start of the first line, Redo just
    // after the last insertion: where the insertions made one by one would leave it.
    const Run &first = runs_.front();
    const long firstStart =
        view.SendScintilla(ScintillaView::SCI_POSITIONFROMLINE, first.firstLine);
    view.SendScintilla(ScintillaView::SCI_BEGINUNDOACTION);
    InsertAt(view, firstStart, first.text.constData(), first.text.size());
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
