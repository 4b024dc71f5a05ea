// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Twips: window measures in 1/1440 inch, converted to pixels at the screen's logical dpi.
#pragma once

#include <cmath>

/// Pixels for `twips` at `logicalDpi` dots per inch (15 twips to a pixel at 96 dpi).
inline int TwipsToPixels(int twips, double logicalDpi)
{
    return static_cast<int>(std::lround(twips * logicalDpi / 1440.0));
}
