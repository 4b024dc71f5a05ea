// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// AutoIndent: a line started with Return begins with the indentation of the line before it.
#pragma once

class QKeyEvent;
class ScintillaCall;

/// Gives each line that Return starts the leading spaces and tabs of the line it was broken
/// from, written exactly as they are there, so that typing inside a nested block keeps its depth.
class AutoIndent
{
public:
    explicit AutoIndent(ScintillaCall &view);

    /// Takes a Return whose line end and indentation together would pass the view's limits, so
    /// that neither is made; false for every other key.
    bool BeforeKey(const QKeyEvent &key);

private:
    void CharacterTyped(int character);
    /// The indentation of the line a new line starts after, from its start to `end`.
    long IndentBytes(long line, long end) const;

    ScintillaCall &view_;
};
