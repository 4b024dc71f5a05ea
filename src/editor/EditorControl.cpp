// EditorControl: lines and character columns over QScintilla's byte positions.
#include "EditorControl.h"

#include "DocumentLoader.h"
#include "EditorError.h"
#include "EditorEvents.h"
#include "EditorList.h"
#include "LanguageRegistry.h"
#include "LexerCore.h"
#include "QuillLexer.h"
#include "ScintillaView.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QVBoxLayout>

#include <string>

namespace
{

void InsertAt(ScintillaView &view, long position, const char *bytes, qsizetype length)
{
    view.SendScintilla(ScintillaView::SCI_SETTARGETRANGE, position, position);
    view.SendScintilla(ScintillaView::SCI_REPLACETARGET, static_cast<unsigned long>(length), bytes);
}

/// Rewrites the text from a position onwards a piece at a time: old text is copied into a piece
/// with new text between, and each piece, once large enough, replaces the old text it was made
/// from. The edit never needs a second copy of the whole text, and it stays a handful of changes
/// for anyone listening to them. The inserted text holds no line ends, so line numbers keep
/// pointing at the same lines throughout.
class ForwardRewrite
{
public:
    ForwardRewrite(ScintillaView &view, long start) : view_(view), start_(start), copiedTo_(start)
    {
        ReadOld();
    }

    /// Copies the old text from where the last copy ended up to `position` into the piece.
    void CopyUpTo(long position)
    {
        piece_.append(old_ + (copiedTo_ - oldStart_), position - copiedTo_);
        copiedTo_ = position;
    }

    /// Adds new text to the piece, and puts the piece in place once it is large enough.
    void Append(const QByteArray &text)
    {
        piece_.append(text.constData(), text.size());
        if (static_cast<qsizetype>(piece_.size()) >= PieceBytes)
            Finish();
    }

    /// Replaces the old text copied so far by the piece.
    void Finish()
    {
        if (piece_.empty())
            return;
        view_.SendScintilla(ScintillaView::SCI_DELETERANGE, static_cast<unsigned long>(start_),
                            copiedTo_ - start_);
        InsertAt(view_, start_, piece_.data(), static_cast<qsizetype>(piece_.size()));
        start_ += static_cast<long>(piece_.size());
        copiedTo_ = start_;
        piece_.clear();
        ReadOld();
    }

private:
    static constexpr qsizetype PieceBytes = qsizetype(4) << 20;

    // The edits leave the buffer's gap just before the old text, so this moves nothing.
    void ReadOld()
    {
        const long length = view_.SendScintilla(ScintillaView::SCI_GETLENGTH);
        old_ = reinterpret_cast<const char *>(
            view_.SendScintilla(ScintillaView::SCI_GETRANGEPOINTER, copiedTo_, length - copiedTo_));
        oldStart_ = copiedTo_;
    }

    ScintillaView &view_;
    long start_;
    long copiedTo_;
    const char *old_ = nullptr;
    long oldStart_ = 0;
    std::string piece_;
};

} // namespace

EditorControl::EditorControl(QWidget *parent) : QWidget(parent), view_(new ScintillaView(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusProxy(view_);
    setMinimumSize(0, 0);
    view_->setMinimumSize(0, 0);
    view_->SetKeyHandlers([this](QKeyEvent &key) { return BeforeKey(key); },
                          [this] { AfterKey(); });
}

EditorControl::~EditorControl() = default;

void EditorControl::SetLanguageName(const QString &name)
{
    const std::shared_ptr<const LanguageDefinition> definition = LanguageRegistry().Find(name);
    if (!definition)
        throw EditorError(QStringLiteral("no language is registered under the name \"%1\"")
                              .arg(name)
                              .toStdString());
    auto *lexer = new QuillLexer(name, *definition, view_);
    lexer->SetBaseFont(ScintillaFont(view_->font()));
    view_->setLexer(lexer);
    // Changing lexers resets every style to Scintilla's default, the line numbers' included.
    view_->setMarginsFont(ScintillaFont(view_->font()));
    delete lexer_;
    lexer_ = lexer;
    languageName_ = name;
}

void EditorControl::SetText(const QString &text)
{
    ReplaceRange(0, static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETLENGTH)),
                 text.toUtf8());
}

QString EditorControl::Text() const
{
    const long length = view_->SendScintilla(ScintillaView::SCI_GETLENGTH);
    const char *bytes = reinterpret_cast<const char *>(
        view_->SendScintilla(ScintillaView::SCI_GETCHARACTERPOINTER));
    return QString::fromUtf8(bytes, length);
}

