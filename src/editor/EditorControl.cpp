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
#include "procedures/ProcedureBar.h"
#include "scintilla/DocumentLoader.h"
#include "scintilla/ScintillaCall.h"
#include "scintilla/SelectionRange.h"
#include "scriptfile/FileErrors.h"
#include "syntax/LanguageRegistry.h"
#include "wordhighlight/WordHighlight.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QVBoxLayout>

#include <chrono>
#include <new>

namespace
{

using namespace std::chrono_literals;

// The text of a file arrives in slices this long, the event loop running between them. The
// first slice makes room for the whole text, which takes a while: it waits for the first paint,
// or this long where nothing paints.
constexpr auto LoadSlice = 8ms;
constexpr auto FirstSliceLatest = 50ms;
// A first piece of fewer lines than this ends in a line that is on screen or close to it: the
// rest would lengthen a line being shown, laid out again at every piece (generated data and
// minified scripts come as lines of megabytes), so such a text comes in whole before it shows.
constexpr long LinesAboveArrivingText = 1000;

} // namespace

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
    // The find bar, made when first needed, goes right below the text, above the other strips.
    find_ = std::make_unique<FindController>(
        *this, *view_, guard_, [layout](QWidget &bar) { layout->insertWidget(1, &bar); });
    goToLine_ = new GoToLineBar(*this, *view_, guard_);
    layout->addWidget(goToLine_);
    blocks_ = std::make_unique<BlockView>(*this, *view_, guard_,
                                          [layout](QWidget &strip) { layout->addWidget(&strip); });
    marks_ = new MarkBar(*this, *view_, *blocks_, guard_);
    layout->addWidget(marks_);
    procedures_ = new ProcedureBar(
        *this, *view_, [this] { return blocks_->Procedures(); }, guard_,
        [this, layout](QWidget &list) {
            layout->insertWidget(layout->indexOf(procedures_), &list);
        });
    layout->addWidget(procedures_);
    comments_ = std::make_unique<LineComments>(*view_, guard_);
    words_ = std::make_unique<WordHighlight>(*view_, [this] { return find_->MarksMatches(); });
    view_->SetKeyHandlers([this](QKeyEvent &key) { return BeforeKey(key); },
                          [this] { AfterKey(); });
    view_->SetWholeTextAwaiter([this] { return AwaitWholeText(); });
    view_->Viewport().installEventFilter(this);
    loadSlices_.setSingleShot(true);
    connect(&loadSlices_, &QTimer::timeout, this, &EditorControl::ContinueLoading);
    view.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&view, &QWidget::customContextMenuRequested, this, &EditorControl::ShowContextMenu);
    connect(view_, &ScintillaCall::InsertionRefused, this, [this](const QString &reason) {
        emit InsertionRefused(QStringLiteral("The text was not inserted: %1.").arg(reason));
    });
}

EditorControl::~EditorControl() = default;

// The first screen of a file still arriving is painted before the rest comes in.
bool EditorControl::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && load_ && loadSlices_.interval() > 0)
        loadSlices_.start(0);
    return QWidget::eventFilter(watched, event);
}

// The features see the keys the text gets, in this order, before QScintilla does.
bool EditorControl::BeforeKey(QKeyEvent &key)
{
    return completion_->BeforeKey(key) || find_->BeforeKey(key) || marks_->BeforeKey(key) ||
           blocks_->BeforeKey(key) || comments_->BeforeKey(key) || autoIndent_->BeforeKey(key);
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
    procedures_->AddMenuEntry(*menu);
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
    words_->SetMatchCase(definition->MatchCase);
}

void EditorControl::SetText(const QString &text)
{
    if (!AwaitWholeText())
        return;
    view_->ReplaceRange(0, view_->Length(), text.toUtf8());
}

QString EditorControl::Text() const
{
    const QByteArrayView bytes = view_->Text();
    return QString::fromUtf8(bytes.data(), bytes.size());
}

