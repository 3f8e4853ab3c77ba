#pragma once
// What every start does before anything else: register the vx protocol and make sure config.ini
// exists.

#include "ports.h"

namespace quellix {

// Writes the vx protocol registration (classes root, local machine, then the current user) where
// what is stored differs from it. Failures are silent.
void registerVxProtocol(const System& os);

enum class ConfigFile { Existed, Created, CouldNotCreate };

// Creates config.ini with the defaults when no file (normal or hidden) is there. When the defaults
// could not all be written, the file is reported as not created, and removed if still empty.
ConfigFile ensureConfigFile(const System& os);

} // namespace quellix
