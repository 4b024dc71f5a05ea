// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FileDialog: the open and save dialog the file commands ask for names through, behind an
// interface so tests can script the user's choice.
#pragma once

#include <QString>

class QWidget;

/// The file dialog of the main window: settings put on it before each showing, and the report
/// of the last choice, which stays readable until the dialog is shown again.
class FileDialog
{
public:
    virtual ~FileDialog() = default;

    /// The folder the dialog opens in.
    virtual void StartFolder(const QString &folder) = 0;
    /// The caption of the dialog window.
    virtual void DialogCaption(const QString &caption) = 0;
    /// The extension added to a typed name that has none.
    virtual void DefaultExtension(const QString &extension) = 0;
    /// Lets the user choose a file to open; returns when the dialog closes, chosen or cancelled.
    virtual void ShowOpenDialog() = 0;
    /// Lets the user choose a file to save to; returns when the dialog closes.
    virtual void ShowSaveDialog() = 0;
    /// The full path of the chosen file; empty after a cancel.
    virtual QString ChosenPath() const = 0;
    /// The chosen file's title (its name without the folder); empty after a cancel.
    virtual QString ChosenTitle() const = 0;
};

/// The desktop's file dialog, modal over the main window.
class DesktopFileDialog : public FileDialog
{
public:
    explicit DesktopFileDialog(QWidget *parent) : parent_(parent) {}

    void StartFolder(const QString &folder) override { startFolder_ = folder; }
    void DialogCaption(const QString &caption) override { caption_ = caption; }
    void DefaultExtension(const QString &extension) override { extension_ = extension; }
    void ShowOpenDialog() override { Show(false); }
    void ShowSaveDialog() override { Show(true); }
    QString ChosenPath() const override { return path_; }
    QString ChosenTitle() const override { return title_; }

private:
    void Show(bool saving);

    QWidget *parent_;
    QString startFolder_;
    QString caption_;
    QString extension_;
    QString path_;
    QString title_;
};
