#pragma once

#include "config/steam_games.h"
#include "ports.h"

#include <string>
#include <string_view>

namespace quellix {

// The executable path of the game that `detectionKey` names, found in the registry values its
// installer wrote; one blank or the empty text when nothing was found.
std::string DetecterJeu(const System& os, std::string_view detectionKey);

// Every game of the catalogue by its detection key: what DetecterJeu finds wins; a game it leaves
// empty takes what today's Steam installs hold (findSteamGames, read once for all the games).
FoundGames DetecterJeux(const System& os);

} // namespace quellix
