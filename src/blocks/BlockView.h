// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockView: the blocks of the editor's text on screen: fold margin, marks, tooltips, fold keys.
#pragma once

#include "FoldMargin.h"
#include "ScintillaBlocks.h"
#include "common/GuardedCommand.h"
#include "scintilla/DocumentWatcher.h"
#include "syntax/BlockProcedures.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class BlockStructure;
class FieldStrip;
class QKeyEvent;
class QLabel;
class QPoint;
class ScintillaCall;
struct LanguageDefinition;

/// Keeps the view's fold levels and marks up to date for what is on screen: edits are heard as
/// they happen, the lines shown are analysed before they are painted, and analysis left over
/// goes on when typing pauses. Languages without block words show no fold margin. Folding every
/// block needs the whole text analysed: what is left is read at full speed, the event loop
/// running between pieces, behind a note along the bottom edge that Escape cancels.
class BlockView : public QObject
{
    Q_OBJECT

public:
    /// `control` holds `view`; `placeStrip` puts the note of a Fold All under way in its layout.
    /// The fold keys and the clicks on fold boxes run through `guard`.
    BlockView(QWidget &control, ScintillaCall &view, const CommandGuard &guard,
              std::function<void(QWidget &)> placeStrip);
    ~BlockView() override;

    /// Shows the blocks of `definition`'s language, or none when the block rules do not apply.
    void SetLanguage(const LanguageDefinition &definition);
    /// The view shows a new document: nothing of it is analysed yet.
    void DocumentReplaced();
    /// The rest of the new document's text has arrived: it is analysed when typing pauses.
    void TextArrived();
    /// Takes the fold keys; true when `key` was one of them.
    bool BeforeKey(const QKeyEvent &key);
    /// Brings the lines on screen up to date after a key.
    void AfterKey();

    /// The marks drawn for `line`: its marks but, on the caret's line, those of a block that
    /// holds nothing yet, as one whose first line is still being typed. None without blocks.
    std::vector<BlockMark> MarksShown(std::int64_t line);
    /// The first line of first..last with a mark shown, down from `first` or up from `last`;
    /// -1 when none has one. Lines not analysed yet are analysed as the search reaches them.
    std::int64_t MarkedLine(std::int64_t first, std::int64_t last, bool downwards);
    /// The procedures of the text as far as the analysis has read, with the lines on screen
    /// brought up to date first; nullptr for a language without blocks.
    const ProcedureIndex *Procedures();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::vector<std::int64_t> LinesOnScreen() const;
    void Refresh();
    void Draw(const BlockReport &report, bool everyLine);
    void ContinueWhenIdle();
    void Restart();
    void FollowEdits();
    void AnalyseAllWhenIdle();
    bool ShowTooltip(const QPoint &at, const QPoint &global);
    QString TooltipAt(const QPoint &at);
    void MarginClicked(long position, int margin);
    void FollowCaretLine();
    bool TakeChord(const QKeyEvent &key);
    void WithoutRepaints(const std::function<void()> &work);
    void WithRepaintsHeld(const std::function<void()> &work);
    void StartFoldAll();
    void ContinueFoldAll();
    void CancelFoldAll();
    void AtFullSpeed(const std::function<void()> &work);
    void ShowFoldAllNote(std::int64_t reached);

    QWidget &control_;
    std::function<void(QWidget &)> placeStrip_;
    ScintillaCall &view_;
    const CommandGuard &guard_;
    ScintillaBlockText text_;
    ScintillaLevels levels_;
    FoldMargin margin_;
    DocumentWatcher watcher_;
    std::unique_ptr<BlockStructure> structure_;
    ProcedureIndex procedures_;
    std::vector<std::int64_t> drawn_;
    std::chrono::steady_clock::time_point drawnAfterEdit_;
    QTimer idle_;
    std::chrono::steady_clock::time_point lastKey_;
    bool chord_ = false;
    // A Fold All waiting for the analysis to reach the end, and the note that says so.
    QTimer foldAll_;
    bool foldAllWaiting_ = false;
    std::int64_t foldAllReached_ = 0;
    FieldStrip *note_ = nullptr;
    QLabel *noteText_ = nullptr;
    long caretLine_ = 0;
};
