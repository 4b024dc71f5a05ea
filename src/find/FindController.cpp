// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FindController: the editor control's find and replace, from the keys to the edited text.
#include "FindController.h"

#include "FindBar.h"
#include "ReplaceAllEdit.h"
#include "search/Replacement.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QRegularExpression>

FindController::FindController(QWidget &control, ScintillaCall &view, const CommandGuard &guard,
                               std::function<void(QWidget &)> placeBar)
    : control_(control), placeBar_(std::move(placeBar)), view_(view), guard_(guard), text_(view),
      search_(text_, [this](const std::function<void()> &slice) { Run(tr("Find"), slice); }),
      highlighter_(view)
{
    find_ =
        AddKey(control, tr("Find..."), QKeySequence(Qt::CTRL | Qt::Key_F), [this] { Open(false); });
    replace_ = AddKey(control, tr("Replace..."), QKeySequence(Qt::CTRL | Qt::Key_H),
                      [this] { Open(true); });
    AddKey(control, tr("Find Next"), QKeySequence(Qt::Key_F3), [this] { FindNext(); });
    AddKey(control, tr("Find Previous"), QKeySequence(Qt::SHIFT | Qt::Key_F3),
           [this] { FindPrevious(); });
    whileOpen_ = {
        AddKey(control, tr("Match case"), QKeySequence(Qt::ALT | Qt::Key_C),
               [this] { Bar().ToggleMatchCase(); }),
        AddKey(control, tr("Whole word"), QKeySequence(Qt::ALT | Qt::Key_W),
               [this] { Bar().ToggleWholeWord(); }),
        AddKey(control, tr("Regular expression"), QKeySequence(Qt::ALT | Qt::Key_R),
               [this] { Bar().ToggleRegularExpression(); }),
    };
    for (QAction *action : whileOpen_)
        action->setEnabled(false);
    count_.setSingleShot(true);
    count_.setInterval(0);
    connect(&count_, &QTimer::timeout, this, [this] { Run(tr("Find"), [this] { ShowCount(); }); });
}

FindController::~FindController() = default;

// The bar is made when it is first needed: its widgets and icons cost more than the rest of the
// editor's start-up, for a bar many sessions never open.
FindBar &FindController::Bar()
{
    if (bar_)
        return *bar_;
    bar_ = new FindBar(&control_);
    bar_->hide();
    placeBar_(*bar_);
    Connect(&FindBar::SearchEdited, tr("Find"), &FindController::SearchAsTyped);
    Connect(&FindBar::NextRequested, tr("Find Next"), &FindController::FindNext);
    Connect(&FindBar::PreviousRequested, tr("Find Previous"), &FindController::FindPrevious);
    Connect(&FindBar::ReplaceRequested, tr("Replace"), &FindController::Replace);
    Connect(&FindBar::ReplaceAllRequested, tr("Replace All"), &FindController::ReplaceAll);
    Connect(&FindBar::CloseRequested, tr("Close Find"), &FindController::Close);
    return *bar_;
}

bool FindController::BarShown() const
{
    return bar_ && !bar_->isHidden();
}

QAction *FindController::AddKey(QWidget &control, const QString &text, const QKeySequence &key,
                                const std::function<void()> &handler)
{
    auto *action = new QAction(text, &control);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action, &QAction::triggered, this, [this, text, handler] { Run(text, handler); });
    control.addAction(action);
    return action;
}

void FindController::Connect(void (FindBar::*signal)(), const QString &command,
                             void (FindController::*handler)())
{
    connect(bar_, signal, this,
            [this, command, handler] { Run(command, [this, handler] { (this->*handler)(); }); });
}

// A regular expression the engine gives up on stops whatever searched with it, before anything
// changed, and is told in the bar as an invalid one is; anything else is the guard's to report.
void FindController::Run(const QString &command, const std::function<void()> &body)
{
    RunGuarded(guard_, command, [this, &body] {
        try {
            body();
        } catch (const PatternTooComplex &) {
            search_.Cancel();
            count_.stop();
            highlighter_.Clear();
            Bar().ShowStatus(tr("The expression is too complex for this text"), true);
        }
    });
}

bool FindController::BeforeKey(const QKeyEvent &key)
{
    if (key.key() != Qt::Key_Escape || key.modifiers() != Qt::NoModifier || !BarShown())
        return false;
    Run(tr("Close Find"), [this] { Close(); });
    return true;
}

void FindController::AddMenuEntries(QMenu &menu) const
{
    menu.addSeparator();
    menu.addAction(find_);
    menu.addAction(replace_);
}

