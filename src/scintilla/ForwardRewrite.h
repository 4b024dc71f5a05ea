// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ForwardRewrite: rewriting the text from a position onwards in a few large pieces.
#pragma once

#include <QByteArray>

#include <string>

class ScintillaCall;

/// Rewrites the text from a position onwards a piece at a time: old text is copied into a piece
/// with new text between, and each piece, once large enough, replaces the old text it was made
/// from. The edit never needs a second copy of the whole text, and it stays a handful of changes
/// for anyone listening to them and for the undo history. The edit must have been found to keep
/// within the view's limits as a whole (ScintillaCall::AllowsGrowth) before it starts.
class ForwardRewrite
{
public:
    ForwardRewrite(ScintillaCall &view, long start);

    /// Copies the old text from where the last copy ended up to `position` into the piece.
    void CopyUpTo(long position);
    /// Leaves the old text from where the last copy ended up to `position` out of the piece, so
    /// that the piece replaces it.
    void SkipTo(long position) { copiedTo_ = position; }
    /// Adds new text to the piece, and puts the piece in place once it is large enough.
    void Append(QByteArrayView text);
    /// Replaces the old text copied so far by the piece.
    void Finish();

private:
    // Each piece is copied, and its old text read, several times (into the piece, into the undo
    // history, into the buffer): pieces that stay in the processor's cache keep the cost per byte
    // the same for any size of text, yet are few enough to stay a handful of undo actions.
    static constexpr qsizetype PieceBytes = qsizetype(1) << 20;

    void ReadOld();

    ScintillaCall &view_;
    long start_;
    long copiedTo_;
    const char *old_ = nullptr;
    long oldStart_ = 0;
    std::string piece_;
};
