// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EditForecast: the changes a key, a paste, a cut, a drop or an input method is about to make.
#pragma once

#include "EditLimits.h"

#include <QClipboard>

#include <vector>

class QDropEvent;
class QInputMethodEvent;
class QKeyEvent;
class QsciScintilla;

/// What QScintilla is about to change for the user, worked out before it acts: Scintilla clears
/// the selection before it inserts, and refuses an insertion only once the selection is gone, so
/// an edit that would pass the limits is refused here, whole. The forecasts are exact for the
/// text's length but for two, which count the most they can make: Tab a tab's width of blanks,
/// and a change of case three bytes for each selected byte.
namespace EditForecast
{

/// A key as QScintilla handles it: typed text, a line end, Tab, a deletion of the selection or
/// of a line end, a paste, a cut, a duplicate or a change of case. Empty for keys that add
/// nothing and join no lines.
std::vector<TextChange> OfKey(const QsciScintilla &view, const QKeyEvent &key);
/// A paste from `mode`'s clipboard: the selections go and its text, with the document's line
/// ends, takes the main one's place.
std::vector<TextChange> OfPaste(const QsciScintilla &view, QClipboard::Mode mode);
/// A paste from `mode`'s clipboard at `position`, as the middle button makes it.
std::vector<TextChange> OfPasteAt(const QsciScintilla &view, long position, QClipboard::Mode mode);
/// A cut: the selections go.
std::vector<TextChange> OfCut(const QsciScintilla &view);
/// A drop of text, which moves the selection when it is dragged within the view.
std::vector<TextChange> OfDrop(const QsciScintilla &view, const QDropEvent &drop);
/// A step of an input method: the selection and the composition shown so far (`preeditBytes`)
/// make way for the committed text and the new composition.
std::vector<TextChange> OfInput(const QsciScintilla &view, const QInputMethodEvent &input,
                                qint64 preeditBytes);

} // namespace EditForecast
