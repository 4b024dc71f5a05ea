// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// GoToLineBar: Ctrl+G, a field along the editor control's bottom edge that takes the caret to a
// line by its number.
#pragma once

#include "common/FieldStrip.h"
#include "common/GuardedCommand.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class ScintillaCall;

/// Ctrl+G opens the bar with the caret's line number selected in its field. Return takes the
/// caret to the start of the line typed (unfolding and scrolling to it as needed) and closes the
/// bar; a number that names no line turns the field red and leaves the bar open. Escape closes
/// the bar and leaves the caret where it was.
class GoToLineBar : public FieldStrip
{
    Q_OBJECT

public:
    /// Puts Ctrl+G on `control`, which holds `view`; the bar is made hidden, for the control's
    /// layout. Opening the bar and going to a line run through `guard`.
    GoToLineBar(QWidget &control, ScintillaCall &view, const CommandGuard &guard);

    /// Adds Go to Line to a right-click menu of the text.
    void AddMenuEntry(QMenu &menu) const;

protected:
    void AddFields() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Open();
    void Go();
    void Close();
    long LineCount() const;

    ScintillaCall &view_;
    const CommandGuard &guard_;
    QLineEdit *field_ = nullptr;
    QLabel *range_ = nullptr;
    QAction *open_;
};
