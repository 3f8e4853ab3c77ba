#include "config/steam_games.h"

#include "config/keyvalues.h"
#include "config/settings.h"
#include "registry/registry.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace quellix {

namespace {

const std::string kSteamKey = "Software\\Valve\\Steam";

struct Mod {
    std::string_view folder; // inside Half-Life's folder
    std::string_view detectionKey;
};
constexpr std::array<Mod, 3> kMods{{{"dod", "dod"}, {"cstrike", "scs"}, {"tfc", "stfc"}}};

struct SteamApp {
    std::string_view appId;
    std::string_view detectionKey;
    std::string_view executable; // under the app's install folder
};
// clang-format off
constexpr std::array<SteamApp, 6> kApps{{
    {"70",    "shl",   "hl.exe"},
    {"2200",  "q3",    "quake3.exe"},
    {"6020",  "ja",    "GameData\\jamp.exe"},
    {"6030",  "jo",    "JediOutcast.exe"},
    {"2620",  "cod",   "CoDMP.exe"},
    {"13230", "ut2k4", "System\\UT2004.exe"},
}};
// clang-format on

class Finder {
public:
    explicit Finder(const System& os) : os_(os) {}

    // Half-Life's hl.exe in `folder`, for Half-Life and for each mod whose folder is inside it.
    void halfLife(const std::string& folder) {
        const std::string hl = folder + "\\hl.exe";
        add("shl", hl);
        for (const Mod& mod : kMods) {
            if (os_.files.folderExists(folder + "\\" + std::string(mod.folder))) {
                add(mod.detectionKey, hl);
            }
        }
    }

    void library(const std::string& folder) {
        const std::string apps = folder + "\\steamapps\\";
        for (const SteamApp& app : kApps) {
            const auto manifest =
                read(apps + "appmanifest_" + std::string(app.appId) + ".acf", "AppState");
            const keyvalues::Entry* dir =
                manifest ? keyvalues::find(*manifest, "installdir") : nullptr;
            // One folder's name (not dots alone): a manifest cannot lead out of the library.
            if (!dir || dir->block || dir->text.find_first_not_of(". ") == std::string::npos ||
                dir->text.find_first_of("\\/:") != std::string::npos) {
                continue;
            }
            const std::string installed = apps + "common\\" + dir->text;
            if (app.appId == "70") {
                halfLife(installed);
            } else {
                add(app.detectionKey, installed + "\\" + std::string(app.executable));
            }
        }
    }

    // The entries of the block `name` at the top of a KeyValues file; nothing when unreadable.
    std::optional<std::vector<keyvalues::Entry>> read(const std::string& path,
                                                      std::string_view name) {
        const std::optional<std::string> bytes = os_.files.readFile(path);
        const auto entries = bytes ? keyvalues::parse(*bytes) : std::nullopt;
        const keyvalues::Entry* block = entries ? keyvalues::find(*entries, name) : nullptr;
        return block && block->block ? std::optional(block->entries) : std::nullopt;
    }

    FoundGames found;

private:
    // A path that config.ini cannot hold would make the whole write of the defaults fail.
    void add(std::string_view detectionKey, const std::string& executable) {
        if (!found.contains(detectionKey) && os_.files.fileExists(executable) &&
            fitsConfigFile(os_, executable, configPath(os_.process))) {
            found.emplace(detectionKey, executable);
        }
    }

    const System& os_;
};

// Backslashes only, none at the end: Steam writes some paths with forward slashes.
std::string windowsFolder(std::string path) {
    std::ranges::replace(path, '/', '\\');
    while (path.ends_with('\\')) {
        path.pop_back();
    }
    return path;
}

} // namespace

FoundGames findSteamGames(const System& os) {
    Finder finder(os);
    // Registry values come through the ANSI code page, the library file is UTF-8: both arrive as
    // the core's UTF-8.
    const std::string mods = LireValeur(os, 1, kSteamKey, "ModInstallPath");
    if (!mods.empty()) {
        finder.halfLife(windowsFolder(mods));
    }
    const std::string steam = windowsFolder(LireValeur(os, 1, kSteamKey, "SteamPath"));
    if (steam.empty()) {
        return finder.found;
    }
    // The list names Steam's own folder first; without a readable list, that folder alone (and
    // should the list miss it, it is searched last): each folder once.
    std::vector<std::string> libraries;
    const auto listed = finder.read(steam + "\\steamapps\\libraryfolders.vdf", "libraryfolders");
    for (const keyvalues::Entry& library : listed.value_or(std::vector<keyvalues::Entry>{})) {
        const keyvalues::Entry* path = keyvalues::find(library.entries, "path");
        if (path && !path->block && !windowsFolder(path->text).empty()) {
            libraries.push_back(windowsFolder(path->text));
        }
    }
    if (std::ranges::find(libraries, steam) == libraries.end()) {
        libraries.push_back(steam);
    }
    for (const std::string& library : libraries) {
        finder.library(library);
    }
    return finder.found;
}

} // namespace quellix
