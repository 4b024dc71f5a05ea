// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EditForecast: each user edit as the selections it clears and the text it puts in their place.
#include "EditForecast.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace
{

using Sci = QsciScintillaBase;
using Changes = std::vector<TextChange>;

long Send(const QsciScintilla &view, unsigned int message, long wParam = 0, long lParam = 0)
{
    return view.SendScintilla(message, static_cast<unsigned long>(wParam), lParam);
}

int LineEndBytes(const QsciScintilla &view)
{
    return Send(view, Sci::SCI_GETEOLMODE) == Sci::SC_EOL_CRLF ? 2 : 1;
}

// Every selection, a rectangular one included, replaced by `text`.
Changes EachSelection(const QsciScintilla &view, const TextShape &text)
{
    Changes changes;
    const long count = Send(view, Sci::SCI_GETSELECTIONS);
    for (long selection = 0; selection < count; ++selection)
        changes.push_back(TextChange{Send(view, Sci::SCI_GETSELECTIONNSTART, selection),
                                     Send(view, Sci::SCI_GETSELECTIONNEND, selection), text});
    return changes;
}

// Typed text replaces each selection; in overtype mode it takes the place of the character after
// an empty one, but never of a line end.
Changes Typing(const QsciScintilla &view, const TextShape &text)
{
    Changes changes = EachSelection(view, text);
    if (!view.overwriteMode())
        return changes;
    for (TextChange &change : changes) {
        const long line = Send(view, Sci::SCI_LINEFROMPOSITION, change.start);
        if (change.start == change.end &&
            change.end < Send(view, Sci::SCI_GETLINEENDPOSITION, line))
            change.end = Send(view, Sci::SCI_POSITIONAFTER, change.end);
    }
    return changes;
}

// Backspace at a line's start and Delete at its end take the line end out, joining two lines.
Changes Deletion(const QsciScintilla &view, bool back)
{
    if (Send(view, Sci::SCI_GETSELECTIONEMPTY) == 0)
        return EachSelection(view, {});
    const long caret = Send(view, Sci::SCI_GETCURRENTPOS);
    const long line = Send(view, Sci::SCI_LINEFROMPOSITION, caret);
    if (back && line > 0 && caret == Send(view, Sci::SCI_POSITIONFROMLINE, line))
        return {TextChange{Send(view, Sci::SCI_GETLINEENDPOSITION, line - 1), caret, {}}};
    if (!back && line + 1 < Send(view, Sci::SCI_GETLINECOUNT) &&
        caret == Send(view, Sci::SCI_GETLINEENDPOSITION, line))
        return {TextChange{caret, Send(view, Sci::SCI_POSITIONFROMLINE, line + 1), {}}};
    return {};
}

// Tab indents each line a selection of lines touches by up to a tab's width, and otherwise puts
// up to a tab's width of blanks in the selection's place.
Changes Tab(const QsciScintilla &view)
{
    const TextShape indent = TextShape::OneLine(view.tabWidth());
    const long start = Send(view, Sci::SCI_GETSELECTIONSTART);
    const long end = Send(view, Sci::SCI_GETSELECTIONEND);
    const long first = Send(view, Sci::SCI_LINEFROMPOSITION, start);
    const long last = Send(view, Sci::SCI_LINEFROMPOSITION, end);
    if (first == last)
        return EachSelection(view, indent);
    Changes changes;
    for (long line = first; line <= last; ++line) {
        const long at = Send(view, Sci::SCI_POSITIONFROMLINE, line);
        if (line < last || at < end)
            changes.push_back(TextChange{at, at, indent});
    }
    return changes;
}

// A duplicate of a selection follows it; an empty selection duplicates its line, which makes a
// line no longer than it.
Changes Duplicate(const QsciScintilla &view, bool lines)
{
    Changes changes = EachSelection(view, {});
    for (TextChange &change : changes) {
        if (lines || change.start == change.end) {
            change = {};
            continue;
        }
        const auto *bytes = reinterpret_cast<const char *>(
            view.SendScintilla(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(change.start),
                               change.end - change.start));
        change = TextChange{change.end, change.end,
                            TextShape::Of(QByteArrayView(bytes, change.end - change.start))};
    }
    return changes;
}

TextShape ClipboardText(const QsciScintilla &view, QClipboard::Mode mode)
{
    return TextShape::Of(QApplication::clipboard()->text(mode).toUtf8())
        .WithLineEnds(LineEndBytes(view));
}

// A change of case may turn a character into several: three bytes a byte is the most it makes.
Changes CaseChange(const QsciScintilla &view)
{
    Changes changes = EachSelection(view, {});
    for (TextChange &change : changes)
        change.text = TextShape::OneLine(3 * (change.end - change.start));
    return changes;
}

Changes Command(const QsciScintilla &view, QsciCommand::Command command)
{
    switch (command) {
    case QsciCommand::Newline:
        return EachSelection(view, TextShape::Of("\n").WithLineEnds(LineEndBytes(view)));
    case QsciCommand::Formfeed:
        return Typing(view, TextShape::OneLine(1));
    case QsciCommand::Tab:
        return Tab(view);
    case QsciCommand::DeleteBack:
    case QsciCommand::DeleteWordLeft:
        return Deletion(view, true);
    case QsciCommand::Delete:
    case QsciCommand::DeleteWordRight:
    case QsciCommand::DeleteWordRightEnd:
        return Deletion(view, false);
    case QsciCommand::DeleteBackNotLine:
        return Send(view, Sci::SCI_GETSELECTIONEMPTY) != 0 ? Changes{} : EachSelection(view, {});
    case QsciCommand::SelectionCut:
        return EditForecast::OfCut(view);
    case QsciCommand::Paste:
        return EditForecast::OfPaste(view, QClipboard::Clipboard);
    case QsciCommand::LineDuplicate:
    case QsciCommand::SelectionDuplicate:
        return Duplicate(view, command == QsciCommand::LineDuplicate);
    case QsciCommand::SelectionLowerCase:
    case QsciCommand::SelectionUpperCase:
        return CaseChange(view);
    default:
        return {};
    }
}

} // namespace

