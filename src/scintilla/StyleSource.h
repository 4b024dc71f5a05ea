// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// StyleSource: what colours a view's text, as the view asks for it.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

/// The colouring of a view, given to it through ScintillaCall::SetStyleSource. The view asks
/// for the look of each style when it sets them up, and for styles of text as it needs them;
/// the source writes them with the view's styling calls.
class StyleSource
{
public:
    virtual ~StyleSource() = default;

    /// The name of the language the text is coloured as.
    virtual const char *Language() const = 0;
    /// The name of `style`; empty for styles the source does not use.
    virtual QString Description(int style) const = 0;
    virtual QColor Colour(int style) const = 0;
    virtual QColor Paper(int style) const = 0;
    /// The font of `style` on the base font every style shares.
    virtual QFont Font(int style, const QFont &base) const = 0;
    /// Whether the language's words match only in their own letter case.
    virtual bool CaseSensitive() const = 0;

    /// The view was given this source, or shows another document: nothing known of the colours
    /// holds.
    virtual void Restart() = 0;
    /// Scintilla wants the styles of whole lines from `start` (a line start) to the line that
    /// holds `end`.
    virtual void StyleText(long start, long end) = 0;
};
