// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// MatchHighlighter: every match on the lines on screen marked while the find bar is open.
#include "MatchHighlighter.h"

#include <QColor>
#include <QHash>

#include <algorithm>

MatchHighlighter::MatchHighlighter(ScintillaView &view)
    : view_(view), text_(view),
      indicator_(view.indicatorDefine(QsciScintilla::StraightBoxIndicator))
{
    view_.setIndicatorForegroundColor(QColor(0xFF, 0xC8, 0x00, 0x78), indicator_);
    view_.setIndicatorDrawUnder(true, indicator_);
    view_.SendScintilla(ScintillaView::SCI_INDICSETOUTLINEALPHA, indicator_, 0xB4L);
    // Marks change the text's decorations, which brings another update; the check of what is on
    // screen ends that round.
    connect(&view_, &QsciScintillaBase::SCN_UPDATEUI, this, [this] {
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
    view_.SendScintilla(ScintillaView::SCI_SETINDICATORCURRENT, indicator_);
    int marks = 0;
    searcher_.Scan(text_, screen.start, screen.end, [this, &marks](const FoundMatch &found) {
        const qsizetype length = found.match.end - found.match.start;
        if (length > 0)
            view_.SendScintilla(ScintillaView::SCI_INDICATORFILLRANGE,
                                static_cast<unsigned long>(found.match.start), long(length));
        return ++marks < MostMarks;
    });
}

MatchHighlighter::Shown MatchHighlighter::OnScreen() const
{
    const long firstShown = view_.SendScintilla(ScintillaView::SCI_GETFIRSTVISIBLELINE);
    const long shownLines = view_.SendScintilla(ScintillaView::SCI_LINESONSCREEN);
    const long firstLine = view_.SendScintilla(ScintillaView::SCI_DOCLINEFROMVISIBLE, firstShown);
    const long lastLine =
        view_.SendScintilla(ScintillaView::SCI_DOCLINEFROMVISIBLE, firstShown + shownLines);
    Shown screen;
    screen.start = view_.SendScintilla(ScintillaView::SCI_POSITIONFROMLINE, firstLine);
    screen.end = std::min(view_.SendScintilla(ScintillaView::SCI_GETLINEENDPOSITION, lastLine),
                          long(screen.start + ScreenBytes));
    screen.bytesHash = qHash(QByteArrayView(text_.Bytes(screen.start, screen.end - screen.start),
                                            screen.end - screen.start));
    return screen;
}

void MatchHighlighter::RemoveMarks()
{
    view_.SendScintilla(ScintillaView::SCI_SETINDICATORCURRENT, indicator_);
    view_.SendScintilla(ScintillaView::SCI_INDICATORCLEARRANGE, 0UL,
                        view_.SendScintilla(ScintillaView::SCI_GETLENGTH));
}
