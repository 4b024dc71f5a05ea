// ScriptedPrompts: user prompts that record what the program would have shown.
#include "ScriptedPrompts.h"

void ScriptedPrompts::ShowError(const QString &text)
{
    errors.append(text);
}
