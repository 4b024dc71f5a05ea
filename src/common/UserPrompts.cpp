// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// MessageBoxPrompts: user prompts as the desktop's standard message boxes.
#include "UserPrompts.h"

#include <QMessageBox>
#include <QPushButton>

void MessageBoxPrompts::ShowError(const QString &text)
{
    QMessageBox::critical(parent_, QStringLiteral("Quillmark"), text);
}

void MessageBoxPrompts::ShowNotice(const QString &text)
{
    QMessageBox::information(parent_, QStringLiteral("Quillmark"), text);
}

UnsavedTextAnswer MessageBoxPrompts::AskAboutUnsavedText(const QString &question)
{
    const auto answer = QMessageBox::warning(
        parent_, QStringLiteral("Quillmark"), question,
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return UnsavedTextAnswer::Save;
    return answer == QMessageBox::Discard ? UnsavedTextAnswer::Discard : UnsavedTextAnswer::Cancel;
}

// Cancel is the default, so a hurried Enter never writes over another program's work.
ChangedFileAnswer MessageBoxPrompts::AskAboutChangedFile(const QString &question)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillmark"), question,
                    QMessageBox::Cancel, parent_);
    const QPushButton *saveOver =
        box.addButton(QStringLiteral("Save over"), QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == saveOver ? ChangedFileAnswer::SaveOver
                                           : ChangedFileAnswer::Cancel;
}

// Cancel is the default here too: what the question is about cannot be undone by the program.
bool MessageBoxPrompts::AskToGoOn(const QString &question, const QString &action)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillmark"), question,
                    QMessageBox::Cancel, parent_);
    const QPushButton *goOn = box.addButton(action, QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == goOn;
}