FileIdentity EditorControl::OpenFile(const QString &path)
{
    // A file still arriving comes in whole first: the new one replaces a whole text.
    AwaitWholeText();
    try {
        auto load = std::make_unique<DocumentLoader>(*view_, path);
        const FileIdentity identity = load->ShowFirstPiece();
        if (!load->Whole() && view_->LineCount() < LinesAboveArrivingText &&
            load->TakeArrived(-1ms) && !load->Whole()) {
            FollowShownDocument();
            throw EditorError(load->Failure().toStdString());
        }
        load_ = std::move(load);
        ShowNewDocument();
        if (load_->Whole())
            EndLoading();
        else
            loadSlices_.start(FirstSliceLatest);
        return identity;
    } catch (const std::bad_alloc &) {
        // The structures that follow the text are sized for it on its first piece; when memory
        // runs short there, the old text comes back rather than stay with a file it is not.
        if (const std::unique_ptr<DocumentLoader> load = std::move(load_)) {
            load->GiveUp();
            FollowShownDocument();
        }
        FailOnFile(QStringLiteral("open"), path,
                   QStringLiteral("there is not enough memory for its text"));
    }
}

SavedScript EditorControl::SaveFile(const QString &path, bool)
{
    if (!AwaitWholeText())
        throw EditorError("the text of the file being opened could not be read whole");
    const SavedScript saved = WriteScriptFile(path, view_->Text(), format_);
    format_ = saved.format;
    view_->SetSavePoint();
    return saved;
}

void EditorControl::NewDocument()
{
    if (!AwaitWholeText())
        return;
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

// The structures that follow the text start over on the first piece; the format, undo history
// and save point wait for the whole text.
void EditorControl::ShowNewDocument()
{
    FollowShownDocument();
    // The caret and the view go to the top without Scintilla scrolling to the caret, which lays
    // the caret's line out: the first paint does that anyway, and a line of 100 MB takes seconds.
    view_->SetXOffset(0);
    view_->SetFirstVisibleLine(0);
    view_->PutCaretAtStart();
    view_->FitLineNumbers();
}

void EditorControl::ContinueLoading()
{
    if (!load_)
        return;
    if (load_->TakeArrived(LoadSlice))
        EndLoading();
    else
        loadSlices_.start(0);
}

bool EditorControl::AwaitWholeText()
{
    if (!load_)
        return true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    load_->TakeArrived(-1ms);
    QApplication::restoreOverrideCursor();
    return EndLoading();
}

// A failed load has put the old document back: the structures that follow the text start over
// on it, and its format never changed.
bool EditorControl::EndLoading()
{
    const std::unique_ptr<DocumentLoader> load = std::move(load_);
    loadSlices_.stop();
    if (!load->Whole()) {
        FollowShownDocument();
        emit OpenFailed(load->Failure());
        return false;
    }
    SetFormat(load->Format());
    view_->SetUndoCollection(true);
    view_->SetSavePoint();
    blocks_->TextArrived();
    emit WholeText();
    return true;
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

bool EditorControl::SetSelectedText(const QString &text)
{
    if (!AwaitWholeText())
        return false;
    const QByteArray utf8 = text.toUtf8();
    const long start = view_->SelectionStart();
    if (!view_->ReplaceRange(start, view_->SelectionEnd(), utf8))
        return false;
    view_->SetEmptySelection(start + utf8.size());
    return true;
}

bool EditorControl::InsertText(const QString &text)
{
    if (!AwaitWholeText())
        return false;
    const QByteArray utf8 = text.toUtf8();
    const long start = view_->SelectionStart();
    if (!view_->ReplaceRange(start, view_->SelectionEnd(), utf8))
        return false;
    view_->SetSel(start, start + utf8.size());
    return true;
}

void EditorControl::SetLayoutMemory(qint64 bytes)
{
    view_->SetLayoutMemory(bytes);
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
    if (!AwaitWholeText())
        return;
    view_->Undo();
}

void EditorControl::Redo()
{
    if (!AwaitWholeText())
        return;
    view_->Redo();
}

void EditorControl::Cut()
{
    if (!AwaitWholeText())
        return;
    view_->Cut();
}

void EditorControl::Copy()
{
    view_->Copy();
}

void EditorControl::Paste()
{
    if (!AwaitWholeText())
        return;
    view_->Paste();
}

bool EditorControl::IsModified() const
{
    return view_->IsModified();
}
