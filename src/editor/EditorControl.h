// EditorControl: the program's code editor widget, a thin layer over QScintilla.
#pragma once

#include "EditorRange.h"

#include <QFont>
#include <QString>
#include <QWidget>

class EditorEvents;
class EditorList;
class QKeyEvent;
class QuillLexer;
class ScintillaView;

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

    /// Replaces the whole text as one undoable edit.
    void SetText(const QString &text);
    QString Text() const;

    /// Replaces the whole text by the file's content; the loaded text is the new save point.
    void OpenFile(const QString &path);
    /// Writes the whole text to `path`, creating or replacing the file.
    void SaveFile(const QString &path, bool overwrite);

    /// The selection with its start not after its end.
    EditorRange GetSelection(bool normalised) const;
    /// Selects exactly `range` (equal start and end is a caret); `reveal` scrolls it into view.
    void SetSelection(const EditorRange &range, bool reveal);
    /// Replaces the selection, or inserts at the caret, leaving the caret after the new text.
    void SetSelectedText(const QString &text);
    /// Replaces the selection by `text` and selects it, so the selection starts where it begins.
    void InsertText(const QString &text);

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

private:
    // The identifier right before the caret, as byte positions on the caret's line.
    struct Identifier {
        int start = 0;
        int caret = 0;
    };

    bool BeforeKey(QKeyEvent &key);
    void AfterKey();
    void OpenCompletionList();
    void ChooseCompletion();
    Identifier IdentifierBeforeCaret() const;
    QString TextBetween(int start, int end) const;
    QRect CaretLineOnScreen(int position) const;
    QFont ScintillaFont(const QFont &font) const;

    int PositionFromLineColumn(std::int32_t line, std::int32_t column) const;
    std::int32_t ColumnOfPosition(int position) const;
    void ReplaceRange(int start, int end, const QByteArray &utf8);

    ScintillaView *view_;
    EditorEvents *listener_ = nullptr;
    QString languageName_;
    QuillLexer *lexer_ = nullptr;
    EditorList *list_ = nullptr;
    long listLine_ = 0;
};
