// The listener that answers the editor control's three events.
#pragma once

class EditorControl;
class EditorList;

/// Receives the control's events; each answer is the listener's yes or no.
class EditorEvents
{
public:
    virtual ~EditorEvents() = default;

    /// The control wants its (fresh, empty) completion list filled before it shows it.
    virtual bool CompletionListRequest(EditorControl &control, EditorList &list) = 0;
    /// The user chose an entry of the open completion list.
    virtual bool CompletionItemChosen(EditorControl &control, EditorList &list) = 0;
    /// A yes-or-no request without data.
    virtual bool ConfirmRequest(EditorControl &control) = 0;
};
