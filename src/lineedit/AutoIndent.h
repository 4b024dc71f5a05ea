// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// AutoIndent: a line started with Return begins with the indentation of the line before it.
#pragma once

class ScintillaCall;

/// Gives each line that Return starts the leading spaces and tabs of the line it was broken
/// from, written exactly as they are there, so that typing inside a nested block keeps its depth.
class AutoIndent
{
public:
    explicit AutoIndent(ScintillaCall &view);

private:
    void CharacterTyped(int character);

    ScintillaCall &view_;
};
