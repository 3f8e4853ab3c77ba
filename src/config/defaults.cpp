#include "config/defaults.h"

#include "config/catalogue.h"
#include "config/detection.h"
#include "config/settings.h"

#include <string>

namespace quellix {

bool CreerConfigDefaut(const System& os) {
    const std::string file = configPath(os.process);
    bool written = true;
    // Every write is attempted even after a failure, so that as much as can be saved is.
    auto write = [&](std::string_view section, std::string_view key, std::string_view value) {
        written = EcrireIni(os, section, key, value, file) && written;
    };

    write("General", "sansvalidation", "1");
    write("General", "acceleration", "0");
    const FoundGames paths = DetecterJeux(os);
    for (const GameEntry& game : GameCatalogue) {
        write(game.section, "Path", paths.find(game.detectionKey)->second);
        // The flag follows the path as it reads back from the file, after its write.
        write(game.section, "present", EtatChemin(os, game.section));
    }
    return written;
}

} // namespace quellix
