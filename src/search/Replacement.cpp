// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Replacement: the text put in place of each match, with a regular expression's group references.
#include "Replacement.h"

Replacement::Replacement(const QString &text, bool expandGroups)
{
    if (!expandGroups) {
        parts_.push_back(Part{text.toUtf8(), -1});
        return;
    }
    QString literal;
    const auto flush = [&] {
        if (!literal.isEmpty())
            parts_.push_back(Part{literal.toUtf8(), -1});
        literal.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t next = i + 1 < text.size() ? text[i + 1].unicode() : u'\0';
        const bool group = next >= u'0' && next <= u'9';
        if (text[i] != QLatin1Char('\\') || (next != u'\\' && !group)) {
            literal += text[i];
            continue;
        }
        ++i;
        if (!group) {
            literal += QLatin1Char('\\');
            continue;
        }
        flush();
        parts_.push_back(Part{{}, next - u'0'});
    }
    flush();
}

void Replacement::AppendFor(const FoundMatch &match, QByteArray &out) const
{
    for (const Part &part : parts_) {
        if (part.group < 0)
            out += part.literal;
        else
            out += match.Text(part.group);
    }
}

qsizetype Replacement::LengthFor(const FoundMatch &match) const
{
    qsizetype length = 0;
    for (const Part &part : parts_)
        length += part.group < 0 ? part.literal.size() : match.Text(part.group).size();
    return length;
}

std::optional<qsizetype> Replacement::FixedBytes() const
{
    qsizetype length = 0;
    for (const Part &part : parts_) {
        if (part.group >= 0)
            return std::nullopt;
        length += part.literal.size();
    }
    return length;
}
