// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// RegexHighlighter: the colouring a Qt program would write by default, for comparison.
#include "RegexHighlighter.h"

#include "syntax/LanguageDefinition.h"

#include <QStringList>

namespace
{

QTextCharFormat Format(const QColor &colour)
{
    QTextCharFormat format;
    format.setForeground(colour);
    return format;
}

} // namespace

RegexHighlighter::RegexHighlighter(const LanguageDefinition &definition, QTextDocument *document)
    : QSyntaxHighlighter(document)
{
    rules_.push_back({QRegularExpression(QStringLiteral("\\b[0-9]+(\\.[0-9]+)?\\b")),
                      Format(QColor(0x09, 0x66, 0xB0))});
    AddWords(definition.KeywordList, definition.MatchCase, QColor(0x00, 0x00, 0xA0));
    AddWords(definition.OperatorList, definition.MatchCase, QColor(0x80, 0x30, 0x00));
    AddWords(definition.LiteralList, definition.MatchCase, QColor(0x80, 0x00, 0x80));
    AddWords(definition.ConstantList, definition.MatchCase, QColor(0x00, 0x6B, 0x6B));
    const QString quote = QRegularExpression::escape(definition.StringDelimiter);
    rules_.push_back(
        {QRegularExpression(quote + QStringLiteral("(?:[^") + quote + QStringLiteral("]|") + quote +
                            quote + QStringLiteral(")*") + quote + QStringLiteral("?")),
         Format(QColor(0xA3, 0x15, 0x15))});
    rules_.push_back({QRegularExpression(QRegularExpression::escape(definition.CommentToken) +
                                         QStringLiteral(".*$")),
                      Format(QColor(0x00, 0x7A, 0x00))});
}

void RegexHighlighter::AddWords(const QString &list, bool matchCase, const QColor &colour)
{
    QStringList words;
    for (const QString &word : WordListEntries(list))
        words << QRegularExpression::escape(word);
    if (words.isEmpty())
        return;
    const QRegularExpression::PatternOptions options =
        matchCase ? QRegularExpression::NoPatternOption : QRegularExpression::CaseInsensitiveOption;
    rules_.push_back({QRegularExpression(QStringLiteral("\\b(?:") + words.join(QLatin1Char('|')) +
                                             QStringLiteral(")\\b"),
                                         options),
                      Format(colour)});
}

void RegexHighlighter::highlightBlock(const QString &text)
{
    for (const Rule &rule : rules_) {
        QRegularExpressionMatchIterator matches = rule.pattern.globalMatch(text);
        while (matches.hasNext()) {
            const QRegularExpressionMatch match = matches.next();
            setFormat(static_cast<int>(match.capturedStart()),
                      static_cast<int>(match.capturedLength()), rule.format);
        }
    }
}
