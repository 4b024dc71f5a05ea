// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaView: the QScintilla widget inside EditorControl, with the program's own defaults.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <functional>

/// A brace beside the caret and the brace that matches it: -1 for none, OutOfReach when none
/// was found as far as matching looks.
struct BracePair {
    static constexpr long OutOfReach = -2;
    long brace = -1;
    long partner = -1;
};

/// A QsciScintilla configured as a code editor: UTF-8, line numbers, caret line, brace matching,
/// menu shortcuts left to the window, and no per-edit cost for accessibility nobody is using.
class ScintillaView : public QsciScintilla
{
    Q_OBJECT

public:
    explicit ScintillaView(QWidget *parent = nullptr);
    ~ScintillaView() override;

    /// Sends a message with a byte buffer argument (Scintilla's text messages take bytes).
    long Send(unsigned int message, unsigned long wParam, const char *bytes) const
    {
        return SendScintilla(message, wParam, bytes);
    }

    /// Applies the modification-event mask that suits whether assistive technology is active.
    void UpdateEventMask();
    /// Fits the line-number margin to the line count; edits do this by themselves, a document
    /// put in place of another does not.
    void UpdateLineNumberWidth();

    /// Lets the owner see each key first (`before` answers true when it took the key) and hear
    /// when the editor has handled one, typed text included.
    void SetKeyHandlers(std::function<bool(QKeyEvent &)> before, std::function<void()> after);
    /// The brace just before the caret, or else just after it, and its partner, looked for
    /// among the BraceReachBytes bytes beyond it in the brace's direction.
    BracePair BracesAtCaret() const;
    static constexpr long BraceReachBytes = 1L << 18;

    /// Lets the owner prepare each paint of the text and hear when it is done.
    void SetPaintHandlers(std::function<void()> before, std::function<void()> after);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void RemoveMenuKeys();
    void HighlightBraces();
    long BracePartner(long brace, char character, long length) const;

    int lineNumberDigits_ = 0;
    std::function<bool(QKeyEvent &)> beforeKey_;
    std::function<void()> afterKey_;
    std::function<void()> beforePaint_;
    std::function<void()> afterPaint_;
};
