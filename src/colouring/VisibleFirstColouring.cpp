// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// VisibleFirstColouring: the view's side of colouring: the lines on screen before every paint,
// the rest of the text in idle slices.
#include "VisibleFirstColouring.h"

#include "QuillLexer.h"
#include "scintilla/ScintillaCall.h"

#include <QAbstractScrollArea>
#include <QEvent>

#include <algorithm>

namespace
{

// A slice colours pieces of this many bytes until it has taken this long: a few milliseconds,
// well inside one frame, so typing and scrolling stay smooth while the background works.
constexpr long PieceBytes = 32 * 1024;
constexpr qint64 SliceNanoseconds = 4'000'000;
// The slices keep this long out of the way of the user's keys, wheel and clicks.
constexpr int QuietMs = 150;

} // namespace

VisibleFirstColouring::VisibleFirstColouring(ScintillaCall &view) : view_(view)
{
    slices_.setInterval(0);
    connect(&slices_, &QTimer::timeout, this, &VisibleFirstColouring::Slice);
    view_.SetPaintHandlers([this] { BeforePaint(); }, [this] { AfterPaint(); });
    view_.Widget().installEventFilter(this);
    view_.Viewport().installEventFilter(this);
}

VisibleFirstColouring::~VisibleFirstColouring()
{
    view_.SetPaintHandlers({}, {});
}

bool VisibleFirstColouring::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::Wheel:
    case QEvent::MouseButtonPress:
        sinceInput_.start();
        if (slices_.isActive())
            slices_.start(QuietMs);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void VisibleFirstColouring::StartSlices()
{
    const qint64 quiet = sinceInput_.isValid() ? QuietMs - sinceInput_.elapsed() : 0;
    slices_.start(static_cast<int>(std::max<qint64>(0, quiet)));
}

void VisibleFirstColouring::SetLexer(QuillLexer *lexer)
{
    lexer_ = lexer;
    slices_.stop();
}

void VisibleFirstColouring::Restart()
{
    if (lexer_)
        lexer_->Restart();
}

// Another lexer may have been put in the view behind the control's back.
bool VisibleFirstColouring::Colouring() const
{
    return lexer_ && view_.Source() == lexer_.data();
}

void VisibleFirstColouring::BeforePaint()
{
    if (!Colouring())
        return;
    const ShownLines shown = view_.LinesShown();
    lexer_->PrepareToShow(shown.first, shown.last);
}

void VisibleFirstColouring::AfterPaint()
{
    if (!Colouring())
        return;
    lexer_->Shown();
    if (!lexer_->NothingWaits() && !slices_.isActive())
        StartSlices();
}

void VisibleFirstColouring::Slice()
{
    if (!Colouring()) {
        slices_.stop();
        return;
    }
    slices_.setInterval(0);
    const long near = view_.DocLineFromVisible(view_.FirstVisibleLine());
    QElapsedTimer clock;
    clock.start();
    while (lexer_->ColourWaiting(near, PieceBytes)) {
        if (clock.nsecsElapsed() >= SliceNanoseconds)
            return;
    }
    slices_.stop();
}
