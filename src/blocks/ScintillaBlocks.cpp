// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaBlocks: lines by pointer into the document, fold levels as the view keeps them.
#include "ScintillaBlocks.h"

#include "scintilla/ScintillaCall.h"
#include "syntax/Styles.h"

#include <QByteArrayView>
#include <QScopeGuard>

#include <algorithm>
#include <cstring>

namespace
{

// The first LF or CR in text[from, limit), or `limit`: searched a short stretch at a time, as
// most lines are short and a text may hold only one of the two.
long FirstLineEnd(const char *text, long from, long limit)
{
    constexpr long Stretch = 256;
    for (long at = from; at < limit; at += Stretch) {
        const auto size = static_cast<std::size_t>(std::min(Stretch, limit - at));
        const auto *lf = static_cast<const char *>(std::memchr(text + at, '\n', size));
        const auto beforeLf = lf ? static_cast<std::size_t>(lf - (text + at)) : size;
        if (const void *cr = std::memchr(text + at, '\r', beforeLf))
            return static_cast<long>(static_cast<const char *>(cr) - text);
        if (lf)
            return static_cast<long>(lf - text);
    }
    return limit;
}

} // namespace

std::int64_t ScintillaBlockText::LineCount() const
{
    return view_.LineCount();
}

std::string_view ScintillaBlockText::Line(std::int64_t line) const
{
    return text_ ? LineFromText(line) : LineFromView(line);
}

std::string_view ScintillaBlockText::LineFromView(std::int64_t line) const
{
    const long start = view_.LineStart(static_cast<long>(line));
    const long end = view_.LineEnd(static_cast<long>(line));
    // A line of more than LongLineBytes is generated data, shown plain through a window: it is
    // read as holding no block words rather than scanned whole at every paint.
    if (end <= start || end - start > ShownStyle::LongLineBytes)
        return {};
    return {view_.RangePointer(start, end - start), static_cast<std::size_t>(end - start)};
}

// Lines end as Scintilla ends them without Unicode line ends: at LF, CR LF or a lone CR.
std::string_view ScintillaBlockText::LineFromText(std::int64_t line) const
{
    const long start = line == nextLine_ ? nextStart_ : view_.LineStart(static_cast<long>(line));
    const long limit = std::min(length_, start + ShownStyle::LongLineBytes + 1);
    const long end = FirstLineEnd(text_, start, limit);
    if (end - start > ShownStyle::LongLineBytes) {
        nextLine_ = -1;
        return {};
    }
    nextLine_ = line + 1;
    const bool crlf = end + 1 < length_ && text_[end] == '\r' && text_[end + 1] == '\n';
    nextStart_ = end + (crlf ? 2 : 1);
    return {text_ + start, static_cast<std::size_t>(end - start)};
}

void ScintillaBlockText::WhileTextStaysPut(const std::function<void()> &work)
{
    if (view_.UnicodeLineEnds()) {
        work();
        return;
    }
    const QByteArrayView text = view_.Text();
    text_ = text.data();
    length_ = static_cast<long>(text.size());
    nextLine_ = -1;
    const auto done = qScopeGuard([this] { text_ = nullptr; });
    work();
}

void ScintillaLevels::SetFoldLevel(std::int64_t line, std::uint32_t level, bool header)
{
    const auto number = static_cast<long>(line);
    if (nothingFolded_) {
        view_.SetFoldLevel(number, {level, header});
        return;
    }
    const FoldLevel wanted = ScintillaCall::KeptFoldLevel({level, header});
    const FoldLevel old = view_.FoldLevelOf(number);
    if (old == wanted)
        return;
    const bool folded = old.header && !view_.FoldExpanded(number);
    if (folded && !wanted.header) {
        // The block went away: what it hid follows the line.
        view_.SetFoldExpanded(number, true);
        hiddenChanged_.push_back(line + 1);
    }
    if (!view_.LineVisible(number))
        hiddenChanged_.push_back(line);
    view_.SetFoldLevel(number, wanted);
}

void ScintillaLevels::WhileFoldsStayPut(const std::function<void()> &work)
{
    const long lines = view_.LineCount();
    nothingFolded_ = view_.ContractedFoldNext(0) < 0 && view_.VisibleFromDocLine(lines) == lines;
    const auto done = qScopeGuard([this] { nothingFolded_ = false; });
    work();
}

void ScintillaLevels::RevealChangedFolds()
{
    const long lines = view_.LineCount();
    for (const std::int64_t changed : hiddenChanged_) {
        const auto line = static_cast<long>(changed);
        if (line >= lines || view_.LineVisible(line))
            continue;
        view_.EnsureVisible(line);
        if (view_.LineVisible(line))
            continue;
        // No folded block holds the line any more: show the hidden lines around it.
        long first = line;
        while (first > 0 && !view_.LineVisible(first - 1))
            --first;
        long last = line;
        while (last + 1 < lines && !view_.LineVisible(last + 1))
            ++last;
        view_.ShowLines(first, last);
        for (long folded = view_.ContractedFoldNext(first); folded >= 0 && folded <= last;
             folded = view_.ContractedFoldNext(folded + 1))
            view_.SetFoldExpanded(folded, true);
    }
    hiddenChanged_.clear();
}
