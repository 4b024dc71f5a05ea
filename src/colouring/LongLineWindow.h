// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LongLineWindow: a line of megabytes shown through a window of a few screens around the caret.
#pragma once

class ScintillaCall;

/// Scintilla lays a line out whole, measuring every visible character, each time its text or
/// styles change: about 0.6 us a byte here, so typing in a line of 10 MB took seconds a key and
/// one of 100 MB a minute. A character in an invisible style is not measured: it takes no room
/// and costs about a tenth of that. So only a window of a long line is shown (a few screens of
/// text around the caret, in the plain style); the rest of the line is there, is saved, found,
/// copied and edited as ever, but takes no room on screen until the caret comes near it.
class LongLineWindow
{
public:
    explicit LongLineWindow(ScintillaCall &view) : view_(view) {}

    /// Whether `line` is longer than ShownStyle::LongLineBytes.
    bool IsLong(long line) const;
    /// Whether the window of long line `line` stands where it belongs, near enough.
    bool Shown(long line) const;
    /// Styles long line `line` as its window shows it, unless the window already stands there.
    void Show(long line);
    /// Shows every long line on screen through its window.
    void ShowOnScreen();
    /// Forgets the window last shown: the view shows another document.
    void Forget() { recent_ = Window(); }
    /// After a paint: a window that moved under the caret moved the caret's place on screen, so
    /// the caret is scrolled back into view.
    void KeepCaretInView();

private:
    /// A long line and the part of it shown: [shownStart, shownEnd) of [lineStart, lineEnd).
    struct Window {
        long lineStart = -1;
        long lineEnd = -1;
        long shownStart = -1;
        long shownEnd = -1;
    };

    long LineStart(long line) const;
    long CharacterStart(long position, long limit) const;
    Window WindowFor(long line) const;
    bool IsHidden(long position) const;
    bool WindowShown(const Window &window) const;
    void SetStyle(long from, long to, int style);

    ScintillaCall &view_;
    // The window last shown around the caret, kept when the caret leaves its line.
    Window recent_;
    bool moved_ = false;
};
