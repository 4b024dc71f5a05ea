// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FindController: the editor control's find and replace, from the keys to the edited text.
#pragma once

#include "MatchHighlighter.h"
#include "ScintillaText.h"
#include "SlicedSearch.h"
#include "common/GuardedCommand.h"
#include "search/Searcher.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class FindBar;
class QAction;
class QKeyEvent;
class QMenu;
class QWidget;

/// Find and replace inside the editor control: Ctrl+F and Ctrl+H open the bar with the selected
/// text or the word at the caret, typing searches from the selection, F3 and Shift+F3 go to the
/// next and previous match, Alt+C, Alt+W and Alt+R flip the options while the bar is open, and
/// Escape closes it, leaving the last match selected. The matches on screen are marked while
/// the bar is open, and the bar counts them when that takes less than a frame. Every action of
/// the bar, its keys and the searches they start run through the control's command guard; a
/// regular expression the engine gives up on shows as too complex, the field red.
class FindController : public QObject
{
    Q_OBJECT

public:
    /// Puts its keys on `control`, which holds `view`. The bar is made when it is first needed,
    /// a hidden child of `control` that `placeBar` puts in the control's layout. Its actions run
    /// through `guard`.
    FindController(QWidget &control, ScintillaCall &view, const CommandGuard &guard,
                   std::function<void(QWidget &)> placeBar);
    ~FindController() override;

    /// Sees the keys the text gets before the editor does; true when it took the key.
    bool BeforeKey(const QKeyEvent &key);
    /// Adds Find and Replace to a right-click menu of the text.
    void AddMenuEntries(QMenu &menu) const;
    /// Whether the matches of the bar's search are marked on screen.
    bool MarksMatches() const { return highlighter_.IsActive(); }

    /// How long counting the matches may take before the count shows as "at least".
    static constexpr int CountMs = 5;
    /// The longest selection that becomes the search text.
    static constexpr long LongestSeedBytes = 1000;

private:
    FindBar &Bar();
    bool BarShown() const;
    QAction *AddKey(QWidget &control, const QString &text, const QKeySequence &key,
                    const std::function<void()> &handler);
    void Run(const QString &command, const std::function<void()> &body);
    void Connect(void (FindBar::*signal)(), const QString &command,
                 void (FindController::*handler)());
    void Open(bool replace);
    void Reveal(bool replace, bool takeFocus);
    bool RevealForNextOrPrevious();
    void Close();
    void SearchAsTyped();
    void FindNext();
    void FindPrevious();
    void Replace();
    void ReplaceAll();
    void Search(qsizetype from, bool forwards, bool wrapping = false);
    void SearchPastEmptyMatch(long position);
    void ShowResult(const std::optional<TextMatch> &match, bool wrapped);
    void ShowCount();
    void ShowCountInSelection();
    bool SelectionSpansLines() const;
    long SelectedRangeEnd(long end) const;
    bool Ready();
    QString SeedText() const;
    QString ReplacementText() const;
    void Select(qsizetype start, qsizetype end);

    QWidget &control_;
    std::function<void(QWidget &)> placeBar_;
    ScintillaCall &view_;
    const CommandGuard &guard_;
    ScintillaText text_;
    FindBar *bar_ = nullptr;
    SlicedSearch search_;
    MatchHighlighter highlighter_;
    Searcher searcher_;
    QString searchedText_;
    SearchOptions searchedOptions_;
    std::optional<TextMatch> lastMatch_;
    QTimer count_;
    QAction *find_ = nullptr;
    QAction *replace_ = nullptr;
    QList<QAction *> whileOpen_;
};
