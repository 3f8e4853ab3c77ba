#include "config/window_settings.h"

#include "config/catalogue.h"
#include "config/settings.h"

#include <optional>
#include <string>

namespace quellix {
namespace {

// The number a stored option stands for: only "1" ticks the box. The writers store nothing but
// "0" and "1"; a missing file or key reads as empty, which must leave the box in a known state.
int optionValue(const std::string& stored) {
    return stored == "1" ? 1 : 0;
}

} // namespace

void AfficherJeuxInstalles(const System& os, Controls& controls) {
    const std::optional<std::string> config = os.files.readFile(configPath(os.process));
    for (const GameEntry& game : GameCatalogue) {
        controls.setVisible(game.indicator, JeuPresent(os.ansi, config, game.section));
    }
}

void AfficherChemins(const System& os, Controls& controls) {
    const std::optional<std::string> config = os.files.readFile(configPath(os.process));
    for (const GameEntry& game : GameCatalogue) {
        controls.setText(std::string(game.controlPrefix) + "_path",
                         LireIni(os.ansi, config, game.section, "path", ""));
    }
}

void AfficherOptions(const System& os, Controls& controls) {
    const std::optional<std::string> config = os.files.readFile(configPath(os.process));
    controls.setValue("sansvalid_chk",
                      optionValue(LireIni(os.ansi, config, "general", "sansvalidation", "")));
    controls.setValue("accel_chk",
                      optionValue(LireIni(os.ansi, config, "general", "acceleration", "")));
}

} // namespace quellix
