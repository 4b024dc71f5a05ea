// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ForwardRewrite: rewriting the text from a position onwards in a few large pieces.
#include "ForwardRewrite.h"

#include "ScintillaView.h"

void InsertBytesAt(ScintillaView &view, long position, const char *bytes, qsizetype length)
{
    view.SendScintilla(ScintillaView::SCI_SETTARGETRANGE, position, position);
    view.SendScintilla(ScintillaView::SCI_REPLACETARGET, static_cast<unsigned long>(length), bytes);
}

ForwardRewrite::ForwardRewrite(ScintillaView &view, long start)
    : view_(view), start_(start), copiedTo_(start)
{
    ReadOld();
}

void ForwardRewrite::CopyUpTo(long position)
{
    piece_.append(old_ + (copiedTo_ - oldStart_), position - copiedTo_);
    copiedTo_ = position;
}

void ForwardRewrite::Append(const QByteArray &text)
{
    piece_.append(text.constData(), text.size());
    if (static_cast<qsizetype>(piece_.size()) >= PieceBytes)
        Finish();
}

void ForwardRewrite::Finish()
{
    if (piece_.empty() && copiedTo_ == start_)
        return;
    view_.SendScintilla(ScintillaView::SCI_DELETERANGE, static_cast<unsigned long>(start_),
                        copiedTo_ - start_);
    if (!piece_.empty())
        InsertBytesAt(view_, start_, piece_.data(), static_cast<qsizetype>(piece_.size()));
    start_ += static_cast<long>(piece_.size());
    copiedTo_ = start_;
    piece_.clear();
    ReadOld();
}

// The edits leave the buffer's gap just before the old text, so this moves nothing.
void ForwardRewrite::ReadOld()
{
    const long length = view_.SendScintilla(ScintillaView::SCI_GETLENGTH);
    old_ = reinterpret_cast<const char *>(
        view_.SendScintilla(ScintillaView::SCI_GETRANGEPOINTER, copiedTo_, length - copiedTo_));
    oldStart_ = copiedTo_;
}
