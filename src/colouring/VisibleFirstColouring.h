// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// VisibleFirstColouring: the view's side of colouring: the lines on screen before every paint,
// the rest of the text in idle slices.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QuillLexer;
class ScintillaCall;

/// Has the lexer colour whatever the view is about to paint, wherever the view is, and the rest
/// of the text in slices from the event loop that hold it only a few milliseconds each, the lines
/// below the screen first. The slices wait while the user types, scrolls or clicks, and stop when
/// every line is coloured, so an idle editor costs nothing.
class VisibleFirstColouring : public QObject
{
    Q_OBJECT

public:
    explicit VisibleFirstColouring(ScintillaCall &view);
    ~VisibleFirstColouring() override;

    /// Colours with `lexer` from now on; nullptr colours nothing.
    void SetLexer(QuillLexer *lexer);
    /// The view shows another document: nothing of it is coloured yet.
    void Restart();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool Colouring() const;
    void StartSlices();
    void BeforePaint();
    void AfterPaint();
    void Slice();

    ScintillaCall &view_;
    QPointer<QuillLexer> lexer_;
    QTimer slices_;
    QElapsedTimer sinceInput_;
};
