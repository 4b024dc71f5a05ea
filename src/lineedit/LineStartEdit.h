// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LineStartEdit: insertions at the start of many lines, made as a few large changes in one undo
// step.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

class ScintillaCall;

/// Text to put at column 0 of lines, gathered first and then made together in a few large
/// changes, so that a command touching every line of a large script is one undo step and costs
/// time in proportion to the text it spans. The text, and the caret after Undo and after Redo, come
/// out as if each insertion had been made on its own, in order, inside one undo group. An edit
/// dropped without being applied changes nothing.
class LineStartEdit
{
public:
    explicit LineStartEdit(ScintillaCall &view) : view_(view) {}

    /// Queues `text`, which holds no line end, for column 0 of `line`. Lines come in ascending
    /// order, each once. A line the text does not have, a line out of order or a line end in
    /// `text` throws EditorError, before anything has changed.
    void InsertAtLineStart(std::int32_t line, const QString &text);
    /// Makes every queued insertion as one undoable edit; with nothing queued nothing changes.
    /// An edit whose result would pass the view's limits is refused whole, and the view reports
    /// it; false then.
    bool Apply();

private:
    /// Consecutive lines that get the same text.
    struct Run {
        std::int32_t firstLine;
        std::int32_t lastLine;
        QByteArray text;
    };

    /// The longest of the lines the edit lengthens, as they will be; 0 when no line could grow
    /// too long for the view.
    qint64 LongestLineAfter(qint64 added) const;

    ScintillaCall &view_;
    std::vector<Run> runs_;
    QString lastText_;
};
