// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BlockProcedures: the Sub, Function, Property and Class blocks of a text, by line, as far as the
// block analysis has read, kept in step with edits.
#pragma once

#include "BlockText.h"
#include "BlockWords.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class BlockStructure;

/// A procedure block a line opens: its word, and whether a Class holds it.
struct OpenedProcedure {
    BlockWord word;
    bool member;
};

/// One procedure where it stands: its opening word, its name as written, the same name with
/// ASCII letters in lower case (the language ignores case), and whether a Class holds it.
struct Procedure {
    std::int64_t line;
    BlockWord word;
    bool member;
    std::string name;
    std::string folded;
};

/// The procedures of a text in the order they stand. The index takes a line from the analysis
/// once it has been read, so it knows the lines from the top down to where the analysis has read
/// without a gap. An edit drops the procedures of the lines it touched and takes those lines
/// again once they are read anew; the procedures below it only move with their lines, as what a
/// line opens depends on its own statement alone.
class ProcedureIndex
{
public:
    /// Starts over on a text of `lineCount` lines of which nothing is known.
    void Reset(std::int64_t lineCount);
    /// Line `line` changed and `delta` lines were inserted after it (removed when negative).
    void LinesReplaced(std::int64_t line, std::int64_t delta);
    /// Takes what the analysis has read since the last call. True when the procedures changed.
    bool CatchUp(const BlockText &text, const BlockStructure &structure);

    const std::vector<Procedure> &Procedures() const { return procedures_; }
    /// Counts the changes of the procedures, so that a list of them knows when it is out of date.
    std::uint64_t Revision() const { return revision_; }
    /// The lines from the top that are known, and the lines of the text.
    std::int64_t KnownLines() const { return known_; }
    std::int64_t LineCount() const { return lineCount_; }
    /// Whether every line is known, none waiting to be taken again.
    bool Complete() const { return known_ == lineCount_ && waiting_.empty(); }

private:
    void Take(const BlockText &text, const BlockStructure &structure, std::int64_t line);
    void Drop(std::int64_t first, std::int64_t last);
    std::vector<Procedure>::iterator FirstAfter(std::int64_t line);

    std::vector<Procedure> procedures_;
    std::vector<OpenedProcedure> opened_;
    // Lines first..last an edit touched, to be taken again once read.
    std::vector<std::pair<std::int64_t, std::int64_t>> waiting_;
    std::int64_t known_ = 0;
    std::int64_t lineCount_ = 0;
    std::uint64_t revision_ = 0;
};

/// The name that follows the block word `word` in `line` at or after byte `from`, and where
/// the name ends; an empty name when none follows.
std::pair<std::string, std::size_t> ProcedureName(std::string_view line, BlockWord word,
                                                  std::size_t from);
