// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// QuillLexer: colours the editor's text by a LanguageDefinition: the lines on screen before they
// are painted, the rest when asked to.
#pragma once

#include "ColouringState.h"
#include "LanguageDefinition.h"
#include "LexerCore.h"

#include <Qsci/qscilexercustom.h>

#include <QByteArray>

#include <vector>

/// The lexer of every registered language: keywords, operators, literals, constants, comments,
/// strings and numbers, each line on its own, in a readable palette on white paper.
///
/// Scintilla keeps a single mark of how far the text is coloured, which would make it colour
/// everything between that mark and whatever comes on screen, and everything after an edit
/// again. The lexer keeps its own account instead (ColouringState) and holds Scintilla's mark at
/// the end of the text, where an edit pulls it back to the first changed position: that is how
/// the lexer learns of edits without modification events. Text never coloured keeps Scintilla's
/// style 0; coloured default text has a style of its own with the same look.
class QuillLexer : public QsciLexerCustom
{
    Q_OBJECT

public:
    /// The style of coloured text the language gives no other style; Scintilla's style 0 is left
    /// to text not coloured yet.
    static constexpr int ColouredDefault = 31;
    /// The style of the part of a long line outside its window: not drawn, and takes no room.
    static constexpr int HiddenText = 30;
    /// Lines longer than this are shown plain, through a window around the caret.
    static constexpr long LongLineBytes = 32 * 1024;
    /// The lexer style that the Scintilla style `style` shows.
    static int LexerStyle(int style) { return style == ColouredDefault ? 0 : style; }

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

    /// Styles the whole lines from `start` (a line start) to the line that holds `end`. While a
    /// paint is prepared, only the lines on screen whose colours changed.
    void styleText(int start, int end) override;
    void setEditor(QsciScintilla *editor) override;

    /// Forgets what is known of the colours: the view shows another document.
    void Restart();
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

    /// Gives every style this font (in points, as Scintilla takes it) with its own weight and
    /// slant.
    void SetBaseFont(const QFont &font);

signals:
    /// Lines `first` to `last` were coloured: their text arrived or changed since they last
    /// were, or their colours did.
    void LinesColoured(int first, int last);

private:
    QFont StyleFont(int style) const;
    long Send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;
    void CatchUp();
    void Settle();
    const char *Lex(long start, long end);
    void ShowStyles(const char *text);
    long LineStart(long line) const;
    bool IsLongLine(long line) const;
    void ColourLines(long first, long end);
    void ColourRequest(long firstLine, long endLine);
    void CheckShownLines(LineRun run);
    bool FirstByteUncoloured(long line) const;

    /// A long line and the part of it shown: [shownStart, shownEnd) of [lineStart, lineEnd).
    struct LineWindow {
        long lineStart = -1;
        long lineEnd = -1;
        long shownStart = -1;
        long shownEnd = -1;
    };
    long CharacterStart(long position, long limit) const;
    LineWindow WindowFor(long line) const;
    bool IsHidden(long position) const;
    bool WindowShown(const LineWindow &window) const;
    void SetStyle(long from, long to, int style);
    void ShowThroughWindow(long line);
    void KeepCaretInView();
    void WindowLongLinesOnScreen();

    QByteArray name_;
    bool matchCase_;
    LexerCore::Lexicon lexicon_;
    QFont baseFont_;
    std::vector<unsigned char> styles_;
    ColouringState state_;
    // The document the account is about, and the text length the mark was last put at.
    void *document_ = nullptr;
    long settledLength_ = -1;
    // While a paint is prepared: the lines it must colour and where the mark was put for it.
    bool painting_ = false;
    LineSet toPaint_;
    long paintMark_ = -1;
    // The window last shown around the caret, kept when the caret leaves its line.
    LineWindow recentWindow_;
    bool windowMoved_ = false;
};
