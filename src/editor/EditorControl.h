// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EditorControl: the program's code editor widget, a thin layer over QScintilla.
#pragma once

#include "common/EditorRange.h"
#include "common/GuardedCommand.h"
#include "lineedit/LineStartEdit.h"
#include "scriptfile/ScriptFile.h"

#include <QByteArray>
#include <QFont>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <utility>

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
class ProcedureBar;
class QKeyEvent;
class QuillLexer;
class ScintillaCall;
class VisibleFirstColouring;
class WordHighlight;

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

    /// Replaces the whole text as one undoable edit; a text past the limits is refused
    /// (InsertionRefused) and changes nothing.
    void SetText(const QString &text);
    QString Text() const;

    /// Replaces the whole text by the file's content, byte for byte, remembering its encoding
    /// and line ends (new lines follow the most frequent one). The loaded text is the new save
    /// point, with no undo history, and the version of the file read is returned. Returns once
    /// the first screen of the text is shown; a file longer than a piece goes on arriving while
    /// the event loop runs (WholeText), read-only until it is whole. A failure before that throws
    /// EditorError and nothing has changed; a failure later puts the old text back as it was and
    /// raises OpenFailed. A file whose longest line would take more memory to lay out than the
    /// computer has is refused.
    FileIdentity OpenFile(const QString &path);
    /// True once the whole text of the file being opened is in, waiting for it as long as it
    /// takes; at once when nothing is being opened. False when that opening failed: the old text
    /// is back, OpenFailed was raised, and whatever was about to use the text is not done.
    bool AwaitWholeText();
    /// Whether a file's text is still arriving.
    bool Loading() const { return load_ != nullptr; }
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
    /// False, with nothing changed, when the text would pass the limits (InsertionRefused).
    bool SetSelectedText(const QString &text);
    /// Replaces the selection by `text` and selects it, so the selection starts where it begins.
    /// False, with nothing changed, when the text would pass the limits (InsertionRefused).
    bool InsertText(const QString &text);

    /// Starts gathering insertions at the start of lines, to be made together as one edit, once
    /// the text of a file still arriving is whole.
    LineStartEdit BeginLineStartEdit()
    {
        AwaitWholeText();
        return LineStartEdit(*view_);
    }

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

    /// Runs the control's own commands (the find bar's actions and keys, Go to Line, Go to
    /// Procedure, folding, Toggle Comment) through `guard`, so that one that fails ends alone and
    /// is reported as a menu command is. Until a guard is set they run on their own.
    void SetCommandGuard(CommandGuard guard) { guard_ = std::move(guard); }

    /// The memory the editor may lay lines out in, which sets the longest line it opens or lets
    /// an edit make: the computer's physical memory unless set.
    void SetLayoutMemory(qint64 bytes);

    /// The one listener that answers the control's events; nullptr answers every event with no.
    void SetListener(EditorEvents *listener) { listener_ = listener; }
    EditorEvents *Listener() const { return listener_; }

signals:
    /// Typed, pasted or dropped text, or a command's edit, was not made because the document
    /// would have passed MaxDocumentBytes, or a line would have grown longer than the memory lets
    /// the editor lay out; `reason` says so in words. Sent once the edit is over, never from
    /// inside it.
    void InsertionRefused(const QString &reason);

    /// Lines `firstLine` to `lastLine` were coloured because their text arrived or changed, or
    /// their colours did; lines coloured again unchanged are not reported.
    void LinesColoured(int firstLine, int lastLine);

    /// The file being opened failed after its first screen was shown; the text before it is
    /// back as it was. `reason` names the file and the reason, as EditorError does.
    void OpenFailed(const QString &reason);
    /// The whole text of the file being opened is in, and it can be edited.
    void WholeText();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetFormat(ScriptFormat format);
    void ShowNewDocument();
    void ContinueLoading();
    bool EndLoading();
    void FollowShownDocument();
    void ShowContextMenu(const QPoint &position);
    bool BeforeKey(QKeyEvent &key);
    void AfterKey();

    ScintillaCall *view_;
    CommandGuard guard_;
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
    ProcedureBar *procedures_ = nullptr;
    std::unique_ptr<LineComments> comments_;
    std::unique_ptr<VisibleFirstColouring> colouring_;
    std::unique_ptr<WordHighlight> words_;
    ScriptFormat format_;
    // The file being opened while its text arrives, and the slices that take it in.
    QTimer loadSlices_;
    std::unique_ptr<DocumentLoader> load_;
};
