// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// QuillLexer: colours the editor's text by a LanguageDefinition, only where Scintilla asks.
#pragma once

#include "LanguageDefinition.h"
#include "LexerCore.h"

#include <Qsci/qscilexercustom.h>

#include <QByteArray>

#include <vector>

/// The lexer of every registered language: keywords, operators, literals, constants, comments,
/// strings and numbers, each line on its own, in a readable palette on white paper.
class QuillLexer : public QsciLexerCustom
{
    Q_OBJECT

public:
    /// A lexer for the language registered under `name`, its word lists compiled once here.
    QuillLexer(const QString &name, const LanguageDefinition &definition,
               QObject *parent = nullptr);
    ~QuillLexer() override;

    /// The registered name of the language.
    const char *language() const override;
    /// The name of each of the lexer's styles; empty for styles it does not use.
    QString description(int style) const override;
    /// The palette: dark colours for the categories, on white paper for every style.
    QColor defaultColor(int style) const override;
    QColor defaultPaper(int style) const override;
    /// The base font, bold for keywords and literals, italic for comments.
    QFont defaultFont(int style) const override;
    /// Whether the language's words match only in their own letter case.
    bool caseSensitive() const override;

    /// Styles the whole lines from `start` (a line start) to the line that holds `end`.
    void styleText(int start, int end) override;

    /// Gives every style this font (in points, as Scintilla takes it) with its own weight and
    /// slant.
    void SetBaseFont(const QFont &font);

private:
    QFont StyleFont(int style) const;

    QByteArray name_;
    bool matchCase_;
    LexerCore::Lexicon lexicon_;
    QFont baseFont_;
    std::vector<unsigned char> styles_;
};
