// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FailedField: the red of an input field whose text found nothing or named nothing.
#pragma once

#include <QColor>
#include <QLineEdit>
#include <QPalette>

/// Turns `field` red while `failed`, back to the style's own colours otherwise.
inline void ShowFieldFailed(QLineEdit &field, bool failed)
{
    QPalette palette;
    if (failed)
        palette.setColor(QPalette::Base, QColor(0xFF, 0xD0, 0xD0));
    field.setPalette(palette);
}
