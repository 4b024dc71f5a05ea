// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// AutoIndent: copies the previous line's indentation to a line started with Return.
#include "AutoIndent.h"

#include "scintilla/ScintillaCall.h"

#include <QByteArray>
#include <QKeyEvent>

#include <algorithm>

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

// Return replaces the selection by a line end, and the new line then gets the blanks the line
// before it starts with, up to where the selection started.
bool AutoIndent::BeforeKey(const QKeyEvent &key)
{
    const auto modifiers =
        key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if ((key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) ||
        modifiers != Qt::NoModifier || view_.Selections() != 1)
        return false;
    const long start = view_.SelectionStart();
    const long line = view_.LineFromPosition(start);
    const long from = view_.LineStart(line);
    QByteArray added(view_.LineEnds() == ScintillaCall::LineEndMode::CrLf ? "\r\n"
                     : view_.LineEnds() == ScintillaCall::LineEndMode::Cr ? "\r"
                                                                          : "\n");
    const long indent = IndentBytes(line, start);
    added.append(view_.RangePointer(from, indent), indent);
    return !view_.Allows(start, view_.SelectionEnd(), added);
}

long AutoIndent::IndentBytes(long line, long end) const
{
    const long from = view_.LineStart(line);
    const long length = std::min(view_.LineIndentPosition(line), end) - from;
    return length > LongestIndentBytes ? 0 : length;
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
    const long length = IndentBytes(line - 1, caret);
    if (length == 0)
        return;
    const QByteArray copy(view_.RangePointer(from, length), length);
    view_.AddText(copy);
}
