// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockText: the lines the block analysis reads, wherever the text is kept.
#pragma once

#include <cstdint>
#include <string_view>

/// Read access to a text by lines, as UTF-8 bytes.
class BlockText
{
public:
    virtual ~BlockText() = default;

    /// The number of lines; an empty text has one empty line.
    virtual std::int64_t LineCount() const = 0;
    /// The bytes of `line` without its line end, valid until the next call.
    virtual std::string_view Line(std::int64_t line) const = 0;
};