void EditorControl::OpenFile(const QString &path)
{
    DocumentLoader loader(*view_);
    const ScriptFormat format = ReadScriptFile(path, loader);
    ShowNewDocument(loader, format);
}

SavedScript EditorControl::SaveFile(const QString &path, bool)
{
    const long length = view_->SendScintilla(ScintillaView::SCI_GETLENGTH);
    const char *bytes = reinterpret_cast<const char *>(
        view_->SendScintilla(ScintillaView::SCI_GETCHARACTERPOINTER));
    const SavedScript saved = WriteScriptFile(path, QByteArrayView(bytes, length), format_);
    format_ = saved.format;
    view_->SendScintilla(ScintillaView::SCI_SETSAVEPOINT);
    return saved;
}

void EditorControl::NewDocument()
{
    SetText(QString());
    SetFormat(ScriptFormat{});
    view_->SendScintilla(ScintillaView::SCI_SETSAVEPOINT);
}

void EditorControl::SetFormat(ScriptFormat format)
{
    format_ = format;
    const long eolMode = format.lineEnd == LineEnd::CrLf ? ScintillaView::SC_EOL_CRLF
                         : format.lineEnd == LineEnd::Cr ? ScintillaView::SC_EOL_CR
                                                         : ScintillaView::SC_EOL_LF;
    view_->SendScintilla(ScintillaView::SCI_SETEOLMODE, eolMode);
}

void EditorControl::ShowNewDocument(DocumentLoader &loader, ScriptFormat format)
{
    loader.Show();
    SetFormat(format);
    view_->SendScintilla(ScintillaView::SCI_SETUNDOCOLLECTION, 1L);
    view_->SendScintilla(ScintillaView::SCI_SETSAVEPOINT);
    view_->SendScintilla(ScintillaView::SCI_SETXOFFSET, 0L);
    view_->SendScintilla(ScintillaView::SCI_GOTOPOS, 0L);
    view_->UpdateLineNumberWidth();
}

EditorRange EditorControl::GetSelection(bool) const
{
    const int start = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETSELECTIONSTART));
    const int end = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETSELECTIONEND));
    EditorRange range;
    range.StartLine =
        static_cast<std::int32_t>(view_->SendScintilla(ScintillaView::SCI_LINEFROMPOSITION, start));
    range.StartColumn = ColumnOfPosition(start);
    range.EndLine =
        static_cast<std::int32_t>(view_->SendScintilla(ScintillaView::SCI_LINEFROMPOSITION, end));
    range.EndColumn = ColumnOfPosition(end);
    return range;
}

void EditorControl::SetSelection(const EditorRange &range, bool reveal)
{
    const int anchor = PositionFromLineColumn(range.StartLine, range.StartColumn);
    const int caret = PositionFromLineColumn(range.EndLine, range.EndColumn);
    if (reveal)
        view_->SendScintilla(ScintillaView::SCI_SETSEL, anchor, caret);
    else
        view_->SendScintilla(ScintillaView::SCI_SETSELECTION, caret, anchor);
}

void EditorControl::SetSelectedText(const QString &text)
{
    const int start = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETSELECTIONSTART));
    const int end = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETSELECTIONEND));
    const QByteArray utf8 = text.toUtf8();
    ReplaceRange(start, end, utf8);
    view_->SendScintilla(ScintillaView::SCI_SETEMPTYSELECTION,
                         static_cast<unsigned long>(start + utf8.size()));
}

void EditorControl::InsertText(const QString &text)
{
    const int start = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETSELECTIONSTART));
    const int end = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETSELECTIONEND));
    const QByteArray utf8 = text.toUtf8();
    ReplaceRange(start, end, utf8);
    view_->SendScintilla(ScintillaView::SCI_SETSEL, static_cast<unsigned long>(start),
                         static_cast<long>(start + utf8.size()));
}

EditorControl::LineStartEdit EditorControl::BeginLineStartEdit()
{
    return LineStartEdit(*this);
}

void EditorControl::LineStartEdit::InsertAtLineStart(std::int32_t line, const QString &text)
{
    const long lines = control_.view_->SendScintilla(ScintillaView::SCI_GETLINECOUNT);
    if (line < 0 || line >= lines)
        throw EditorError(QStringLiteral("line %1 is not in the text").arg(line).toStdString());
    if (!runs_.empty() && line <= runs_.back().lastLine)
        throw EditorError(QStringLiteral("line %1 was queued after line %2")
                              .arg(line)
                              .arg(runs_.back().lastLine)
                              .toStdString());
    if (!runs_.empty() && line == runs_.back().lastLine + 1 && text == lastText_) {
        runs_.back().lastLine = line;
        return;
    }
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        throw EditorError("text put at the start of a line cannot hold a line end");
    runs_.push_back(Run{line, line, text.toUtf8()});
    lastText_ = text;
}

