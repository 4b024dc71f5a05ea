// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Typing: text and keys sent to a widget as a user types them.
#pragma once

#include <QString>

class QWidget;

/// Types `keys` into `target`: each character as a key click carrying it (accented and other
/// characters beyond ASCII too), and each "{...}" as the key it names in QKeySequence's
/// portable form, with its modifiers: "{Return}", "{Ctrl+Space}", "{Shift+F3}", "{Ctrl+K}{Ctrl+0}".
/// "{AltGr+@}" is a character typed through AltGr, as X11 reports it. A brace itself is "{{}" or
/// "{}}". A name no key has stops the run, as a mistyped test should.
void TypeKeys(QWidget *target, const QString &keys);

/// The same, each key going to whichever widget has the focus when it is typed.
void TypeKeys(const QString &keys);