namespace EditForecast
{

// As QScintilla reads a key: a key bound to a command runs it, any other that carries printable
// text types it.
std::vector<TextChange> OfKey(const QsciScintilla &view, const QKeyEvent &key)
{
    const Qt::KeyboardModifiers modifiers =
        key.modifiers() &
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const int combined = key.key() == Qt::Key_Backtab
                             ? QKeyCombination(Qt::ShiftModifier, Qt::Key_Tab).toCombined()
                             : QKeyCombination(modifiers, Qt::Key(key.key())).toCombined();
    if (const QsciCommand *command = view.standardCommands()->boundTo(combined))
        return Command(view, command->command());
    const QString text = key.text();
    if (text.isEmpty() || !text[0].isPrint())
        return {};
    return Typing(view, TextShape::Of(text.toUtf8()));
}

std::vector<TextChange> OfPaste(const QsciScintilla &view, QClipboard::Mode mode)
{
    Changes changes = EachSelection(view, {});
    const long main = Send(view, Sci::SCI_GETMAINSELECTION);
    if (main >= 0 && main < static_cast<long>(changes.size()))
        changes[main].text = ClipboardText(view, mode);
    return changes;
}

std::vector<TextChange> OfPasteAt(const QsciScintilla &view, long position, QClipboard::Mode mode)
{
    if (position < 0 || !QApplication::clipboard()->supportsSelection())
        return {};
    return {TextChange{position, position, ClipboardText(view, mode)}};
}

std::vector<TextChange> OfCut(const QsciScintilla &view)
{
    return EachSelection(view, {});
}

// Only a drag that started in the view takes its text away from where it was.
std::vector<TextChange> OfDrop(const QsciScintilla &view, const QDropEvent &drop)
{
    const QMimeData *data = drop.mimeData();
    if (!data || data->hasUrls() || !data->hasText())
        return {};
    const QPoint at = drop.position().toPoint();
    const long position = Send(view, Sci::SCI_POSITIONFROMPOINT, at.x(), at.y());
    Changes changes{TextChange{
        position, position, TextShape::Of(data->text().toUtf8()).WithLineEnds(LineEndBytes(view))}};
    const bool internal = drop.source() == &view || drop.source() == view.viewport();
    if (internal && drop.dropAction() == Qt::MoveAction)
        changes.push_back(TextChange{
            Send(view, Sci::SCI_GETSELECTIONSTART), Send(view, Sci::SCI_GETSELECTIONEND), {}});
    return changes;
}

std::vector<TextChange> OfInput(const QsciScintilla &view, const QInputMethodEvent &input,
                                qint64 preeditBytes)
{
    const TextShape text = TextShape::Of((input.commitString() + input.preeditString()).toUtf8());
    const long start = Send(view, Sci::SCI_GETSELECTIONSTART);
    const long end = Send(view, Sci::SCI_GETSELECTIONEND);
    return {TextChange{start, std::min(Send(view, Sci::SCI_GETLENGTH), end + long(preeditBytes)),
                       text}};
}

} // namespace EditForecast
