// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// AutoIndent: copies the previous line's indentation to a line started with Return.
#include "AutoIndent.h"

#include "scintilla/ScintillaCall.h"

#include <QByteArray>

namespace
{

// The longest indentation carried to a new line. A longer run of blanks is padding in data
// rather than indentation, and copying it at every Return would be felt.
constexpr long LongestIndentBytes = 1024;

} // namespace

AutoIndent::AutoIndent(ScintillaCall &view) : view_(view)
{
    QObject::connect(&view_, &ScintillaCall::CharacterAdded, &view_,
                     [this](int character) { CharacterTyped(character); });
}

// Scintilla reports each character of a typed line end once the whole line end is in, so only
// its last character (the line feed, or the carriage return of a CR document) starts a line.
void AutoIndent::CharacterTyped(int character)
{
    const int lastOfLineEnd = view_.LineEnds() == ScintillaCall::LineEndMode::Cr ? '\r' : '\n';
    if (character != lastOfLineEnd || view_.Selections() != 1)
        return;
    const long caret = view_.CurrentPos();
    const long line = view_.LineFromPosition(caret);
    if (line == 0 || caret != view_.LineStart(line))
        return;
    const long from = view_.LineStart(line - 1);
    const long length = view_.LineIndentPosition(line - 1) - from;
    if (length == 0 || length > LongestIndentBytes)
        return;
    const QByteArray copy(view_.RangePointer(from, length), length);
    view_.AddText(copy);
}
