// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EditorRange: a span of text given by lines and character columns, as the editor control reports
// it.
#pragma once

#include <cstdint>

/// A plain range value: lines and columns count from 0, columns count characters.
/// A new range is all zeros, an empty selection at the start of the first line.
struct EditorRange {
    std::int32_t StartLine = 0;
    std::int32_t StartColumn = 0;
    std::int32_t EndLine = 0;
    std::int32_t EndColumn = 0;

    friend bool operator==(const EditorRange &, const EditorRange &) = default;
};
