// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// frmMain: the main window, its menu tree, start-up and the wiring of every command.
#include "frmMain.h"

#include "CommandGuard.h"
#include "SessionEnd.h"
#include "common/Checked32.h"
#include "common/Twips.h"
#include "common/UserPrompts.h"
#include "completion/EditorList.h"
#include "document/FileCommands.h"
#include "document/modGlobals.h"
#include "editing/CommentSelected.h"
#include "editing/EditCommands.h"
#include "editor/EditorControl.h"
#include "help/HelpCommands.h"
#include "help/frmAbout.h"
#include "language/modQuillcode.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

namespace
{

constexpr int ClientWidthTwips = 9375;
constexpr int ClientHeightTwips = 6255;
constexpr int EditorCharacterHeightPixels = 15;

/// "Courier New" (or a metric-compatible stand-in) at a character height of 15 pixels. The size
/// is given in points for the screen's dpi, since the editor sizes its styles in points.
QFont EditorFont(double logicalDpi)
{
    const double points = EditorCharacterHeightPixels * 72.0 / logicalDpi;
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (QFontInfo(font).fixedPitch())
        return font;
    QFont fallback = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fallback.setPointSizeF(points);
    return fallback;
}

} // namespace

frmMain::frmMain(frmMainServices services, QWidget *parent)
    : QMainWindow(parent), services_(std::move(services))
{
    if (!services_.launcher)
        services_.launcher = std::make_unique<DesktopLauncher>();
    if (!services_.prompts)
        services_.prompts = std::make_unique<MessageBoxPrompts>(this);
    if (!services_.fileDialog)
        services_.fileDialog = std::make_unique<DesktopFileDialog>(this);

    setWindowIcon(QIcon(QStringLiteral(":/quillmark/icon.png")));
    Code = new EditorControl(this);
    Code->setObjectName(QStringLiteral("Code"));
    Code->SetFont(EditorFont(screen()->logicalDotsPerInchY()));
    Code->SetListener(this);
    Code->SetCommandGuard([this](const QString &command, const std::function<void()> &body) {
        RunCommand(*services_.prompts, command, body);
    });
    setCentralWidget(Code);
    files_ = std::make_unique<FileCommands>(*Code, *services_.fileDialog, *services_.prompts,
                                            [this](const QString &name) { UpdateCaption(name); });
    connect(Code, &EditorControl::InsertionRefused, this,
            [this](const QString &reason) { services_.prompts->ShowError(reason); });
    // A file whose text failed after its first screen was shown: the Open it came from fails.
    connect(Code, &EditorControl::OpenFailed, this, [this](const QString &reason) {
        RunCommand(*services_.prompts, QStringLiteral("Open..."),
                   [this, &reason] { files_->OpenFailed(reason); });
    });
    BuildMenus();
    SetInitialGeometry();
    RunCommand(*services_.prompts, QStringLiteral("Start-up"), [this] { Form_Load(); });
}

frmMain::~frmMain() = default;

void frmMain::Form_Load()
{
    modQuillcode::SetupLanguage();
    Code->SetLanguageName(QStringLiteral("Quillcode"));
    UpdateCaption(QStringLiteral("1"));
}

void frmMain::UpdateCaption(const QString &name)
{
    setWindowTitle(QStringLiteral("Quillmark"));
    if (name == QStringLiteral("1"))
        return;
    setWindowTitle(windowTitle() + QStringLiteral(" [") + name + QStringLiteral("]"));
}

void frmMain::SetInitialGeometry()
{
    const QScreen *screen = this->screen();
    const QSize client(TwipsToPixels(ClientWidthTwips, screen->logicalDotsPerInchX()),
                       TwipsToPixels(ClientHeightTwips, screen->logicalDotsPerInchY()));
    resize(client.width(), client.height() + menuBar()->sizeHint().height());
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

QAction *frmMain::AddCommand(QMenu *menu, const char *name, const QString &caption,
                             void (frmMain::*handler)(), QKeySequence shortcut)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, caption, handler] {
        RunCommand(*services_.prompts, caption, [this, handler] { (this->*handler)(); });
    });
    return action;
}

