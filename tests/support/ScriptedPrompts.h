// ScriptedPrompts: user prompts that record what the program would have shown.
#pragma once

#include "app/UserPrompts.h"

#include <QStringList>

/// Records every message instead of showing it; the test reads `errors` afterwards.
class ScriptedPrompts : public UserPrompts
{
public:
    void ShowError(const QString &text) override;

    QStringList errors;
};
