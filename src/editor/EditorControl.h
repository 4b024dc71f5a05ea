// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EditorControl: the program's code editor widget, a thin layer over QScintilla.
#pragma once

#include "common/EditorRange.h"
#include "lineedit/LineStartEdit.h"
#include "scriptfile/ScriptFile.h"

#include <QByteArray>
#include <QFont>
#include <QString>
#include <QWidget>

#include <memory>

class AutoIndent;
class BlockView;
class CompletionController;
class DocumentLoader;
class EditorEvents;
class EditorList;
class FindController;
class GoToLineBar;
class LineComments;
class MarkBar;
class QKeyEvent;
class QuillLexer;
class ScintillaCall;
class VisibleFirstColouring;

/// The syntax-colouring edit control on the main window. It owns the document's text, its undo
/// history and the clipboard exchange; callers see lines and character columns, never bytes.
/// Requests it cannot carry out throw EditorError.
class EditorControl : public QWidget
{
    Q_OBJECT

public:
    explicit EditorControl(QWidget *parent = nullptr);
    ~EditorControl() override;

    /// Colours the text by the language registered under `name`; a name nobody registered is
    /// an EditorError and leaves the colouring as it was.
    void SetLanguageName(const QString &name);
    QString LanguageName() const { return languageName_; }
    /// The comment token of that language; empty for none.
    QString CommentToken() const { return commentToken_; }

    /// Replaces the whole text as one undoable edit.
    void SetText(const QString &text);
    QString Text() const;

    /// Replaces the whole text by the file's content, byte for byte, remembering its encoding
    /// and line ends (new lines follow the most frequent one). The loaded text is the new save
    /// point, with no undo history, and the version of the file read is returned. On failure it
    /// throws EditorError and nothing has changed.
    FileIdentity OpenFile(const QString &path);
    /// Writes the whole text to `path` in the file's own format, creating or atomically replacing
    /// the file, then moves the save point; `overwrite` is accepted for the callers' sake. On
    /// failure it throws EditorError and neither the file nor the save point has changed.
    SavedScript SaveFile(const QString &path, bool overwrite);
    /// Starts a new document: empties the text as one undoable edit, makes the empty text the
    /// save point, and later saves write UTF-8 with the platform's line end.
    void NewDocument();
    /// The encoding and line end the next save writes.
    ScriptFormat FileFormat() const { return format_; }

    /// The selection with its start not after its end.
    EditorRange GetSelection(bool normalised) const;
    /// Selects exactly `range` (equal start and end is a caret); `reveal` scrolls it into view.
    void SetSelection(const EditorRange &range, bool reveal);
    /// Replaces the selection, or inserts at the caret, leaving the caret after the new text.
    void SetSelectedText(const QString &text);
    /// Replaces the selection by `text` and selects it, so the selection starts where it begins.
    void InsertText(const QString &text);

    /// Starts gathering insertions at the start of lines, to be made together as one edit.
    LineStartEdit BeginLineStartEdit() { return LineStartEdit(*view_); }

    /// The editor's font, as last set.
    QFont Font() const;
    /// Sets the font of the text in every colouring style and of the line numbers.
    void SetFont(const QFont &font);

    bool CanUndo() const;
    bool CanRedo() const;
    bool CanCut() const;
    bool CanCopy() const;
    bool CanPaste() const;
    void Undo();
    void Redo();
    void Cut();
    void Copy();
    void Paste();

    /// True when the text differs from the last load or save.
    bool IsModified() const;

    /// The one listener that answers the control's events; nullptr answers every event with no.
    void SetListener(EditorEvents *listener) { listener_ = listener; }
    EditorEvents *Listener() const { return listener_; }

signals:
    /// Typed, pasted or dropped text, or a command's edit, was not made because the document
    /// would have passed MaxDocumentBytes; `reason` says so in words. Sent once the edit is over,
    /// never from inside it.
    void InsertionRefused(const QString &reason);

    /// Lines `firstLine` to `lastLine` were coloured because their text arrived or changed, or
    /// their colours did; lines coloured again unchanged are not reported.
    void LinesColoured(int firstLine, int lastLine);

private:
    void SetFormat(ScriptFormat format);
    void ShowNewDocument(DocumentLoader &loader, ScriptFormat format);
    void FollowShownDocument();
    void ShowContextMenu(const QPoint &position);
    bool BeforeKey(QKeyEvent &key);
    void AfterKey();

    ScintillaCall *view_;
    EditorEvents *listener_ = nullptr;
    QString languageName_;
    QString commentToken_;
    QuillLexer *lexer_ = nullptr;
    std::unique_ptr<AutoIndent> autoIndent_;
    std::unique_ptr<CompletionController> completion_;
    std::unique_ptr<FindController> find_;
    GoToLineBar *goToLine_ = nullptr;
    std::unique_ptr<BlockView> blocks_;
    MarkBar *marks_ = nullptr;
    std::unique_ptr<LineComments> comments_;
    std::unique_ptr<VisibleFirstColouring> colouring_;
    ScriptFormat format_;
};
