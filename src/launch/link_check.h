#pragma once
// What a link may carry into a game's command line. The server address and the password come from a
// web page; anything beyond these characters could add switches or console commands to the game.

#include <string_view>

namespace quellix {

bool isAllowedServerAddress(std::string_view address);
bool isAllowedPassword(std::string_view password);

} // namespace quellix
