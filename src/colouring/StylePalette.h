// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// StylePalette: how each of the lexer's styles looks: its name, colour, paper and font.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

/// A readable palette on white paper: dark colours for the categories, bold keywords and
/// literals, italic comments. Styles are the view's: ShownStyle::ColouredDefault looks as
/// plain text does.
namespace StylePalette
{

/// The name of `style`; empty for styles the lexer does not write.
QString Description(int style);
QColor Colour(int style);
QColor Paper(int style);
/// `base` with the weight and slant of `style`.
QFont Font(int style, const QFont &base);

} // namespace StylePalette
