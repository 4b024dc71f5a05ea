// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ProcedureList: the procedures of the script as rows of kind, name and line, narrowed by a text.
#pragma once

#include "syntax/BlockProcedures.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <string_view>
#include <vector>

/// The procedures of `procedures` whose name holds `typed` (ASCII letters in lower case), by
/// their index: those whose name starts with it first, each group in the order of the script. A
/// member of a Class also matches a text with a dot against its Class's name, a dot and its own.
std::vector<std::uint32_t> Narrowed(const std::vector<Procedure> &procedures,
                                    std::string_view typed);

/// The index of the Class that holds member `member`, or `member` itself when none comes before.
std::size_t HoldingClass(const std::vector<Procedure> &procedures, std::size_t member);

/// Rows of an index of procedures: kind, name (a member's after its Class's and a dot) and line
/// counted from 1. The rows go out of date when the index changes; until they are narrowed again
/// they show nothing.
class ProcedureList : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ProcedureList(QObject *parent = nullptr);

    /// Shows the procedures of `index` that match `typed`.
    void Narrow(const ProcedureIndex &index, const QString &typed);
    /// Shows nothing.
    void Clear();
    /// Whether the index changed since it was narrowed.
    bool OutOfDate() const;
    /// The procedure shown in `row`; nullptr when there is none or the rows are out of date.
    const Procedure *At(int row) const;
    /// The row of the procedure nearest above `line` (the first row when none is above it), or of
    /// the procedure on `line` when there is one; -1 when no row is shown.
    int RowAbove(std::int64_t line) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::size_t EntryOf(int row) const;

    const ProcedureIndex *index_ = nullptr;
    std::uint64_t revision_ = 0;
    // With nothing typed every procedure is shown, row for entry, and no rows are kept: the list
    // of a script of a hundred thousand procedures opens at once.
    bool all_ = false;
    std::vector<std::uint32_t> rows_;
    std::size_t shown_ = 0;
};
