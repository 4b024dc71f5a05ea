// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockView: analysis driven by painting and keys, marks drawn for the lines on screen.
#include "BlockView.h"

#include "common/FieldStrip.h"
#include "scintilla/ScintillaCall.h"
#include "syntax/BlockStructure.h"
#include "syntax/LanguageDefinition.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QScopeGuard>
#include <QStringList>
#include <QToolTip>

namespace
{

using namespace std::chrono_literals;

// A refresh before painting reads the lines shown for at most this long, and what their blocks
// need beyond them for this long: a screen far from anything analysed yet fills in over a few
// refreshes and the slices that follow, never in one long one. A slice of analysis while typing
// pauses takes this long.
constexpr auto RefreshBudget = 4ms;
constexpr auto RefreshExtraBudget = 2ms;
constexpr auto SliceBudget = 4ms;
// How long typing must pause before analysis left over goes on.
constexpr auto QuietTime = 150ms;
// Fold All reads what is left in pieces this long, letting the event loop run in between so the
// note shows how far it got and Escape can stop it. Each turn between pieces repaints the view
// and takes the document up again in the view that follows edits, which at 100 MB costs about
// 10 ms: a longer piece would keep keys waiting, a shorter one spend more on the turns.
constexpr auto FoldAllPiece = 100ms;

} // namespace

BlockView::BlockView(QWidget &control, ScintillaCall &view, const CommandGuard &guard,
                     std::function<void(QWidget &)> placeStrip)
    : control_(control), placeStrip_(std::move(placeStrip)), view_(view), guard_(guard),
      text_(view), levels_(view), margin_(view),
      watcher_(view, [this](std::int64_t line, std::int64_t delta) {
          if (structure_) {
              structure_->LinesReplaced(line, delta);
              procedures_.LinesReplaced(line, delta);
          }
      })
{
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, &BlockView::ContinueWhenIdle);
    foldAll_.setSingleShot(true);
    connect(&foldAll_, &QTimer::timeout, this,
            [this] { RunGuarded(guard_, tr("Fold All"), [this] { ContinueFoldAll(); }); });
    view_.Viewport().installEventFilter(this);
    connect(&view_, &ScintillaCall::Updated, this, [this](bool, bool selection) {
        if (structure_ && selection)
            QMetaObject::invokeMethod(
                this,
                [this] {
                    margin_.RevealSelection();
                    FollowCaretLine();
                },
                Qt::QueuedConnection);
    });
    connect(&view_, &ScintillaCall::MarginClicked, this, &BlockView::MarginClicked);
}

BlockView::~BlockView() = default;

void BlockView::SetLanguage(const LanguageDefinition &definition)
{
    CancelFoldAll();
    if (!BlockStructure::Applies(definition)) {
        if (structure_) {
            structure_.reset();
            watcher_.Stop();
            margin_.Hide();
            idle_.stop();
        }
        return;
    }
    structure_ = std::make_unique<BlockStructure>(definition);
    margin_.Show();
    // The analysis starts over once edits are followed. Following needs a view of its own, which
    // costs a tenth of the window's start-up: it is made when there is text to analyse.
    watcher_.Stop();
}

// Following a document, and the first marker and fold level Scintilla keeps for it, cost time in
// proportion to its lines, a few per cent of opening it: paid here, before its first screen,
// rather than by the first jump or key after it.
void BlockView::DocumentReplaced()
{
    CancelFoldAll();
    if (!structure_)
        return;
    watcher_.Stop();
    margin_.ReserveLines();
    FollowEdits();
}

void BlockView::TextArrived()
{
    if (structure_ && watcher_.Following())
        AnalyseAllWhenIdle();
}

// Edits made while none were followed are unknown: the analysis starts over.
void BlockView::FollowEdits()
{
    if (!structure_ || watcher_.Following())
        return;
    Restart();
    watcher_.Follow();
    AnalyseAllWhenIdle();
}

// The lines off screen are analysed while typing pauses, so folding all blocks, and scrolling
// anywhere, finds them ready. The edits not heard yet come first: the rest of a file that has
// just arrived would otherwise be left out, and never read.
void BlockView::AnalyseAllWhenIdle()
{
    watcher_.Flush();
    structure_->ReadAllLater();
    idle_.start(0);
    view_.Viewport().update();
}

