// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// CompletionController: the editor control's completion list, from Ctrl+Space to the chosen entry.
#pragma once

#include <QObject>
#include <QRect>
#include <QString>

class EditorControl;
class EditorList;
class QKeyEvent;
class ScintillaView;

/// Opens the list on Ctrl+Space and asks the control's listener to fill it. The list follows the
/// word it was opened on: it narrows as the word is typed, moves its selection on Up, Down, PageUp
/// and PageDown, and hands the chosen entry to the listener on Return, Tab or a double click. It
/// closes on Escape, Home and End, when no entry matches the word, and when the caret leaves the
/// word; every key but the list's own goes to the text as usual. The editor keeps the keyboard.
class CompletionController : public QObject
{
    Q_OBJECT

public:
    CompletionController(EditorControl &control, ScintillaView &view);
    ~CompletionController() override;

    /// Sees each key before the editor; true when the key was the list's and is used up.
    bool BeforeKey(QKeyEvent &key);
    /// Follows the text after the editor handled a key, typed text included.
    void AfterKey();

private:
    // The identifier right before the caret, as byte positions on the caret's line.
    struct Identifier {
        int start = 0;
        int caret = 0;
    };

    void OpenList();
    void Choose();
    bool IsOpen() const;
    void Follow();
    Identifier IdentifierBeforeCaret() const;
    QString TextBetween(int start, int end) const;
    QRect CaretLineOnScreen(int position) const;

    EditorControl &control_;
    ScintillaView &view_;
    EditorList *list_ = nullptr;
    // Where the word being completed starts, the part of it before the caret that narrowed the
    // list last, and whether that part has held a character since the list opened (once it has,
    // deleting it closes the list).
    int wordStart_ = 0;
    QString prefix_;
    bool hadPrefix_ = false;
};
