// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// LanguageRegistry: the process-wide store of languages that editor controls can select.
#include "LanguageRegistry.h"

#include <QHash>

namespace
{

QHash<QString, std::shared_ptr<const LanguageDefinition>> &Languages()
{
    static QHash<QString, std::shared_ptr<const LanguageDefinition>> languages;
    return languages;
}

} // namespace

void LanguageRegistry::RegisterLanguage(const QString &name, const LanguageDefinition &definition)
{
    Languages().insert(name, std::make_shared<const LanguageDefinition>(definition));
}

std::shared_ptr<const LanguageDefinition> LanguageRegistry::Find(const QString &name) const
{
    return Languages().value(name);
}
