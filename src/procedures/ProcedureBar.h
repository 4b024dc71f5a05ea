// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ProcedureBar: Ctrl+Shift+O, a field along the editor control's bottom edge above which the
// script's procedures are listed, narrowed as a name is typed, to take the caret to one.
#pragma once

#include "common/FieldStrip.h"
#include "common/GuardedCommand.h"

#include <QTimer>

#include <cstdint>
#include <functional>

class ProcedureIndex;
class ProcedureList;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTableView;
class ScintillaCall;

/// Ctrl+Shift+O opens the bar with the procedure nearest above the caret selected. Typing
/// narrows the list to the names that hold the text, whatever its case, the names that start
/// with it first, and selects the first. Up, Down, Page Up and Page Down move the selection;
/// Return takes the caret to the start of the procedure's first line (unfolding and scrolling to
/// it) and closes the bar; Escape closes it and leaves the caret where it was. While the
/// analysis of a large script goes on, the list shows what it has read and says how far it got.
class ProcedureBar : public FieldStrip
{
    Q_OBJECT

public:
    /// The procedures as far as they are known, brought up to date; nullptr when the language
    /// has no blocks.
    using Source = std::function<const ProcedureIndex *()>;

    /// Puts Ctrl+Shift+O on `control`, which holds `view`; the bar is made hidden, for the
    /// control's layout. The list is made when first opened, a child of `control` that
    /// `placeList` puts in the layout right above the bar. The key runs through `guard`.
    ProcedureBar(QWidget &control, ScintillaCall &view, Source procedures,
                 const CommandGuard &guard, std::function<void(QWidget &)> placeList);
    /// Adds Go to Procedure to a right-click menu of the text.
    void AddMenuEntry(QMenu &menu) const;

protected:
    void AddFields() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void MakeList();
    void Open();
    void Narrow();
    void Select(int row);
    void FollowAnalysis();
    void ShowState();
    bool MoveSelection(int key);
    void Go();
    void Close();

    QWidget &control_;
    std::function<void(QWidget &)> placeList_;
    ScintillaCall &view_;
    Source source_;
    const CommandGuard &guard_;
    QLineEdit *field_ = nullptr;
    QLabel *state_ = nullptr;
    QTableView *list_ = nullptr;
    ProcedureList *rows_ = nullptr;
    QAction *open_;
    // While the analysis has lines left to read, the list takes what it has read this often.
    QTimer follow_;
    const ProcedureIndex *index_ = nullptr;
    long caretLine_ = 0;
    // The line of the procedure selected, kept while the list takes in more of the analysis.
    std::int64_t selected_ = -1;
};