void EditorControl::LineStartEdit::Apply()
{
    if (runs_.empty())
        return;
    ScintillaView &view = *control_.view_;
    qsizetype added = 0;
    for (const Run &run : runs_)
        added += (qsizetype(run.lastLine) - run.firstLine + 1) * run.text.size();
    // Room for the whole result first, so the buffer grows once and by no more than it must.
    const long length = view.SendScintilla(ScintillaView::SCI_GETLENGTH);
    view.SendScintilla(ScintillaView::SCI_ALLOCATE, static_cast<unsigned long>(length + added + 1));

    // The first line's text goes in on its own, then the lines after it are rewritten in pieces.
    // Undo replays that in reverse and leaves the caret at the start of the first line, Redo just
    // after the last insertion: where the insertions made one by one would leave it.
    const Run &first = runs_.front();
    const long firstStart =
        view.SendScintilla(ScintillaView::SCI_POSITIONFROMLINE, first.firstLine);
    view.SendScintilla(ScintillaView::SCI_BEGINUNDOACTION);
    InsertAt(view, firstStart, first.text.constData(), first.text.size());
    ForwardRewrite rewrite(view, firstStart + first.text.size());
    for (const Run &run : runs_) {
        for (long line = run.firstLine; line <= run.lastLine; ++line) {
            if (line == first.firstLine)
                continue;
            rewrite.CopyUpTo(view.SendScintilla(ScintillaView::SCI_POSITIONFROMLINE, line));
            rewrite.Append(run.text);
        }
    }
    rewrite.Finish();
    view.SendScintilla(ScintillaView::SCI_ENDUNDOACTION);
    runs_.clear();
}

QFont EditorControl::Font() const
{
    return view_->font();
}

void EditorControl::SetFont(const QFont &font)
{
    const QFont styles = ScintillaFont(font);
    if (lexer_)
        lexer_->SetBaseFont(styles);
    else
        view_->setFont(styles);
    view_->setMarginsFont(styles);
    view_->QWidget::setFont(font);
}

// Scintilla takes font sizes in points only; a font sized in pixels is given the point size
// that draws it at that many pixels on this screen.
QFont EditorControl::ScintillaFont(const QFont &font) const
{
    if (font.pixelSize() <= 0)
        return font;
    QFont points = font;
    points.setPointSizeF(font.pixelSize() * 72.0 / view_->logicalDpiY());
    return points;
}

bool EditorControl::CanUndo() const
{
    return view_->isUndoAvailable();
}

bool EditorControl::CanRedo() const
{
    return view_->isRedoAvailable();
}

bool EditorControl::CanCut() const
{
    return !view_->isReadOnly() && view_->hasSelectedText();
}

bool EditorControl::CanCopy() const
{
    return view_->hasSelectedText();
}

bool EditorControl::CanPaste() const
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    return !view_->isReadOnly() && data && data->hasText();
}

void EditorControl::Undo()
{
    view_->undo();
}

void EditorControl::Redo()
{
    view_->redo();
}

void EditorControl::Cut()
{
    view_->cut();
}

void EditorControl::Copy()
{
    view_->copy();
}

void EditorControl::Paste()
{
    view_->paste();
}

bool EditorControl::IsModified() const
{
    return view_->SendScintilla(ScintillaView::SCI_GETMODIFY) != 0;
}

int EditorControl::PositionFromLineColumn(std::int32_t line, std::int32_t column) const
{
    const long lines = view_->SendScintilla(ScintillaView::SCI_GETLINECOUNT);
    if (line < 0 || line >= lines || column < 0)
        throw EditorError(QStringLiteral("line %1, column %2 is not in the text")
                              .arg(line)
                              .arg(column)
                              .toStdString());
    const int lineStart =
        static_cast<int>(view_->SendScintilla(ScintillaView::SCI_POSITIONFROMLINE, line));
    const int lineEnd =
        static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETLINEENDPOSITION, line));
    const long available =
        view_->SendScintilla(ScintillaView::SCI_COUNTCHARACTERS, lineStart, lineEnd);
    if (column >= available)
        return lineEnd;
    return static_cast<int>(
        view_->SendScintilla(ScintillaView::SCI_POSITIONRELATIVE, lineStart, column));
}