void FindController::Open(bool replace)
{
    if (!Bar().isAncestorOf(QApplication::focusWidget())) {
        const QString seed = SeedText();
        if (!seed.isEmpty())
            bar_->SetSearchText(bar_->Options().regularExpression ? QRegularExpression::escape(seed)
                                                                  : seed);
    }
    Reveal(replace, true);
    SearchAsTyped();
}

void FindController::Reveal(bool replace, bool takeFocus)
{
    Bar().Open(replace, takeFocus);
    for (QAction *action : whileOpen_)
        action->setEnabled(true);
}

void FindController::Close()
{
    search_.Cancel();
    count_.stop();
    highlighter_.Clear();
    if (bar_)
        bar_->hide();
    for (QAction *action : whileOpen_)
        action->setEnabled(false);
    view_.Widget().setFocus(Qt::OtherFocusReason);
}

// The selected text when it lies on one line, is not too long to search for and is not the last
// match found (whose search text stays), else the word at the caret; empty for neither.
QString FindController::SeedText() const
{
    const long start = view_.SelectionStart();
    long end = view_.SelectionEnd();
    long from = start;
    if (start == end) {
        from = view_.WordStart(start);
        end = view_.WordEnd(start);
    } else if ((lastMatch_ && lastMatch_->start == start && lastMatch_->end == end) ||
               SelectionSpansLines()) {
        return {};
    }
    if (end - from > LongestSeedBytes)
        return {};
    return QString::fromUtf8(text_.Bytes(from, end - from), end - from);
}

// A selection that spans lines is what Replace All works in, so typing leaves it and only
// counts the matches inside it.
void FindController::SearchAsTyped()
{
    if (!Ready())
        return;
    if (SelectionSpansLines())
        ShowCountInSelection();
    else
        Search(view_.SelectionStart(), true);
}

bool FindController::SelectionSpansLines() const
{
    return view_.LineFromPosition(view_.SelectionStart()) !=
           view_.LineFromPosition(view_.SelectionEnd());
}

void FindController::FindNext()
{
    if (!RevealForNextOrPrevious() || !Ready())
        return;
    const long start = view_.SelectionStart();
    const long from = view_.SelectionEnd();
    if (start == from && lastMatch_ && lastMatch_->start == from && lastMatch_->end == from)
        SearchPastEmptyMatch(from);
    else
        Search(from, true);
}

// After an empty match the next one starts a character later at least; after one at the text's
// end, where no character follows, the search wraps to the start rather than find it again.
void FindController::SearchPastEmptyMatch(long position)
{
    const long next = view_.PositionAfter(position);
    Search(next > position ? next : 0, true, next <= position);
}

void FindController::FindPrevious()
{
    if (RevealForNextOrPrevious() && Ready())
        Search(view_.SelectionStart(), false);
}

// With the bar closed the last search goes on from the selection, the keyboard staying in the
// text; with none yet the bar opens as by Ctrl+F. False when there is nothing to go on with.
bool FindController::RevealForNextOrPrevious()
{
    if (BarShown())
        return true;
    if (Bar().SearchText().isEmpty()) {
        Open(false);
        return false;
    }
    Reveal(bar_->ReplaceShown(), false);
    return true;
}

void FindController::Replace()
{
    if (!view_.AwaitWholeText() || !Ready())
        return;
    const long start = view_.SelectionStart();
    const long end = view_.SelectionEnd();
    const Replacement replacement(ReplacementText(), bar_->Options().regularExpression);
    std::optional<QByteArray> text;
    searcher_.Scan(text_, start, start + 1, [&](const FoundMatch &found) {
        if (found.match.start == start && found.match.end == end)
            replacement.AppendFor(found, text.emplace());
        return false;
    });
    if (!text) {
        FindNext();
        return;
    }
    if (!view_.ReplaceRange(start, end, *text))
        return;
    const long from = start + static_cast<long>(text->size());
    if (start == end)
        SearchPastEmptyMatch(from);
    else
        Search(from, true);
}

void FindController::ReplaceAll()
{
    if (!view_.AwaitWholeText() || !Ready())
        return;
    search_.Cancel();
    count_.stop();
    const long start = view_.SelectionStart();
    const long end = view_.SelectionEnd();
    const bool inSelection = SelectionSpansLines();
    const long caret = view_.CurrentPos();
    const long to = inSelection ? SelectedRangeEnd(end) : text_.Length();
    const ReplaceAllResult result = ::ReplaceAll(
        view_, searcher_, Replacement(ReplacementText(), bar_->Options().regularExpression),
        inSelection ? start : 0, to);
    if (result.refused) {
        bar_->ShowStatus(tr("Nothing replaced"), false);
        return;
    }
    lastMatch_.reset();
    if (result.replaced == 0) {
        bar_->ShowStatus(tr("No matches"), true);
        return;
    }
    if (inSelection)
        Select(start, end + (result.rangeEnd - to));
    else
        Select(caret <= result.firstStart ? caret : result.lastEnd,
               caret <= result.firstStart ? caret : result.lastEnd);
    bar_->ShowStatus(tr("Replaced %1").arg(result.replaced), false);
}

