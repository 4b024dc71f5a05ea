// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Replacement: the text put in place of each match, with a regular expression's group references.
#pragma once

#include "TextMatch.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

/// The replacement text as typed. With `expandGroups` (a regular-expression search) \0 stands
/// for the whole match, \1 to \9 for what that group matched (nothing when it took no part)
/// and \\ for one backslash; any other backslash is kept as it is. Without it the text is
/// taken literally.
class Replacement
{
public:
    Replacement(const QString &text, bool expandGroups);

    /// Appends the UTF-8 replacement for `match` to `out`.
    void AppendFor(const FoundMatch &match, QByteArray &out) const;
    /// How many bytes AppendFor appends for `match`.
    qsizetype LengthFor(const FoundMatch &match) const;
    /// The length in bytes of every replacement, when it refers to no group; else nothing.
    std::optional<qsizetype> FixedBytes() const;

private:
    struct Part {
        QByteArray literal;
        int group = -1;
    };

    std::vector<Part> parts_;
};
