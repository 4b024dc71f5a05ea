// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Errors raised by the editor control and by checked line and column arithmetic.
#pragma once

#include <stdexcept>
#include <string>

/// A request the editor control cannot carry out (an unknown language, a line that does not exist).
class EditorError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// A 32-bit line or column computation that left the range of a signed 32-bit integer.
class OverflowError : public std::overflow_error
{
public:
    using std::overflow_error::overflow_error;
};
