// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ContextMenu: choosing an entry of a widget's right-click menu.
#include "support/ContextMenu.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

bool ChooseFromContextMenu(QWidget *widget, const QString &entry)
{
    const QPoint at(20, 10);
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &click);
    QMenu *menu = nullptr;
    if (!QTest::qWaitFor([&menu] {
            return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) != nullptr;
        }))
        return false;
    QAction *chosen = nullptr;
    for (QAction *action : menu->actions()) {
        if (action->text() == entry)
            chosen = action;
    }
    menu->close();
    if (chosen)
        chosen->trigger();
    return chosen != nullptr;
}