void BlockView::Restart()
{
    structure_->Reset(text_.LineCount());
    procedures_.Reset(text_.LineCount());
    drawn_.clear();
    idle_.stop();
    view_.Viewport().update();
}

bool BlockView::BeforeKey(const QKeyEvent &key)
{
    if (!structure_)
        return false;
    lastKey_ = std::chrono::steady_clock::now();
    FollowEdits();
    if (foldAllWaiting_ && key.key() == Qt::Key_Escape && key.modifiers() == Qt::NoModifier) {
        CancelFoldAll();
        return true;
    }
    if (TakeChord(key))
        return true;
    const auto modifiers = key.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier |
                                              Qt::AltModifier | Qt::MetaModifier);
    if (modifiers != (Qt::ControlModifier | Qt::ShiftModifier))
        return false;
    if (key.key() == Qt::Key_BracketLeft || key.key() == Qt::Key_BraceLeft) {
        RunGuarded(guard_, tr("Fold"), [this] {
            Refresh();
            margin_.FoldAtCaret();
        });
        return true;
    }
    if (key.key() == Qt::Key_BracketRight || key.key() == Qt::Key_BraceRight) {
        RunGuarded(guard_, tr("Unfold"), [this] { margin_.UnfoldAtCaret(); });
        return true;
    }
    return false;
}

// Ctrl+K starts a chord; Ctrl+0 (or 0) then folds all blocks and Ctrl+J (or J) unfolds them.
// Any other key ends the chord and does what it always does.
bool BlockView::TakeChord(const QKeyEvent &key)
{
    const auto modifiers = key.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier |
                                              Qt::AltModifier | Qt::MetaModifier);
    const bool plain = modifiers == Qt::NoModifier || modifiers == Qt::ControlModifier;
    if (!chord_) {
        chord_ = modifiers == Qt::ControlModifier && key.key() == Qt::Key_K;
        return chord_;
    }
    if (key.key() == Qt::Key_Control || key.key() == Qt::Key_Shift || key.key() == Qt::Key_Alt ||
        key.key() == Qt::Key_Meta)
        return false;
    chord_ = false;
    if (plain && key.key() == Qt::Key_0) {
        RunGuarded(guard_, tr("Fold All"), [this] { StartFoldAll(); });
        return true;
    }
    if (plain && key.key() == Qt::Key_J) {
        RunGuarded(guard_, tr("Unfold All"),
                   [this] { WithoutRepaints([this] { margin_.UnfoldAll(); }); });
        return true;
    }
    return false;
}

// Folding or unfolding every block touches every line of the text, which on a very large script
// takes a moment: the view shows a busy cursor and asks for no repaint until it is done, or
// until it failed.
void BlockView::WithoutRepaints(const std::function<void()> &work)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    WithRepaintsHeld(work);
}

// The view paints once after `work`, however many repaints it asked for.
void BlockView::WithRepaintsHeld(const std::function<void()> &work)
{
    view_.Widget().setUpdatesEnabled(false);
    const auto restore = qScopeGuard([this] { view_.Widget().setUpdatesEnabled(true); });
    work();
}

// Whatever is not analysed yet is read first, in pieces at full speed; a text read to its end in
// the first piece folds at once, without a note.
void BlockView::StartFoldAll()
{
    watcher_.Flush();
    structure_->ReadAllLater();
    foldAllWaiting_ = true;
    foldAllReached_ = 0;
    ContinueFoldAll();
}

// Fold levels are written with the view's repaints held, as each would ask for one, and without
// the view that follows edits, which would hear of each: together they cost Scintilla most of
// what it spends on a level.
void BlockView::ContinueFoldAll()
{
    if (!foldAllWaiting_ || !structure_)
        return;
    BlockReport report;
    WithRepaintsHeld([this, &report] {
        watcher_.WithoutFollower([this, &report] {
            AtFullSpeed([this, &report] {
                report = structure_->Continue(text_, BlockBudget::Time(FoldAllPiece, FoldAllPiece),
                                              levels_);
            });
        });
    });
    if (structure_->HasPendingWork()) {
        ShowFoldAllNote(report.last);
        foldAll_.start(0);
        return;
    }
    CancelFoldAll();
    WithoutRepaints([this] {
        AtFullSpeed([this] { structure_->AnalyseAll(text_, levels_); });
        levels_.RevealChangedFolds();
        margin_.FoldAll();
    });
}

