// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaCall's limits: every edit checked whole against the document's limit and the longest
// line the memory allows, and the refusals reported once the edit is over.
#include "EditLimits.h"
#include "ScintillaCall.h"
#include "scriptfile/ScriptFile.h"

#include <algorithm>
#include <utility>

namespace
{

QString LineTooLong(qint64 line, qint64 memory)
{
    return QStringLiteral("it would make a line of %1 bytes, and %2")
        .arg(line)
        .arg(LongLineText(memory));
}

} // namespace

qint64 ScintillaCall::LongestLine() const
{
    return LongestLineFor(layoutMemory_);
}

// A change's new line runs from the start of the line it starts in to the end of the line it
// ends in; a text with line ends splits it, and only its first and last lines join the old text.
QString ScintillaCall::Refusal(std::span<const TextChange> changes) const
{
    qint64 growth = 0;
    for (const TextChange &change : changes)
        growth += change.text.bytes - (change.end - change.start);
    if (Length() + growth > MaxDocumentBytes)
        return DocumentLimitText();
    // No line outgrows a text that may hold any line.
    const qint64 longest = LongestLine();
    if (longest >= MaxDocumentBytes)
        return {};
    for (const TextChange &change : changes) {
        const qint64 before = change.start - LineStart(LineFromPosition(change.start));
        const qint64 after = std::max(0L, LineEnd(LineFromPosition(change.end)) - change.end);
        const TextShape &text = change.text;
        const qint64 line =
            text.lineEnds == 0
                ? before + text.bytes + after
                : std::max({before + text.first, text.longestInside, text.last + after});
        if (line > longest)
            return LineTooLong(line, layoutMemory_);
    }
    return {};
}

QString ScintillaCall::InsertionRefusal(long position, long length) const
{
    if (checkedEdits_ == 0) {
        const TextChange change{position, position, TextShape::OneLine(length)};
        return Refusal(std::span(&change, 1));
    }
    return Length() + length > MaxDocumentBytes ? DocumentLimitText() : QString();
}

bool ScintillaCall::Allows(std::span<const TextChange> changes)
{
    const QString refusal = Refusal(changes);
    if (refusal.isEmpty())
        return true;
    RefuseEdit(refusal);
    return false;
}

// The text's shape matters only while some line could outgrow the memory.
bool ScintillaCall::Allows(long start, long end, QByteArrayView text)
{
    const TextChange change{start, end,
                            LongestLine() >= MaxDocumentBytes ? TextShape::OneLine(text.size())
                                                              : TextShape::Of(text)};
    return Allows(std::span(&change, 1));
}

bool ScintillaCall::AllowsGrowth(qint64 growth, qint64 longestLine)
{
    if (Length() + growth > MaxDocumentBytes) {
        RefuseEdit(DocumentLimitText());
        return false;
    }
    if (longestLine > LongestLine()) {
        RefuseEdit(LineTooLong(longestLine, layoutMemory_));
        return false;
    }
    return true;
}

// One report for an edit however many of its changes were refused: the first reason.
void ScintillaCall::RefuseEdit(const QString &reason)
{
    if (!pendingRefusal_.isEmpty())
        return;
    pendingRefusal_ = reason;
    QMetaObject::invokeMethod(
        this,
        [this] {
            const QString refusal = std::exchange(pendingRefusal_, QString());
            emit InsertionRefused(refusal);
        },
        Qt::QueuedConnection);
}
