// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Checked 32-bit signed arithmetic for line and column numbers.
#pragma once

#include "EditorError.h"

#include <cstdint>

/// a + b, or OverflowError when the sum leaves the signed 32-bit range.
inline std::int32_t CheckedAdd(std::int32_t a, std::int32_t b)
{
    std::int32_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        throw OverflowError("overflow in 32-bit line or column arithmetic");
    return sum;
}

/// A size (a text length, a count) as a 32-bit value, or OverflowError when it does not fit.
template <typename Integer> std::int32_t CheckedInt32(Integer value)
{
    std::int32_t narrow = 0;
    if (__builtin_add_overflow(value, 0, &narrow))
        throw OverflowError("overflow in 32-bit line or column arithmetic");
    return narrow;
}

/// The counter of a loop over line numbers moved on by one, checked like any other sum.
inline std::int32_t CheckedStep(std::int32_t counter)
{
    return CheckedAdd(counter, 1);
}
