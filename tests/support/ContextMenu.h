// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ContextMenu: choosing an entry of a widget's right-click menu, as a user does.
#pragma once

#include <QString>

class QWidget;

/// Right-clicks `widget` near its top left corner and chooses the menu entry reading `entry`;
/// false when no menu opened or it had no such entry.
bool ChooseFromContextMenu(QWidget *widget, const QString &entry);
