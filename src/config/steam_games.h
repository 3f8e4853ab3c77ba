#pragma once
// The games that today's Steam installs, which leave no installer value of their own.

#include "ports.h"

#include <functional>
#include <map>
#include <string>

namespace quellix {

using FoundGames = std::map<std::string, std::string, std::less<>>; // detection key -> executable

// The mods inside the folder that ModInstallPath names, then the games of each Steam library (the
// first library that holds a game gives it). Only an executable that exists, and that config.ini
// can hold, counts.
FoundGames findSteamGames(const System& os);

} // namespace quellix
