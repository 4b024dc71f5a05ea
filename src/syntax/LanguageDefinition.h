// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LanguageDefinition: the settings by which the editor control colours one script language.
#pragma once

#include "LexerCore.h"

#include <QString>
#include <QStringList>

#include <cstdint>

/// One language as the editor control knows it. Word lists are line-feed separated text, each
/// entry taken exactly as spelled; a final line feed, or none, both end the last entry.
struct LanguageDefinition {
    /// False: every entry of the four lists is recognised in any letter case.
    bool MatchCase = true;
    /// Words coloured as keywords; an entry may hold a blank ("Derived Maths").
    QString KeywordList;
    /// Operator symbols (longest first: "<=" before "<") and operator words (whole words only).
    QString OperatorList;
    /// Starts a comment that runs to the end of its line; empty for none.
    QString CommentToken;
    /// Opens and closes a string on one line; doubled inside a string it stands for itself.
    QString StringDelimiter;
    /// Kept for languages that name a character of special meaning; the colouring ignores it.
    QString SpecialChar;
    /// Words coloured as literals (such as "True").
    QString LiteralList;
    /// Words coloured as named constants.
    QString ConstantList;
    /// Kept for languages that choose a mode; the colouring has one mode and ignores it.
    std::int32_t LanguageMode = 0;
};

/// The entries of a word list in their order; empty pieces (after a final line feed) are none.
QStringList WordListEntries(const QString &list);

/// The lexer's lookup tables for the definition's lists, comment token and string delimiter.
LexerCore::Lexicon CompileLexicon(const LanguageDefinition &definition);
