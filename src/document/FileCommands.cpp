// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FileCommands: the steps of Open, Save and Save As, with loads and saves that change the
// document's state only once they succeeded.
#include "FileCommands.h"

#include "FileDialog.h"
#include "common/UserPrompts.h"
#include "editor/EditorControl.h"
#include "modGlobals.h"
#include "scriptfile/ScriptFileFormat.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace
{

const QString NoFileMarker = QStringLiteral("1");

/// The path without the space characters at its ends; spaces inside stay.
QString WithoutOuterSpaces(const QString &path)
{
    qsizetype first = 0, last = path.size();
    while (first < last && path[first] == QLatin1Char(' '))
        ++first;
    while (last > first && path[last - 1] == QLatin1Char(' '))
        --last;
    return path.sliced(first, last - first);
}

} // namespace

FileCommands::FileCommands(EditorControl &code, FileDialog &dialog, UserPrompts &prompts,
                           std::function<void(const QString &)> updateCaption)
    : code_(code), dialog_(dialog), prompts_(prompts), updateCaption_(std::move(updateCaption))
{
}

void FileCommands::Open()
{
    if (!SettleUnsavedText())
        return;
    const QString path = AskForName(QStringLiteral("Open a script."), false);
    const QString title = dialog_.ChosenTitle();
    if (!modGlobals::FileExists(path)) {
        Adopt(path, title, std::nullopt);
        return;
    }
    std::optional<FileIdentity> onDisk;
    if (!title.isEmpty())
        onDisk = code_.OpenFile(path);
    Adopt(path, title, onDisk);
    updateCaption_(title);
}

bool FileCommands::Save()
{
    QString path = modGlobals::CurrentFile;
    QString title = currentTitle_;
    if (path.isEmpty()) {
        path = AskForName(QStringLiteral("Save as.."), true);
        title = dialog_.ChosenTitle();
    }
    if (title.isEmpty()) {
        Adopt(path, title, std::nullopt);
        updateCaption_(NoFileMarker);
        return false;
    }
    if (!MayReplaceTrimmedName(path) || !MayWriteOver(path) || !MayChangeEncoding(path))
        return false;
    const FileIdentity written = Write(path);
    Adopt(path, title, written);
    updateCaption_(title);
    return true;
}

void FileCommands::SaveAs()
{
    const QString path = AskForName(QStringLiteral("Save as.."), true);
    const QString title = dialog_.ChosenTitle();
    std::optional<FileIdentity> written;
    if (!path.isEmpty()) {
        if (!MayReplaceTrimmedName(path) || !MayChangeEncoding(path))
            return;
        written = Write(path);
    }
    Adopt(path, title, written);
    updateCaption_(title);
}

bool FileCommands::SettleUnsavedText()
{
    if (!code_.IsModified())
        return true;
    const QString question =
        modGlobals::CurrentFile.isEmpty()
            ? QStringLiteral("The new script has changes that were not saved. Save it first?")
            : QStringLiteral("\"%1\" has changes that were not saved. Save them first?")
                  .arg(QFileInfo(modGlobals::CurrentFile).fileName());
    switch (prompts_.AskAboutUnsavedText(question)) {
    case UnsavedTextAnswer::Save:
        return Save();
    case UnsavedTextAnswer::Discard:
        return true;
    case UnsavedTextAnswer::Cancel:
        break;
    }
    return false;
}

QString FileCommands::AskForName(const QString &caption, bool saving)
{
    dialog_.StartFolder(QCoreApplication::applicationDirPath());
    dialog_.DialogCaption(caption);
    dialog_.DefaultExtension(QStringLiteral("qc"));
    if (saving)
        dialog_.ShowSaveDialog();
    else
        dialog_.ShowOpenDialog();
    return WithoutOuterSpaces(dialog_.ChosenPath());
}

bool FileCommands::MayWriteOver(const QString &path)
{
    if (!onDisk_ || path != modGlobals::CurrentFile ||
        CompareWithDisk(path, *onDisk_) != DiskState::Changed)
        return true;
    const QString question =
        QStringLiteral("\"%1\" was changed by another program since it was opened. Save over it?")
            .arg(QFileInfo(path).fileName());
    return prompts_.AskAboutChangedFile(question) == ChangedFileAnswer::SaveOver;
}

// The dialog asked about replacing the name it reported; the spaces taken off that name can make
// it another file, which nobody asked about yet.
bool FileCommands::MayReplaceTrimmedName(const QString &path)
{
    if (path == dialog_.ChosenPath() || path == modGlobals::CurrentFile ||
        !modGlobals::FileExists(path))
        return true;
    return prompts_.AskToGoOn(
        QStringLiteral("\"%1\" already exists. Replace it?").arg(QFileInfo(path).fileName()),
        QStringLiteral("Replace"));
}

// A program that reads the file in its code page would misread UTF-8, so the change is the
// user's to make, before anything is written.
bool FileCommands::MayChangeEncoding(const QString &path)
{
    const TextEncoding encoding = code_.FileFormat().encoding;
    if (!IsCodePage(encoding) || FirstCharacterOutside(encoding, code_.Text()) == 0)
        return true;
    return prompts_.AskToGoOn(
        QStringLiteral("\"%1\" holds characters that %2 cannot store. Save it as UTF-8?")
            .arg(QFileInfo(path).fileName(), EncodingName(encoding)),
        QStringLiteral("Save as UTF-8"));
}

FileIdentity FileCommands::Write(const QString &path)
{
    return code_.SaveFile(path, true).identity;
}

void FileCommands::Adopt(const QString &path, const QString &title,
                         std::optional<FileIdentity> onDisk)
{
    modGlobals::CurrentFile = path;
    currentTitle_ = title;
    onDisk_ = onDisk;
}
