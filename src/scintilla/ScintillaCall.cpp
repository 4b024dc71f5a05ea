// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaCall: each typed call as the Scintilla message it stands for.
#include "ScintillaCall.h"

#include "ScintillaLexer.h"

#include <Qsci/qsciscintilla.h>

#include <QKeyEvent>

#include <algorithm>
#include <utility>

namespace
{

using Sci = QsciScintillaBase;

constexpr std::uint32_t Deepest = Sci::SC_FOLDLEVELNUMBERMASK - Sci::SC_FOLDLEVELBASE;

int DigitsIn(long value)
{
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

long Colour(QColor colour)
{
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

/// Scintilla's text messages want a string to point at even when it is empty.
const char *Bytes(QByteArrayView bytes)
{
    return bytes.data() ? bytes.data() : "";
}

/// Scintilla's range with room for text and styles, declared as Scintilla declares it
/// (QScintilla does not install the header).
struct StyledTextRange {
    long cpMin;
    long cpMax;
    char *text;
};

/// Whether `key` only moves the caret or the selection, or is a modifier alone, and stays within
/// the text that has arrived: Ctrl+End goes to the end of a text that may not be whole yet.
bool MovesWithinText(const QKeyEvent &key)
{
    switch (key.key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
        return true;
    case Qt::Key_End:
        return !(key.modifiers() & Qt::ControlModifier);
    default:
        return false;
    }
}

} // namespace

const std::uint32_t ScintillaCall::DeepestFoldLevel = Deepest;

ScintillaCall::ScintillaCall(QsciScintilla &view)
    : view_(view), layoutMemory_(PhysicalMemoryBytes())
{
}

long ScintillaCall::Send(unsigned int message, unsigned long wParam, long lParam) const
{
    return view_.SendScintilla(message, wParam, lParam);
}

QAbstractScrollArea &ScintillaCall::Widget() const
{
    return view_;
}

QWidget &ScintillaCall::Viewport() const
{
    return *view_.viewport();
}

long ScintillaCall::Length() const
{
    return Send(Sci::SCI_GETLENGTH);
}

long ScintillaCall::LineCount() const
{
    return Send(Sci::SCI_GETLINECOUNT);
}

long ScintillaCall::LineStart(long line) const
{
    return Send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
}

long ScintillaCall::LineEnd(long line) const
{
    return Send(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
}

long ScintillaCall::LineFromPosition(long position) const
{
    return Send(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
}

long ScintillaCall::LineIndentPosition(long line) const
{
    return Send(Sci::SCI_GETLINEINDENTPOSITION, static_cast<unsigned long>(line));
}

const char *ScintillaCall::RangePointer(long start, long length) const
{
    return reinterpret_cast<const char *>(
        Send(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), length));
}

QByteArrayView ScintillaCall::Text() const
{
    const long length = Length();
    return {reinterpret_cast<const char *>(Send(Sci::SCI_GETCHARACTERPOINTER)), length};
}

bool ScintillaCall::UnicodeLineEnds() const
{
    return Send(Sci::SCI_GETLINEENDTYPESACTIVE) != Sci::SC_LINE_END_TYPE_DEFAULT;
}

char ScintillaCall::CharAt(long position) const
{
    return static_cast<char>(Send(Sci::SCI_GETCHARAT, static_cast<unsigned long>(position)));
}

int ScintillaCall::StyleAt(long position) const
{
    return static_cast<int>(Send(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(position)));
}

long ScintillaCall::CountCharacters(long start, long end) const
{
    return Send(Sci::SCI_COUNTCHARACTERS, static_cast<unsigned long>(start), end);
}

long ScintillaCall::PositionRelative(long position, long characters) const
{
    return Send(Sci::SCI_POSITIONRELATIVE, static_cast<unsigned long>(position), characters);
}

long ScintillaCall::PositionAfter(long position) const
{
    return Send(Sci::SCI_POSITIONAFTER, static_cast<unsigned long>(position));
}

long ScintillaCall::WordStart(long position) const
{
    return Send(Sci::SCI_WORDSTARTPOSITION, static_cast<unsigned long>(position), 1);
}

long ScintillaCall::WordEnd(long position) const
{
    return Send(Sci::SCI_WORDENDPOSITION, static_cast<unsigned long>(position), 1);
}

ScintillaCall::LineEndMode ScintillaCall::LineEnds() const
{
    switch (Send(Sci::SCI_GETEOLMODE)) {
    case Sci::SC_EOL_CRLF:
        return LineEndMode::CrLf;
    case Sci::SC_EOL_CR:
        return LineEndMode::Cr;
    default:
        return LineEndMode::Lf;
    }
}

void ScintillaCall::SetLineEnds(LineEndMode mode)
{
    const long eolMode = mode == LineEndMode::CrLf ? Sci::SC_EOL_CRLF
                         : mode == LineEndMode::Cr ? Sci::SC_EOL_CR
                                                   : Sci::SC_EOL_LF;
    Send(Sci::SCI_SETEOLMODE, static_cast<unsigned long>(eolMode));
}

long ScintillaCall::SelectionStart() const
{
    return Send(Sci::SCI_GETSELECTIONSTART);
}

long ScintillaCall::SelectionEnd() const
{
    return Send(Sci::SCI_GETSELECTIONEND);
}

long ScintillaCall::CurrentPos() const
{
    return Send(Sci::SCI_GETCURRENTPOS);
}

long ScintillaCall::Anchor() const
{
    return Send(Sci::SCI_GETANCHOR);
}

int ScintillaCall::Selections() const
{
    return static_cast<int>(Send(Sci::SCI_GETSELECTIONS));
}

bool ScintillaCall::HasSelectedText() const
{
    return view_.hasSelectedText();
}

// Scintilla keeps the column Up and Down aim for until a key or a click moves the caret; after a
// move of the program's it would still aim for the column the caret stood in before.
void ScintillaCall::SetSel(long anchor, long caret)
{
    Send(Sci::SCI_SETSEL, static_cast<unsigned long>(anchor), caret);
    ChooseCaretX();
}

void ScintillaCall::SetSelection(long anchor, long caret)
{
    Send(Sci::SCI_SETSELECTION, static_cast<unsigned long>(caret), anchor);
    ChooseCaretX();
}

void ScintillaCall::SetEmptySelection(long position)
{
    Send(Sci::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(position));
    ChooseCaretX();
}

void ScintillaCall::ChooseCaretX()
{
    caretXPending_ = false;
    Send(Sci::SCI_CHOOSECARETX);
}

// Choosing the column lays out the caret's line, which is not coloured yet in a document just
// shown: on a line of 100 MB that takes seconds longer than the first paint, which colours it
// first. After that paint, laid out, the column costs nothing.
void ScintillaCall::PutCaretAtStart()
{
    Send(Sci::SCI_SETEMPTYSELECTION, 0UL);
    caretXPending_ = true;
}

void ScintillaCall::GotoLine(long line)
{
    Send(Sci::SCI_GOTOLINE, static_cast<unsigned long>(line));
    ChooseCaretX();
}

// A line off the screen comes to its middle, so that the lines around it show too.
void ScintillaCall::JumpTo(long position)
{
    const long line = LineFromPosition(position);
    EnsureVisible(line);
    const long shownLine = VisibleFromDocLine(line);
    const long top = FirstVisibleLine();
    const long screen = LinesOnScreen();
    if (shownLine < top || shownLine >= top + screen)
        SetFirstVisibleLine(std::max(0L, shownLine - screen / 2));
    SetEmptySelection(position);
    ScrollCaret();
}

void ScintillaCall::ScrollCaret()
{
    Send(Sci::SCI_SCROLLCARET);
}

bool ScintillaCall::ReplaceRange(long start, long end, QByteArrayView bytes)
{
    if (!Allows(start, end, bytes))
        return false;
    const CheckedEdit checked(*this);
    Send(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(start), end);
    view_.SendScintilla(Sci::SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()),
                        Bytes(bytes));
    return true;
}

bool ScintillaCall::InsertBytes(long position, QByteArrayView bytes)
{
    return ReplaceRange(position, position, bytes);
}

void ScintillaCall::DeleteRange(long start, long length)
{
    Send(Sci::SCI_DELETERANGE, static_cast<unsigned long>(start), length);
}

bool ScintillaCall::AddText(QByteArrayView bytes)
{
    const long caret = CurrentPos();
    if (!Allows(caret, caret, bytes))
        return false;
    const CheckedEdit checked(*this);
    view_.SendScintilla(Sci::SCI_ADDTEXT, static_cast<unsigned long>(bytes.size()), Bytes(bytes));
    return true;
}

void ScintillaCall::BeginUndoAction()
{
    Send(Sci::SCI_BEGINUNDOACTION);
}

void ScintillaCall::EndUndoAction()
{
    Send(Sci::SCI_ENDUNDOACTION);
}

void ScintillaCall::Allocate(long bytes)
{
    Send(Sci::SCI_ALLOCATE, static_cast<unsigned long>(bytes));
}

void ScintillaCall::SetSavePoint()
{
    Send(Sci::SCI_SETSAVEPOINT);
}

bool ScintillaCall::IsModified() const
{
    return Send(Sci::SCI_GETMODIFY) != 0;
}

void ScintillaCall::SetUndoCollection(bool collect)
{
    Send(Sci::SCI_SETUNDOCOLLECTION, collect ? 1 : 0);
}

bool ScintillaCall::CanUndo() const
{
    return view_.isUndoAvailable();
}

bool ScintillaCall::CanRedo() const
{
    return view_.isRedoAvailable();
}

bool ScintillaCall::IsReadOnly() const
{
    return view_.isReadOnly();
}

void ScintillaCall::Undo()
{
    view_.undo();
}

void ScintillaCall::Redo()
{
    view_.redo();
}

void ScintillaCall::Cut()
{
    view_.cut();
}

void ScintillaCall::Copy()
{
    view_.copy();
}

void ScintillaCall::Paste()
{
    view_.paste();
}

long ScintillaCall::FirstVisibleLine() const
{
    return Send(Sci::SCI_GETFIRSTVISIBLELINE);
}

void ScintillaCall::SetFirstVisibleLine(long displayLine)
{
    Send(Sci::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(displayLine));
}

long ScintillaCall::LinesOnScreen() const
{
    return Send(Sci::SCI_LINESONSCREEN);
}

long ScintillaCall::DocLineFromVisible(long displayLine) const
{
    return Send(Sci::SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(displayLine));
}

long ScintillaCall::VisibleFromDocLine(long line) const
{
    return Send(Sci::SCI_VISIBLEFROMDOCLINE, static_cast<unsigned long>(line));
}

// Display lines to document lines, so folded text in between does not count; the line partly
// shown at the bottom is shown too.
ShownLines ScintillaCall::LinesShown() const
{
    const long top = FirstVisibleLine();
    return {DocLineFromVisible(top), DocLineFromVisible(top + LinesOnScreen())};
}

void ScintillaCall::FitLineNumbers()
{
    const int digits = std::max(3, DigitsIn(view_.lines()));
    if (digits == lineNumberDigits_)
        return;
    lineNumberDigits_ = digits;
    view_.setMarginWidth(0, QString(digits + 1, QLatin1Char('9')));
}

// The line numbers took another font or zoom: their margin is fitted to their new size.
void ScintillaCall::RefitLineNumbers()
{
    lineNumberDigits_ = 0;
    FitLineNumbers();
}

void ScintillaCall::SetXOffset(long pixels)
{
    Send(Sci::SCI_SETXOFFSET, static_cast<unsigned long>(pixels));
}

long ScintillaCall::TextHeight(long line) const
{
    return Send(Sci::SCI_TEXTHEIGHT, static_cast<unsigned long>(line));
}

QPoint ScintillaCall::PointFromPosition(long position) const
{
    return {static_cast<int>(Send(Sci::SCI_POINTXFROMPOSITION, 0, position)),
            static_cast<int>(Send(Sci::SCI_POINTYFROMPOSITION, 0, position))};
}

long ScintillaCall::PositionFromPoint(QPoint point) const
{
    return Send(Sci::SCI_POSITIONFROMPOINT, static_cast<unsigned long>(point.x()), point.y());
}

long ScintillaCall::CharPositionFromPointClose(QPoint point) const
{
    return Send(Sci::SCI_CHARPOSITIONFROMPOINTCLOSE, static_cast<unsigned long>(point.x()),
                point.y());
}

long ScintillaCall::MarginWidth(int margin) const
{
    return Send(Sci::SCI_GETMARGINWIDTHN, static_cast<unsigned long>(margin));
}

QMenu *ScintillaCall::StandardContextMenu()
{
    return view_.createStandardContextMenu();
}

FoldLevel ScintillaCall::FoldLevelOf(long line) const
{
    const long level = Send(Sci::SCI_GETFOLDLEVEL, static_cast<unsigned long>(line));
    const long number = level & Sci::SC_FOLDLEVELNUMBERMASK;
    return {static_cast<std::uint32_t>(std::max(0L, number - Sci::SC_FOLDLEVELBASE)),
            (level & Sci::SC_FOLDLEVELHEADERFLAG) != 0};
}

FoldLevel ScintillaCall::KeptFoldLevel(FoldLevel level)
{
    return {std::min(level.depth, Deepest), level.header && level.depth < Deepest};
}

void ScintillaCall::SetFoldLevel(long line, FoldLevel level)
{
    const FoldLevel kept = KeptFoldLevel(level);
    const long value =
        (Sci::SC_FOLDLEVELBASE + kept.depth) | (kept.header ? Sci::SC_FOLDLEVELHEADERFLAG : 0);
    Send(Sci::SCI_SETFOLDLEVEL, static_cast<unsigned long>(line), value);
}

bool ScintillaCall::FoldExpanded(long line) const
{
    return Send(Sci::SCI_GETFOLDEXPANDED, static_cast<unsigned long>(line)) != 0;
}

void ScintillaCall::SetFoldExpanded(long line, bool expanded)
{
    Send(Sci::SCI_SETFOLDEXPANDED, static_cast<unsigned long>(line), expanded ? 1 : 0);
}

long ScintillaCall::FoldParent(long line) const
{
    return Send(Sci::SCI_GETFOLDPARENT, static_cast<unsigned long>(line));
}

void ScintillaCall::FoldLine(long line, FoldAction action)
{
    const long scintillaAction = action == FoldAction::Contract ? Sci::SC_FOLDACTION_CONTRACT
                                 : action == FoldAction::Expand ? Sci::SC_FOLDACTION_EXPAND
                                                                : Sci::SC_FOLDACTION_TOGGLE;
    Send(Sci::SCI_FOLDLINE, static_cast<unsigned long>(line), scintillaAction);
}

long ScintillaCall::ContractedFoldNext(long line) const
{
    return Send(Sci::SCI_CONTRACTEDFOLDNEXT, static_cast<unsigned long>(line));
}

bool ScintillaCall::LineVisible(long line) const
{
    return Send(Sci::SCI_GETLINEVISIBLE, static_cast<unsigned long>(line)) != 0;
}

void ScintillaCall::EnsureVisible(long line)
{
    Send(Sci::SCI_ENSUREVISIBLE, static_cast<unsigned long>(line));
}

void ScintillaCall::ShowLines(long first, long last)
{
    Send(Sci::SCI_SHOWLINES, static_cast<unsigned long>(first), last);
}

void ScintillaCall::HideLines(long first, long last)
{
    Send(Sci::SCI_HIDELINES, static_cast<unsigned long>(first), last);
}

void ScintillaCall::ShowFoldMargin(int margin, int width)
{
    const auto number = static_cast<unsigned long>(margin);
    Send(Sci::SCI_SETMARGINWIDTHN, number, width);
    if (width == 0) {
        Send(Sci::SCI_SETAUTOMATICFOLD, 0);
        return;
    }
    Send(Sci::SCI_SETMARGINTYPEN, number, Sci::SC_MARGIN_SYMBOL);
    Send(Sci::SCI_SETMARGINMASKN, number, static_cast<long>(Sci::SC_MASK_FOLDERS));
    Send(Sci::SCI_SETMARGINSENSITIVEN, number, 1);
    Send(Sci::SCI_SETMARGINCURSORN, number, Sci::SC_CURSORARROW);
    Send(Sci::SCI_SETFOLDMARGINCOLOUR, 1, Colour(Qt::white));
    Send(Sci::SCI_SETFOLDMARGINHICOLOUR, 1, Colour(Qt::white));
    const std::pair<int, int> boxes[] = {
        {Sci::SC_MARKNUM_FOLDEROPEN, Sci::SC_MARK_BOXMINUS},
        {Sci::SC_MARKNUM_FOLDER, Sci::SC_MARK_BOXPLUS},
        {Sci::SC_MARKNUM_FOLDERSUB, Sci::SC_MARK_VLINE},
        {Sci::SC_MARKNUM_FOLDERTAIL, Sci::SC_MARK_LCORNER},
        {Sci::SC_MARKNUM_FOLDEREND, Sci::SC_MARK_BOXPLUSCONNECTED},
        {Sci::SC_MARKNUM_FOLDEROPENMID, Sci::SC_MARK_BOXMINUSCONNECTED},
        {Sci::SC_MARKNUM_FOLDERMIDTAIL, Sci::SC_MARK_TCORNER},
    };
    for (const auto &[marker, symbol] : boxes) {
        Send(Sci::SCI_MARKERDEFINE, static_cast<unsigned long>(marker), symbol);
        Send(Sci::SCI_MARKERSETFORE, static_cast<unsigned long>(marker), Colour(Qt::white));
        Send(Sci::SCI_MARKERSETBACK, static_cast<unsigned long>(marker),
             Colour(QColor(0x80, 0x80, 0x80)));
    }
    Send(Sci::SCI_SETFOLDFLAGS, Sci::SC_FOLDFLAG_LINEAFTER_CONTRACTED);
    Send(Sci::SCI_SETAUTOMATICFOLD, Sci::SC_AUTOMATICFOLD_SHOW);
}

void ScintillaCall::DefineCircleMarker(int marker, QColor outline, QColor fill)
{
    const auto number = static_cast<unsigned long>(marker);
    Send(Sci::SCI_MARKERDEFINE, number, Sci::SC_MARK_CIRCLE);
    Send(Sci::SCI_MARKERSETFORE, number, Colour(outline));
    Send(Sci::SCI_MARKERSETBACK, number, Colour(fill));
}

void ScintillaCall::MarkerAdd(long line, int marker)
{
    Send(Sci::SCI_MARKERADD, static_cast<unsigned long>(line), marker);
}

void ScintillaCall::MarkerDelete(long line, int marker)
{
    Send(Sci::SCI_MARKERDELETE, static_cast<unsigned long>(line), marker);
}

void ScintillaCall::MarkerDeleteAll(int marker)
{
    Send(Sci::SCI_MARKERDELETEALL, static_cast<unsigned long>(marker));
}

bool ScintillaCall::HasMarker(long line, int marker) const
{
    return (Send(Sci::SCI_MARKERGET, static_cast<unsigned long>(line)) & (1L << marker)) != 0;
}

int ScintillaCall::DefineIndicator(IndicatorStyle style, QColor colour, int outlineAlpha)
{
    const int indicator = view_.indicatorDefine(style == IndicatorStyle::StraightBox
                                                    ? QsciScintilla::StraightBoxIndicator
                                                    : QsciScintilla::SquiggleIndicator);
    view_.setIndicatorForegroundColor(colour, indicator);
    view_.setIndicatorDrawUnder(true, indicator);
    Send(Sci::SCI_INDICSETOUTLINEALPHA, static_cast<unsigned long>(indicator), outlineAlpha);
    return indicator;
}

void ScintillaCall::SetIndicator(int indicator, IndicatorStyle style, QColor colour)
{
    const auto number = static_cast<unsigned long>(indicator);
    Send(Sci::SCI_INDICSETSTYLE, number,
         style == IndicatorStyle::StraightBox ? Sci::INDIC_STRAIGHTBOX : Sci::INDIC_SQUIGGLE);
    Send(Sci::SCI_INDICSETFORE, number, Colour(colour));
}

void ScintillaCall::IndicatorFillRange(int indicator, long start, long length)
{
    Send(Sci::SCI_SETINDICATORCURRENT, static_cast<unsigned long>(indicator));
    Send(Sci::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(start), length);
}

void ScintillaCall::IndicatorClearRange(int indicator, long start, long length)
{
    Send(Sci::SCI_SETINDICATORCURRENT, static_cast<unsigned long>(indicator));
    Send(Sci::SCI_INDICATORCLEARRANGE, static_cast<unsigned long>(start), length);
}

long ScintillaCall::IndicatorEnd(int indicator, long position) const
{
    return Send(Sci::SCI_INDICATOREND, static_cast<unsigned long>(indicator), position);
}

bool ScintillaCall::IndicatorAt(int indicator, long position) const
{
    return Send(Sci::SCI_INDICATORVALUEAT, static_cast<unsigned long>(indicator), position) != 0;
}

void ScintillaCall::SetStyleSource(StyleSource *source)
{
    ScintillaLexer *old = lexer_;
    lexer_ = source ? new ScintillaLexer(*source, &view_) : nullptr;
    if (lexer_)
        lexer_->SetBaseFont(ScintillaFont(view_.font()));
    view_.setLexer(lexer_);
    // Changing lexers resets every style to Scintilla's default, the line numbers' included.
    view_.setMarginsFont(ScintillaFont(view_.font()));
    delete old;
}

// Another lexer may have been put in the view since.
StyleSource *ScintillaCall::Source() const
{
    return lexer_ && view_.lexer() == lexer_ ? &lexer_->Source() : nullptr;
}

void *ScintillaCall::Document() const
{
    return reinterpret_cast<void *>(Send(Sci::SCI_GETDOCPOINTER));
}

long ScintillaCall::EndStyled() const
{
    return Send(Sci::SCI_GETENDSTYLED);
}

void ScintillaCall::StartStyling(long position)
{
    Send(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(position));
}

void ScintillaCall::SetStyling(long length, int style)
{
    Send(Sci::SCI_SETSTYLING, static_cast<unsigned long>(length), style);
}

void ScintillaCall::SetStylingEx(QByteArrayView styles)
{
    view_.SendScintilla(Sci::SCI_SETSTYLINGEX, static_cast<unsigned long>(styles.size()),
                        Bytes(styles));
}

void ScintillaCall::StylesOf(long start, long end, unsigned char *styles) const
{
    // Scintilla writes text and style byte by byte, and two bytes of zeros after them.
    QByteArray both(2 * (end - start) + 2, '\0');
    StyledTextRange range{start, end, both.data()};
    view_.SendScintilla(Sci::SCI_GETSTYLEDTEXT, 0UL, static_cast<void *>(&range));
    for (long at = 0; at < end - start; ++at)
        styles[at] = static_cast<unsigned char>(both[qsizetype(2 * at + 1)]);
}

bool ScintillaCall::StyleVisible(int style) const
{
    return Send(Sci::SCI_STYLEGETVISIBLE, static_cast<unsigned long>(style)) != 0;
}

void ScintillaCall::SetStyleVisible(int style, bool visible)
{
    Send(Sci::SCI_STYLESETVISIBLE, static_cast<unsigned long>(style), visible ? 1 : 0);
}

QFont ScintillaCall::Font() const
{
    return view_.font();
}

void ScintillaCall::SetFonts(const QFont &font)
{
    const QFont styles = ScintillaFont(font);
    if (lexer_)
        lexer_->SetBaseFont(styles);
    else
        view_.setFont(styles);
    view_.setMarginsFont(styles);
    view_.QWidget::setFont(font);
    RefitLineNumbers();
}

// Scintilla takes font sizes in points only; a font sized in pixels is given the point size
// that draws it at that many pixels on this screen.
QFont ScintillaCall::ScintillaFont(const QFont &font) const
{
    if (font.pixelSize() <= 0)
        return font;
    QFont points = font;
    points.setPointSizeF(font.pixelSize() * 72.0 / view_.logicalDpiY());
    return points;
}

void ScintillaCall::SetKeyHandlers(std::function<bool(QKeyEvent &)> before,
                                   std::function<void()> after)
{
    beforeKey_ = std::move(before);
    afterKey_ = std::move(after);
}

void ScintillaCall::SetPaintHandlers(std::function<void()> before, std::function<void()> after)
{
    beforePaint_ = std::move(before);
    afterPaint_ = std::move(after);
}

void ScintillaCall::SetWholeTextAwaiter(std::function<bool()> await)
{
    awaitWholeText_ = std::move(await);
}

bool ScintillaCall::AwaitWholeText()
{
    return !awaitWholeText_ || awaitWholeText_();
}

// While a text arrives, keys that move or select within it act at once; any other key, and a
// jump to the end, waits for the whole text and then acts, or is dropped when the load failed.
bool ScintillaCall::KeyFirst(QKeyEvent &key)
{
    if (!MovesWithinText(key) && !AwaitWholeText())
        return true;
    if (caretXPending_)
        ChooseCaretX();
    return beforeKey_ && beforeKey_(key);
}

void ScintillaCall::KeyDone()
{
    if (afterKey_)
        afterKey_();
}

void ScintillaCall::PaintStarts()
{
    if (beforePaint_)
        beforePaint_();
}

void ScintillaCall::PaintDone()
{
    if (afterPaint_)
        afterPaint_();
}
