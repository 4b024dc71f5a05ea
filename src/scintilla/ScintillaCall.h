// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaCall: the typed calls and notifications through which the program uses its view.
#pragma once

#include "EditLimits.h"

#include <QByteArrayView>
#include <QColor>
#include <QObject>
#include <QPoint>

#include <cstdint>
#include <functional>
#include <span>

class QAbstractScrollArea;
class QFont;
class QKeyEvent;
class QMenu;
class QWidget;
class QsciScintilla;
class ScintillaLexer;
class StyleSource;

/// The lines of the document a view shows, top to bottom: `first` is the document line of the
/// top display line, `last` that of the line partly shown at the bottom.
struct ShownLines {
    long first = 0;
    long last = 0;
};

/// A fold level as the block analysis gives it: how many blocks hold the line, and whether the
/// line opens one.
struct FoldLevel {
    std::uint32_t depth = 0;
    bool header = false;
    friend bool operator==(const FoldLevel &, const FoldLevel &) = default;
};

/// The editor's Scintilla view, seen through calls that say what they do in the view's own
/// terms: byte positions, document lines counted from 0, display lines after folding. Nothing
/// outside this folder sends Scintilla a message. The view owns this object; it lives as long
/// as the view.
class ScintillaCall : public QObject
{
    Q_OBJECT

public:
    enum class LineEndMode { CrLf, Cr, Lf };
    enum class IndicatorStyle { StraightBox, Squiggle };
    enum class FoldAction { Contract, Expand, Toggle };
    /// The deepest fold level Scintilla keeps; deeper blocks fold with it.
    static const std::uint32_t DeepestFoldLevel;

    /// Makes a view with the program's defaults as a child of `parent`.
    static ScintillaCall &Create(QWidget &parent);

    /// The view as a widget: for layouts, focus, event filters and the visible text area.
    QAbstractScrollArea &Widget() const;
    QWidget &Viewport() const;

    // The text, as UTF-8 bytes.
    long Length() const;
    long LineCount() const;
    long LineStart(long line) const;
    long LineEnd(long line) const;
    long LineFromPosition(long position) const;
    /// Where the blanks at the start of `line` end.
    long LineIndentPosition(long line) const;
    /// Bytes [start, start + length), as one piece of memory; valid until the next edit.
    const char *RangePointer(long start, long length) const;
    /// The whole text as one piece of memory; valid until the next edit.
    QByteArrayView Text() const;
    char CharAt(long position) const;
    int StyleAt(long position) const;
    /// Characters, not bytes, from `start` to `end`.
    long CountCharacters(long start, long end) const;
    /// The position `characters` characters after `position`.
    long PositionRelative(long position, long characters) const;
    long PositionAfter(long position) const;
    /// The start and end of the word around `position`.
    long WordStart(long position) const;
    long WordEnd(long position) const;
    LineEndMode LineEnds() const;
    /// Whether lines also end at NEL, LS and PS, as well as at LF and CR.
    bool UnicodeLineEnds() const;
    void SetLineEnds(LineEndMode mode);

    // The selection and the caret. Each call that puts the caret is a move made for the user, a
    // jump to a line, a match or a mark: Up and Down aim for the column it puts the caret in from
    // then on, not the one the caret stood in before.
    long SelectionStart() const;
    long SelectionEnd() const;
    long CurrentPos() const;
    long Anchor() const;
    int Selections() const;
    bool HasSelectedText() const;
    /// Selects from `anchor` to `caret` and scrolls the caret into view.
    void SetSel(long anchor, long caret);
    /// Selects from `anchor` to `caret` without scrolling.
    void SetSelection(long anchor, long caret);
    void SetEmptySelection(long position);
    /// Up and Down aim for the caret's present column from now on.
    void ChooseCaretX();
    /// Puts the caret at the start of a document just shown, without laying out its first line
    /// before the first paint does; Up and Down aim for the first column from the next key on.
    void PutCaretAtStart();
    /// Puts the caret at the start of `line` and scrolls it into view.
    void GotoLine(long line);
    /// Puts the caret at `position` for a jump to a line, a mark or a procedure: the blocks that
    /// hide its line unfold and a line off the screen comes to its middle.
    void JumpTo(long position);
    void ScrollCaret();

