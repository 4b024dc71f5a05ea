// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// modQuillcode: the "Quillcode" language and the server functions of the completion list.
#pragma once

#include <QLatin1StringView>

#include <array>

class EditorList;

namespace modQuillcode
{

/// The game server's script functions in their fixed order: the end of the keyword list and
/// the whole of the completion list.
// clang-format off
inline constexpr std::array<QLatin1StringView, 60> ServerFunctionNames = {
    QLatin1StringView("ClearClasses"),       QLatin1StringView("ClearClass"),
    QLatin1StringView("ClearItems"),         QLatin1StringView("ClearItem"),
    QLatin1StringView("ClearNPC"),           QLatin1StringView("ClearNPCs"),
    QLatin1StringView("ClearShop"),          QLatin1StringView("ClearShops"),
    QLatin1StringView("ClearSpell"),         QLatin1StringView("ClearSpells"),
    QLatin1StringView("ClearMapItem"),       QLatin1StringView("ClearMapItems"),
    QLatin1StringView("ClearMapNPC"),        QLatin1StringView("ClearMapNPCs"),
    QLatin1StringView("ClearMap"),           QLatin1StringView("ClearMaps"),
    QLatin1StringView("GivePlayerExperience"), QLatin1StringView("GivePlayerEXP"),
    QLatin1StringView("GetPlayerMap"),       QLatin1StringView("GetPlayerX"),
    QLatin1StringView("GetPlayerY"),         QLatin1StringView("GetPlayerLevel"),
    QLatin1StringView("GetPlayerNextLevel"), QLatin1StringView("GetPlayerName"),
    QLatin1StringView("SetPlayerClassID"),   QLatin1StringView("GetPlayerClassID"),
    QLatin1StringView("GetPlayerClassName"), QLatin1StringView("GetPlayerDirection"),
    QLatin1StringView("GetPlayerExperience"), QLatin1StringView("GetPlayerAccess"),
    QLatin1StringView("GetPlayerMana"),      QLatin1StringView("SetPlayerMana"),
    QLatin1StringView("GetPlayerLogin"),     QLatin1StringView("ClearPlayer"),
    QLatin1StringView("ClearChar"),          QLatin1StringView("SetPlayerLogin"),
    QLatin1StringView("GetPlayerPassword"),  QLatin1StringView("SetPlayerPassword"),
    QLatin1StringView("SetPlayerName"),      QLatin1StringView("SetPlayerSprite"),
    QLatin1StringView("GlobalMessage"),      QLatin1StringView("MapMessage"),
    QLatin1StringView("BroadcastMessage"),   QLatin1StringView("PlayerMessage"),
    QLatin1StringView("SetAutoBan"),         QLatin1StringView("SetDefaultPosition"),
    QLatin1StringView("SetMaxPlayers"),      QLatin1StringView("SetMaxMaps"),
    QLatin1StringView("SetServerPort"),      QLatin1StringView("SetServerName"),
    QLatin1StringView("GetServerName"),      QLatin1StringView("ServerVersion"),
    QLatin1StringView("SetStatus"),          QLatin1StringView("DebugPrint"),
    QLatin1StringView("InitTray"),           QLatin1StringView("DestroyTray"),
    QLatin1StringView("SaveAllPlayersOnline"), QLatin1StringView("SetMOTD"),
    QLatin1StringView("SendMOTD"),           QLatin1StringView("SendWhoIsOnline"),
};
// clang-format on

/// Builds the "Quillcode" definition and registers it; only the first call in a process does
/// anything, even when that call failed part way.
void SetupLanguage();

/// Adds every server function name to `list`, first to last.
void FillCompletionList(EditorList &list);

} // namespace modQuillcode
