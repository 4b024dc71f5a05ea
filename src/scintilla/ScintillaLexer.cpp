// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaLexer: QScintilla's lexer calls, answered by the style source.
#include "ScintillaLexer.h"

#include <Qsci/qsciscintilla.h>

ScintillaLexer::ScintillaLexer(StyleSource &source, QObject *parent)
    : QsciLexerCustom(parent), source_(source), base_(QsciLexer::defaultFont())
{
}

// Scintilla numbers its styles up to STYLE_DEFAULT and a few beyond for its own use; every one a
// source may write, and the default style Scintilla copies to new ones, get their fonts here.
void ScintillaLexer::SetBaseFont(const QFont &base)
{
    base_ = base;
    for (int style = 0; style <= QsciScintillaBase::STYLE_DEFAULT; ++style)
        setFont(source_.Font(style, base_), style);
}

const char *ScintillaLexer::language() const
{
    return source_.Language();
}

QString ScintillaLexer::description(int style) const
{
    return source_.Description(style);
}

QColor ScintillaLexer::defaultColor(int style) const
{
    return source_.Colour(style);
}

QColor ScintillaLexer::defaultPaper(int style) const
{
    return source_.Paper(style);
}

QFont ScintillaLexer::defaultFont(int style) const
{
    return source_.Font(style, base_);
}

bool ScintillaLexer::caseSensitive() const
{
    return source_.CaseSensitive();
}

void ScintillaLexer::styleText(int start, int end)
{
    if (editor())
        source_.StyleText(start, end);
}

void ScintillaLexer::setEditor(QsciScintilla *editor)
{
    QsciLexerCustom::setEditor(editor);
    // Attaching a lexer clears every style of the document it shows.
    if (editor)
        source_.Restart();
}
