// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Comment Selected on the program's own editor control, compiled once here.
#include "CommentSelected.h"

namespace CommentSelected
{

template void CommentLines<EditorControl>(EditorControl &code);

} // namespace CommentSelected
