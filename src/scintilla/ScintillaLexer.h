// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaLexer: the QScintilla lexer through which a StyleSource colours a view.
#pragma once

#include "StyleSource.h"

#include <Qsci/qscilexercustom.h>

/// Hands QScintilla's questions about styles to the source, and its styling requests too.
class ScintillaLexer : public QsciLexerCustom
{
    Q_OBJECT

public:
    ScintillaLexer(StyleSource &source, QObject *parent);

    StyleSource &Source() const { return source_; }
    /// Gives every style its font on `base`, which is in points, as Scintilla takes it.
    void SetBaseFont(const QFont &base);

    const char *language() const override;
    QString description(int style) const override;
    QColor defaultColor(int style) const override;
    QColor defaultPaper(int style) const override;
    QFont defaultFont(int style) const override;
    bool caseSensitive() const override;
    void styleText(int start, int end) override;
    void setEditor(QsciScintilla *editor) override;

private:
    StyleSource &source_;
    QFont base_;
};
