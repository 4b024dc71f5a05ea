// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptedPrompts: user prompts that record what the program would have shown.
#pragma once

#include "common/UserPrompts.h"

#include <QList>
#include <QStringList>

/// Records every message instead of showing it; the test reads `errors` and `notices`
/// afterwards. Questions about unsaved text take the next of `answers`, questions about a changed
/// file the next of `changedFileAnswers`, questions whether to go on the next of `goOnAnswers`,
/// each Cancel when none is left; all kinds are recorded in `questions`, the last one followed by
/// its button, as in "question [Save as UTF-8]".
class ScriptedPrompts : public UserPrompts
{
public:
    void ShowError(const QString &text) override;
    void ShowNotice(const QString &text) override;
    UnsavedTextAnswer AskAboutUnsavedText(const QString &question) override;
    ChangedFileAnswer AskAboutChangedFile(const QString &question) override;
    bool AskToGoOn(const QString &question, const QString &action) override;

    QStringList errors;
    QStringList notices;
    QStringList questions;
    QList<UnsavedTextAnswer> answers;
    QList<ChangedFileAnswer> changedFileAnswers;
    QList<bool> goOnAnswers;
};
