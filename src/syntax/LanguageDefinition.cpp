// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LanguageDefinition: the settings by which the editor control colours one script language.
#include "LanguageDefinition.h"

#include <string>

QStringList WordListEntries(const QString &list)
{
    return list.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The lexicon keeps views into these strings only while it is built.
LexerCore::Lexicon CompileLexicon(const LanguageDefinition &definition)
{
    const std::string keywords = definition.KeywordList.toStdString();
    const std::string operators = definition.OperatorList.toStdString();
    const std::string literals = definition.LiteralList.toStdString();
    const std::string constants = definition.ConstantList.toStdString();
    const std::string comment = definition.CommentToken.toStdString();
    const std::string delimiter = definition.StringDelimiter.toStdString();
    return LexerCore::Lexicon(LexerCore::Settings{definition.MatchCase, keywords, operators,
                                                  literals, constants, comment, delimiter});
}
