// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScriptGenerator: deterministic script text of any size, so no large file is committed.
#include "ScriptGenerator.h"

#include <QFile>

#include <array>
#include <cstdint>
#include <cstdio>

namespace
{

const std::array<const char *, 12> Templates = {
    "Sub OnPlayerLogin(index)\r\n",
    "    Dim level, name\r\n",
    "    level = GetPlayerLevel(index) + %d\r\n",
    "    name = GetPlayerName(index) & \" joined map \" & GetPlayerMap(index)\r\n",
    "    ' greet the player and log the visit number %d\r\n",
    "    If level >= %d And Not IsNull(name) Then\r\n",
    "        Call PlayerMessage(index, \"Welcome back, \"\"\" & name & \"\"\"!\", vbYellow)\r\n",
    "    ElseIf level mod 7 = 0 Or level <> %d Then\r\n",
    "        Call GivePlayerEXP(index, level * 12.5)\r\n",
    "    End If\r\n",
    "End Sub\r\n",
    "\r\n",
};

} // namespace

QByteArray GenerateScript(qsizetype bytes)
{
    QByteArray script;
    script.reserve(bytes + 128);
    std::uint32_t state = 12345;
    std::size_t line = 0;
    char buffer[160];
    while (script.size() < bytes) {
        state = state * 1103515245u + 12345u;
        const int number = static_cast<int>((state >> 8) % 1000);
        const int length =
            std::snprintf(buffer, sizeof buffer, Templates[line % Templates.size()], number);
        script.append(buffer, length);
        ++line;
    }
    return script;
}

ScriptOnDisk::ScriptOnDisk(qsizetype bytes) : path(folder.filePath(QStringLiteral("large.qc")))
{
    QFile file(path);
    const QByteArray script = GenerateScript(bytes);
    if (!file.open(QIODevice::WriteOnly) || file.write(script) != script.size())
        qFatal("cannot write the benchmark script");
}
