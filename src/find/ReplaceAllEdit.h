// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ReplaceAllEdit: every match in a range replaced as one undo step, in a few large changes.
#pragma once

#include <QtGlobal>

class Replacement;
class ScintillaCall;
class Searcher;

/// What Replace All did: how many matches it replaced, and in the text as it is now, where the
/// first replacement starts, where the last one ends and where the range ends.
struct ReplaceAllResult {
    bool refused = false;
    qsizetype replaced = 0;
    qsizetype firstStart = 0;
    qsizetype lastEnd = 0;
    qsizetype rangeEnd = 0;
};

/// Replaces every match lying wholly in [from, to] as one undoable edit. The text between the
/// matches is copied byte for byte, line ends included, and the whole edit is a handful of large
/// changes, so its time and that of its Undo grow with the text it spans, not with the matches.
/// Matches are found in the text as it was before the edit. The length of the result, and that
/// of each line it lengthens, are worked out first from the matches and the replacement's
/// length, nothing built: an edit that would pass the view's limits is refused whole (`refused`),
/// the view reports it, and nothing changes. A search that throws PatternTooComplex does so
/// before anything has changed.
ReplaceAllResult ReplaceAll(ScintillaCall &view, const Searcher &searcher,
                            const Replacement &replacement, qsizetype from, qsizetype to);
