// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// QuillLexer: the lines on screen before a paint, waiting lines in slices, and the account of
// edits kept through Scintilla's end-of-styling mark.
#include "QuillLexer.h"

#include "StylePalette.h"
#include "scintilla/ScintillaCall.h"

#include <QAbstractScrollArea>

#include <algorithm>

namespace
{

// The most text styled with one buffer: long colourings go in pieces of whole lines, so the
// style buffer stays small whatever the size of the script.
constexpr long ChunkBytes = 1 << 20;

} // namespace

QuillLexer::QuillLexer(const QString &name, const LanguageDefinition &definition,
                       ScintillaCall &view, QObject *parent)
    : QObject(parent), view_(view), name_(name.toUtf8()), matchCase_(definition.MatchCase),
      lexicon_(CompileLexicon(definition)), longLines_(view)
{
}

QuillLexer::~QuillLexer() = default;

const char *QuillLexer::Language() const
{
    return name_.constData();
}

QString QuillLexer::Description(int style) const
{
    return StylePalette::Description(style);
}

QColor QuillLexer::Colour(int style) const
{
    return StylePalette::Colour(style);
}

QColor QuillLexer::Paper(int style) const
{
    return StylePalette::Paper(style);
}

QFont QuillLexer::Font(int style, const QFont &base) const
{
    return StylePalette::Font(style, base);
}

bool QuillLexer::CaseSensitive() const
{
    return matchCase_;
}

bool QuillLexer::Colouring() const
{
    return view_.Source() == this;
}

// The mark goes to the end at once, so scrolling before the first paint does not make Scintilla
// ask for the text up to the screen.
void QuillLexer::Restart()
{
    document_ = nullptr;
    painting_ = false;
    toPaint_ = LineSet();
    longLines_.Forget();
    CatchUp();
    longLines_.ShowOnScreen();
    Settle();
}

// An edit pulls Scintilla's mark back to the first position it changed, and the mark is left at
// the end of the text after every look: a mark short of the settled length, or another length or
// line count, is an edit starting there.
void QuillLexer::CatchUp()
{
    void *document = view_.Document();
    const long length = view_.Length();
    const long lines = view_.LineCount();
    const long mark = view_.EndStyled();
    if (document != document_) {
        document_ = document;
        state_.Reset(lines);
    } else if (mark != settledLength_ || length != settledLength_ || lines != state_.Lines()) {
        state_.Edited(view_.LineFromPosition(std::min(mark, length)), lines);
    }
    Settle();
}

// With the mark at the end, Scintilla asks for no colouring of its own accord.
void QuillLexer::Settle()
{
    settledLength_ = view_.Length();
    view_.StartStyling(settledLength_);
}

// The styles of the text [start, end), whole lines, in styles_; the text's bytes are returned.
const char *QuillLexer::Lex(long start, long end)
{
    const char *text = view_.RangePointer(start, end - start);
    styles_.resize(static_cast<std::size_t>(end - start));
    lexicon_.StyleText(text, styles_.size(), styles_.data());
    ShowStyles(text);
    return text;
}

// Plain text is marked as coloured (style 0 is text not coloured yet). A line end takes the style
// of the character it ends: Scintilla keeps a line's layout between paints only if the two share
// a style, and otherwise measured the whole line again at every paint after any edit, half a
// second a key on a screen of lines tens of kilobytes long. No style fills the space after a
// line's end, so the line end's style does not show.
void QuillLexer::ShowStyles(const char *text)
{
    for (std::size_t at = 0; at < styles_.size(); ++at) {
        if (styles_[at] == 0)
            styles_[at] = ColouredDefault;
        const bool lineEnd = text[at] == '\n' || text[at] == '\r';
        if (lineEnd && at > 0 && text[at - 1] != '\n' && (text[at - 1] != '\r' || text[at] == '\n'))
            styles_[at] = styles_[at - 1];
    }
}

long QuillLexer::LineStart(long line) const
{
    return line >= view_.LineCount() ? view_.Length() : view_.LineStart(line);
}

void QuillLexer::ColourLines(long first, long end)
{
    end = std::min(end, view_.LineCount());
    if (first >= end)
        return;
    for (long line = first; line < end;) {
        if (longLines_.IsLong(line)) {
            longLines_.Show(line);
            ++line;
            continue;
        }
        // Whole lines up to the one that holds the piece's last byte, which may run on past it.
        const long start = LineStart(line);
        const long last = view_.LineFromPosition(start + ChunkBytes - 1);
        const long pieceEnd = std::min(end, std::max(last, line + 1));
        Lex(start, LineStart(pieceEnd));
        view_.StartStyling(start);
        view_.SetStylingEx(QByteArrayView(reinterpret_cast<const char *>(styles_.data()),
                                          qsizetype(styles_.size())));
        line = pieceEnd;
    }
    if (styles_.size() > ChunkBytes)
        styles_ = {};
    state_.Coloured(first, end);
    emit LinesColoured(static_cast<int>(first), static_cast<int>(end - 1));
}

