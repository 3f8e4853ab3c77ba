#pragma once
// What every start of the launcher does before the window may be shown.

#include "ports.h"

namespace quellix {

struct StartupResult {
    bool showWindow;              // no link on the command line
    bool configCouldNotBeCreated; // the window tells the user once
};

// Registers the vx protocol (and, under Wine, the desktop's handler of vx links), makes sure
// config.ini exists, and launches the game when the command line holds a link.
StartupResult runStartup(const System& os);

} // namespace quellix
