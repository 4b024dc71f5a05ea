// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FileCommands: the steps of Open, Save and Save As, with loads and saves that change the
// document's state only once they succeeded.
#include "FileCommands.h"

#include "FileDialog.h"
#include "common/EditorError.h"
#include "common/UserPrompts.h"
#include "editor/EditorControl.h"
#include "modGlobals.h"
#include "scriptfile/FileReplacement.h"
#include "scriptfile/ScriptFileFormat.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
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

/// What tells one text from another without keeping a copy of it.
QByteArray Digest(const QString &text)
{
    const QByteArrayView units(reinterpret_cast<const char *>(text.constData()),
                               text.size() * qsizetype(sizeof(QChar)));
    return QCryptographicHash::hash(units, QCryptographicHash::Sha256);
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
    beforeOpen_ = {modGlobals::CurrentFile, currentTitle_, onDisk_};
    const QString title = dialog_.ChosenTitle();
    if (!modGlobals::FileExists(path)) {
        Adopt(path, title, std::nullopt);
        return;
    }
    std::optional<FileIdentity> onDisk;
    if (!title.isEmpty())
        onDisk = WithNameKind(path, code_.OpenFile(path));
    Adopt(path, title, onDisk);
    updateCaption_(title);
    const QStringList backups = onDisk ? LeftoverBackups(path) : QStringList();
    if (!backups.isEmpty())
        prompts_.ShowNotice(
            QStringLiteral("An earlier save of \"%1\" did not finish. The file as it was before "
                           "that save is kept in \"%2\"; Quillmark leaves it there for you to "
                           "compare and delete.")
                .arg(QFileInfo(path).fileName(),
                     QDir::toNativeSeparators(backups.join(QStringLiteral("\", \"")))));
}

void FileCommands::OpenFailed(const QString &reason)
{
    Adopt(beforeOpen_.path, beforeOpen_.title, beforeOpen_.onDisk);
    updateCaption_(beforeOpen_.path.isEmpty() || beforeOpen_.title.isEmpty() ? NoFileMarker
                                                                             : beforeOpen_.title);
    throw EditorError(reason.toStdString());
}

// Every write waits for the text of a file still arriving; when that file failed, the text
// before it is back and the write is not done.
bool FileCommands::Save()
{
    if (!code_.AwaitWholeText())
        return false;
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
    // A name that was an ordinary file is saved as itself: a link another program put there
    // since leads to a file that is not this document's.
    std::optional<SaveNameItself> nameItself;
    if (onDisk_ && path == modGlobals::CurrentFile && !onDisk_->nameIsLink)
        nameItself.emplace(path);
    const FileIdentity written = Write(path);
    Adopt(path, title, written);
    updateCaption_(title);
    return true;
}

void FileCommands::SaveAs()
{
    if (!code_.AwaitWholeText())
        return;
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
    return Settle(false);
}

bool FileCommands::SettleUnsavedTextForSessionEnd()
{
    return Settle(true);
}

bool FileCommands::HasUnsavedText() const
{
    return code_.IsModified();
}

UnaskedSave FileCommands::SaveUnasked()
{
    if (!code_.AwaitWholeText())
        return {false, QStringLiteral("the file being opened could not be read")};
    const QString path = modGlobals::CurrentFile;
    if (path.isEmpty() || currentTitle_.isEmpty())
        return {false, QStringLiteral("it has no file yet")};
    if (!onDisk_)
        return {false, QStringLiteral("the file was never opened or saved here")};
    switch (CompareWithDisk(path, *onDisk_)) {
    case DiskState::Changed:
        return {false,
                QStringLiteral("another program changed the file since it was opened or saved")};
    case DiskState::NowALink:
        return {false, QStringLiteral("another program put a link in its place since it was "
                                      "opened or saved")};
    case DiskState::Missing:
        return {false, QStringLiteral("the file was deleted since it was opened or saved")};
    case DiskState::AsRemembered:
        break;
    }
    if (NeedsUtf8(code_.FileFormat().encoding))
        return {false,
                QStringLiteral("it holds characters that %1 cannot store, and only the user may "
                               "have it saved as UTF-8")
                    .arg(EncodingName(code_.FileFormat().encoding))};
    Adopt(path, currentTitle_, Write(path));
    return {true, {}};
}

bool FileCommands::Settle(bool sessionEnd)
{
    if (!code_.AwaitWholeText())
        return false;
    if (!code_.IsModified())
        return true;
    std::optional<QByteArray> letGo;
    letGo_.swap(letGo);
    if (letGo && *letGo == Digest(code_.Text()))
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
        if (sessionEnd)
            letGo_ = Digest(code_.Text());
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
    if (!onDisk_ || path != modGlobals::CurrentFile)
        return true;
    const QString name = QFileInfo(path).fileName();
    QString question;
    switch (CompareWithDisk(path, *onDisk_)) {
    case DiskState::AsRemembered:
    case DiskState::Missing:
        return true;
    case DiskState::Changed:
        question = QStringLiteral(
                       "\"%1\" was changed by another program since it was opened. Save over it?")
                       .arg(name);
        break;
    case DiskState::NowALink:
        question = QStringLiteral("\"%1\" is now a link to \"%2\", put there by another program "
                                  "since it was opened. Save over the link? \"%2\" is left as "
                                  "it is.")
                       .arg(name, LinkTarget(path));
        break;
    }
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
    if (!NeedsUtf8(encoding))
        return true;
    return prompts_.AskToGoOn(
        QStringLiteral("\"%1\" holds characters that %2 cannot store. Save it as UTF-8?")
            .arg(QFileInfo(path).fileName(), EncodingName(encoding)),
        QStringLiteral("Save as UTF-8"));
}

// Whether the text holds a character the file's code page lacks, so that it can only be saved as
// UTF-8.
bool FileCommands::NeedsUtf8(TextEncoding encoding) const
{
    return IsCodePage(encoding) && FirstCharacterOutside(encoding, code_.Text()) != 0;
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
    letGo_.reset();
}
