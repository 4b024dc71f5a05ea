// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The listener that answers the editor control's three events.
#pragma once

class EditorControl;
class EditorList;

/// Receives the control's events; each answer is the listener's yes or no.
class EditorEvents
{
public:
    virtual ~EditorEvents() = default;

    /// Raised on Ctrl+Space with a fresh, empty list to fill and show (ListFinalCall). True
    /// keeps the list as the listener left it; false closes it.
    virtual bool CompletionListRequest(EditorControl &control, EditorList &list) = 0;
    /// Raised when the user chose an entry of the open list (Enter, Tab or a double click),
    /// after the control selected the identifier before the caret that narrowed the list. False:
    /// the control inserts nothing of its own. True: the control replaces the selection by the
    /// entry's text and leaves the caret behind it.
    virtual bool CompletionItemChosen(EditorControl &control, EditorList &list) = 0;
    /// A yes-or-no request without data. This control never raises it: nothing it does needs
    /// the listener's consent, so the answer is never asked for.
    virtual bool ConfirmRequest(EditorControl &control) = 0;
};
