// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LineComments: Ctrl+/ comments the selected lines out, or takes their comments off again.
#pragma once

#include "common/EditorRange.h"
#include "common/GuardedCommand.h"

#include <QByteArray>
#include <QString>

class QKeyEvent;
class QMenu;
class ScintillaCall;

/// Toggles line comments on the lines the selection touches (LinesTouched). When every one of them
/// that holds more than blanks starts with the comment token after its blanks, one token comes
/// off each of those; otherwise every line gets the token at column 0, as Comment Selected puts
/// it, so that pressing the key twice gives the text back. Either way the change is one undo
/// step and the selection stays on the same text.
class LineComments
{
public:
    /// The key and the menu entry toggle through `guard`.
    LineComments(ScintillaCall &view, const CommandGuard &guard);

    /// The language's comment token; empty leaves the key alone.
    void SetCommentToken(const QString &token);
    /// Takes Ctrl+/ (with or without Shift, which some keyboards need for the slash).
    bool BeforeKey(const QKeyEvent &key);
    void Toggle();
    /// Adds Toggle Comment to a right-click menu of the text.
    void AddMenuEntry(QMenu &menu);

private:
    using Lines = LineSpan;
    /// What a line holds where its blanks end, and where they end.
    struct Start {
        enum Kind { Blank, Comment, Text } kind;
        long at;
    };

    /// The selection that stays on the same text once the lines' tokens are taken off or put on.
    EditorRange AfterUncomment(EditorRange selection, Lines lines) const;
    EditorRange AfterComment(EditorRange selection, Lines lines) const;
    Start StartOf(long line) const;
    bool AllCommented(Lines lines) const;
    bool Comment(Lines lines);
    void Uncomment(Lines lines);

    void RunToggle();

    ScintillaCall &view_;
    const CommandGuard &guard_;
    QByteArray token_;
    int tokenColumns_ = 0;
};
