// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// CompletionController: the editor control's completion list, from Ctrl+Space to the chosen entry.
#include "CompletionController.h"

#include "EditorList.h"
#include "scintilla/ScintillaCall.h"
#include "syntax/LexerCore.h"

#include <QAbstractScrollArea>
#include <QKeyEvent>

CompletionController::CompletionController(ScintillaCall &view, ListRequest request,
                                           ItemChosen chosen)
    : view_(view), request_(std::move(request)), chosen_(std::move(chosen))
{
}

CompletionController::~CompletionController() = default;

bool CompletionController::BeforeKey(QKeyEvent &key)
{
    if (key.key() == Qt::Key_Space &&
        (key.modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        OpenList();
        return true;
    }
    // The text or the caret may have changed since the last key (a menu command, a paste).
    Follow();
    if (!IsOpen())
        return false;
    switch (key.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        list_->MoveSelection(key);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        Choose();
        return true;
    case Qt::Key_Escape:
        list_->Dismiss();
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        list_->Dismiss();
        return false;
    default:
        return false;
    }
}

void CompletionController::AfterKey()
{
    Follow();
}

bool CompletionController::IsOpen() const
{
    return list_ && list_->isVisible();
}

// An open list stays open while the caret is in the word it was opened on, with the part of the
// word before the caret matching some entry. A character that cannot belong to a name ends the
// word; so does moving the caret out of it or deleting what had been typed of it.
void CompletionController::Follow()
{
    if (!IsOpen())
        return;
    const Identifier identifier = IdentifierBeforeCaret();
    const QString prefix = TextBetween(identifier.start, identifier.caret);
    if (identifier.start != wordStart_ || (prefix.isEmpty() && hadPrefix_)) {
        list_->Dismiss();
        return;
    }
    hadPrefix_ = hadPrefix_ || !prefix.isEmpty();
    if (prefix == prefix_)
        return;
    prefix_ = prefix;
    if (!list_->Narrow(prefix))
        list_->Dismiss();
}

// One list serves every request, emptied each time: making the popup window anew took longer than
// filling and showing it.
void CompletionController::OpenList()
{
    if (!list_) {
        list_ = new EditorList(&view_.Widget());
        connect(list_, &EditorList::Chosen, this, &CompletionController::Choose);
    }
    list_->Dismiss();
    const Identifier identifier = IdentifierBeforeCaret();
    wordStart_ = identifier.start;
    prefix_ = TextBetween(identifier.start, identifier.caret);
    hadPrefix_ = !prefix_.isEmpty();
    list_->Refill();
    list_->Prepare(CaretLineOnScreen(identifier.start), prefix_);
    const bool kept = request_(*list_);
    list_->DropLeftovers();
    if (!kept)
        list_->Dismiss();
}

// The typed part of the word, if any, is selected first, so that the entry takes its place.
void CompletionController::Choose()
{
    if (!view_.AwaitWholeText())
        return;
    Follow();
    if (!IsOpen())
        return;
    list_->Dismiss();
    const Identifier identifier = IdentifierBeforeCaret();
    if (identifier.start != identifier.caret)
        view_.SetSel(identifier.start, identifier.caret);
    if (!chosen_(*list_))
        return;
    const long start = view_.SelectionStart();
    const QByteArray text = list_->ItemText(list_->SelectedIndex()).toUtf8();
    if (view_.ReplaceRange(start, view_.SelectionEnd(), text))
        view_.SetEmptySelection(start + text.size());
}

CompletionController::Identifier CompletionController::IdentifierBeforeCaret() const
{
    Identifier identifier;
    identifier.caret = view_.CurrentPos();
    const long lineStart = view_.LineStart(view_.LineFromPosition(identifier.caret));
    const auto *bytes = reinterpret_cast<const unsigned char *>(
        view_.RangePointer(lineStart, identifier.caret - lineStart));
    identifier.start = identifier.caret;
    while (identifier.start > lineStart &&
           LexerCore::IsWordByte(bytes[identifier.start - 1 - lineStart]))
        --identifier.start;
    return identifier;
}

QString CompletionController::TextBetween(long start, long end) const
{
    return QString::fromUtf8(view_.RangePointer(start, end - start), end - start);
}

QRect CompletionController::CaretLineOnScreen(long position) const
{
    const int height = static_cast<int>(view_.TextHeight(view_.LineFromPosition(position)));
    return QRect(view_.Viewport().mapToGlobal(view_.PointFromPosition(position)), QSize(1, height));
}
