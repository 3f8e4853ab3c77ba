#include "ui/commands.h"

#include "config/catalogue.h"
#include "config/defaults.h"
#include "config/settings.h"
#include "config/window_settings.h"
#include "ui/game_rows.h"

#include <optional>
#include <string>

namespace quellix {
namespace {

// A save that could not write is said once, after the command has done all its other steps; the
// edits stay on screen so that the user can try again.
void reportIfUnsaved(const System& os, bool saved) {
    if (!saved) {
        os.dialogs.showMessage(kSaveFailed, Buttons::Ok);
    }
}

// The first path of an unlocked row that the file cannot hold, or nothing.
std::optional<std::string> unstorablePath(const System& os, Controls& controls,
                                          const std::string& file) {
    for (std::string_view prefix : kRowOrder) {
        const std::string path = controls.text(std::string(prefix) + "_path");
        if (controls.value(std::string(prefix) + "_chk") == 1 && !fitsConfigFile(os, path, file)) {
            return path;
        }
    }
    return std::nullopt;
}

} // namespace

void appliquerClicked(const System& os, Controls& controls) {
    const std::string file = configPath(os.process);
    // Stored mangled, such a path would start nothing; refused, the user can choose another.
    if (std::optional<std::string> path = unstorablePath(os, controls, file)) {
        os.dialogs.showMessage(kPathNotStorable + *path, Buttons::Ok);
        return;
    }
    bool saved = true;
    for (std::string_view prefix : kRowOrder) {
        const GameEntry* game = findByControlPrefix(prefix);
        const std::string box = std::string(prefix) + "_path";
        if (game == nullptr || controls.value(std::string(prefix) + "_chk") != 1) {
            continue;
        }
        saved = EcrireIni(os, game->section, "path", controls.text(box), file) && saved;
        const char* present = controls.text(box).empty() ? "0" : "1";
        saved = EcrireIni(os, game->section, "present", present, file) && saved;
    }
    DecocherCases(controls);
    AfficherJeuxInstalles(os, controls);
    reportIfUnsaved(os, saved);
}

void annulerClicked(const System& os, Controls& controls) {
    DecocherCases(controls);
    AfficherChemins(os, controls);
}

void optionsClicked(const System& os, Controls& controls) {
    const std::string file = configPath(os.process);
    bool saved = EcrireIni(os, "general", "sansvalidation",
                           std::to_string(controls.value("sansvalid_chk")), file);
    saved = EcrireIni(os, "general", "acceleration", std::to_string(controls.value("accel_chk")),
                      file) &&
            saved;
    reportIfUnsaved(os, saved);
}

void defautClicked(const System& os, Controls& controls) {
    if (os.dialogs.showMessage(kResetQuestion, Buttons::OkCancel) != Answer::Ok) {
        return;
    }
    const bool saved = CreerConfigDefaut(os);
    AfficherChemins(os, controls);
    AfficherOptions(os, controls);
    AfficherJeuxInstalles(os, controls);
    reportIfUnsaved(os, saved);
}

} // namespace quellix
