// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LineComments: Ctrl+/ toggles the comment token at the start of the selected lines.
#include "LineComments.h"

#include "LineStartEdit.h"
#include "scintilla/ForwardRewrite.h"
#include "scintilla/ScintillaCall.h"
#include "scintilla/SelectionRange.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>
#include <cstring>
#include <optional>

namespace
{

/// Where `column` of a line ends up once `removed` columns from column `at` on are taken out.
std::int32_t Shifted(std::int32_t column, std::int32_t at, std::int32_t removed)
{
    if (column <= at)
        return column;
    return std::max(at, column - removed);
}

} // namespace

LineComments::LineComments(ScintillaCall &view, const CommandGuard &guard)
    : view_(view), guard_(guard)
{
}

void LineComments::SetCommentToken(const QString &token)
{
    token_ = token.toUtf8();
    tokenColumns_ = static_cast<int>(token.size());
}

bool LineComments::BeforeKey(const QKeyEvent &key)
{
    const auto modifiers =
        key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (key.key() != Qt::Key_Slash || modifiers != Qt::ControlModifier || token_.isEmpty())
        return false;
    RunToggle();
    return true;
}

void LineComments::AddMenuEntry(QMenu &menu)
{
    QAction *toggle = menu.addAction(QObject::tr("Toggle Comment"), [this] { RunToggle(); });
    toggle->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Slash));
}

void LineComments::RunToggle()
{
    RunGuarded(guard_, QObject::tr("Toggle Comment"), [this] { Toggle(); });
}

void LineComments::Toggle()
{
    if (token_.isEmpty() || !view_.AwaitWholeText())
        return;
    const EditorRange saved = SelectionRange(view_);
    const Lines lines = LinesTouched(saved);
    if (AllCommented(lines)) {
        const EditorRange shown = AfterUncomment(saved, lines);
        Uncomment(lines);
        SelectRange(view_, shown, true);
    } else if (Comment(lines)) {
        SelectRange(view_, AfterComment(saved, lines), true);
    }
}

// A column past the token moves back with the text; one inside it goes to where it was.
EditorRange LineComments::AfterUncomment(EditorRange selection, Lines lines) const
{
    // Only blanks stand before the token, one column a byte.
    const auto shift = [this](std::int32_t line, std::int32_t column) {
        const Start start = StartOf(line);
        if (start.kind != Start::Comment)
            return column;
        return Shifted(column, static_cast<std::int32_t>(start.at - view_.LineStart(line)),
                       tokenColumns_);
    };
    selection.StartColumn = shift(selection.StartLine, selection.StartColumn);
    if (selection.EndLine <= lines.last)
        selection.EndColumn = shift(selection.EndLine, selection.EndColumn);
    return selection;
}

// A column past column 0 moves on with the text; column 0 stays, so whole lines stay selected.
EditorRange LineComments::AfterComment(EditorRange selection, Lines lines) const
{
    if (selection.StartColumn > 0)
        selection.StartColumn += tokenColumns_;
    if (selection.EndLine <= lines.last && selection.EndColumn > 0)
        selection.EndColumn += tokenColumns_;
    return selection;
}

LineComments::Start LineComments::StartOf(long line) const
{
    const long at = view_.LineIndentPosition(line);
    const long end = view_.LineEnd(line);
    if (at == end)
        return {Start::Blank, at};
    if (end - at < token_.size())
        return {Start::Text, at};
    const char *bytes = view_.RangePointer(at, long(token_.size()));
    const bool comment =
        std::memcmp(bytes, token_.constData(), static_cast<std::size_t>(token_.size())) == 0;
    return {comment ? Start::Comment : Start::Text, at};
}

bool LineComments::AllCommented(Lines lines) const
{
    bool anyComment = false;
    for (long line = lines.first; line <= lines.last; ++line) {
        const Start::Kind kind = StartOf(line).kind;
        if (kind == Start::Text)
            return false;
        anyComment = anyComment || kind == Start::Comment;
    }
    return anyComment;
}

bool LineComments::Comment(Lines lines)
{
    const QString token = QString::fromUtf8(token_);
    LineStartEdit edit(view_);
    for (long line = lines.first; line <= lines.last; ++line)
        edit.InsertAtLineStart(static_cast<std::int32_t>(line), token);
    return edit.Apply();
}

// The first token goes on its own, so that Undo leaves the caret where it was; the lines after
// it are rewritten in pieces, which keeps a script of any size a handful of changes.
void LineComments::Uncomment(Lines lines)
{
    view_.BeginUndoAction();
    std::optional<ForwardRewrite> rewrite;
    for (long line = lines.first; line <= lines.last; ++line) {
        const Start start = StartOf(line);
        if (start.kind != Start::Comment)
            continue;
        const long at = start.at;
        if (!rewrite) {
            view_.DeleteRange(at, long(token_.size()));
            rewrite.emplace(view_, at);
            continue;
        }
        rewrite->CopyUpTo(at);
        rewrite->SkipTo(at + token_.size());
        rewrite->Append({});
    }
    if (rewrite)
        rewrite->Finish();
    view_.EndUndoAction();
}
