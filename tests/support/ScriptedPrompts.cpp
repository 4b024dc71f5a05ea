// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptedPrompts: user prompts that record what the program would have shown.
#include "ScriptedPrompts.h"

void ScriptedPrompts::ShowError(const QString &text)
{
    errors.append(text);
}

void ScriptedPrompts::ShowNotice(const QString &text)
{
    notices.append(text);
}

UnsavedTextAnswer ScriptedPrompts::AskAboutUnsavedText(const QString &question)
{
    questions.append(question);
    return answers.isEmpty() ? UnsavedTextAnswer::Cancel : answers.takeFirst();
}

ChangedFileAnswer ScriptedPrompts::AskAboutChangedFile(const QString &question)
{
    questions.append(question);
    return changedFileAnswers.isEmpty() ? ChangedFileAnswer::Cancel
                                        : changedFileAnswers.takeFirst();
}

bool ScriptedPrompts::AskToGoOn(const QString &question, const QString &action)
{
    questions.append(QStringLiteral("%1 [%2]").arg(question, action));
    return !goOnAnswers.isEmpty() && goOnAnswers.takeFirst();
}
