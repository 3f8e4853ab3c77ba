#pragma once
// Copying the settings of config.ini into the window's controls. Each procedure reads the file
// afresh, once for all its keys, and writes only to controls.

#include "ports.h"
#include "ui/controls.h"

namespace quellix {

// Shows the presence tick of every game that counts as present, hides the others.
void AfficherJeuxInstalles(const System& os, Controls& controls);

// Fills every game's path box with its stored path.
void AfficherChemins(const System& os, Controls& controls);

// Ticks each option box whose value reads "1"; any other value leaves it clear.
void AfficherOptions(const System& os, Controls& controls);

} // namespace quellix
