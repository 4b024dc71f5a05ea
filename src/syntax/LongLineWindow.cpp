// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// QuillLexer's long lines: a line of megabytes is shown through a window around the caret.
#include "QuillLexer.h"

#include <Qsci/qsciscintilla.h>

#include <QTimer>

#include <algorithm>

namespace
{

using Sci = QsciScintillaBase;

// The window is three tiles: the one that holds the caret and one on each side, so the caret is
// always a tile away from the window's edges unless the line ends there.
constexpr long TileBytes = 4 * 1024;

bool ContinuationByte(long byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

// Scintilla lays a line out whole, measuring every visible character, each time its text or
// styles change: about 0.6 us a byte here, so typing in a line of 10 MB took seconds a key and
// one of 100 MB a minute. A character in an invisible style is not measured: it takes no room
// and costs about a tenth of that. So only a window of a long line is shown (a few screens of
// text around the caret, in the plain style); the rest of the line is there, is saved, found,
// copied and edited as ever, but takes no room on screen until the caret comes near it.
bool QuillLexer::IsLongLine(long line) const
{
    return Send(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line)) - LineStart(line) >
           LongLineBytes;
}

long QuillLexer::CharacterStart(long position, long limit) const
{
    while (position < limit &&
           ContinuationByte(Send(Sci::SCI_GETCHARAT, static_cast<unsigned long>(position))))
        ++position;
    return position;
}

QuillLexer::LineWindow QuillLexer::WindowFor(long line) const
{
    const long start = LineStart(line);
    const long end = Send(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    const long caret = Send(Sci::SCI_GETCURRENTPOS);
    const bool caretOnLine = caret >= start && caret <= end;
    if (!caretOnLine && recentWindow_.lineStart == start && recentWindow_.lineEnd == end)
        return recentWindow_;
    const long anchor = caretOnLine ? caret : start;
    const long tile = start + (anchor - start) / TileBytes * TileBytes;
    LineWindow window{start, end, std::max(start, tile - TileBytes),
                      std::min(end, tile + 2 * TileBytes)};
    window.shownStart = CharacterStart(window.shownStart, end);
    window.shownEnd = CharacterStart(window.shownEnd, end);
    return window;
}

bool QuillLexer::IsHidden(long position) const
{
    return Send(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(position)) == HiddenText;
}

// Typing in the window moves its far edge, and each restyling makes Scintilla lay the line out
// once more: edges up to half a tile inside or a tile outside of where they belong are left
// alone. The probes look at the window and at the line's ends, where edits far from the caret
// (an undo, a replacement) would show.
bool QuillLexer::WindowShown(const LineWindow &window) const
{
    const long innerStart = std::min(window.shownStart + TileBytes / 2, window.shownEnd);
    const long innerEnd = std::max(window.shownEnd - TileBytes / 2, innerStart);
    if (innerStart < innerEnd && (IsHidden(innerStart) || IsHidden(innerEnd - 1)))
        return false;
    const long outerStart = std::max(window.lineStart, window.shownStart - TileBytes);
    const long outerEnd = std::min(window.lineEnd, window.shownEnd + TileBytes);
    if (outerStart > window.lineStart && !(IsHidden(window.lineStart) && IsHidden(outerStart - 1)))
        return false;
    return outerEnd >= window.lineEnd || (IsHidden(outerEnd) && IsHidden(window.lineEnd - 1));
}

void QuillLexer::SetStyle(long from, long to, int style)
{
    if (from >= to)
        return;
    Send(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(from));
    Send(Sci::SCI_SETSTYLING, static_cast<unsigned long>(to - from), style);
}

void QuillLexer::ShowThroughWindow(long line)
{
    if (Send(Sci::SCI_STYLEGETVISIBLE, HiddenText) != 0)
        Send(Sci::SCI_STYLESETVISIBLE, HiddenText, 0);
    const LineWindow window = WindowFor(line);
    if (!WindowShown(window)) {
        SetStyle(window.lineStart, window.shownStart, HiddenText);
        SetStyle(window.shownStart, window.shownEnd, ColouredDefault);
        SetStyle(window.shownEnd, window.lineEnd, HiddenText);
        SetStyle(window.lineEnd, LineStart(line + 1), ColouredDefault);
        windowMoved_ = true;
    }
    if (window.shownStart != window.lineStart || window.shownEnd != window.lineEnd)
        recentWindow_ = window;
}

// A window that moved under the caret moves the caret's place on screen: it is scrolled back
// into view once the paint is over.
void QuillLexer::KeepCaretInView()
{
    if (!windowMoved_ || !editor())
        return;
    windowMoved_ = false;
    QTimer::singleShot(0, editor(),
                       [view = editor()] { view->SendScintilla(Sci::SCI_SCROLLCARET); });
}

// Before anything lays out the lines a new document shows first (placing the caret does), so
// that no long line is ever measured whole.
void QuillLexer::WindowLongLinesOnScreen()
{
    const long top = Send(Sci::SCI_GETFIRSTVISIBLELINE);
    const long first = Send(Sci::SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(top));
    const long last = Send(Sci::SCI_DOCLINEFROMVISIBLE,
                           static_cast<unsigned long>(top + Send(Sci::SCI_LINESONSCREEN)));
    for (long line = first; line <= last && line < state_.Lines(); ++line) {
        if (IsLongLine(line))
            ShowThroughWindow(line);
    }
    Settle();
}
