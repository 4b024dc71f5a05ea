// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ViewLines: what the tests ask of the lines a view shows.
#pragma once

class QsciScintilla;

/// Whether document line `line` is shown, not hidden in a fold, between the top and the bottom of
/// the view.
bool LineOnScreen(const QsciScintilla &view, long line);
