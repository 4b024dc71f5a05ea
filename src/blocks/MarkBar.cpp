// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// MarkBar: the search for the nearest mark on either side of the caret, wrapping, and the bar.
#include "MarkBar.h"

#include "BlockView.h"
#include "scintilla/ScintillaCall.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QKeyEvent>
#include <QLabel>

#include <algorithm>

MarkBar::MarkBar(QWidget &control, ScintillaCall &view, BlockView &blocks,
                 const CommandGuard &guard)
    : FieldStrip(QString(), &control), view_(view), blocks_(blocks), guard_(guard)
{
    setObjectName(QStringLiteral("markBar"));
    connect(this, &FieldStrip::CloseRequested, this, &MarkBar::Close);
    for (const bool forward : {true, false}) {
        const QString name = forward ? tr("Next Mark") : tr("Previous Mark");
        auto *action = new QAction(name, &control);
        action->setShortcut(forward ? QKeySequence(Qt::Key_F8)
                                    : QKeySequence(Qt::SHIFT | Qt::Key_F8));
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, [this, name, forward] {
            RunGuarded(guard_, name, [this, forward] { Go(forward); });
        });
        control.addAction(action);
    }
}

void MarkBar::AddFields()
{
    message_ = new QLabel;
    wrapped_ = new QLabel(tr("Wrapped"));
    message_->setObjectName(QStringLiteral("markMessage"));
    message_->setTextFormat(Qt::PlainText);
    wrapped_->setObjectName(QStringLiteral("markWrapped"));
    AddWidget(message_, 1);
    AddWidget(wrapped_);
}

bool MarkBar::BeforeKey(const QKeyEvent &key)
{
    if (key.key() != Qt::Key_Escape || key.modifiers() != Qt::NoModifier || isHidden())
        return false;
    Close();
    return true;
}

void MarkBar::Go(bool forward)
{
    long line = 0;
    BlockMark mark{};
    bool wrapped = false;
    Build();
    if (Find(forward, line, mark, wrapped)) {
        view_.JumpTo(view_.LineStart(line) + static_cast<long>(mark.column));
        message_->setText(tr("Line %1: %2").arg(line + 1).arg(QString::fromStdString(mark.text)));
    } else {
        message_->setText(tr("No block word in the script is marked."));
    }
    wrapped_->setVisible(wrapped);
    show();
}

// The nearest mark after the caret (before it, backwards) on the caret's line, else on the
// lines beyond, else from the other end of the text round to the caret's line again.
bool MarkBar::Find(bool forward, long &line, BlockMark &mark, bool &wrapped)
{
    const long caret = view_.CurrentPos();
    const long caretLine = view_.LineFromPosition(caret);
    const long column = caret - view_.LineStart(caretLine);
    const std::vector<BlockMark> here = blocks_.MarksShown(caretLine);
    const auto beyond = [&](const BlockMark &m) {
        return forward ? long(m.column) > column : long(m.column) < column;
    };
    const auto at = forward ? std::find_if(here.begin(), here.end(), beyond)
                            : std::find_if(here.rbegin(), here.rend(), beyond).base();
    if (forward ? at != here.end() : at != here.begin()) {
        line = caretLine;
        mark = forward ? *at : *(at - 1);
        return true;
    }
    const long last = view_.LineCount() - 1;
    std::int64_t found = forward ? blocks_.MarkedLine(caretLine + 1, last, true)
                                 : blocks_.MarkedLine(0, caretLine - 1, false);
    if (found < 0) {
        wrapped = true;
        found = forward ? blocks_.MarkedLine(0, caretLine, true)
                        : blocks_.MarkedLine(caretLine, last, false);
    }
    if (found < 0)
        return false;
    const std::vector<BlockMark> marks = blocks_.MarksShown(found);
    line = static_cast<long>(found);
    mark = forward ? marks.front() : marks.back();
    return true;
}

void MarkBar::Close()
{
    hide();
    view_.Widget().setFocus(Qt::OtherFocusReason);
}
