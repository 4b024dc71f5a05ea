// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptedFileDialog: a file dialog whose user's choices the test gives in advance.
#pragma once

#include "document/FileDialog.h"

#include <QList>

/// Each showing takes the next scripted choice (a cancel when none is left) and records the
/// settings it was shown with.
class ScriptedFileDialog : public FileDialog
{
public:
    struct Choice {
        QString path;
        QString title;
    };
    struct Showing {
        bool saving = false;
        QString startFolder;
        QString caption;
        QString extension;
    };

    /// Scripts choosing `path`, reported with `title` (by default the path's file name).
    void Choose(const QString &path, const QString &title = {});
    /// Scripts cancelling the dialog.
    void Cancel() { choices.append(Choice{}); }

    void StartFolder(const QString &folder) override { settings_.startFolder = folder; }
    void DialogCaption(const QString &caption) override { settings_.caption = caption; }
    void DefaultExtension(const QString &extension) override { settings_.extension = extension; }
    void ShowOpenDialog() override { Show(false); }
    void ShowSaveDialog() override { Show(true); }
    QString ChosenPath() const override { return report_.path; }
    QString ChosenTitle() const override { return report_.title; }

    QList<Choice> choices;
    QList<Showing> shown;

private:
    void Show(bool saving);

    Showing settings_;
    Choice report_;
};
