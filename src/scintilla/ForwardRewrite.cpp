// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ForwardRewrite: rewriting the text from a position onwards in a few large pieces.
#include "ForwardRewrite.h"

#include "ScintillaCall.h"
#include "scriptfile/ScriptFile.h"

ForwardRewrite::ForwardRewrite(ScintillaCall &view, long start)
    : view_(view), start_(start), copiedTo_(start)
{
    ReadOld();
}

void ForwardRewrite::CopyUpTo(long position)
{
    piece_.append(old_ + (copiedTo_ - oldStart_), position - copiedTo_);
    copiedTo_ = position;
}

// A piece that would take the text past its limit for the moment (the edit grows early and
// shrinks later) waits, growing, until the text can take it: the whole edit was found to fit.
void ForwardRewrite::Append(QByteArrayView text)
{
    piece_.append(text.data(), text.size());
    const auto size = static_cast<qsizetype>(piece_.size());
    if (size >= PieceBytes && view_.Length() - (copiedTo_ - start_) + size <= MaxDocumentBytes)
        Finish();
}

// One replacement, so that a piece the view refused would leave its old text in place.
void ForwardRewrite::Finish()
{
    if (piece_.empty() && copiedTo_ == start_)
        return;
    view_.ReplaceRange(start_, copiedTo_, QByteArrayView(piece_.data(), qsizetype(piece_.size())));
    start_ += static_cast<long>(piece_.size());
    copiedTo_ = start_;
    piece_.clear();
    ReadOld();
}

// The edits leave the buffer's gap just before the old text, so this moves nothing.
void ForwardRewrite::ReadOld()
{
    old_ = view_.RangePointer(copiedTo_, view_.Length() - copiedTo_);
    oldStart_ = copiedTo_;
}
