// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FileCommands: the File menu's Open, Save and Save As, and the question about unsaved text.
#pragma once

#include "scriptfile/FileIdentity.h"
#include "scriptfile/ScriptFileFormat.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class EditorControl;
class FileDialog;
class UserPrompts;

/// The outcome of a save that may neither ask nor show anything (SaveUnasked).
struct UnaskedSave {
    bool saved = false;
    /// Why the text was not saved; empty when it was.
    QString reason;
};

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

    /// "Open...": asks about unsaved text, asks for a file and loads it when it exists; tells of
    /// any backup of the file that a killed save left beside it. The file's text may go on
    /// arriving after Open returns; until it is whole, every command here waits for it first.
    void Open();
    /// The file Open loaded failed after its first screen was shown, and the control put the
    /// text before it back: `CurrentFile`, the caption and the remembered version go back too,
    /// and the failure is thrown as EditorError with `reason`, for the command guard to report.
    [[noreturn]] void OpenFailed(const QString &reason);
    /// "Save": writes the document's file, asking for a name when it has none. When the file was
    /// changed by another program since it was opened or saved, asks first; a vanished file is
    /// written again without asking. A name that was an ordinary file is saved as itself: a link
    /// put there since is replaced, after asking, and what it points at is left alone; a name
    /// that was a link is saved through it. True when a file was written.
    bool Save();
    /// "Save As...": asks for a name and writes the document there. The dialog has the user
    /// confirm a name that is taken; only when the spaces around the chosen name made it the
    /// name of another existing file does the command ask itself.
    void SaveAs();
    /// Before text is replaced or the program ends: when the text changed since it was last
    /// opened or saved, asks once whether to save it. True when the caller may go on (nothing
    /// changed, the text was saved, or the user discarded it).
    bool SettleUnsavedText();
    /// SettleUnsavedText for the end of the desktop session. A Discard holds once for this very
    /// text: the next settling finds it unchanged (the close that ends the session) and asks
    /// nothing. Changed text, an open or a save ends the hold, and the question comes as usual.
    bool SettleUnsavedTextForSessionEnd();
    /// True when the text changed since it was last opened or saved.
    bool HasUnsavedText() const;
    /// For an end of the session that allows no question: saves the text to its file only when
    /// the file on disk is still the very version last opened or saved here, so the write cannot
    /// harm another program's work. A write that fails throws, as Save's does.
    UnaskedSave SaveUnasked();

private:
    bool Settle(bool sessionEnd);
    QString AskForName(const QString &caption, bool saving);
    bool MayReplaceTrimmedName(const QString &path);
    bool MayWriteOver(const QString &path);
    /// Before a code-page text that holds a character its code page lacks becomes UTF-8, asks;
    /// Cancel leaves the file and the document as they were.
    bool MayChangeEncoding(const QString &path);
    bool NeedsUtf8(TextEncoding encoding) const;
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
    // A digest of the text discarded at the end of the session, while that Discard holds.
    std::optional<QByteArray> letGo_;
    // What the file state was before the last Open, for a load that fails after it returned.
    struct FileState {
        QString path;
        QString title;
        std::optional<FileIdentity> onDisk;
    };
    FileState beforeOpen_;
};
