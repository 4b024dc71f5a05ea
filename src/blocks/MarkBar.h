// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// MarkBar: F8 and Shift+F8, the caret to the next or previous block mark, and the mark's message
// in a strip along the editor control's bottom edge.
#pragma once

#include "common/FieldStrip.h"
#include "common/GuardedCommand.h"

class BlockView;
class QKeyEvent;
class QLabel;
class ScintillaCall;
struct BlockMark;

/// F8 takes the caret to the start of the next marked block word, Shift+F8 to the previous one,
/// going on from the other end of the text at either end as F3 does; lines not analysed yet are
/// analysed as far as the search needs. The bar shows the mark's line and message, and says
/// "Wrapped" when the search went round. Escape or the bar's button closes it; the focus stays
/// in the text all along.
class MarkBar : public FieldStrip
{
    Q_OBJECT

public:
    /// Puts F8 and Shift+F8 on `control`, which holds `view`; the bar is made hidden, for the
    /// control's layout. The keys run through `guard`.
    MarkBar(QWidget &control, ScintillaCall &view, BlockView &blocks, const CommandGuard &guard);

    /// Escape in the text closes the bar while it is open; true when it did.
    bool BeforeKey(const QKeyEvent &key);

protected:
    void AddFields() override;

private:
    void Go(bool forward);
    bool Find(bool forward, long &line, BlockMark &mark, bool &wrapped);
    void Close();

    ScintillaCall &view_;
    BlockView &blocks_;
    const CommandGuard &guard_;
    QLabel *message_ = nullptr;
    QLabel *wrapped_ = nullptr;
};
