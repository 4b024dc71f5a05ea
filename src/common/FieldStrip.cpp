// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FieldStrip: the strip's layout, its close button and Escape.
#include "FieldStrip.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

FieldStrip::FieldStrip(const QString &caption, QWidget *parent)
    : QWidget(parent), captionText_(caption)
{
    hide();
}

void FieldStrip::Build()
{
    if (layout_)
        return;
    layout_ = new QHBoxLayout(this);
    layout_->setContentsMargins(4, 2, 4, 2);
    if (!captionText_.isEmpty())
        layout_->addWidget(new QLabel(captionText_, this));
    auto *close = new QToolButton(this);
    // Reading the icon from the style costs more than making the rest of the editor: it is
    // paid by the strips that are shown.
    close->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    close->setToolTip(tr("Close (Escape)"));
    close->setAutoRaise(true);
    close->setFocusPolicy(Qt::NoFocus);
    connect(close, &QToolButton::clicked, this, &FieldStrip::CloseRequested);
    layout_->addWidget(close);
    AddFields();
}

// Built before it first shows, so that its layout is whole when the strip is laid out.
void FieldStrip::setVisible(bool visible)
{
    if (visible)
        Build();
    QWidget::setVisible(visible);
}

// Widgets go in before the close button, which stays at the right end.
void FieldStrip::AddWidget(QWidget *widget, int stretch)
{
    Build();
    widget->setParent(this);
    layout_->insertWidget(layout_->count() - 1, widget, stretch);
    widget->installEventFilter(this);
}

void FieldStrip::AddStretch()
{
    Build();
    layout_->insertStretch(layout_->count() - 1);
}

bool FieldStrip::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        emit CloseRequested();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
