// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ViewLines: what the tests ask of the lines a view shows.
#include "support/ViewLines.h"

#include <Qsci/qsciscintilla.h>

bool LineOnScreen(const QsciScintilla &view, long line)
{
    using Sci = QsciScintillaBase;
    const auto wParam = static_cast<unsigned long>(line);
    const long shown = view.SendScintilla(Sci::SCI_VISIBLEFROMDOCLINE, wParam);
    const long top = view.SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    return view.SendScintilla(Sci::SCI_GETLINEVISIBLE, wParam) && shown >= top &&
           shown < top + view.SendScintilla(Sci::SCI_LINESONSCREEN);
}
