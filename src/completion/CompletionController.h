// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// CompletionController: the editor control's completion list, from Ctrl+Space to the chosen entry.
#pragma once

#include <QObject>
#include <QRect>
#include <QString>

#include <functional>

class EditorList;
class QKeyEvent;
class ScintillaCall;

/// Opens the list on Ctrl+Space and asks the owner to fill it. The list follows the
/// word it was opened on: it narrows as the word is typed, moves its selection on Up, Down, PageUp
/// and PageDown, and hands the chosen entry to the owner on Return, Tab or a double click. It
/// closes on Escape, Home and End, when no entry matches the word, and when the caret leaves the
/// word; every key but the list's own goes to the text as usual. The editor keeps the keyboard.
class CompletionController : public QObject
{
    Q_OBJECT

public:
    /// Asked to fill a fresh list: true keeps it as left, false closes it.
    using ListRequest = std::function<bool(EditorList &list)>;
    /// Told the entry chosen, with the identifier before the caret selected: true has the entry
    /// replace the selection, false inserts nothing.
    using ItemChosen = std::function<bool(EditorList &list)>;

    CompletionController(ScintillaCall &view, ListRequest request, ItemChosen chosen);
    ~CompletionController() override;

    /// Sees each key before the editor; true when the key was the list's and is used up.
    bool BeforeKey(QKeyEvent &key);
    /// Follows the text after the editor handled a key, typed text included.
    void AfterKey();

private:
    // The identifier right before the caret, as byte positions on the caret's line.
    struct Identifier {
        long start = 0;
        long caret = 0;
    };

    void OpenList();
    void Choose();
    bool IsOpen() const;
    void Follow();
    Identifier IdentifierBeforeCaret() const;
    QString TextBetween(long start, long end) const;
    QRect CaretLineOnScreen(long position) const;

    ScintillaCall &view_;
    ListRequest request_;
    ItemChosen chosen_;
    EditorList *list_ = nullptr;
    // Where the word being completed starts, the part of it before the caret that narrowed the
    // list last, and whether that part has held a character since the list opened (once it has,
    // deleting it closes the list).
    long wordStart_ = 0;
    QString prefix_;
    bool hadPrefix_ = false;
};
