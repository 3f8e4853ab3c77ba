#pragma once

#include "ports.h"

#include <string>
#include <string_view>

namespace quellix {

// The executable path of the game that `detectionKey` names, found in the registry values its
// installer wrote; one blank or the empty text when nothing was found.
std::string DetecterJeu(const System& os, std::string_view detectionKey);

} // namespace quellix
