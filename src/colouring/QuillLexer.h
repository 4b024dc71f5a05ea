// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// QuillLexer: colours the editor's text by a LanguageDefinition: the lines on screen before they
// are painted, the rest when asked to.
#pragma once

#include "ColouringState.h"
#include "LongLineWindow.h"
#include "scintilla/StyleSource.h"
#include "syntax/LanguageDefinition.h"
#include "syntax/LexerCore.h"
#include "syntax/Styles.h"

#include <QByteArray>
#include <QObject>

#include <vector>

class ScintillaCall;

/// The colouring of every registered language: keywords, operators, literals, constants,
/// comments, strings and numbers, each line on its own, in the palette of StylePalette.
///
/// Scintilla keeps a single mark of how far the text is coloured, which would make it colour
/// everything between that mark and whatever comes on screen, and everything after an edit
/// again. The lexer keeps its own account instead (ColouringState) and holds Scintilla's mark at
/// the end of the text, where an edit pulls it back to the first changed position: that is how
/// the lexer learns of edits without modification events. Text never coloured keeps Scintilla's
/// style 0; coloured default text has a style of its own with the same look.
class QuillLexer : public QObject, public StyleSource
{
    Q_OBJECT

public:
    static constexpr int ColouredDefault = ShownStyle::ColouredDefault;
    static constexpr int HiddenText = ShownStyle::HiddenText;
    static constexpr long LongLineBytes = ShownStyle::LongLineBytes;
    static constexpr int LexerStyle(int style) { return ShownStyle::LexerStyle(style); }

    /// A lexer for the language registered under `name` in `view`, its word lists compiled once
    /// here. The view colours through it once it is given to ScintillaCall::SetStyleSource.
    QuillLexer(const QString &name, const LanguageDefinition &definition, ScintillaCall &view,
               QObject *parent = nullptr);
    ~QuillLexer() override;

    const char *Language() const override;
    QString Description(int style) const override;
    QColor Colour(int style) const override;
    QColor Paper(int style) const override;
    QFont Font(int style, const QFont &base) const override;
    bool CaseSensitive() const override;
    /// Forgets what is known of the colours: the view shows another document.
    void Restart() override;
    /// Styles the whole lines from `start` (a line start) to the line that holds `end`. While a
    /// paint is prepared, only the lines on screen whose colours changed.
    void StyleText(long start, long end) override;

    /// Before the view paints document lines [first, last]: brings edits into the account,
    /// checks the lines that are not current, and has Scintilla ask, while it paints, for those
    /// whose colours change.
    void PrepareToShow(long first, long last);
    /// After the paint.
    void Shown();
    /// Colours waiting lines for about `bytes` bytes, those at or after line `near` first.
    /// Returns whether lines still wait.
    bool ColourWaiting(long near, long bytes);
    /// Whether every line has been coloured since its text arrived.
    bool NothingWaits() const { return state_.NothingWaits(); }

signals:
    /// Lines `first` to `last` were coloured: their text arrived or changed since they last
    /// were, or their colours did.
    void LinesColoured(int first, int last);

private:
    bool Colouring() const;
    void CatchUp();
    void Settle();
    const char *Lex(long start, long end);
    void ShowStyles(const char *text);
    long LineStart(long line) const;
    void ColourLines(long first, long end);
    void ColourRequest(long firstLine, long endLine);
    void CheckShownLines(LineRun run);
    void CheckLines(long first, long end);
    bool FirstByteUncoloured(long line) const;

    ScintillaCall &view_;
    QByteArray name_;
    bool matchCase_;
    LexerCore::Lexicon lexicon_;
    std::vector<unsigned char> styles_;
    std::vector<unsigned char> shown_;
    ColouringState state_;
    LongLineWindow longLines_;
    // The document the account is about, and the text length the mark was last put at.
    void *document_ = nullptr;
    long settledLength_ = -1;
    // While a paint is prepared: the lines it must colour and where the mark was put for it.
    bool painting_ = false;
    LineSet toPaint_;
    long paintMark_ = -1;
};
