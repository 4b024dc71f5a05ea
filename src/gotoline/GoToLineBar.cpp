// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// GoToLineBar: the field that takes the caret to a line by its number.
#include "GoToLineBar.h"

#include "common/FailedField.h"
#include "scintilla/ScintillaCall.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

GoToLineBar::GoToLineBar(QWidget &control, ScintillaCall &view, const CommandGuard &guard)
    : FieldStrip(tr("Go to line:"), &control), view_(view), guard_(guard),
      open_(new QAction(tr("Go to Line..."), &control))
{
    connect(this, &FieldStrip::CloseRequested, this, &GoToLineBar::Close);

    open_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    open_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(open_, &QAction::triggered, this,
            [this] { RunGuarded(guard_, tr("Go to Line"), [this] { Open(); }); });
    control.addAction(open_);
}

void GoToLineBar::AddFields()
{
    field_ = new QLineEdit;
    range_ = new QLabel;
    field_->setObjectName(QStringLiteral("lineField"));
    field_->setMaximumWidth(field_->fontMetrics().horizontalAdvance(QLatin1Char('9')) * 14);
    range_->setObjectName(QStringLiteral("lineRange"));
    AddWidget(field_);
    AddWidget(range_);
    AddStretch();
}

void GoToLineBar::AddMenuEntry(QMenu &menu) const
{
    menu.addAction(open_);
}

bool GoToLineBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            RunGuarded(guard_, tr("Go to Line"), [this] { Go(); });
            return true;
        }
    }
    return FieldStrip::eventFilter(watched, event);
}

void GoToLineBar::Open()
{
    Build();
    const long caretLine = view_.LineFromPosition(view_.CurrentPos());
    field_->setText(QString::number(caretLine + 1));
    range_->setText(tr("of %1").arg(LineCount()));
    ShowFieldFailed(*field_, false);
    show();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

// The field holds a line number counted from 1; blanks around it do not matter, anything else
// that is not a number of a line in the text does.
void GoToLineBar::Go()
{
    bool isNumber = false;
    const qlonglong number = field_->text().trimmed().toLongLong(&isNumber);
    if (!isNumber || number < 1 || number > LineCount()) {
        ShowFieldFailed(*field_, true);
        return;
    }
    view_.JumpTo(view_.LineStart(static_cast<long>(number - 1)));
    Close();
}

void GoToLineBar::Close()
{
    hide();
    view_.Widget().setFocus(Qt::OtherFocusReason);
}

long GoToLineBar::LineCount() const
{
    return view_.LineCount();
}
