// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// QuillLexer: the language's styles, their palette and fonts.
#include "QuillLexer.h"

#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <QFont>

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

bool IsLexerStyle(int style)
{
    style = QuillLexer::LexerStyle(style);
    return style >= 0 && style < LexerCore::StyleCount;
}

} // namespace

QuillLexer::QuillLexer(const QString &name, const LanguageDefinition &definition, QObject *parent)
    : QsciLexerCustom(parent), name_(name.toUtf8()), matchCase_(definition.MatchCase),
      lexicon_(CompileLexicon(definition)), baseFont_(QsciLexer::defaultFont())
{
}

QuillLexer::~QuillLexer() = default;

const char *QuillLexer::language() const
{
    return name_.constData();
}

QString QuillLexer::description(int style) const
{
    return IsLexerStyle(style) ? QString::fromLatin1(Looks[LexerStyle(style)].description)
                               : QString();
}

QColor QuillLexer::defaultColor(int style) const
{
    return QColor(IsLexerStyle(style) ? Looks[LexerStyle(style)].colour : Looks[0].colour);
}

QColor QuillLexer::defaultPaper(int) const
{
    return QColor(Qt::white);
}

QFont QuillLexer::defaultFont(int style) const
{
    return StyleFont(style);
}

bool QuillLexer::caseSensitive() const
{
    return matchCase_;
}

QFont QuillLexer::StyleFont(int style) const
{
    QFont font = baseFont_;
    if (IsLexerStyle(style)) {
        font.setBold(Looks[LexerStyle(style)].bold);
        font.setItalic(Looks[LexerStyle(style)].italic);
    }
    return font;
}

void QuillLexer::SetBaseFont(const QFont &font)
{
    baseFont_ = font;
    for (int style = 0; style < LexerCore::StyleCount; ++style)
        setFont(StyleFont(style), style);
    setFont(StyleFont(ColouredDefault), ColouredDefault);
    setFont(StyleFont(QsciScintillaBase::STYLE_DEFAULT), QsciScintillaBase::STYLE_DEFAULT);
}
