// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaBlocks: the block analysis reads a view's lines and writes its fold levels.
#pragma once

#include "syntax/BlockStructure.h"
#include "syntax/BlockText.h"

class QsciScintillaBase;

/// The lines of the document a view shows, read in place.
class ScintillaText : public BlockText
{
public:
    explicit ScintillaText(QsciScintillaBase &view) : view_(view) {}

    std::int64_t LineCount() const override;
    std::string_view Line(std::int64_t line) const override;

private:
    QsciScintillaBase &view_;
};

/// Fold levels written to the view's document, only where they change.
class ScintillaLevels : public FoldLevelSink
{
public:
    explicit ScintillaLevels(QsciScintillaBase &view) : view_(view) {}

    void SetFoldLevel(std::int64_t line, std::uint32_t level, bool header) override;

private:
    QsciScintillaBase &view_;
};
