// MessageBoxPrompts: user prompts as the desktop's standard message boxes.
#include "UserPrompts.h"

#include <QMessageBox>

void MessageBoxPrompts::ShowError(const QString &text)
{
    QMessageBox::critical(parent_, QStringLiteral("Quillmark"), text);
}
