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
    : QWidget(parent), layout_(new QHBoxLayout(this)), caption_(new QLabel(caption, this)),
      close_(new QToolButton(this))
{
    close_->setToolTip(tr("Close (Escape)"));
    close_->setAutoRaise(true);
    close_->setFocusPolicy(Qt::NoFocus);
    connect(close_, &QToolButton::clicked, this, &FieldStrip::CloseRequested);
    layout_->setContentsMargins(4, 2, 4, 2);
    layout_->addWidget(caption_);
    caption_->setVisible(!caption.isEmpty());
    layout_->addWidget(close_);
    hide();
}

// The close button's icon is read from the style when the strip is first shown: reading icon
// files costs more than making the rest of the editor, for strips many sessions never show.
void FieldStrip::showEvent(QShowEvent *event)
{
    if (close_->icon().isNull())
        close_->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    QWidget::showEvent(event);
}

// Widgets go in before the close button, which stays at the right end.
void FieldStrip::AddWidget(QWidget *widget, int stretch)
{
    widget->setParent(this);
    layout_->insertWidget(layout_->count() - 1, widget, stretch);
    widget->installEventFilter(this);
}

void FieldStrip::AddStretch()
{
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
