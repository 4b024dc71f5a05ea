// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// PatternTooComplex: a regular expression the engine gave up on for a line of the text.
#pragma once

#include <stdexcept>

/// A regular expression that the engine gave up on for a line of the text: matching it there
/// would take more steps or memory than the engine allows. Any scan may throw it.
class PatternTooComplex : public std::runtime_error
{
public:
    PatternTooComplex() : std::runtime_error("the regular expression is too complex for this text")
    {
    }
};
