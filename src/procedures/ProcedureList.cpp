// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ProcedureList: matching names, the rows' texts, and the row to start from.
#include "ProcedureList.h"

#include <algorithm>
#include <string>

namespace
{

enum Column { KindColumn, NameColumn, LineColumn, Columns };

// How well a name matches: 2 when it starts with the text, 1 when it holds it, 0 otherwise.
int Match(std::string_view name, std::string_view typed)
{
    const std::size_t at = name.find(typed);
    return at == 0 ? 2 : at != std::string_view::npos ? 1 : 0;
}

} // namespace

std::size_t HoldingClass(const std::vector<Procedure> &procedures, std::size_t member)
{
    for (std::size_t at = member; at-- > 0;) {
        if (procedures[at].word == BlockWord::Class)
            return at;
    }
    return member;
}

std::vector<std::uint32_t> Narrowed(const std::vector<Procedure> &procedures,
                                    std::string_view typed)
{
    std::vector<std::uint32_t> starts;
    std::vector<std::uint32_t> holds;
    const bool dotted = typed.find('.') != std::string_view::npos;
    std::string qualified;
    std::size_t holder = 0;
    for (std::size_t at = 0; at < procedures.size(); ++at) {
        const Procedure &procedure = procedures[at];
        holder = procedure.word == BlockWord::Class ? at : holder;
        int match = Match(procedure.folded, typed);
        if (dotted && procedure.member && procedures[holder].word == BlockWord::Class) {
            qualified = procedures[holder].folded + '.' + procedure.folded;
            match = std::max(match, Match(qualified, typed));
        }
        if (match > 0)
            (match == 2 ? starts : holds).push_back(static_cast<std::uint32_t>(at));
    }
    starts.insert(starts.end(), holds.begin(), holds.end());
    return starts;
}

ProcedureList::ProcedureList(QObject *parent) : QAbstractTableModel(parent) {}

void ProcedureList::Narrow(const ProcedureIndex &index, const QString &typed)
{
    QByteArray folded = typed.trimmed().toUtf8();
    for (char &byte : folded) {
        if (byte >= 'A' && byte <= 'Z')
            byte = static_cast<char>(byte | 0x20);
    }
    beginResetModel();
    index_ = &index;
    revision_ = index.Revision();
    all_ = folded.isEmpty();
    if (all_)
        rows_.clear();
    else
        rows_ = Narrowed(index.Procedures(), std::string_view(folded.constData(), folded.size()));
    shown_ = all_ ? index.Procedures().size() : rows_.size();
    endResetModel();
}

void ProcedureList::Clear()
{
    beginResetModel();
    index_ = nullptr;
    all_ = false;
    rows_.clear();
    shown_ = 0;
    endResetModel();
}

bool ProcedureList::OutOfDate() const
{
    return index_ && index_->Revision() != revision_;
}

const Procedure *ProcedureList::At(int row) const
{
    if (OutOfDate() || row < 0 || row >= rowCount())
        return nullptr;
    return &index_->Procedures()[EntryOf(row)];
}

std::size_t ProcedureList::EntryOf(int row) const
{
    return all_ ? static_cast<std::size_t>(row) : rows_[static_cast<std::size_t>(row)];
}

int ProcedureList::RowAbove(std::int64_t line) const
{
    if (rowCount() == 0 || OutOfDate())
        return -1;
    if (all_) {
        const std::vector<Procedure> &procedures = index_->Procedures();
        const auto after = std::upper_bound(
            procedures.begin(), procedures.end(), line,
            [](std::int64_t l, const Procedure &procedure) { return l < procedure.line; });
        return static_cast<int>(std::max<std::ptrdiff_t>(0, after - procedures.begin() - 1));
    }
    int best = -1;
    for (int row = 0; row < rowCount(); ++row) {
        const std::int64_t at = At(row)->line;
        if (at <= line && (best < 0 || at > At(best)->line))
            best = row;
    }
    return std::max(best, 0);
}

int ProcedureList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown_);
}

int ProcedureList::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant ProcedureList::data(const QModelIndex &index, int role) const
{
    const Procedure *procedure = At(index.row());
    if (!procedure || role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case KindColumn: {
        const std::string_view kind = Spelling(procedure->word);
        return QString::fromLatin1(kind.data(), static_cast<qsizetype>(kind.size()));
    }
    case NameColumn: {
        QString name = QString::fromUtf8(procedure->name);
        const std::size_t at = EntryOf(index.row());
        const std::size_t holder = HoldingClass(index_->Procedures(), at);
        if (procedure->member && holder != at)
            name.prepend(QString::fromUtf8(index_->Procedures()[holder].name) + u'.');
        return name;
    }
    default:
        return QString::number(procedure->line + 1);
    }
}

QVariant ProcedureList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case KindColumn:
        return tr("Kind");
    case NameColumn:
        return tr("Name");
    default:
        return tr("Line");
    }
}
