#include "config/detection.h"

#include "config/catalogue.h"
#include "registry/registry.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace quellix {

namespace {

// Where each game's installer recorded it. The value names a folder unless the appended text is
// empty (the value is then the executable itself). A non-empty sibling folder must exist beside
// the Steam folder for the game to count as found.
struct DetectionRule {
    std::string_view detectionKey;
    std::int32_t HK; // 0 HKEY_LOCAL_MACHINE, 1 HKEY_CURRENT_USER
    std::string_view keyPath;
    std::string_view valueName; // empty: the key's default value
    std::string_view appended;
    std::string_view siblingFolder;
};

// clang-format off
constexpr std::array<DetectionRule, 13> kRules{{
    {"ut",    0, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2003", "Folder", "\\System\\UT2003.exe", ""},
    {"dod",   1, "Software\\Valve\\Steam", "ModInstallPath", "\\..\\day of defeat\\hl.exe", "\\..\\day of defeat"},
    {"shl",   1, "Software\\Valve\\Steam", "ModInstallPath", "\\hl.exe", ""},
    {"scs",   1, "Software\\Valve\\Steam", "ModInstallPath", "\\..\\counter-strike\\hl.exe", "\\..\\counter-strike"},
    {"stfc",  1, "Software\\Valve\\Steam", "ModInstallPath", "\\..\\team fortress classic\\hl.exe", "\\..\\team fortress classic"},
    {"ja",    0, "SOFTWARE\\LucasArts\\Star Wars Jedi Knight Jedi Academy\\1.0", "Install Path", "\\GameData\\jamp.exe", ""},
    {"jo",    0, "SOFTWARE\\LucasArts Entertainment Company LLC\\Star Wars JK II Jedi Outcast\\1.0", "Install Path", "\\JediOutcast.exe", ""},
    {"mohaa", 0, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\MOHAA.exe", "", "", ""},
    {"q3",    0, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH", "", ""},
    {"ut2k4", 0, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2004", "Folder", "\\System\\UT2004.exe", ""},
    {"ef2",   0, "SOFTWARE\\Activision\\Elite Force II", "InstallPath", "\\EF2.exe", ""},
    {"bf",    0, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\BF1942.exe", "", "", ""},
    {"cod",   0, "SOFTWARE\\Activision\\Call of Duty", "InstallPath", "\\CoDMP.exe", ""},
}};
// clang-format on

} // namespace

std::string DetecterJeu(const System& os, std::string_view detectionKey) {
    auto rule = std::ranges::find(kRules, detectionKey, &DetectionRule::detectionKey);
    if (rule == kRules.end()) {
        return {};
    }
    std::string value =
        LireValeur(os, rule->HK, std::string(rule->keyPath), std::string(rule->valueName));
    // Nothing found: one blank, which reads back from config.ini as the empty text.
    std::string appended = value.empty() ? std::string(" ") : std::string(rule->appended);

    // No separator is added or removed, and ".." stays in the stored path: the path is kept as
    // the installer's value plus the fixed text, and the file system resolves it.
    if (!rule->siblingFolder.empty() &&
        !os.files.folderExists(value + std::string(rule->siblingFolder))) {
        return {};
    }
    return value + appended;
}

FoundGames DetecterJeux(const System& os) {
    const FoundGames steam = findSteamGames(os);
    FoundGames paths;
    for (const GameEntry& game : GameCatalogue) {
        std::string path = DetecterJeu(os, game.detectionKey);
        const auto installed = steam.find(game.detectionKey);
        if (path.find_first_not_of(' ') == std::string::npos && installed != steam.end()) {
            path = installed->second;
        }
        paths.emplace(game.detectionKey, path);
    }
    return paths;
}

} // namespace quellix
