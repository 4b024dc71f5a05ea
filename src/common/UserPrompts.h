// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// UserPrompts: the questions and messages the program puts to the user, behind an interface.
#pragma once

#include <QString>

class QWidget;

/// The user's answer to the question about text that was not saved.
enum class UnsavedTextAnswer { Save, Discard, Cancel };

/// The user's answer to the question about a file another program changed.
enum class ChangedFileAnswer { SaveOver, Cancel };

/// What the program shows the user modally; tests script it.
class UserPrompts
{
public:
    virtual ~UserPrompts() = default;

    /// Reports one failure in one message.
    virtual void ShowError(const QString &text) = 0;
    /// Tells the user something they must know that is not a failure.
    virtual void ShowNotice(const QString &text) = 0;
    /// Asks once whether changed text is saved, discarded, or the command is cancelled.
    virtual UnsavedTextAnswer AskAboutUnsavedText(const QString &question) = 0;
    /// Asks once whether a save may write over a file another program changed.
    virtual ChangedFileAnswer AskAboutChangedFile(const QString &question) = 0;
    /// Asks once whether to go on with what the button `action` (such as "Save as UTF-8") does,
    /// or Cancel, the default. True when the user chose `action`; prompts that cannot ask
    /// answer Cancel.
    virtual bool AskToGoOn(const QString &question, const QString &action)
    {
        Q_UNUSED(question);
        Q_UNUSED(action);
        return false;
    }
};

/// The desktop's message boxes, parented to the main window.
class MessageBoxPrompts : public UserPrompts
{
public:
    explicit MessageBoxPrompts(QWidget *parent) : parent_(parent) {}

    void ShowError(const QString &text) override;
    void ShowNotice(const QString &text) override;
    UnsavedTextAnswer AskAboutUnsavedText(const QString &question) override;
    ChangedFileAnswer AskAboutChangedFile(const QString &question) override;
    bool AskToGoOn(const QString &question, const QString &action) override;

private:
    QWidget *parent_;
};
