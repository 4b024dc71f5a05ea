// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// AutoIndent: copies the previous line's indentation to a line started with Return.
#include "AutoIndent.h"

#include "ScintillaView.h"

namespace
{

using Sci = QsciScintillaBase;

// The longest indentation carried to a new line. A longer run of blanks is padding in data
// rather than indentation, and copying it at every Return would be felt.
constexpr long LongestIndentBytes = 1024;

} // namespace

AutoIndent::AutoIndent(ScintillaView &view) : view_(view)
{
    QObject::connect(&view_, &ScintillaView::SCN_CHARADDED, &view_,
                     [this](int character) { CharacterTyped(character); });
}

// Scintilla reports each character of a typed line end once the whole line end is in, so only
// its last character (the line feed, or the carriage return of a CR document) starts a line.
void AutoIndent::CharacterTyped(int character)
{
    const int lastOfLineEnd =
        view_.SendScintilla(Sci::SCI_GETEOLMODE) == Sci::SC_EOL_CR ? '\r' : '\n';
    if (character != lastOfLineEnd || view_.SendScintilla(Sci::SCI_GETSELECTIONS) != 1)
        return;
    const long caret = view_.SendScintilla(Sci::SCI_GETCURRENTPOS);
    const long line =
        view_.SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(caret));
    if (line == 0 ||
        caret != view_.SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)))
        return;
    const long from =
        view_.SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line - 1));
    const long to =
        view_.SendScintilla(Sci::SCI_GETLINEINDENTPOSITION, static_cast<unsigned long>(line - 1));
    const long length = to - from;
    if (length == 0 || length > LongestIndentBytes)
        return;
    const auto *indent = reinterpret_cast<const char *>(
        view_.SendScintilla(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), length));
    const QByteArray copy(indent, length);
    view_.Send(Sci::SCI_ADDTEXT, static_cast<unsigned long>(length), copy.constData());
}
