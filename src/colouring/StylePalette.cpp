// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// StylePalette: the look of the lexer's styles.
#include "StylePalette.h"

#include "syntax/Styles.h"

#include <array>

namespace
{

struct StyleLook {
    const char *description;
    QRgb colour;
    bool bold;
    bool italic;
};

constexpr std::array<StyleLook, LexerCore::StyleCount> Looks = {{
    {"Default", qRgb(0x00, 0x00, 0x00), false, false},
    {"Keyword", qRgb(0x00, 0x00, 0xA0), true, false},
    {"Operator", qRgb(0x80, 0x30, 0x00), false, false},
    {"Literal", qRgb(0x80, 0x00, 0x80), true, false},
    {"Constant", qRgb(0x00, 0x6B, 0x6B), false, false},
    {"Comment", qRgb(0x00, 0x7A, 0x00), false, true},
    {"String", qRgb(0xA3, 0x15, 0x15), false, false},
    {"Number", qRgb(0x09, 0x66, 0xB0), false, false},
}};

const StyleLook *LookOf(int style)
{
    style = ShownStyle::LexerStyle(style);
    return style >= 0 && style < LexerCore::StyleCount ? &Looks[std::size_t(style)] : nullptr;
}

} // namespace

QString StylePalette::Description(int style)
{
    const StyleLook *look = LookOf(style);
    return look ? QString::fromLatin1(look->description) : QString();
}

QColor StylePalette::Colour(int style)
{
    const StyleLook *look = LookOf(style);
    return QColor(look ? look->colour : Looks[0].colour);
}

QColor StylePalette::Paper(int)
{
    return QColor(Qt::white);
}

QFont StylePalette::Font(int style, const QFont &base)
{
    QFont font = base;
    if (const StyleLook *look = LookOf(style)) {
        font.setBold(look->bold);
        font.setItalic(look->italic);
    }
    return font;
}
