// EditorControl: lines and character columns over QScintilla's byte positions.
#include "EditorControl.h"

#include "DocumentLoader.h"
#include "EditorError.h"
#include "ScintillaView.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QVBoxLayout>

EditorControl::EditorControl(QWidget *parent) : QWidget(parent), view_(new ScintillaView(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusProxy(view_);
    setMinimumSize(0, 0);
    view_->setMinimumSize(0, 0);
}

EditorControl::~EditorControl() = default;

void EditorControl::SetLanguageName(const QString &name)
{
    throw EditorError(QStringLiteral("no language is registered under the name \"%1\"")
                          .arg(name)
                          .toStdString());
}

void EditorControl::SetText(const QString &text)
{
    ReplaceRange(0, static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETLENGTH)), text.toUtf8());
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
    range.StartLine = static_cast<std::int32_t>(view_->SendScintilla(ScintillaView::SCI_LINEFROMPOSITION, start));
    range.StartColumn = ColumnOfPosition(start);
    range.EndLine = static_cast<std::int32_t>(view_->SendScintilla(ScintillaView::SCI_LINEFROMPOSITION, end));
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
    view_->SendScintilla(ScintillaView::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(start + utf8.size()));
}

void EditorControl::InsertText(const QString &text)
{
    const int start = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETSELECTIONSTART));
    const int end = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETSELECTIONEND));
    const QByteArray utf8 = text.toUtf8();
    ReplaceRange(start, end, utf8);
    view_->SendScintilla(ScintillaView::SCI_SETSEL, static_cast<unsigned long>(start), static_cast<long>(start + utf8.size()));
}

QFont EditorControl::Font() const
{
    return view_->font();
}

void EditorControl::SetFont(const QFont &font)
{
    view_->setFont(font);
    view_->setMarginsFont(font);
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
        throw EditorError(QStringLiteral("line %1, column %2 is not in the text").arg(line).arg(column).toStdString());
    const int lineStart = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_POSITIONFROMLINE, line));
    const int lineEnd = static_cast<int>(view_->SendScintilla(ScintillaView::SCI_GETLINEENDPOSITION, line));
    const long available = view_->SendScintilla(ScintillaView::SCI_COUNTCHARACTERS, lineStart, lineEnd);
    if (column >= available)
        return lineEnd;
    return static_cast<int>(view_->SendScintilla(ScintillaView::SCI_POSITIONRELATIVE, lineStart, column));
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
