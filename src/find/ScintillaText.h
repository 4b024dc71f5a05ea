// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaText: the view's document as the search engine reads it.
#pragma once

#include "scintilla/ScintillaCall.h"
#include "search/SearchText.h"

/// The document's UTF-8 bytes straight from Scintilla's buffer. Reading a range that spans the
/// buffer's gap moves the gap to the range's start, which costs no more than the bytes between.
class ScintillaText final : public SearchText
{
public:
    explicit ScintillaText(const ScintillaCall &view) : view_(view) {}

    qsizetype Length() const override { return view_.Length(); }

    const char *Bytes(qsizetype start, qsizetype length) const override
    {
        return view_.RangePointer(static_cast<long>(start), static_cast<long>(length));
    }

private:
    const ScintillaCall &view_;
};
