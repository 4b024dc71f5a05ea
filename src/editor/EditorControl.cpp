// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EditorControl: the widget, its language, whole-text and file operations, font and clipboard.
#include "EditorControl.h"

#include "AutoIndent.h"
#include "BlockView.h"
#include "CompletionController.h"
#include "FindBar.h"
#include "FindController.h"
#include "GoToLineBar.h"
#include "LineComments.h"
#include "ScintillaView.h"
#include "VisibleFirstColouring.h"
#include "common/EditorError.h"
#include "scriptfile/DocumentLoader.h"
#include "scriptfile/FileErrors.h"
#include "syntax/LanguageRegistry.h"
#include "syntax/QuillLexer.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QVBoxLayout>

#include <new>
#include <utility>

EditorControl::EditorControl(QWidget *parent) : QWidget(parent), view_(new ScintillaView(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusProxy(view_);
    setMinimumSize(0, 0);
    view_->setMinimumSize(0, 0);
    autoIndent_ = std::make_unique<AutoIndent>(*view_);
    completion_ = std::make_unique<CompletionController>(*this, *view_);
    colouring_ = std::make_unique<VisibleFirstColouring>(*view_);
    find_ = std::make_unique<FindController>(*this, *view_);
    layout->addWidget(&find_->Bar());
    goToLine_ = new GoToLineBar(*this, *view_);
    layout->addWidget(goToLine_);
    blocks_ = std::make_unique<BlockView>(*view_);
    comments_ = std::make_unique<LineComments>(*this, *view_);
    view_->SetKeyHandlers(
        [this](QKeyEvent &key) {
            return completion_->BeforeKey(key) || find_->BeforeKey(key) ||
                   blocks_->BeforeKey(key) || comments_->BeforeKey(key);
        },
        [this] {
            completion_->AfterKey();
            blocks_->AfterKey();
        });
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this, &EditorControl::ShowContextMenu);
    connect(view_, &ScintillaView::SCN_MODIFIED, this, &EditorControl::KeepWithinLimit);
}

EditorControl::~EditorControl() = default;

// QScintilla's own menu (undo, clipboard, select all) with the control's commands after it.
void EditorControl::ShowContextMenu(const QPoint &position)
{
    QMenu *menu = view_->createStandardContextMenu();
    find_->AddMenuEntries(*menu);
    goToLine_->AddMenuEntry(*menu);
    comments_->AddMenuEntry(*menu);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(view_->viewport()->mapToGlobal(position));
}

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
    colouring_->SetLexer(lexer);
    connect(lexer, &QuillLexer::LinesColoured, this, &EditorControl::LinesColoured);
    // Changing lexers resets every style to Scintilla's default, the line numbers' included.
    view_->setMarginsFont(ScintillaFont(view_->font()));
    delete lexer_;
    lexer_ = lexer;
    languageName_ = name;
    blocks_->SetLanguage(*definition);
    comments_->SetCommentToken(definition->CommentToken);
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

FileIdentity EditorControl::OpenFile(const QString &path)
{
    try {
        DocumentLoader loader(*view_);
        const LoadedScript loaded = ReadScriptFile(path, loader);
        ShowNewDocument(loader, loaded.format);
        return loaded.identity;
    } catch (const std::bad_alloc &) {
        FailOnFile(QStringLiteral("open"), path,
                   QStringLiteral("there is not enough memory for its text"));
    }
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
    // The structures that follow the text are sized for it only now; when memory runs short
    // there, the old text comes back rather than staying with a file it does not belong to.
    try {
        FollowShownDocument();
    } catch (...) {
        loader.Revert();
        FollowShownDocument();
        throw;
    }
    SetFormat(format);
    view_->SendScintilla(ScintillaView::SCI_SETUNDOCOLLECTION, 1L);
    view_->SendScintilla(ScintillaView::SCI_SETSAVEPOINT);
    // The caret and the view go to the top without Scintilla scrolling to the caret, which lays
    // the caret's line out: the first paint does that anyway, and a line of 100 MB takes seconds.
    view_->SendScintilla(ScintillaView::SCI_SETXOFFSET, 0L);
    view_->SendScintilla(ScintillaView::SCI_SETFIRSTVISIBLELINE, 0L);
    view_->SendScintilla(ScintillaView::SCI_SETEMPTYSELECTION, 0L);
    view_->UpdateLineNumberWidth();
}

void EditorControl::FollowShownDocument()
{
    blocks_->DocumentReplaced();
    colouring_->Restart();
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

// Scintilla asks before every insertion, whatever made it (keys, input methods, paste, drop,
// line duplication); one that would pass the limit is made empty, so positions never overflow.
// The report waits until the edit is over: a message box inside it would re-enter Scintilla.
void EditorControl::KeepWithinLimit(int, int modification, const char *, int length)
{
    if (!(modification & ScintillaView::SC_MOD_INSERTCHECK))
        return;
    const long size = view_->SendScintilla(ScintillaView::SCI_GETLENGTH);
    if (length >= 0 && size + qint64(length) <= MaxDocumentBytes)
        return;
    view_->SendScintilla(ScintillaView::SCI_CHANGEINSERTION, 0UL, "");
    ReportRefusal();
}

void EditorControl::ReportRefusal()
{
    if (std::exchange(refusalPending_, true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            refusalPending_ = false;
            emit InsertionRefused(
                QStringLiteral("The text was not inserted: %1.").arg(DocumentLimitText()));
        },
        Qt::QueuedConnection);
}
