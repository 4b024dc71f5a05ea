// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EditorControl: the widget, its language, text, selection, file operations, font and clipboard.
#include "EditorControl.h"

#include "EditorEvents.h"
#include "blocks/BlockView.h"
#include "blocks/MarkBar.h"
#include "colouring/QuillLexer.h"
#include "colouring/VisibleFirstColouring.h"
#include "common/EditorError.h"
#include "completion/CompletionController.h"
#include "find/FindBar.h"
#include "find/FindController.h"
#include "gotoline/GoToLineBar.h"
#include "lineedit/AutoIndent.h"
#include "lineedit/LineComments.h"
#include "scintilla/DocumentLoader.h"
#include "scintilla/ScintillaCall.h"
#include "scintilla/SelectionRange.h"
#include "scriptfile/FileErrors.h"
#include "syntax/LanguageRegistry.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QVBoxLayout>

#include <new>

EditorControl::EditorControl(QWidget *parent)
    : QWidget(parent), view_(&ScintillaCall::Create(*this))
{
    QWidget &view = view_->Widget();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(&view);
    setFocusProxy(&view);
    setMinimumSize(0, 0);
    view.setMinimumSize(0, 0);
    autoIndent_ = std::make_unique<AutoIndent>(*view_);
    completion_ = std::make_unique<CompletionController>(
        *view_,
        [this](EditorList &list) {
            return listener_ && listener_->CompletionListRequest(*this, list);
        },
        [this](EditorList &list) {
            return listener_ && listener_->CompletionItemChosen(*this, list);
        });
    colouring_ = std::make_unique<VisibleFirstColouring>(*view_);
    find_ = std::make_unique<FindController>(*this, *view_);
    layout->addWidget(&find_->Bar());
    goToLine_ = new GoToLineBar(*this, *view_);
    layout->addWidget(goToLine_);
    blocks_ = std::make_unique<BlockView>(*view_);
    marks_ = new MarkBar(*this, *view_, *blocks_);
    layout->addWidget(marks_);
    comments_ = std::make_unique<LineComments>(*view_);
    view_->SetKeyHandlers([this](QKeyEvent &key) { return BeforeKey(key); },
                          [this] { AfterKey(); });
    view.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&view, &QWidget::customContextMenuRequested, this, &EditorControl::ShowContextMenu);
    connect(view_, &ScintillaCall::InsertionRefused, this, [this] {
        emit InsertionRefused(
            QStringLiteral("The text was not inserted: %1.").arg(DocumentLimitText()));
    });
}

EditorControl::~EditorControl() = default;

// The features see the keys the text gets, in this order, before QScintilla does.
bool EditorControl::BeforeKey(QKeyEvent &key)
{
    return completion_->BeforeKey(key) || find_->BeforeKey(key) || marks_->BeforeKey(key) ||
           blocks_->BeforeKey(key) || comments_->BeforeKey(key);
}

void EditorControl::AfterKey()
{
    completion_->AfterKey();
    blocks_->AfterKey();
}

// QScintilla's own menu (undo, clipboard, select all) with the control's commands after it.
void EditorControl::ShowContextMenu(const QPoint &position)
{
    QMenu *menu = view_->StandardContextMenu();
    find_->AddMenuEntries(*menu);
    goToLine_->AddMenuEntry(*menu);
    comments_->AddMenuEntry(*menu);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(view_->Viewport().mapToGlobal(position));
}

void EditorControl::SetLanguageName(const QString &name)
{
    const std::shared_ptr<const LanguageDefinition> definition = LanguageRegistry().Find(name);
    if (!definition)
        throw EditorError(QStringLiteral("no language is registered under the name \"%1\"")
                              .arg(name)
                              .toStdString());
    auto *lexer = new QuillLexer(name, *definition, *view_, this);
    view_->SetStyleSource(lexer);
    colouring_->SetLexer(lexer);
    connect(lexer, &QuillLexer::LinesColoured, this, &EditorControl::LinesColoured);
    delete lexer_;
    lexer_ = lexer;
    languageName_ = name;
    commentToken_ = definition->CommentToken;
    blocks_->SetLanguage(*definition);
    comments_->SetCommentToken(definition->CommentToken);
}

void EditorControl::SetText(const QString &text)
{
    view_->ReplaceRange(0, view_->Length(), text.toUtf8());
}

QString EditorControl::Text() const
{
    const QByteArrayView bytes = view_->Text();
    return QString::fromUtf8(bytes.data(), bytes.size());
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
    const SavedScript saved = WriteScriptFile(path, view_->Text(), format_);
    format_ = saved.format;
    view_->SetSavePoint();
    return saved;
}

void EditorControl::NewDocument()
{
    SetText(QString());
    SetFormat(ScriptFormat{});
    view_->SetSavePoint();
}

void EditorControl::SetFormat(ScriptFormat format)
{
    format_ = format;
    view_->SetLineEnds(format.lineEnd == LineEnd::CrLf ? ScintillaCall::LineEndMode::CrLf
                       : format.lineEnd == LineEnd::Cr ? ScintillaCall::LineEndMode::Cr
                                                       : ScintillaCall::LineEndMode::Lf);
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
    view_->SetUndoCollection(true);
    view_->SetSavePoint();
    // The caret and the view go to the top without Scintilla scrolling to the caret, which lays
    // the caret's line out: the first paint does that anyway, and a line of 100 MB takes seconds.
    view_->SetXOffset(0);
    view_->SetFirstVisibleLine(0);
    view_->SetEmptySelection(0);
    view_->FitLineNumbers();
}

void EditorControl::FollowShownDocument()
{
    blocks_->DocumentReplaced();
    colouring_->Restart();
}

EditorRange EditorControl::GetSelection(bool) const
{
    return SelectionRange(*view_);
}

void EditorControl::SetSelection(const EditorRange &range, bool reveal)
{
    SelectRange(*view_, range, reveal);
}

void EditorControl::SetSelectedText(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const long start = view_->SelectionStart();
    view_->ReplaceRange(start, view_->SelectionEnd(), utf8);
    view_->SetEmptySelection(start + utf8.size());
}

void EditorControl::InsertText(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const long start = view_->SelectionStart();
    view_->ReplaceRange(start, view_->SelectionEnd(), utf8);
    view_->SetSel(start, start + utf8.size());
}

QFont EditorControl::Font() const
{
    return view_->Font();
}

void EditorControl::SetFont(const QFont &font)
{
    view_->SetFonts(font);
}

bool EditorControl::CanUndo() const
{
    return view_->CanUndo();
}

bool EditorControl::CanRedo() const
{
    return view_->CanRedo();
}

bool EditorControl::CanCut() const
{
    return !view_->IsReadOnly() && view_->HasSelectedText();
}

bool EditorControl::CanCopy() const
{
    return view_->HasSelectedText();
}

bool EditorControl::CanPaste() const
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    return !view_->IsReadOnly() && data && data->hasText();
}

void EditorControl::Undo()
{
    view_->Undo();
}

void EditorControl::Redo()
{
    view_->Redo();
}

void EditorControl::Cut()
{
    view_->Cut();
}

void EditorControl::Copy()
{
    view_->Copy();
}

void EditorControl::Paste()
{
    view_->Paste();
}

bool EditorControl::IsModified() const
{
    return view_->IsModified();
}
