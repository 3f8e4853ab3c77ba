#include "ui/game_rows.h"

#include <string>
#include <vector>

namespace quellix {
namespace {

std::string pathBox(std::string_view prefix) {
    return std::string(prefix) + "_path";
}
std::string browseButton(std::string_view prefix) {
    return "btn_" + std::string(prefix);
}
std::string rowBox(std::string_view prefix) {
    return std::string(prefix) + "_chk";
}

} // namespace

void rowBoxClicked(Controls& controls, std::string_view prefix) {
    // A greyed box (2) counts as clear.
    const bool unlocked = controls.value(rowBox(prefix)) == 1;
    controls.setEnabled(pathBox(prefix), unlocked);
    controls.setEnabled(browseButton(prefix), unlocked);
}

void browseClicked(DialogsPort& dialogs, Controls& controls, std::string_view prefix) {
    const std::vector<FileFilter> filters{{"Fichiers Exe (*.exe)", "*.exe"},
                                          {"Tous les fichiers ", "*.*"}};
    const std::string chosen = dialogs.chooseFile("Chercher un executable", filters);
    if (chosen.empty()) {
        return;
    }
    controls.setText(pathBox(prefix), chosen);
}

void DecocherCases(Controls& controls) {
    for (std::string_view prefix : kRowOrder) {
        controls.setValue(rowBox(prefix), 0);
    }
}

} // namespace quellix
