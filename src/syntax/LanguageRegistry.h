// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LanguageRegistry: the process-wide store of languages that editor controls can select.
#pragma once

#include "LanguageDefinition.h"

#include <QString>

#include <memory>

/// A handle on the one registry of the process; any number of handles see the same languages.
class LanguageRegistry
{
public:
    /// Keeps a copy of `definition` under `name` for the rest of the process, replacing any
    /// earlier one; controls that already selected the name keep colouring by the earlier one.
    void RegisterLanguage(const QString &name, const LanguageDefinition &definition);
    /// The definition registered under `name` (exact spelling), or nullptr when there is none.
    std::shared_ptr<const LanguageDefinition> Find(const QString &name) const;
};
