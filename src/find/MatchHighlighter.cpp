// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// MatchHighlighter: every match on the lines on screen marked while the find bar is open.
#include "MatchHighlighter.h"

#include <QColor>
#include <QHash>

#include <algorithm>

MatchHighlighter::MatchHighlighter(ScintillaCall &view)
    : view_(view), text_(view),
      indicator_(view.DefineIndicator(ScintillaCall::IndicatorStyle::StraightBox,
                                      QColor(0xFF, 0xC8, 0x00, 0x78), 0xB4))
{
    // Marks change the text's decorations, which brings another update; the check of what is on
    // screen ends that round.
    connect(&view_, &ScintillaCall::Updated, this, [this] {
        if (active_)
            Update();
    });
}

void MatchHighlighter::Show(const Searcher &searcher)
{
    searcher_ = searcher;
    active_ = true;
    shown_ = Shown{};
    Update();
}

void MatchHighlighter::Clear()
{
    active_ = false;
    shown_ = Shown{};
    RemoveMarks();
}

void MatchHighlighter::Update()
{
    const Shown screen = OnScreen();
    if (screen == shown_)
        return;
    shown_ = screen;
    RemoveMarks();
    if (!searcher_.CanMatch())
        return;
    int marks = 0;
    // The search itself says when its expression is too complex; the marks stop there.
    try {
        searcher_.Scan(text_, screen.start, screen.end, [this, &marks](const FoundMatch &found) {
            const qsizetype length = found.match.end - found.match.start;
            if (length > 0)
                view_.IndicatorFillRange(indicator_, static_cast<long>(found.match.start),
                                         static_cast<long>(length));
            return ++marks < MostMarks;
        });
    } catch (const PatternTooComplex &) {
    }
}

MatchHighlighter::Shown MatchHighlighter::OnScreen() const
{
    const ShownLines lines = view_.LinesShown();
    Shown screen;
    screen.start = view_.LineStart(lines.first);
    screen.end = std::min(view_.LineEnd(lines.last), long(screen.start + ScreenBytes));
    screen.bytesHash = qHash(QByteArrayView(text_.Bytes(screen.start, screen.end - screen.start),
                                            screen.end - screen.start));
    return screen;
}

void MatchHighlighter::RemoveMarks()
{
    view_.IndicatorClearRange(indicator_, 0, view_.Length());
}
