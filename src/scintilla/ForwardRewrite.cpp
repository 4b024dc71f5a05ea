// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ForwardRewrite: rewriting the text from a position onwards in a few large pieces.
#include "ForwardRewrite.h"

#include "ScintillaCall.h"

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

void ForwardRewrite::Append(QByteArrayView text)
{
    piece_.append(text.data(), text.size());
    if (static_cast<qsizetype>(piece_.size()) >= PieceBytes)
        Finish();
}

void ForwardRewrite::Finish()
{
    if (piece_.empty() && copiedTo_ == start_)
        return;
    view_.DeleteRange(start_, copiedTo_ - start_);
    if (!piece_.empty())
        view_.InsertBytes(start_, QByteArrayView(piece_.data(), qsizetype(piece_.size())));
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
