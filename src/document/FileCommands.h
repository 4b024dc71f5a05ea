// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FileCommands: the File menu's Open, Save and Save As, and the question about unsaved text.
#pragma once

#include "scriptfile/FileIdentity.h"

#include <QString>

#include <functional>
#include <optional>

class EditorControl;
class FileDialog;
class UserPrompts;

/// Moves the document between the editor and script files, asking for names through the file
/// dialog and keeping `CurrentFile` and the caption up to date. A load or save that fails
/// throws, and then the text, `CurrentFile` and the caption are as they were. It remembers which
/// version of `CurrentFile` was opened or saved, so Save can ask before it writes over a file
/// another program changed since.
class FileCommands
{
public:
    /// `updateCaption` is the window's UpdateCaption.
    FileCommands(EditorControl &code, FileDialog &dialog, UserPrompts &prompts,
                 std::function<void(const QString &)> updateCaption);

    /// "Open...": asks about unsaved text, asks for a file and loads it when it exists.
    void Open();
    /// "Save": writes the document's file, asking for a name when it has none. When the file was
    /// changed by another program since it was opened or saved, asks first; a vanished file is
    /// written again without asking. True when a file was written.
    bool Save();
    /// "Save As...": asks for a name and writes the document there. The dialog has the user
    /// confirm a name that is taken; only when the spaces around the chosen name made it the
    /// name of another existing file does the command ask itself.
    void SaveAs();
    /// Before text is replaced or the program ends: when the text changed since it was last
    /// opened or saved, asks once whether to save it. True when the caller may go on (nothing
    /// changed, the text was saved, or the user discarded it).
    bool SettleUnsavedText();

private:
    QString AskForName(const QString &caption, bool saving);
    bool MayReplaceTrimmedName(const QString &path);
    bool MayWriteOver(const QString &path);
    /// Before a code-page text that holds a character its code page lacks becomes UTF-8, asks;
    /// Cancel leaves the file and the document as they were.
    bool MayChangeEncoding(const QString &path);
    FileIdentity Write(const QString &path);
    void Adopt(const QString &path, const QString &title, std::optional<FileIdentity> onDisk);

    EditorControl &code_;
    FileDialog &dialog_;
    UserPrompts &prompts_;
    std::function<void(const QString &)> updateCaption_;
    // The dialog's title for `CurrentFile`, reported when the path was taken from the dialog.
    // "Save" shows it again; the dialog's own last report may since be of a file that failed
    // to open or save.
    QString currentTitle_;
    // The version of `CurrentFile` last opened or saved; none when the file was not read or
    // written by this program.
    std::optional<FileIdentity> onDisk_;
};
