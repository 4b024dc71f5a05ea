// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// WordHighlight: the other uses of the word at the caret marked on the lines shown.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class ScintillaCall;

/// When the caret rests in a word, or the selection is exactly one word, the other whole-word
/// uses of that word on the lines shown get a quiet box, a short moment after the caret stops.
/// Words match as the language matches its words (in any letter case unless it says otherwise);
/// uses inside comments and strings do not count, nor does a word there, nor the part of a
/// long line shown through its window. The marks go as soon as the caret moves or the text
/// changes, and never touch the text, its undo history or its modified state.
class WordHighlight : public QObject
{
    Q_OBJECT

public:
    /// Marks in `view`, except while `othersMark` says another feature (the find bar) marks
    /// matches of its own.
    WordHighlight(ScintillaCall &view, std::function<bool()> othersMark);

    /// Whether the language's words match only in their own letter case.
    void SetMatchCase(bool matchCase) { matchCase_ = matchCase; }

    /// How long the caret rests before the uses of its word are marked.
    static constexpr int RestMs = 300;

private:
    struct Word {
        long start = -1;
        long end = -1;
    };
    /// Where the caret and the word stood when their uses were marked.
    struct Marked {
        long anchor = -1;
        long caret = -1;
        long length = -1;
        Word word;
        QByteArray bytes;
        long firstShown = -1;
        long lastShown = -1;
        // The bytes the marks span.
        long marksStart = -1;
        long marksEnd = -1;
    };

    void Moved(bool content, bool selection);
    bool StillAtMarkedWord() const;
    void Mark();
    Word WordAtCaret() const;
    bool IsWordAt(long start, long end) const;
    bool InCommentOrString(long position) const;
    bool SameWord(const char *text, const char *word, long length) const;
    void MarkUsesOn(long line);
    void Clear();

    ScintillaCall &view_;
    std::function<bool()> othersMark_;
    int indicator_;
    bool matchCase_ = false;
    QTimer rest_;
    std::optional<Marked> marked_;
};