QAction *frmMain::AddSeparator(QMenu *menu, const char *name)
{
    QAction *separator = menu->addSeparator();
    // No text: a style paints a separator's text beside its line.
    separator->setObjectName(QLatin1String(name));
    return separator;
}

void frmMain::BuildMenus()
{
    auto heading = [this](const char *name, const QString &caption) {
        QMenu *menu = menuBar()->addMenu(caption);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    mFile = heading("mFile", QStringLiteral("File"));
    mnuNew = AddCommand(mFile, "mnuNew", QStringLiteral("New"), &frmMain::mnuNew_Click,
                        QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuOpen = AddCommand(mFile, "mnuOpen", QStringLiteral("Open..."), &frmMain::mnuOpen_Click,
                         QKeySequence(Qt::CTRL | Qt::Key_O));
    mDash = AddSeparator(mFile, "mDash");
    mnuSave = AddCommand(mFile, "mnuSave", QStringLiteral("Save"), &frmMain::mnuSave_Click,
                         QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuSaveAs =
        AddCommand(mFile, "mnuSaveAs", QStringLiteral("Save As..."), &frmMain::mnuSaveAs_Click);
    mDash0 = AddSeparator(mFile, "mDash0");
    mnuExit = AddCommand(mFile, "mnuExit", QStringLiteral("Exit"), &frmMain::mnuExit_Click);

    mEdit = heading("mEdit", QStringLiteral("Edit"));
    mnuUndo = AddCommand(mEdit, "mnuUndo", QStringLiteral("Undo"), &frmMain::mnuUndo_Click,
                         QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuRedo = AddCommand(mEdit, "mnuRedo", QStringLiteral("Redo"), &frmMain::mnuRedo_Click,
                         QKeySequence(Qt::CTRL | Qt::Key_R));
    mDash1 = AddSeparator(mEdit, "mDash1");
    mnuCut = AddCommand(mEdit, "mnuCut", QStringLiteral("Cut"), &frmMain::mnuCut_Click,
                        QKeySequence(Qt::CTRL | Qt::Key_X));
    mnuCopy = AddCommand(mEdit, "mnuCopy", QStringLiteral("Copy"), &frmMain::mnuCopy_Click,
                         QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuPaste = AddCommand(mEdit, "mnuPaste", QStringLiteral("Paste"), &frmMain::mnuPaste_Click,
                          QKeySequence(Qt::CTRL | Qt::Key_V));

    // A heading kept for its place in the menu bar; it has no items and is never shown.
    mFormat = heading("mFormat", QStringLiteral("Format"));
    mFormat->menuAction()->setVisible(false);
    mFormat->menuAction()->setEnabled(false);

    mTools = heading("mTools", QStringLiteral("Tools"));
    mCommentSelected = AddCommand(mTools, "mCommentSelected", QStringLiteral("Comment Selected"),
                                  &frmMain::mCommentSelected_Click);

    mHelp = heading("mHelp", QStringLiteral("Help"));
    mnuReadme =
        AddCommand(mHelp, "mnuReadme", QStringLiteral("Readme.txt"), &frmMain::mnuReadme_Click);
    mnuVersions = AddCommand(mHelp, "mnuVersions", QStringLiteral("Versions.txt"),
                             &frmMain::mnuVersions_Click);
    mnuDash999 = AddSeparator(mHelp, "mnuDash999");
    mnuWebsite =
        AddCommand(mHelp, "mnuWebsite", QStringLiteral("Website"), &frmMain::mnuWebsite_Click);
    mDash999 = AddSeparator(mHelp, "mDash999");
    mnuAbout = AddCommand(mHelp, "mnuAbout", QStringLiteral("About"), &frmMain::mnuAbout_Click);
}

void frmMain::mnuNew_Click()
{
    if (!files_->SettleUnsavedText())
        return;
    Code->NewDocument();
    modGlobals::CurrentFile.clear();
    UpdateCaption(QStringLiteral("1"));
}

void frmMain::mnuOpen_Click()
{
    files_->Open();
}

void frmMain::mnuSave_Click()
{
    files_->Save();
}

void frmMain::mnuSaveAs_Click()
{
    files_->SaveAs();
}

void frmMain::mnuExit_Click()
{
    close();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    bool settled = false;
    RunCommand(*services_.prompts, QStringLiteral("Exit"),
               [this, &settled] { settled = files_->SettleUnsavedText(); });
    if (settled)
        event->accept();
    else
        event->ignore();
}

void frmMain::SettleForSessionEnd(const SessionManagerParts &manager)
{
    ::SettleForSessionEnd(*files_, *services_.prompts, manager);
}

void frmMain::mnuUndo_Click()
{
    EditCommands::Undo(*Code);
}

void frmMain::mnuRedo_Click()
{
    EditCommands::Redo(*Code);
}

void frmMain::mnuCut_Click()
{
    EditCommands::Cut(*Code);
}

void frmMain::mnuCopy_Click()
{
    EditCommands::Copy(*Code);
}

void frmMain::mnuPaste_Click()
{
    EditCommands::Paste(*Code);
}

void frmMain::mCommentSelected_Click()
{
    if (Code->AwaitWholeText())
        CommentSelected::CommentLines(*Code);
}

void frmMain::mnuReadme_Click()
{
    HelpCommands::OpenReadme(*services_.launcher);
}

void frmMain::mnuVersions_Click()
{
    HelpCommands::OpenVersions(*services_.launcher);
}

void frmMain::mnuWebsite_Click()
{
    HelpCommands::OpenWebsite(*services_.launcher);
}

// A fresh box for every showing; it blocks the window until it is closed and is then destroyed.
void frmMain::mnuAbout_Click()
{
    frmAbout about(this);
    about.exec();
}

bool frmMain::CompletionListRequest(EditorControl &, EditorList &list)
{
    bool answer = false;
    RunCommand(*services_.prompts, QStringLiteral("Completion list"),
               [&] { answer = Code_CompletionListRequest(list); });
    return answer;
}

bool frmMain::CompletionItemChosen(EditorControl &, EditorList &list)
{
    bool answer = false;
    RunCommand(*services_.prompts, QStringLiteral("Insert function name"),
               [&] { answer = Code_CompletionItemChosen(list); });
    return answer;
}

bool frmMain::ConfirmRequest(EditorControl &)
{
    bool answer = false;
    RunCommand(*services_.prompts, QStringLiteral("Confirm"),
               [&] { answer = Code_ConfirmRequest(); });
    return answer;
}

bool frmMain::Code_CompletionListRequest(EditorList &list)
{
    modQuillcode::FillCompletionList(list);
    list.SetListOptionA(0);
    list.SetBackColor(QColor(255, 255, 255)); // white: the colour value 16777215
    list.SetListOptionB(0);
    list.SetFont(Code->Font());
    list.ListFinalCall();
    return true;
}

// Inserts the chosen name and leaves the caret right behind it, on the line where it begins.
bool frmMain::Code_CompletionItemChosen(EditorList &list)
{
    const QString text = list.ItemText(list.SelectedIndex());
    if (!Code->InsertText(text))
        return false;
    EditorRange range = Code->GetSelection(true);
    range.StartColumn = CheckedAdd(range.StartColumn, CheckedInt32(text.toUcs4().size()));
    range.EndColumn = range.StartColumn;
    range.EndLine = range.StartLine;
    Code->SetSelection(range, true);
    return false;
}

bool frmMain::Code_ConfirmRequest()
{
    return true;
}
