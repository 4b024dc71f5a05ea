// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EditorControl's selection and text edits: lines and character columns over Scintilla's byte
// positions.
#include "EditorControl.h"

#include "ScintillaView.h"
#include "common/EditorError.h"

EditorRange EditorControl::GetSelection(bool) const
{
    const int start = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETSELECTIONSTART));
    const int end = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETSELECTIONEND));
    EditorRange range;
    range.StartLine =
        static_cast<std::int32_t>(view_->SendScintilla(ScintillaView::SCI_LINEFROMPOSITION, start));
    range.StartColumn = ColumnOfPosition(start);
    range.EndLine =
        static_cast<std::int32_t>(view_->SendScintilla(ScintillaView::SCI_LINEFROMPOSITION, end));
    range.EndColumn = ColumnOfPosition(end);
    return range;
}

void EditorControl::SetSelection(const EditorRange &range, bool reveal)
{
    const int anchor = PositionFromLineColumn(range.StartLine, range.StartColumn);
    const int caret = PositionFromLineColumn(range.EndLine, range.EndColumn);
    if (reveal)
        view_->SendScintilla(ScintillaView::SCI_SETSEL, anchor, caret);
    else
        view_->SendScintilla(ScintillaView::SCI_SETSELECTION, caret, anchor);
    // Up and Down aim for the column the caret was put at, not where the mouse or keys left it.
    view_->SendScintilla(ScintillaView::SCI_CHOOSECARETX);
}

void EditorControl::SetSelectedText(const QString &text)
{
    const int start = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETSELECTIONSTART));
    const int end = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETSELECTIONEND));
    const QByteArray utf8 = text.toUtf8();
    ReplaceRange(start, end, utf8);
    view_->SendScintilla(ScintillaView::SCI_SETEMPTYSELECTION,
                         static_cast<unsigned long>(start + utf8.size()));
}

void EditorControl::InsertText(const QString &text)
{
    const int start = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETSELECTIONSTART));
    const int end = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETSELECTIONEND));
    const QByteArray utf8 = text.toUtf8();
    ReplaceRange(start, end, utf8);
    view_->SendScintilla(ScintillaView::SCI_SETSEL, static_cast<unsigned long>(start),
                         static_cast<long>(start + utf8.size()));
}

int EditorControl::PositionFromLineColumn(std::int32_t line, std::int32_t column) const
{
    const long lines = view_->SendScintilla(ScintillaView::SCI_GETLINECOUNT);
    if (line < 0 || line >= lines || column < 0)
        throw EditorError(QStringLiteral("line %1, column %2 is not in the text")
                              .arg(line)
                              .arg(column)
                              .toStdString());
    const int lineStart =
        static_cast<int>(view_->SendScintilla(ScintillaView::SCI_POSITIONFROMLINE, line));
    const int lineEnd =
        static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETLINEENDPOSITION, line));
    const long available =
        view_->SendScintilla(ScintillaView::SCI_COUNTCHARACTERS, lineStart, lineEnd);
    if (column >= available)
        return lineEnd;
    return static_cast<int>(
        view_->SendScintilla(ScintillaView::SCI_POSITIONRELATIVE, lineStart, column));
}

std::int32_t EditorControl::ColumnOfPosition(int position) const
{
    const long line = view_->SendScintilla(ScintillaView::SCI_LINEFROMPOSITION, position);
    const long lineStart = view_->SendScintilla(ScintillaView::SCI_POSITIONFROMLINE, line);
    return static_cast<std::int32_t>(
        view_->SendScintilla(ScintillaView::SCI_COUNTCHARACTERS, lineStart, position));
}

void EditorControl::ReplaceRange(int start, int end, const QByteArray &utf8)
{
    view_->SendScintilla(ScintillaView::SCI_SETTARGETRANGE, start, end);
    view_->SendScintilla(ScintillaView::SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size()),
                         utf8.constData());
}
