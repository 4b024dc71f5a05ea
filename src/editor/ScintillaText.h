// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaText: the view's document as the search engine reads it.
#pragma once

#include "ScintillaView.h"
#include "search/SearchText.h"

/// The document's UTF-8 bytes straight from Scintilla's buffer. Reading a range that spans the
/// buffer's gap moves the gap to the range's start, which costs no more than the bytes between.
class ScintillaText final : public SearchText
{
public:
    explicit ScintillaText(const ScintillaView &view) : view_(view) {}

    qsizetype Length() const override { return view_.SendScintilla(ScintillaView::SCI_GETLENGTH); }

    const char *Bytes(qsizetype start, qsizetype length) const override
    {
        return reinterpret_cast<const char *>(view_.SendScintilla(
            ScintillaView::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), long(length)));
    }

private:
    const ScintillaView &view_;
};