    // Edits. Each is one change in the undo history unless grouped. Every edit keeps within the
    // limits: the text stays within MaxDocumentBytes, and no line grows longer than LongestLine.
    // An edit that would pass them is refused whole before its first change, and the refusal
    // is reported through InsertionRefused.
    /// Replaces [start, end) by `bytes`; false when the limits refused it.
    bool ReplaceRange(long start, long end, QByteArrayView bytes);
    bool InsertBytes(long position, QByteArrayView bytes);
    void DeleteRange(long start, long length);
    /// Inserts at the caret and moves the caret behind the text; false when refused.
    bool AddText(QByteArrayView bytes);
    void BeginUndoAction();
    void EndUndoAction();
    /// Makes room for a text of `bytes` bytes, so that it grows at most once.
    void Allocate(long bytes);
    /// Why the changes of one edit, made together, would pass the limits, in words; empty when
    /// they keep within them. Each change is measured against the text as it is now.
    QString Refusal(std::span<const TextChange> changes) const;
    /// True when the changes keep within the limits; otherwise reports the refusal and is false.
    bool Allows(std::span<const TextChange> changes);
    bool Allows(long start, long end, QByteArrayView text);
    /// For an edit that measured its own result: true when growing the text by `growth` bytes,
    /// its longest line changed then `longestLine` bytes long, keeps within the limits;
    /// otherwise reports the refusal and is false.
    bool AllowsGrowth(qint64 growth, qint64 longestLine);
    /// The longest line the view may lay out in the memory it may use (LongestLineFor).
    qint64 LongestLine() const;
    /// The memory the view may lay lines out in: the computer's physical memory unless set.
    qint64 LayoutMemory() const { return layoutMemory_; }
    void SetLayoutMemory(qint64 bytes) { layoutMemory_ = bytes; }
    /// Reports an edit refused for `reason`, once the edit under way is over.
    void RefuseEdit(const QString &reason);
    void SetSavePoint();
    bool IsModified() const;
    void SetUndoCollection(bool collect);
    bool CanUndo() const;
    bool CanRedo() const;
    bool IsReadOnly() const;
    void Undo();
    void Redo();
    void Cut();
    void Copy();
    void Paste();

    // What is on screen.
    long FirstVisibleLine() const;
    void SetFirstVisibleLine(long displayLine);
    long LinesOnScreen() const;
    long DocLineFromVisible(long displayLine) const;
    long VisibleFromDocLine(long line) const;
    ShownLines LinesShown() const;
    /// Fits the line-number margin to the line count; edits do this by themselves, a document
    /// put in place of another does not.
    void FitLineNumbers();
    void SetXOffset(long pixels);
    long TextHeight(long line) const;
    QPoint PointFromPosition(long position) const;
    /// The position nearest the point, or -1 outside the text for the second.
    long PositionFromPoint(QPoint point) const;
    long CharPositionFromPointClose(QPoint point) const;
    long MarginWidth(int margin) const;
    /// QScintilla's own right-click menu: undo, clipboard and select all.
    QMenu *StandardContextMenu();

    // Folding.
    FoldLevel FoldLevelOf(long line) const;
    /// The level as the view keeps it: a depth beyond DeepestFoldLevel is taken as it, and a
    /// line that opens a block there or deeper is no header, as the lines of its block could be
    /// no deeper than it: its block folds with the deepest one around it.
    static FoldLevel KeptFoldLevel(FoldLevel level);
    /// Sets the level FoldLevelOf gives from now on, as KeptFoldLevel keeps it.
    void SetFoldLevel(long line, FoldLevel level);
    bool FoldExpanded(long line) const;
    void SetFoldExpanded(long line, bool expanded);
    long FoldParent(long line) const;
    void FoldLine(long line, FoldAction action);
    long ContractedFoldNext(long line) const;
    bool LineVisible(long line) const;
    void EnsureVisible(long line);
    void ShowLines(long first, long last);
    void HideLines(long first, long last);
    /// Shows the margin of fold boxes `margin`, `width` pixels wide (0 hides it), and has Scintilla
    /// show folded lines before an edit touches them while it is shown.
    void ShowFoldMargin(int margin, int width);

