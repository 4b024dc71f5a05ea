// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// WordHighlight: the word found at the caret, its uses found on screen and marked.
#include "WordHighlight.h"

#include "scintilla/ScintillaCall.h"
#include "syntax/Styles.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace
{

bool IsWordByte(char byte)
{
    return LexerCore::IsWordByte(static_cast<unsigned char>(byte));
}

unsigned char Folded(char byte)
{
    return LexerCore::FoldedByte(static_cast<unsigned char>(byte));
}

} // namespace

WordHighlight::WordHighlight(ScintillaCall &view, std::function<bool()> othersMark)
    : view_(view), othersMark_(std::move(othersMark)),
      indicator_(view.DefineIndicator(ScintillaCall::IndicatorStyle::StraightBox,
                                      QColor(0x90, 0xA8, 0xD0, 0x40), 0x90))
{
    rest_.setSingleShot(true);
    rest_.setInterval(RestMs);
    connect(&rest_, &QTimer::timeout, this, &WordHighlight::Mark);
    connect(&view_, &ScintillaCall::Updated, this, &WordHighlight::Moved);
}

// The marks stay while the caret stays in the word they were made for, and follow the screen
// as it scrolls; marking itself changes the text's decorations, which brings an update too.
void WordHighlight::Moved(bool content, bool selection)
{
    if (marked_ && StillAtMarkedWord()) {
        const ShownLines shown = view_.LinesShown();
        if (shown.first != marked_->firstShown || shown.last != marked_->lastShown)
            rest_.start(0);
        return;
    }
    if (marked_)
        Clear();
    if (content || selection)
        rest_.start();
}

bool WordHighlight::StillAtMarkedWord() const
{
    const Marked &marked = *marked_;
    const long length = marked.word.end - marked.word.start;
    return view_.Anchor() == marked.anchor && view_.CurrentPos() == marked.caret &&
           view_.Length() == marked.length &&
           std::memcmp(view_.RangePointer(marked.word.start, length), marked.bytes.constData(),
                       static_cast<std::size_t>(length)) == 0;
}

void WordHighlight::Mark()
{
    Clear();
    if (othersMark_ && othersMark_())
        return;
    const Word word = WordAtCaret();
    if (word.start < 0)
        return;
    const ShownLines shown = view_.LinesShown();
    marked_ = Marked{
        view_.Anchor(),
        view_.CurrentPos(),
        view_.Length(),
        word,
        QByteArray(view_.RangePointer(word.start, word.end - word.start), word.end - word.start),
        shown.first,
        shown.last};
    const long lines = view_.LineCount();
    for (long line = shown.first; line <= shown.last && line < lines; ++line)
        MarkUsesOn(line);
}

// The word the caret stands in or at either end of, or the selection when it is exactly one
// word; none in a comment or a string.
WordHighlight::Word WordHighlight::WordAtCaret() const
{
    long start = view_.SelectionStart();
    long end = view_.SelectionEnd();
    if (start == end) {
        const long line = view_.LineFromPosition(start);
        const long lineStart = view_.LineStart(line);
        const long lineEnd = view_.LineEnd(line);
        if (lineEnd - lineStart > ShownStyle::LongLineBytes)
            return {};
        while (start > lineStart && IsWordByte(view_.CharAt(start - 1)))
            --start;
        while (end < lineEnd && IsWordByte(view_.CharAt(end)))
            ++end;
    }
    if (start == end || !IsWordAt(start, end) || InCommentOrString(start))
        return {};
    return {start, end};
}

// Whether [start, end) is a whole word: word bytes only, with none just before or after.
bool WordHighlight::IsWordAt(long start, long end) const
{
    if (end - start > ShownStyle::LongLineBytes)
        return false;
    const char *bytes = view_.RangePointer(start, end - start);
    if (!std::all_of(bytes, bytes + (end - start), IsWordByte))
        return false;
    return (start == 0 || !IsWordByte(view_.CharAt(start - 1))) &&
           (end >= view_.Length() || !IsWordByte(view_.CharAt(end)));
}

bool WordHighlight::InCommentOrString(long position) const
{
    const int style = ShownStyle::LexerStyle(view_.StyleAt(position));
    return style == LexerCore::Comment || style == LexerCore::String;
}

bool WordHighlight::SameWord(const char *text, const char *word, long length) const
{
    if (matchCase_)
        return std::memcmp(text, word, static_cast<std::size_t>(length)) == 0;
    for (long at = 0; at < length; ++at) {
        if (Folded(text[at]) != Folded(word[at]))
            return false;
    }
    return true;
}

// Every whole-word use of the word on `line` but the one at the caret; a long line, shown
// through its window, is left alone.
void WordHighlight::MarkUsesOn(long line)
{
    const Word &word = marked_->word;
    const long start = view_.LineStart(line);
    const long end = view_.LineEnd(line);
    const long length = word.end - word.start;
    if (end - start > ShownStyle::LongLineBytes || end - start < length)
        return;
    const char *text = view_.RangePointer(start, end - start);
    for (long at = 0; at + length <= end - start; ++at) {
        if ((at > 0 && IsWordByte(text[at - 1])) ||
            (at + length < end - start && IsWordByte(text[at + length])))
            continue;
        const long position = start + at;
        if (position != word.start && SameWord(text + at, marked_->bytes.constData(), length) &&
            !InCommentOrString(position)) {
            view_.IndicatorFillRange(indicator_, position, length);
            Marked &marked = *marked_;
            marked.marksStart = marked.marksStart < 0 ? position : marked.marksStart;
            marked.marksEnd = position + length;
            at += length - 1;
        }
    }
}

// The marks move with the text as edits come before them, so the range cleared takes in where
// an edit of the length's change could have moved them: the cost stays that of a screen.
void WordHighlight::Clear()
{
    rest_.stop();
    if (!marked_)
        return;
    const Marked marked = *std::exchange(marked_, std::nullopt);
    if (marked.marksStart < 0)
        return;
    const long length = view_.Length();
    const long change = length - marked.length;
    const long from = std::clamp(marked.marksStart + std::min(0L, change), 0L, length);
    const long to = std::clamp(marked.marksEnd + std::max(0L, change), from, length);
    view_.IndicatorClearRange(indicator_, from, to - from);
    // Edits that moved the marks one way and back leave no trace in the length: a mark left
    // over anywhere is found in one look (the unmarked run from the start ends before the end),
    // and then every mark goes. With no mark left Scintilla keeps no run at all.
    const long unmarkedTo = view_.IndicatorEnd(indicator_, 0);
    if (view_.IndicatorAt(indicator_, 0) || (unmarkedTo > 0 && unmarkedTo < length))
        view_.IndicatorClearRange(indicator_, 0, length);
}
