// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// CompletionController: the editor control's completion list, from Ctrl+Space to the chosen entry.
#include "CompletionController.h"

#include "EditorControl.h"
#include "EditorEvents.h"
#include "EditorList.h"
#include "ScintillaView.h"
#include "syntax/LexerCore.h"

#include <QKeyEvent>

CompletionController::CompletionController(EditorControl &control, ScintillaView &view)
    : control_(control), view_(view)
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
    if (!list_ || !list_->isVisible())
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
    default:
        return false;
    }
}

// After every key the editor handled, an open list follows the identifier before the caret;
// it closes when the caret has left the line it was opened on.
void CompletionController::AfterKey()
{
    if (!list_ || !list_->isVisible())
        return;
    const Identifier identifier = IdentifierBeforeCaret();
    if (view_.SendScintilla(ScintillaView::SCI_LINEFROMPOSITION, identifier.caret) != listLine_) {
        list_->Dismiss();
        return;
    }
    list_->Narrow(TextBetween(identifier.start, identifier.caret));
}

void CompletionController::OpenList()
{
    delete list_;
    list_ = new EditorList(&view_);
    connect(list_, &EditorList::Chosen, this, &CompletionController::Choose);
    const Identifier identifier = IdentifierBeforeCaret();
    listLine_ = view_.SendScintilla(ScintillaView::SCI_LINEFROMPOSITION, identifier.caret);
    list_->Prepare(CaretLineOnScreen(identifier.start),
                   TextBetween(identifier.start, identifier.caret));
    EditorEvents *listener = control_.Listener();
    if (!listener || !listener->CompletionListRequest(control_, *list_))
        list_->Dismiss();
}

void CompletionController::Choose()
{
    if (!list_ || !list_->isVisible())
        return;
    list_->Dismiss();
    const Identifier identifier = IdentifierBeforeCaret();
    const QString typed = TextBetween(identifier.start, identifier.caret);
    if (!typed.isEmpty() && list_->HasEntryStartingWith(typed))
        view_.SendScintilla(ScintillaView::SCI_SETSEL, static_cast<unsigned long>(identifier.start),
                            static_cast<long>(identifier.caret));
    EditorEvents *listener = control_.Listener();
    if (listener && listener->CompletionItemChosen(control_, *list_))
        control_.SetSelectedText(list_->ItemText(list_->SelectedIndex()));
}

CompletionController::Identifier CompletionController::IdentifierBeforeCaret() const
{
    Identifier identifier;
    identifier.caret = static_cast<int>(view_.SendScintilla(ScintillaView::SCI_GETCURRENTPOS));
    const long line = view_.SendScintilla(ScintillaView::SCI_LINEFROMPOSITION, identifier.caret);
    const int lineStart =
        static_cast<int>(view_.SendScintilla(ScintillaView::SCI_POSITIONFROMLINE, line));
    const auto *bytes = reinterpret_cast<const unsigned char *>(view_.SendScintilla(
        ScintillaView::SCI_GETRANGEPOINTER, static_cast<unsigned long>(lineStart),
        static_cast<long>(identifier.caret - lineStart)));
    identifier.start = identifier.caret;
    while (identifier.start > lineStart &&
           LexerCore::IsWordByte(bytes[identifier.start - 1 - lineStart]))
        --identifier.start;
    return identifier;
}

QString CompletionController::TextBetween(int start, int end) const
{
    const auto *bytes = reinterpret_cast<const char *>(
        view_.SendScintilla(ScintillaView::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start),
                            static_cast<long>(end - start)));
    return QString::fromUtf8(bytes, end - start);
}

QRect CompletionController::CaretLineOnScreen(int position) const
{
    const int x = static_cast<int>(view_.SendScintilla(ScintillaView::SCI_POINTXFROMPOSITION, 0UL,
                                                       static_cast<long>(position)));
    const int y = static_cast<int>(view_.SendScintilla(ScintillaView::SCI_POINTYFROMPOSITION, 0UL,
                                                       static_cast<long>(position)));
    const long line = view_.SendScintilla(ScintillaView::SCI_LINEFROMPOSITION, position);
    const int height = static_cast<int>(view_.SendScintilla(ScintillaView::SCI_TEXTHEIGHT, line));
    return QRect(view_.viewport()->mapToGlobal(QPoint(x, y)), QSize(1, height));
}