// Fold All's reading changes no text and folds nothing until it is done: lines are read from the
// text in one piece, and levels written without asking what each line held while nothing is
// folded.
void BlockView::AtFullSpeed(const std::function<void()> &work)
{
    text_.WhileTextStaysPut([this, &work] { levels_.WhileFoldsStayPut(work); });
}

// What was analysed stays analysed; nothing is folded. The rest is analysed when typing pauses,
// as before the Fold All.
void BlockView::CancelFoldAll()
{
    foldAllWaiting_ = false;
    foldAll_.stop();
    if (note_)
        note_->hide();
    if (structure_ && structure_->HasPendingWork() && !idle_.isActive())
        idle_.start(0);
}

void BlockView::ShowFoldAllNote(std::int64_t reached)
{
    if (!note_) {
        note_ = new FieldStrip(QString(), &control_);
        noteText_ = new QLabel;
        noteText_->setObjectName(QStringLiteral("foldAllNote"));
        note_->AddWidget(noteText_, 1);
        placeStrip_(*note_);
        connect(note_, &FieldStrip::CloseRequested, this, &BlockView::CancelFoldAll);
    }
    foldAllReached_ = std::max(foldAllReached_, reached);
    const std::int64_t lines = std::max<std::int64_t>(1, text_.LineCount());
    noteText_->setText(tr("Fold All: reading the blocks, %1% done. Escape stops it.")
                           .arg(100 * (foldAllReached_ + 1) / lines));
    note_->show();
}

void BlockView::AfterKey()
{
    Refresh();
}

bool BlockView::eventFilter(QObject *watched, QEvent *event)
{
    if (structure_ && event->type() == QEvent::Paint) {
        Refresh();
    } else if (structure_ && event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        return ShowTooltip(help->pos(), help->globalPos());
    }
    return QObject::eventFilter(watched, event);
}

// The document lines on screen, top to bottom, without the lines folds hide.
std::vector<std::int64_t> BlockView::LinesOnScreen() const
{
    std::vector<std::int64_t> lines;
    const long first = view_.FirstVisibleLine();
    const long shown = view_.LinesOnScreen() + 1;
    const long count = view_.LineCount();
    for (long display = first; display <= first + shown; ++display) {
        const long line = view_.DocLineFromVisible(display);
        if (line >= count || (!lines.empty() && line <= lines.back()))
            break;
        lines.push_back(line);
    }
    return lines;
}

void BlockView::Refresh()
{
    if (!structure_ || (!watcher_.Following() && view_.Length() == 0))
        return;
    FollowEdits();
    watcher_.Flush();
    FollowCaretLine();
    const std::vector<std::int64_t> lines = LinesOnScreen();
    // The paint after a key finds the lines its refresh drew, with no edit since: reading again
    // would only spend a second budget on a screen far below anything analysed.
    if (lines.empty() || (lines == drawn_ && watcher_.LastEdit() == drawnAfterEdit_))
        return;
    drawnAfterEdit_ = watcher_.LastEdit();
    const BlockReport report =
        structure_->Refresh(text_, lines.front(), lines.back(),
                            BlockBudget::Time(RefreshBudget, RefreshExtraBudget), levels_);
    levels_.RevealChangedFolds();
    const bool moved = lines != drawn_;
    drawn_ = lines;
    Draw(report, moved);
    if (structure_->HasPendingWork() && !idle_.isActive())
        idle_.start(0);
}

void BlockView::Draw(const BlockReport &report, bool everyLine)
{
    for (const std::int64_t line : drawn_) {
        if (everyLine || report.endingsChanged || report.Read(line))
            margin_.DrawMarks(line, MarksShown(line));
    }
}

std::vector<BlockMark> BlockView::MarksShown(std::int64_t line)
{
    if (!structure_)
        return {};
    std::vector<BlockMark> marks = structure_->Marks(text_, line);
    if (line == view_.LineFromPosition(view_.CurrentPos()))
        std::erase_if(marks, [](const BlockMark &mark) { return mark.holdsNothing; });
    return marks;
}