std::int32_t EditorControl::ColumnOfPosition(int position) const
{
    const long line = view_->SendScintilla(ScintillaView::SCI_LINEFROMPOSITION, position);
    const long lineStart = view_->SendScintilla(ScintillaView::SCI_POSITIONFROMLINE, line);
    return static_cast<std::int32_t>(
        view_->SendScintilla(ScintillaView::SCI_COUNTCHARACTERS, lineStart, position));
}

void EditorControl::ReplaceRange(int start, int end, const QByteArray &utf8)
{
    view_->SendScintilla(ScintillaView::SCI_SETTARGETRANGE, start, end);
    view_->SendScintilla(ScintillaView::SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size()),
                         utf8.constData());
}

bool EditorControl::BeforeKey(QKeyEvent &key)
{
    if (key.key() == Qt::Key_Space &&
        (key.modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        OpenCompletionList();
        return true;
    }
    if (!list_ || !list_->isVisible())
        return false;
    switch (key.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        list_->MoveSelection(key);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        ChooseCompletion();
        return true;
    case Qt::Key_Escape:
        list_->Dismiss();
        return true;
    default:
        return false;
    }
}

// After every key the editor handled, an open list follows the identifier before the caret;
// it closes when the caret has left the line it was opened on.
void EditorControl::AfterKey()
{
    if (!list_ || !list_->isVisible())
        return;
    const Identifier identifier = IdentifierBeforeCaret();
    if (view_->SendScintilla(ScintillaView::SCI_LINEFROMPOSITION, identifier.caret) != listLine_) {
        list_->Dismiss();
        return;
    }
    list_->Narrow(TextBetween(identifier.start, identifier.caret));
}

void EditorControl::OpenCompletionList()
{
    delete list_;
    list_ = new EditorList(view_);
    connect(list_, &EditorList::Chosen, this, &EditorControl::ChooseCompletion);
    const Identifier identifier = IdentifierBeforeCaret();
    listLine_ = view_->SendScintilla(ScintillaView::SCI_LINEFROMPOSITION, identifier.caret);
    list_->Prepare(CaretLineOnScreen(identifier.start),
                   TextBetween(identifier.start, identifier.caret));
    if (!listener_ || !listener_->CompletionListRequest(*this, *list_))
        list_->Dismiss();
}

void EditorControl::ChooseCompletion()
{
    if (!list_ || !list_->isVisible())
        return;
    list_->Dismiss();
    const Identifier identifier = IdentifierBeforeCaret();
    const QString typed = TextBetween(identifier.start, identifier.caret);
    if (!typed.isEmpty() && list_->HasEntryStartingWith(typed))
        view_->SendScintilla(ScintillaView::SCI_SETSEL,
                             static_cast<unsigned long>(identifier.start),
                             static_cast<long>(identifier.caret));
    if (listener_ && listener_->CompletionItemChosen(*this, *list_))
        SetSelectedText(list_->ItemText(list_->SelectedIndex()));
}

EditorControl::Identifier EditorControl::IdentifierBeforeCaret() const
{
    Identifier identifier;
    identifier.caret = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETCURRENTPOS));
    const long line = view_->SendScintilla(ScintillaView::SCI_LINEFROMPOSITION, identifier.caret);
    const int lineStart =
        static_cast<int>(view_->SendScintilla(ScintillaView::SCI_POSITIONFROMLINE, line));
    const auto *bytes = reinterpret_cast<const unsigned char *>(view_->SendScintilla(
        ScintillaView::SCI_GETRANGEPOINTER, static_cast<unsigned long>(lineStart),
        static_cast<long>(identifier.caret - lineStart)));
    identifier.start = identifier.caret;
    while (identifier.start > lineStart &&
           LexerCore::IsWordByte(bytes[identifier.start - 1 - lineStart]))
        --identifier.start;
    return identifier;
}

QString EditorControl::TextBetween(int start, int end) const
{
    const auto *bytes = reinterpret_cast<const char *>(
        view_->SendScintilla(ScintillaView::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start),
                             static_cast<long>(end - start)));
    return QString::fromUtf8(bytes, end - start);
}

QRect EditorControl::CaretLineOnScreen(int position) const
{
    const int x = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_POINTXFROMPOSITION, 0UL,
                                                        static_cast<long>(position)));
    const int y = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_POINTYFROMPOSITION, 0UL,
                                                        static_cast<long>(position)));
    const long line = view_->SendScintilla(ScintillaView::SCI_LINEFROMPOSITION, position);
    const int height = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_TEXTHEIGHT, line));
    return QRect(view_->viewport()->mapToGlobal(QPoint(x, y)), QSize(1, height));
}