void QuillLexer::StyleText(long start, long end)
{
    if (end <= start)
        return;
    const long firstLine = view_.LineFromPosition(start);
    const long endLine = view_.LineFromPosition(end - 1) + 1;
    if (painting_) {
        const std::vector<LineRun> runs = toPaint_.Runs();
        for (const LineRun &run : runs) {
            const LineRun part{std::max(run.first, firstLine), std::min(run.end, endLine)};
            if (part.first < part.end) {
                ColourLines(part.first, part.end);
                toPaint_.Remove(part.first, part.end);
            }
        }
    } else {
        CatchUp();
        ColourRequest(firstLine, endLine);
    }
    Settle();
}

// Outside a paint, Scintilla asks for the text up to the screen when an edit pulled the mark back
// and the view scrolls: only the screen's part of that is coloured, the paint follows anyway.
// Any other request (a shown view's text above or below the screen, or a view not shown) is
// coloured whole.
void QuillLexer::ColourRequest(long firstLine, long endLine)
{
    const ShownLines shown = view_.LinesShown();
    if (!view_.Widget().isVisible() || endLine > shown.last + 3 || endLine <= shown.first) {
        ColourLines(firstLine, endLine);
        return;
    }
    for (const LineRun &run : state_.NotCurrentIn(std::max(firstLine, shown.first), endLine))
        ColourLines(run.first, run.end);
}

// Lines that wait are certain to change; the others are lexed and compared with the styles they
// show, and only those that differ are coloured in the paint.
void QuillLexer::CheckShownLines(LineRun run)
{
    for (long line = run.first; line < run.end;) {
        // A long line whose window stands where it belongs is left as it is, even with an edit
        // in it: colouring it would lower Scintilla's mark for the paint, and any colouring
        // makes Scintilla compare the lines it has laid out with their text again, which for
        // this one is a walk over megabytes. Typed text keeps style 0 there, which looks as the
        // window's plain style does.
        if (longLines_.IsLong(line)) {
            if (longLines_.Shown(line))
                state_.Coloured(line, line + 1);
            else
                toPaint_.Add(line, line + 1);
            ++line;
            continue;
        }
        if (state_.IsWaiting(line)) {
            toPaint_.Add(line, line + 1);
            ++line;
            continue;
        }
        long end = line + 1;
        while (end < run.end && !state_.IsWaiting(end) && !longLines_.IsLong(end))
            ++end;
        CheckLines(line, end);
        line = end;
    }
}

// Lines [first, end), none long or waiting, are lexed; those whose styles differ from the ones
// shown are to be coloured in the paint, the others are current.
void QuillLexer::CheckLines(long first, long end)
{
    const long start = LineStart(first);
    const long finish = LineStart(end);
    Lex(start, finish);
    shown_.resize(static_cast<std::size_t>(finish - start));
    view_.StylesOf(start, finish, shown_.data());
    for (long at = first; at < end; ++at) {
        const auto from = static_cast<std::size_t>(LineStart(at) - start);
        const auto to = static_cast<std::size_t>(LineStart(at + 1) - start);
        if (std::equal(shown_.begin() + from, shown_.begin() + to, styles_.begin() + from))
            state_.Coloured(at, at + 1);
        else
            toPaint_.Add(at, at + 1);
    }
}

void QuillLexer::PrepareToShow(long first, long last)
{
    painting_ = false;
    toPaint_ = LineSet();
    if (!Colouring())
        return;
    CatchUp();
    for (const LineRun &run : state_.NotCurrentIn(first, last + 1))
        CheckShownLines(run);
    // A long line stays current, but its window follows the caret.
    for (long line = first; line <= last && line < state_.Lines(); ++line) {
        if (longLines_.IsLong(line) && !longLines_.Shown(line))
            toPaint_.Add(line, line + 1);
    }
    if (toPaint_.Empty())
        return;
    painting_ = true;
    paintMark_ = view_.LineStart(toPaint_.Runs().front().first);
    view_.StartStyling(paintMark_);
}

void QuillLexer::Shown()
{
    if (!Colouring() || !painting_)
        return;
    painting_ = false;
    toPaint_ = LineSet();
    // A paint that did not reach the lines leaves the mark where it was put for them.
    if (view_.EndStyled() == paintMark_ && view_.Length() == settledLength_)
        Settle();
    longLines_.KeepCaretInView();
}

bool QuillLexer::FirstByteUncoloured(long line) const
{
    const long position = view_.LineStart(line);
    return position >= 0 && position < view_.Length() && view_.StyleAt(position) == 0;
}

bool QuillLexer::ColourWaiting(long near, long bytes)
{
    if (!Colouring())
        return false;
    CatchUp();
    const std::optional<LineRun> run = state_.NextWaiting(near);
    if (!run)
        return false;
    const long start = view_.LineStart(run->first);
    const long reach = view_.LineFromPosition(start + bytes);
    const long end = std::clamp(reach, run->first + 1, run->end);
    ColourLines(run->first, end);
    // Text pasted over as many lines as it brings shows no change in the line count: the lines
    // after a coloured run that still hold uncoloured text wait as well.
    if (end == run->end && end < state_.Lines() && !state_.IsWaiting(end) &&
        FirstByteUncoloured(end))
        state_.Waiting(end, end + 1);
    Settle();
    return !state_.NothingWaits();
}
