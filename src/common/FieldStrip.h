// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FieldStrip: a strip of fields along the editor's bottom edge, closed by its button or Escape.
#pragma once

#include <QWidget>

class QHBoxLayout;
class QLabel;
class QToolButton;

/// The editor's strips (go to line, messages, notes of work under way) share this shape: a
/// caption, the strip's own widgets, and a close button at the right end. Escape in any widget
/// added to the strip, or the button, asks to close it; what closing does is the owner's. The
/// strip starts hidden, for the editor's layout.
class FieldStrip : public QWidget
{
    Q_OBJECT

public:
    /// A strip with `caption` at its left end; an empty caption shows none.
    explicit FieldStrip(const QString &caption, QWidget *parent = nullptr);

    /// Adds `widget` after the widgets added before it, with `stretch` as a layout gives it.
    void AddWidget(QWidget *widget, int stretch = 0);
    /// Room that grows, between the widgets before it and those after it.
    void AddStretch();
    QLabel &Caption() const { return *caption_; }

signals:
    void CloseRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QHBoxLayout *layout_;
    QLabel *caption_;
    QToolButton *close_;
};
