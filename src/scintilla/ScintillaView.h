// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaView: the QScintilla widget of the editor, with the program's own defaults.
#pragma once

#include "ScintillaCall.h"

#include <Qsci/qsciscintilla.h>

/// A brace beside the caret and the brace that matches it: -1 for none, OutOfReach when none
/// was found as far as matching looks.
struct BracePair {
    static constexpr long OutOfReach = -2;
    long brace = -1;
    long partner = -1;
};

/// A QsciScintilla configured as a code editor: UTF-8, line numbers, caret line, brace matching,
/// menu shortcuts left to the window, and no per-edit cost for accessibility nobody is using.
/// Only this folder sees it; the program uses it through its ScintillaCall.
class ScintillaView : public QsciScintilla
{
    Q_OBJECT

public:
    explicit ScintillaView(QWidget *parent = nullptr);
    ~ScintillaView() override;

    /// Cut and paste, from the window's commands and QScintilla's right-click menu alike, are
    /// checked against the limits first.
    void cut() override;
    void paste() override;

    ScintillaCall &Call() { return call_; }

    /// Applies the modification-event mask that suits whether assistive technology is active.
    void UpdateEventMask();

    /// The brace just before the caret, or else just after it, and its partner, looked for
    /// among the BraceReachBytes bytes beyond it in the brace's direction.
    BracePair BracesAtCaret() const;
    static constexpr long BraceReachBytes = 1L << 18;

private:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

    void PressChecked(QKeyEvent &key);
    void RemoveMenuKeys();
    void BindZoomKeys();
    void ForwardNotifications();
    void KeepWithinLimits(long position, int length);
    void HighlightBraces();
    long BracePartner(long brace, char character, long length) const;

    ScintillaCall call_;
    // The bytes of the input method's composition shown in the text, which its next step replaces.
    qint64 preeditBytes_ = 0;
};