// A block typed on the caret's line is marked once the caret leaves the line, and the line the
// caret comes to loses such marks.
void BlockView::FollowCaretLine()
{
    const long line = view_.LineFromPosition(view_.CurrentPos());
    if (line == caretLine_)
        return;
    const long left = caretLine_;
    caretLine_ = line;
    if (left < view_.LineCount())
        margin_.DrawMarks(left, MarksShown(left));
    margin_.DrawMarks(line, MarksShown(line));
}

std::int64_t BlockView::MarkedLine(std::int64_t first, std::int64_t last, bool downwards)
{
    if (!structure_)
        return -1;
    FollowEdits();
    watcher_.Flush();
    const long caret = view_.LineFromPosition(view_.CurrentPos());
    BlockReport report;
    std::int64_t line = -1;
    for (;;) {
        line = structure_->FindMarkedLine(text_, first, last, downwards, levels_, report);
        // Only the caret's line may hold marks none of which is shown.
        if (line != caret || !MarksShown(line).empty())
            break;
        (downwards ? first : last) = line + (downwards ? 1 : -1);
    }
    levels_.RevealChangedFolds();
    Draw(report, false);
    return line;
}

// Analysis left over goes on in slices once typing has paused, so it never delays a key. While a
// Fold All reads, its pieces do this work at less cost.
void BlockView::ContinueWhenIdle()
{
    if (!structure_ || !structure_->HasPendingWork() || foldAllWaiting_)
        return;
    const auto now = std::chrono::steady_clock::now();
    const auto quietSince = std::max(lastKey_, watcher_.LastEdit());
    if (now - quietSince < QuietTime) {
        idle_.start(
            std::chrono::duration_cast<std::chrono::milliseconds>(QuietTime - (now - quietSince)));
        return;
    }
    watcher_.Flush();
    const BlockReport report =
        structure_->Continue(text_, BlockBudget::Time(SliceBudget, SliceBudget), levels_);
    levels_.RevealChangedFolds();
    Draw(report, false);
    procedures_.CatchUp(text_, *structure_);
    if (structure_->HasPendingWork())
        idle_.start(0);
}

const ProcedureIndex *BlockView::Procedures()
{
    if (!structure_)
        return nullptr;
    Refresh();
    procedures_.CatchUp(text_, *structure_);
    return &procedures_;
}

bool BlockView::ShowTooltip(const QPoint &at, const QPoint &global)
{
    const QString text = TooltipAt(at);
    if (text.isEmpty()) {
        QToolTip::hideText();
        return false;
    }
    QToolTip::showText(global, text, &view_.Viewport());
    return true;
}

// Over a marked word: its mark. Over the symbol margin beside a marked line: all its marks.
QString BlockView::TooltipAt(const QPoint &at)
{
    Refresh();
    const long symbolsFrom = view_.MarginWidth(0);
    const long symbolsTo = symbolsFrom + view_.MarginWidth(1);
    long textFrom = 0;
    for (int margin = 0; margin < 5; ++margin)
        textFrom += view_.MarginWidth(margin);
    const bool inMargin = at.x() >= symbolsFrom && at.x() < symbolsTo;
    const long position = inMargin
                              ? view_.PositionFromPoint(QPoint(static_cast<int>(textFrom), at.y()))
                              : view_.CharPositionFromPointClose(at);
    if (position < 0 || (!inMargin && at.x() < textFrom))
        return {};
    const long line = view_.LineFromPosition(position);
    const long column = position - view_.LineStart(line);
    QStringList texts;
    for (const BlockMark &mark : MarksShown(line)) {
        if (inMargin || (column >= mark.column && column < long(mark.column + mark.length)))
            texts << QString::fromStdString(mark.text);
    }
    return texts.join(QLatin1Char('\n'));
}

void BlockView::MarginClicked(long position, int margin)
{
    if (!structure_ || margin != FoldMargin::Margin)
        return;
    RunGuarded(guard_, tr("Fold"), [this, position] {
        Refresh();
        margin_.Toggle(view_.LineFromPosition(position));
    });
}
