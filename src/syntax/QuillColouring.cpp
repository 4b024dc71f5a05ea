// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// QuillLexer's colouring: the lines on screen before a paint, waiting lines in slices, and the
// account of edits kept through Scintilla's end-of-styling mark.
#include "QuillLexer.h"

#include <Qsci/qsciscintilla.h>

#include <algorithm>

namespace
{

using Sci = QsciScintillaBase;

// The most text styled with one buffer: long colourings go in pieces of whole lines, so the
// style buffer stays small whatever the size of the script.
constexpr long ChunkBytes = 1 << 20;

/// Scintilla's range with room for text and styles, declared as Scintilla declares it
/// (QScintilla does not install the header).
struct StyledTextRange {
    long cpMin;
    long cpMax;
    char *text;
};

} // namespace

long QuillLexer::Send(unsigned int message, unsigned long wParam, long lParam) const
{
    return editor()->SendScintilla(message, wParam, lParam);
}

void QuillLexer::setEditor(QsciScintilla *editor)
{
    QsciLexerCustom::setEditor(editor);
    // Attaching a lexer clears every style of the document it shows.
    Restart();
}

// The mark goes to the end at once, so scrolling before the first paint does not make Scintilla
// ask for the text up to the screen.
void QuillLexer::Restart()
{
    document_ = nullptr;
    painting_ = false;
    toPaint_ = LineSet();
    recentWindow_ = LineWindow();
    if (!editor())
        return;
    CatchUp();
    WindowLongLinesOnScreen();
}

// An edit pulls Scintilla's mark back to the first position it changed, and the mark is left at
// the end of the text after every look: a mark short of the settled length, or another length or
// line count, is an edit starting there.
void QuillLexer::CatchUp()
{
    void *document = reinterpret_cast<void *>(Send(Sci::SCI_GETDOCPOINTER));
    const long length = Send(Sci::SCI_GETLENGTH);
    const long lines = Send(Sci::SCI_GETLINECOUNT);
    const long mark = Send(Sci::SCI_GETENDSTYLED);
    if (document != document_) {
        document_ = document;
        state_.Reset(lines);
    } else if (mark != settledLength_ || length != settledLength_ || lines != state_.Lines()) {
        state_.Edited(Send(Sci::SCI_LINEFROMPOSITION, std::min(mark, length)), lines);
    }
    Settle();
}

// With the mark at the end, Scintilla asks for no colouring of its own accord.
void QuillLexer::Settle()
{
    settledLength_ = Send(Sci::SCI_GETLENGTH);
    Send(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(settledLength_));
}

// The styles of the text [start, end), whole lines, in styles_; the text's bytes are returned.
const char *QuillLexer::Lex(long start, long end)
{
    const auto *text = reinterpret_cast<const char *>(
        Send(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), end - start));
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
    return line >= Send(Sci::SCI_GETLINECOUNT)
               ? Send(Sci::SCI_GETLENGTH)
               : Send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
}

void QuillLexer::ColourLines(long first, long end)
{
    end = std::min(end, Send(Sci::SCI_GETLINECOUNT));
    if (first >= end)
        return;
    for (long line = first; line < end;) {
        if (IsLongLine(line)) {
            ShowThroughWindow(line);
            ++line;
            continue;
        }
        // Whole lines up to the one that holds the piece's last byte, which may run on past it.
        const long start = LineStart(line);
        const long last =
            Send(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start + ChunkBytes - 1));
        const long pieceEnd = std::min(end, std::max(last, line + 1));
        Lex(start, LineStart(pieceEnd));
        Send(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(start));
        editor()->SendScintilla(Sci::SCI_SETSTYLINGEX, static_cast<unsigned long>(styles_.size()),
                                reinterpret_cast<const char *>(styles_.data()));
        line = pieceEnd;
    }
    if (styles_.size() > ChunkBytes)
        styles_ = {};
    state_.Coloured(first, end);
    emit LinesColoured(static_cast<int>(first), static_cast<int>(end - 1));
}

void QuillLexer::styleText(int start, int end)
{
    if (!editor() || end <= start)
        return;
    const long firstLine = Send(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start));
    const long endLine = Send(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(end - 1)) + 1;
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
    const QsciScintilla *view = editor();
    const long top = Send(Sci::SCI_GETFIRSTVISIBLELINE);
    const long shownFirst = Send(Sci::SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(top));
    const long shownLast = Send(Sci::SCI_DOCLINEFROMVISIBLE,
                                static_cast<unsigned long>(top + Send(Sci::SCI_LINESONSCREEN)));
    if (!view->isVisible() || endLine > shownLast + 3 || endLine <= shownFirst) {
        ColourLines(firstLine, endLine);
        return;
    }
    for (const LineRun &run : state_.NotCurrentIn(std::max(firstLine, shownFirst), endLine))
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
        if (IsLongLine(line)) {
            if (WindowShown(WindowFor(line)))
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
        while (end < run.end && !state_.IsWaiting(end) && !IsLongLine(end))
            ++end;
        const long start = LineStart(line);
        const long finish = LineStart(end);
        Lex(start, finish);
        QByteArray shown(2 * (finish - start) + 2, '\0');
        StyledTextRange range{start, finish, shown.data()};
        editor()->SendScintilla(Sci::SCI_GETSTYLEDTEXT, 0UL, static_cast<void *>(&range));
        for (long at = line; at < end; ++at) {
            const long from = LineStart(at);
            const long to = LineStart(at + 1);
            bool same = true;
            for (long position = from; position < to && same; ++position)
                same = static_cast<unsigned char>(shown[qsizetype(2 * (position - start) + 1)]) ==
                       styles_[static_cast<std::size_t>(position - start)];
            if (same)
                state_.Coloured(at, at + 1);
            else
                toPaint_.Add(at, at + 1);
        }
        line = end;
    }
}

void QuillLexer::PrepareToShow(long first, long last)
{
    painting_ = false;
    toPaint_ = LineSet();
    if (!editor())
        return;
    CatchUp();
    for (const LineRun &run : state_.NotCurrentIn(first, last + 1))
        CheckShownLines(run);
    // A long line stays current, but its window follows the caret.
    for (long line = first; line <= last && line < state_.Lines(); ++line) {
        if (IsLongLine(line) && !WindowShown(WindowFor(line)))
            toPaint_.Add(line, line + 1);
    }
    if (toPaint_.Empty())
        return;
    painting_ = true;
    paintMark_ =
        Send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(toPaint_.Runs().front().first));
    Send(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(paintMark_));
}

void QuillLexer::Shown()
{
    if (!editor() || !painting_)
        return;
    painting_ = false;
    toPaint_ = LineSet();
    // A paint that did not reach the lines leaves the mark where it was put for them.
    if (Send(Sci::SCI_GETENDSTYLED) == paintMark_ && Send(Sci::SCI_GETLENGTH) == settledLength_)
        Settle();
    KeepCaretInView();
}

bool QuillLexer::FirstByteUncoloured(long line) const
{
    const long position = Send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    return position >= 0 && position < Send(Sci::SCI_GETLENGTH) &&
           Send(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(position)) == 0;
}

bool QuillLexer::ColourWaiting(long near, long bytes)
{
    if (!editor())
        return false;
    CatchUp();
    const std::optional<LineRun> run = state_.NextWaiting(near);
    if (!run)
        return false;
    const long start = Send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(run->first));
    const long reach = Send(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start + bytes));
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
