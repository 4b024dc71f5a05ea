// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// frmMain: the main window, its menu tree, start-up and the wiring of every command.
#pragma once

#include "common/UserPrompts.h"
#include "document/FileDialog.h"
#include "editor/EditorEvents.h"
#include "help/modURLLaunch.h"

#include <QMainWindow>

#include <memory>

class EditorControl;
class FileCommands;
class QAction;
class QMenu;
struct SessionManagerParts;

/// The outside services the main window uses; whatever is left empty gets the desktop's own.
struct frmMainServices {
    std::unique_ptr<UrlLauncher> launcher;
    std::unique_ptr<UserPrompts> prompts;
    /// The open and save dialog, one for the window's lifetime (`dlgCommon`).
    std::unique_ptr<FileDialog> fileDialog;
};

/// The program's one window: the editor `Code` fills its client area; every command runs from
/// its menus inside one top-level guard, so a failing command ends alone and is reported once.
class frmMain : public QMainWindow, private EditorEvents
{
    Q_OBJECT

public:
    explicit frmMain(frmMainServices services = {}, QWidget *parent = nullptr);
    ~frmMain() override;

    /// Shows "Quillmark", or "Quillmark [name]" for any name but the no-file marker "1".
    void UpdateCaption(const QString &name);

    /// The desktop session is ending: unsaved text is settled as SettleForSessionEnd (SessionEnd)
    /// says, with the window's file commands and prompts.
    void SettleForSessionEnd(const SessionManagerParts &manager);

    EditorControl *Code = nullptr;

    QMenu *mFile = nullptr;
    QAction *mnuNew = nullptr;
    QAction *mnuOpen = nullptr;
    QAction *mDash = nullptr;
    QAction *mnuSave = nullptr;
    QAction *mnuSaveAs = nullptr;
    QAction *mDash0 = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mEdit = nullptr;
    QAction *mnuUndo = nullptr;
    QAction *mnuRedo = nullptr;
    QAction *mDash1 = nullptr;
    QAction *mnuCut = nullptr;
    QAction *mnuCopy = nullptr;
    QAction *mnuPaste = nullptr;
    QMenu *mFormat = nullptr;
    QMenu *mTools = nullptr;
    QAction *mCommentSelected = nullptr;
    QMenu *mHelp = nullptr;
    QAction *mnuReadme = nullptr;
    QAction *mnuVersions = nullptr;
    QAction *mnuDash999 = nullptr;
    QAction *mnuWebsite = nullptr;
    QAction *mDash999 = nullptr;
    QAction *mnuAbout = nullptr;

protected:
    /// Closing the window first settles unsaved text, as "Exit" does.
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void BuildMenus();
    void SetInitialGeometry();
    QAction *AddCommand(QMenu *menu, const char *name, const QString &caption,
                        void (frmMain::*handler)(), QKeySequence shortcut = {});
    QAction *AddSeparator(QMenu *menu, const char *name);

    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuExit_Click();
    void mnuUndo_Click();
    void mnuRedo_Click();
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mCommentSelected_Click();
    void mnuReadme_Click();
    void mnuVersions_Click();
    void mnuWebsite_Click();
    void mnuAbout_Click();

    bool CompletionListRequest(EditorControl &control, EditorList &list) override;
    bool CompletionItemChosen(EditorControl &control, EditorList &list) override;
    bool ConfirmRequest(EditorControl &control) override;
    bool Code_CompletionListRequest(EditorList &list);
    bool Code_CompletionItemChosen(EditorList &list);
    bool Code_ConfirmRequest();

    frmMainServices services_;
    std::unique_ptr<FileCommands> files_;
};