    // Markers in the symbol margin, and indicators under the text.
    void DefineCircleMarker(int marker, QColor outline, QColor fill);
    void MarkerAdd(long line, int marker);
    void MarkerDelete(long line, int marker);
    void MarkerDeleteAll(int marker);
    bool HasMarker(long line, int marker) const;
    /// A free indicator set up in `style` and `colour` (its alpha kept), drawn under the text.
    int DefineIndicator(IndicatorStyle style, QColor colour, int outlineAlpha);
    void SetIndicator(int indicator, IndicatorStyle style, QColor colour);
    void IndicatorFillRange(int indicator, long start, long length);
    void IndicatorClearRange(int indicator, long start, long length);
    long IndicatorEnd(int indicator, long position) const;
    bool IndicatorAt(int indicator, long position) const;

    // Styles, for the lexer.
    /// Colours the text through `source` from now on (nullptr: no colouring).
    void SetStyleSource(StyleSource *source);
    /// The source the view colours through now, nullptr for none.
    StyleSource *Source() const;
    /// Whose text is shown: changes when another document is put in the view.
    void *Document() const;
    long EndStyled() const;
    void StartStyling(long position);
    void SetStyling(long length, int style);
    /// Styles as many bytes as `styles` holds from the last StartStyling on, one per byte.
    void SetStylingEx(QByteArrayView styles);
    /// The styles of [start, end) into `styles`, one a byte.
    void StylesOf(long start, long end, unsigned char *styles) const;
    bool StyleVisible(int style) const;
    void SetStyleVisible(int style, bool visible);
    /// The editor's font, as last set.
    QFont Font() const;
    /// Sets the font of every style and of the line numbers.
    void SetFonts(const QFont &font);

    // Loading.
    /// Lets the owner finish a load under way before anything writes the text: `await` answers
    /// true once the whole text is in, false when the load failed and the old text is back.
    void SetWholeTextAwaiter(std::function<bool()> await);
    /// True once the whole text is in, after waiting for a load under way; false when that load
    /// failed, the old text being back: whatever was about to write is not done then.
    bool AwaitWholeText();

    // Keys and paints, for the control's features.
    /// Lets the owner see each key first (`before` answers true when it took the key) and hear
    /// when the editor has handled one, typed text included.
    void SetKeyHandlers(std::function<bool(QKeyEvent &)> before, std::function<void()> after);
    /// Lets the owner prepare each paint of the text and hear when it is done.
    void SetPaintHandlers(std::function<void()> before, std::function<void()> after);

signals:
    /// The text or its styles changed, or the selection moved, since the last such signal.
    void Updated(bool content, bool selection);
    /// A character was typed; for a line end, each of its characters.
    void CharacterAdded(int character);
    /// The margin `margin` was clicked beside the line holding `position`.
    void MarginClicked(long position, int margin);
    /// An edit was not made because it would have passed the limits, for `reason`. Sent once
    /// the edit is over, never from inside it.
    void InsertionRefused(const QString &reason);

private:
    friend class ScintillaView;
    friend class DocumentLoader;
    /// Marks an edit checked whole (Allows) while it is made: Scintilla's own question before
    /// each of its insertions then asks only for the document's limit, as the insertion's text,
    /// which the question does not show, was measured already.
    class CheckedEdit
    {
    public:
        explicit CheckedEdit(ScintillaCall &call) : call_(call) { ++call_.checkedEdits_; }
        ~CheckedEdit() { --call_.checkedEdits_; }
        CheckedEdit(const CheckedEdit &) = delete;
        CheckedEdit &operator=(const CheckedEdit &) = delete;

    private:
        ScintillaCall &call_;
    };

    explicit ScintillaCall(QsciScintilla &view);
    /// Why Scintilla's insertion of `length` bytes at `position` would pass the limits: outside
    /// a checked edit its text is taken to lie on one line.
    QString InsertionRefusal(long position, long length) const;
    long Send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;
    QFont ScintillaFont(const QFont &font) const;
    // The view's events, handed on to the handlers.
    bool KeyFirst(QKeyEvent &key);
    void KeyDone();
    void PaintStarts();
    void PaintDone();
    void RefitLineNumbers();

    QsciScintilla &view_;
    ScintillaLexer *lexer_ = nullptr;
    int lineNumberDigits_ = 0;
    bool caretXPending_ = false;
    qint64 layoutMemory_;
    QString pendingRefusal_;
    int checkedEdits_ = 0;
    std::function<bool(QKeyEvent &)> beforeKey_;
    std::function<void()> afterKey_;
    std::function<void()> beforePaint_;
    std::function<void()> afterPaint_;
    std::function<bool()> awaitWholeText_;
};
