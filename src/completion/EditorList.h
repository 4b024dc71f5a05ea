// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EditorList: the editor control's completion list, a popup at the caret that never takes the keys.
#pragma once

#include <QFont>
#include <QHash>
#include <QListWidget>

#include <cstdint>

/// The list the control hands to its listener with each completion request. The listener adds
/// entries, sets the look, and calls ListFinalCall to show it. While it is shown the editor keeps
/// the keyboard: the control narrows the list as the user types and moves in it on Up, Down,
/// PageUp and PageDown. A click anywhere else, or the editor losing focus, closes it.
class EditorList : public QListWidget
{
    Q_OBJECT

public:
    explicit EditorList(QWidget *editor);
    ~EditorList() override;

    /// Appends an entry and returns its index; `icon` and `toolTip` are optional decorations.
    std::int32_t AddItem(const QString &text, const QIcon &icon = QIcon(),
                         const QString &toolTip = QString());
    /// The index of the selected entry, or -1 when the list is empty.
    std::int32_t SelectedIndex() const;
    /// The text of the entry at `index`; an index outside the list is an EditorError.
    QString ItemText(std::int32_t index) const;

    /// The colour behind the entries.
    QColor BackColor() const;
    void SetBackColor(const QColor &colour);
    /// The font of the entries; the list's size follows it when it is shown.
    QFont Font() const;
    void SetFont(const QFont &font);

    /// The most entries shown at once; 0 (the default) is 8. The list is as tall as the entries
    /// it shows, up to that many.
    std::int32_t ListOptionA() const { return listOptionA_; }
    void SetListOptionA(std::int32_t rows) { listOptionA_ = rows; }
    /// The least width of the list in characters; 0 (the default) fits the longest entry.
    std::int32_t ListOptionB() const { return listOptionB_; }
    void SetListOptionB(std::int32_t characters) { listOptionB_ = characters; }

    /// Shows the list below the caret, narrowed by the prefix given to Prepare; a prefix that no
    /// entry starts with leaves it hidden. `selectIndex` (-1: the first entry) is selected when
    /// the prefix is empty.
    void ListFinalCall(std::int32_t selectIndex = -1);

    /// Starts a new request: the entries added from now on make the whole list, and the list has
    /// its first look back. The control calls it before the listener fills the list.
    void Refill();
    /// Where the list goes: below `caretLine` (a rectangle in global coordinates), narrowed by
    /// `prefix`. Set by the control before the listener fills the list.
    void Prepare(const QRect &caretLine, const QString &prefix);
    /// Removes the entries of the request before that this one did not add again.
    void DropLeftovers();
    /// Shows only entries that start with `prefix` in any letter case and selects the first of
    /// them; false when no entry does, so the caller closes the list rather than show nothing.
    bool Narrow(const QString &prefix);
    /// Moves the selection for Up, Down, PageUp or PageDown over the entries shown.
    void MoveSelection(QKeyEvent &key);
    /// Hides the list, leaving the text as it is.
    void Dismiss();

signals:
    /// The user double-clicked an entry.
    void Chosen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void FitSize(int shown);
    void Place();
    int TextWidth(const QFontMetrics &metrics, const QString &text);

    QWidget *editor_;
    QRect caretLine_;
    QString prefix_;
    std::int32_t listOptionA_ = 0;
    std::int32_t listOptionB_ = 0;
    // Entries added since Prepare; those after them are the last request's, until dropped.
    int filled_ = -1;
    QFont widthsFont_;
    QHash<QString, int> widths_;
};
