// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// WordBoundary: whether a match stands as a whole word among the characters around it.
#pragma once

#include <QtGlobal>

/// True when bytes [start, end) of `bytes` (size `size`, UTF-8) do not continue a word on either
/// side: a match that begins with a letter, digit or underscore must not follow one, and one that
/// ends with such a character must not be followed by one. Bytes outside `bytes` count as no
/// word, so `bytes` must reach a whole character past the match where the document goes on.
bool IsWholeWord(const char *bytes, qsizetype size, qsizetype start, qsizetype end);

/// The length of the UTF-8 character that starts with `lead`; 1 for a byte that starts none.
int Utf8SequenceLength(unsigned char lead);
