// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// MatchHighlighter: every match on the lines on screen marked while the find bar is open.
#pragma once

#include "ScintillaText.h"
#include "search/Searcher.h"

#include <QObject>

/// Marks the matches of a search with an indicator, on the lines on screen only, so it costs
/// the same on any size of text; it marks again when the view scrolls or the text changes.
class MatchHighlighter : public QObject
{
    Q_OBJECT

public:
    explicit MatchHighlighter(ScintillaCall &view);

    /// Marks the matches of `searcher` from now on.
    void Show(const Searcher &searcher);
    /// Removes every mark and stops marking.
    void Clear();
    bool IsActive() const { return active_; }
    /// The indicator number the marks use.
    int Indicator() const { return indicator_; }

    /// The most bytes scanned for one screen, however long its lines.
    static constexpr qsizetype ScreenBytes = qsizetype(1) << 20;
    /// The most matches marked on one screen.
    static constexpr int MostMarks = 10000;

private:
    // What was on screen when the marks were last made.
    struct Shown {
        qsizetype start = -1;
        qsizetype end = -1;
        size_t bytesHash = 0;
        friend bool operator==(const Shown &, const Shown &) = default;
    };

    void Update();
    Shown OnScreen() const;
    void RemoveMarks();

    ScintillaCall &view_;
    ScintillaText text_;
    Searcher searcher_;
    bool active_ = false;
    int indicator_ = 0;
    Shown shown_;
};
