#include "launch/startup.h"

#include "launch/desktop_entry.h"
#include "launch/launch.h"
#include "launch/link.h"
#include "launch/registration.h"

namespace quellix {

StartupResult runStartup(const System& os) {
    registerVxProtocol(os);
    const ConfigFile config = ensureConfigFile(os);
    // The window is filled only when it is going to be shown, so a link starts its game without
    // building a window first.
    const LaunchLink link = LireLien(os.process);
    if (!isNoLink(link)) {
        launchFromLink(os, link);
        // The desktop's handler serves the next link: checked once this one's game has started.
        registerWithDesktop(os);
        return {false, false};
    }
    registerWithDesktop(os);
    return {true, config == ConfigFile::CouldNotCreate};
}

} // namespace quellix
