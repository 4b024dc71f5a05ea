// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// QuillLexer: colours the editor's text by a LanguageDefinition, only where Scintilla asks.
#include "QuillLexer.h"

#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <QFont>

#include <algorithm>
#include <array>
#include <string>

namespace
{

// The most text styled with one buffer: long colourings go in pieces of whole lines, so the
// style buffer stays small whatever the size of the script.
constexpr long ChunkBytes = 1 << 20;

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
    return IsLexerStyle(style) ? QString::fromLatin1(Looks[style].description) : QString();
}

QColor QuillLexer::defaultColor(int style) const
{
    return QColor(IsLexerStyle(style) ? Looks[style].colour : Looks[0].colour);
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
        font.setBold(Looks[style].bold);
        font.setItalic(Looks[style].italic);
    }
    return font;
}

void QuillLexer::SetBaseFont(const QFont &font)
{
    baseFont_ = font;
    for (int style = 0; style < LexerCore::StyleCount; ++style)
        setFont(StyleFont(style), style);
    setFont(StyleFont(QsciScintillaBase::STYLE_DEFAULT), QsciScintillaBase::STYLE_DEFAULT);
}

void QuillLexer::styleText(int start, int end)
{
    QsciScintilla *view = editor();
    if (!view || end <= start)
        return;
    const long length = view->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    long position = start;
    while (position < end) {
        // Each piece ends at a line start, so no line is split between two pieces.
        const long pieceLine = view->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                                   std::min<long>(position + ChunkBytes, end) - 1);
        long pieceEnd = view->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, pieceLine + 1);
        if (pieceEnd < 0 || pieceEnd > length)
            pieceEnd = length;
        const long bytes = pieceEnd - position;
        const auto *text = reinterpret_cast<const char *>(
            view->SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER, position, bytes));
        styles_.resize(static_cast<std::size_t>(bytes));
        lexicon_.StyleText(text, styles_.size(), styles_.data());
        view->SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, position, 0L);
        view->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, static_cast<unsigned long>(bytes),
                            reinterpret_cast<const char *>(styles_.data()));
        position = pieceEnd;
    }
    if (styles_.size() > ChunkBytes)
        styles_ = {};
}
