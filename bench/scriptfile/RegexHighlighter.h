// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// RegexHighlighter: the colouring a Qt program would write by default, for comparison.
#pragma once

#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <vector>

struct LanguageDefinition;

/// A QSyntaxHighlighter that colours a language's word lists, comments, strings and numbers with
/// one regular expression each, block by block, the way Qt's own examples do.
class RegexHighlighter : public QSyntaxHighlighter
{
public:
    RegexHighlighter(const LanguageDefinition &definition, QTextDocument *document);

protected:
    void highlightBlock(const QString &text) override;

private:
    struct Rule {
        QRegularExpression pattern;
        QTextCharFormat format;
    };
    void AddWords(const QString &list, bool matchCase, const QColor &colour);

    std::vector<Rule> rules_;
};
