#pragma once

#include "ports.h"

namespace quellix {

// Writes the default options and, for every game, the detected path and its present flag into
// config.ini. False when any of the writes failed.
bool CreerConfigDefaut(const System& os);

} // namespace quellix
