// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LongLineWindow: where a long line's window stands, and styling it hidden around the window.
#include "LongLineWindow.h"

#include "scintilla/ScintillaCall.h"
#include "syntax/Styles.h"

#include <QTimer>

#include <algorithm>
#include <utility>

namespace
{

// The window is three tiles: the one that holds the caret and one on each side, so the caret is
// always a tile away from the window's edges unless the line ends there.
constexpr long TileBytes = 4 * 1024;

bool ContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

} // namespace

long LongLineWindow::LineStart(long line) const
{
    return line >= view_.LineCount() ? view_.Length() : view_.LineStart(line);
}

bool LongLineWindow::IsLong(long line) const
{
    return view_.LineEnd(line) - LineStart(line) > ShownStyle::LongLineBytes;
}

long LongLineWindow::CharacterStart(long position, long limit) const
{
    while (position < limit && ContinuationByte(view_.CharAt(position)))
        ++position;
    return position;
}

LongLineWindow::Window LongLineWindow::WindowFor(long line) const
{
    const long start = LineStart(line);
    const long end = view_.LineEnd(line);
    const long caret = view_.CurrentPos();
    const bool caretOnLine = caret >= start && caret <= end;
    if (!caretOnLine && recent_.lineStart == start && recent_.lineEnd == end)
        return recent_;
    const long anchor = caretOnLine ? caret : start;
    const long tile = start + (anchor - start) / TileBytes * TileBytes;
    Window window{start, end, std::max(start, tile - TileBytes),
                  std::min(end, tile + 2 * TileBytes)};
    window.shownStart = CharacterStart(window.shownStart, end);
    window.shownEnd = CharacterStart(window.shownEnd, end);
    return window;
}

bool LongLineWindow::IsHidden(long position) const
{
    return view_.StyleAt(position) == ShownStyle::HiddenText;
}

bool LongLineWindow::Shown(long line) const
{
    return WindowShown(WindowFor(line));
}

// Typing in the window moves its far edge, and each restyling makes Scintilla lay the line out
// once more: edges up to half a tile inside or a tile outside of where they belong are left
// alone. The probes look at the window and at the line's ends, where edits far from the caret
// (an undo, a replacement) would show.
bool LongLineWindow::WindowShown(const Window &window) const
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

void LongLineWindow::SetStyle(long from, long to, int style)
{
    if (from >= to)
        return;
    view_.StartStyling(from);
    view_.SetStyling(to - from, style);
}

void LongLineWindow::Show(long line)
{
    if (view_.StyleVisible(ShownStyle::HiddenText))
        view_.SetStyleVisible(ShownStyle::HiddenText, false);
    const Window window = WindowFor(line);
    if (!WindowShown(window)) {
        SetStyle(window.lineStart, window.shownStart, ShownStyle::HiddenText);
        SetStyle(window.shownStart, window.shownEnd, ShownStyle::ColouredDefault);
        SetStyle(window.shownEnd, window.lineEnd, ShownStyle::HiddenText);
        SetStyle(window.lineEnd, LineStart(line + 1), ShownStyle::ColouredDefault);
        moved_ = true;
    }
    if (window.shownStart != window.lineStart || window.shownEnd != window.lineEnd)
        recent_ = window;
}

void LongLineWindow::KeepCaretInView()
{
    if (!std::exchange(moved_, false))
        return;
    QTimer::singleShot(0, &view_, [view = &view_] { view->ScrollCaret(); });
}

// Before anything lays out the lines a new document shows first (placing the caret does), so
// that no long line is ever measured whole.
void LongLineWindow::ShowOnScreen()
{
    const ShownLines shown = view_.LinesShown();
    const long lines = view_.LineCount();
    for (long line = shown.first; line <= shown.last && line < lines; ++line) {
        if (IsLong(line))
            Show(line);
    }
}
