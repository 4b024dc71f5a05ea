// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptedFileDialog: a file dialog whose user's choices the test gives in advance.
#include "ScriptedFileDialog.h"

#include <QFileInfo>

void ScriptedFileDialog::Choose(const QString &path, const QString &title)
{
    choices.append(Choice{path, title.isEmpty() ? QFileInfo(path.trimmed()).fileName() : title});
}

void ScriptedFileDialog::Show(bool saving)
{
    settings_.saving = saving;
    shown.append(settings_);
    report_ = choices.isEmpty() ? Choice{} : choices.takeFirst();
}
