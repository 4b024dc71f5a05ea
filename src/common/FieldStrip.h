// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FieldStrip: a strip of fields along the editor's bottom edge, closed by its button or Escape.
#pragma once

#include <QWidget>

class QHBoxLayout;
class QLabel;

/// The editor's strips (go to line, messages, notes of work under way) share this shape: a
/// caption, the strip's own widgets, and a close button at the right end. Escape in any widget
/// added to the strip, or the button, asks to close it; what closing does is the owner's. The
/// strip starts hidden, for the editor's layout, and makes its widgets when it is first shown or
/// given one: most sessions never show most strips.
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
    void setVisible(bool visible) override;

signals:
    void CloseRequested();

protected:
    /// Makes the caption, the strip's own widgets (AddFields) and the close button, once.
    void Build();
    /// Adds the strip's own widgets when it is built, through AddWidget and AddStretch.
    virtual void AddFields() {}
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString captionText_;
    QHBoxLayout *layout_ = nullptr;
};