// A line end pasted into the replacement goes in as the text's own line end, as one pasted into
// the text does.
QString FindController::ReplacementText() const
{
    QString text = bar_->ReplacementText();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    const ScintillaCall::LineEndMode mode = view_.LineEnds();
    if (mode != ScintillaCall::LineEndMode::Lf)
        text.replace(u'\n', QLatin1String(mode == ScintillaCall::LineEndMode::Cr ? "\r" : "\r\n"));
    return text;
}

// Compiles the bar's search when it changed and says whether it can find anything; when not,
// the bar says why and nothing stays marked.
bool FindController::Ready()
{
    const QString text = Bar().SearchText();
    const SearchOptions options = bar_->Options();
    const bool changed =
        text != searchedText_ || options != searchedOptions_ || !searcher_.CanMatch();
    if (changed) {
        searcher_ = Searcher(text, options);
        searchedText_ = text;
        searchedOptions_ = options;
    }
    if (searcher_.CanMatch()) {
        if (changed || !highlighter_.IsActive())
            highlighter_.Show(searcher_);
        return true;
    }
    search_.Cancel();
    count_.stop();
    highlighter_.Clear();
    if (!searcher_.Error().isEmpty())
        bar_->ShowStatus(tr("Invalid pattern: %1").arg(searcher_.Error()), true);
    else
        bar_->ShowStatus(text.isEmpty() ? QString() : tr("No matches"), !text.isEmpty());
    return false;
}

void FindController::Search(qsizetype from, bool forwards, bool wrapping)
{
    count_.stop();
    search_.Start(searcher_, from, forwards,
                  [this, wrapping](const std::optional<TextMatch> &match, bool wrapped) {
                      ShowResult(match, wrapped || wrapping);
                  });
    if (search_.IsRunning())
        bar_->ShowStatus(tr("Searching..."), false);
}

void FindController::ShowResult(const std::optional<TextMatch> &match, bool wrapped)
{
    if (!match) {
        bar_->ShowStatus(tr("No matches"), true);
        return;
    }
    lastMatch_ = match;
    Select(match->start, match->end);
    if (wrapped)
        bar_->ShowWrapped();
    count_.start();
}

// Counts from the text's start for at most a frame's time: "3 of 41" when it got through,
// "3 of 41+" or "41+" when it had to stop.
void FindController::ShowCount()
{
    if (!lastMatch_)
        return;
    QElapsedTimer clock;
    clock.start();
    qsizetype total = 0, before = 0;
    const qsizetype length = text_.Length();
    const qsizetype reached = searcher_.Scan(
        text_, 0, length,
        [&](const FoundMatch &found) {
            ++total;
            before += found.match.start < lastMatch_->start;
            return true;
        },
        [&clock] { return clock.elapsed() < CountMs; });
    if (reached >= length)
        bar_->ShowStatus(tr("%1 of %2").arg(before + 1).arg(total), false);
    else if (reached > lastMatch_->start)
        bar_->ShowStatus(tr("%1 of %2+").arg(before + 1).arg(total), false);
    else
        bar_->ShowStatus(tr("%1+").arg(total), false);
}

void FindController::ShowCountInSelection()
{
    search_.Cancel();
    count_.stop();
    const long start = view_.SelectionStart();
    const long end = SelectedRangeEnd(view_.SelectionEnd());
    QElapsedTimer clock;
    clock.start();
    qsizetype inside = 0;
    const qsizetype reached = searcher_.Scan(
        text_, start, end + 1,
        [&inside, end](const FoundMatch &found) {
            inside += found.match.end <= end;
            return true;
        },
        [&clock] { return clock.elapsed() < CountMs; });
    if (reached <= end)
        bar_->ShowStatus(tr("%1+ in selection").arg(inside), false);
    else
        bar_->ShowStatus(tr("%1 in selection").arg(inside), inside == 0);
}

// Where the matches in a selection of lines may end: at its end, an empty match there included
// ($ on a line selected to its end), or at the end of the line before when it ends at a line's
// start, as no character of that line is selected.
long FindController::SelectedRangeEnd(long end) const
{
    const long line = view_.LineFromPosition(end);
    if (line == 0 || end != view_.LineStart(line))
        return end;
    return view_.LineEnd(line - 1);
}

void FindController::Select(qsizetype start, qsizetype end)
{
    view_.SetSel(static_cast<long>(start), static_cast<long>(end));
}
