// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ReplaceAllEdit: every match in a range replaced as one undo step, in a few large changes.
#include "ReplaceAllEdit.h"

#include "ScintillaText.h"
#include "scintilla/ForwardRewrite.h"
#include "scriptfile/ScriptFile.h"
#include "search/Replacement.h"
#include "search/Searcher.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace
{

// Matches are gathered a batch of whole lines at a time and then replaced, so every search
// reads only text no replacement has touched yet: a batch starts at a line start, and no match
// reaches across a line end.
constexpr qsizetype BatchBytes = qsizetype(1) << 20;

struct Pending {
    qsizetype start;
    qsizetype end;
    qsizetype textEnd; // where this match's replacement ends in the batch's texts
};

class Rewriter
{
public:
    Rewriter(ScintillaCall &view, const Searcher &searcher, const Replacement &replacement)
        : view_(view), text_(view), searcher_(searcher), replacement_(replacement)
    {
    }

    ReplaceAllResult Run(qsizetype from, qsizetype to);

private:
    bool Fits(qsizetype from, qsizetype to) const;
    bool BoundedGrowthFits(qsizetype from, qsizetype to) const;
    qsizetype BatchEnd(qsizetype position, qsizetype to) const;
    qsizetype Gather(qsizetype from, qsizetype batchEnd, qsizetype to);
    void Apply();

    ScintillaCall &view_;
    ScintillaText text_;
    const Searcher &searcher_;
    const Replacement &replacement_;
    std::optional<ForwardRewrite> rewrite_;
    std::vector<Pending> batch_;
    QByteArray texts_;
    ReplaceAllResult result_;
    qsizetype lastTail_ = 0; // bytes after the last match replaced, which no edit changes
};

// What the edit makes of the text: its growth, and the longest of the lines matches lengthen. A
// line is taken to grow by every match on it that grows, which overstates it only when the
// replacement holds line ends or other matches on it shrink.
bool Rewriter::Fits(qsizetype from, qsizetype to) const
{
    if (BoundedGrowthFits(from, to))
        return true;
    const bool measureLines = view_.LongestLine() < MaxDocumentBytes;
    qint64 growth = 0, longest = 0, lineLength = 0;
    long lineEnd = -1;
    searcher_.Scan(text_, from, to + 1, [&](const FoundMatch &found) {
        if (found.match.end > to)
            return true;
        const qint64 grows = replacement_.LengthFor(found) - (found.match.end - found.match.start);
        growth += grows;
        if (!measureLines)
            return true;
        if (found.match.start > lineEnd) {
            const long line = view_.LineFromPosition(static_cast<long>(found.match.start));
            lineEnd = view_.LineEnd(line);
            lineLength = lineEnd - view_.LineStart(line);
        }
        lineLength += std::max<qint64>(grows, 0);
        longest = std::max(longest, lineLength);
        return true;
    });
    return view_.AllowsGrowth(growth, longest);
}

// Plain text replaced by plain text grows by the same bytes at every match, and matches of
// plain text are at most a match's length apart: when even that many matches keep the text and
// its longest line within the limits, no count is needed.
bool Rewriter::BoundedGrowthFits(qsizetype from, qsizetype to) const
{
    const std::optional<qsizetype> matchBytes = searcher_.FixedMatchBytes();
    const std::optional<qsizetype> replacementBytes = replacement_.FixedBytes();
    if (!matchBytes || !replacementBytes || *matchBytes <= 0)
        return false;
    const qint64 most =
        ((to - from) / *matchBytes + 1) * std::max<qint64>(*replacementBytes - *matchBytes, 0);
    const qint64 bound = text_.Length() + most;
    return bound <= MaxDocumentBytes && bound <= view_.LongestLine();
}

ReplaceAllResult Rewriter::Run(qsizetype from, qsizetype to)
{
    if (!Fits(from, to)) {
        result_.refused = true;
        return result_;
    }
    const qsizetype startLength = text_.Length();
    view_.BeginUndoAction();
    qsizetype position = from;
    qsizetype end = to;
    do {
        const qsizetype batchEnd = Gather(position, BatchEnd(position, end), end);
        const qsizetype before = text_.Length();
        Apply();
        const qsizetype shift = text_.Length() - before;
        position = batchEnd + shift;
        end += shift;
    } while (position < end);
    if (rewrite_)
        rewrite_->Finish();
    view_.EndUndoAction();
    result_.rangeEnd = to + text_.Length() - startLength;
    result_.lastEnd = text_.Length() - lastTail_;
    return result_;
}

qsizetype Rewriter::BatchEnd(qsizetype position, qsizetype to) const
{
    if (to - position <= BatchBytes)
        return to;
    const long line = view_.LineFromPosition(static_cast<long>(position + BatchBytes));
    const qsizetype next = view_.LineStart(line + 1);
    return next > position && next < to ? next : to;
}

// A batch whose replacements reach BatchBytes ends early, at the start of the next line, so that
// the texts waiting to go in stay in proportion to the text, however much longer they make it.
qsizetype Rewriter::Gather(qsizetype from, qsizetype batchEnd, qsizetype to)
{
    batch_.clear();
    texts_.clear();
    // The last batch takes in an empty match at `to` as well.
    const qsizetype scanEnd = batchEnd < to ? batchEnd : to + 1;
    qsizetype cut = -1;
    bool stopped = false;
    searcher_.Scan(text_, from, scanEnd, [&](const FoundMatch &found) {
        if (found.match.end > to)
            return true;
        if (cut >= 0 && found.match.start >= cut) {
            stopped = true;
            return false;
        }
        replacement_.AppendFor(found, texts_);
        batch_.push_back(Pending{found.match.start, found.match.end, texts_.size()});
        if (cut < 0 && texts_.size() >= BatchBytes)
            cut = view_.LineStart(view_.LineFromPosition(static_cast<long>(found.match.start)) + 1);
        return true;
    });
    return stopped ? cut : batchEnd;
}

// Replacing may put a large piece in place, which moves the old text after it by as much as the
// text's length changed.
void Rewriter::Apply()
{
    const qsizetype base = text_.Length();
    qsizetype textStart = 0;
    for (const Pending &match : batch_) {
        const qsizetype shift = text_.Length() - base;
        if (!rewrite_) {
            rewrite_.emplace(view_, static_cast<long>(match.start));
            result_.firstStart = match.start;
        }
        lastTail_ = text_.Length() - (match.end + shift);
        rewrite_->CopyUpTo(static_cast<long>(match.start + shift));
        rewrite_->SkipTo(static_cast<long>(match.end + shift));
        rewrite_->Append(
            QByteArray::fromRawData(texts_.constData() + textStart, match.textEnd - textStart));
        ++result_.replaced;
        textStart = match.textEnd;
    }
}

} // namespace

ReplaceAllResult ReplaceAll(ScintillaCall &view, const Searcher &searcher,
                            const Replacement &replacement, qsizetype from, qsizetype to)
{
    return Rewriter(view, searcher, replacement).Run(from, to);
}
