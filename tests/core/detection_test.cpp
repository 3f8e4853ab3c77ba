#include "config/detection.h"

#include "config/catalogue.h"
#include "test_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace quellix {
namespace {

constexpr RegHandle kUser = 0x80000001;
constexpr RegHandle kMachine = 0x80000002;
const std::string kSteam = "Software\\Valve\\Steam";
const std::string kMods = "C:\\Steam\\SteamApps\\joueur\\half-life";

test::MemoryRegistry::Value sz(const std::string& ansi) {
    return {kRegSz, ansi + '\0'};
}

// Where each game's installer writes, with a value of its own where the installers differ.
struct Installed {
    std::string detectionKey;
    RegHandle root;
    std::string key;
    std::string name;
    std::string value;
    std::string expected;
};

// clang-format off
const std::vector<Installed> kGames{
    {"ut", kMachine, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2003", "Folder", "C:\\UT2003", "C:\\UT2003\\System\\UT2003.exe"},
    {"dod", kUser, kSteam, "ModInstallPath", kMods, kMods + "\\..\\day of defeat\\hl.exe"},
    {"shl", kUser, kSteam, "ModInstallPath", kMods, kMods + "\\hl.exe"},
    {"scs", kUser, kSteam, "ModInstallPath", kMods, kMods + "\\..\\counter-strike\\hl.exe"},
    {"stfc", kUser, kSteam, "ModInstallPath", kMods, kMods + "\\..\\team fortress classic\\hl.exe"},
    {"ja", kMachine, "SOFTWARE\\LucasArts\\Star Wars Jedi Knight Jedi Academy\\1.0", "Install Path", "D:\\JA", "D:\\JA\\GameData\\jamp.exe"},
    {"jo", kMachine, "SOFTWARE\\LucasArts Entertainment Company LLC\\Star Wars JK II Jedi Outcast\\1.0", "Install Path", "D:\\JO", "D:\\JO\\JediOutcast.exe"},
    {"mohaa", kMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\MOHAA.exe", "", "D:\\MOHAA\\MOHAA.exe", "D:\\MOHAA\\MOHAA.exe"},
    {"q3", kMachine, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH", "D:\\Q3\\quake3.exe", "D:\\Q3\\quake3.exe"},
    {"ut2k4", kMachine, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2004", "Folder", "C:\\UT2004", "C:\\UT2004\\System\\UT2004.exe"},
    {"ef2", kMachine, "SOFTWARE\\Activision\\Elite Force II", "InstallPath", "D:\\EF2", "D:\\EF2\\EF2.exe"},
    {"bf", kMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\BF1942.exe", "", "D:\\BF\\BF1942.exe", "D:\\BF\\BF1942.exe"},
    {"cod", kMachine, "SOFTWARE\\Activision\\Call of Duty", "InstallPath", "D:\\CoD", "D:\\CoD\\CoDMP.exe"},
};
// clang-format on

TEST(Detection, EveryGameIsFoundWhereItsInstallerWroteAndNothingElseIsCreated) {
    test::TestSystem empty;
    test::TestSystem t;
    for (const Installed& game : kGames) {
        t.registry.put(game.root, game.key, game.name, sz(game.value));
    }
    t.files.folders = {kMods + "\\..\\day of defeat", kMods + "\\..\\counter-strike",
                       kMods + "\\..\\team fortress classic"};
    for (const GameEntry& row : GameCatalogue) {
        auto game = std::ranges::find(kGames, row.detectionKey, &Installed::detectionKey);
        ASSERT_NE(game, kGames.end()) << row.detectionKey;
        EXPECT_EQ(DetecterJeu(t.os, row.detectionKey), game->expected);
        // Nothing installed: one blank, or nothing at all for a game that needs its folder.
        bool sibling = game->expected.find("\\..\\") != std::string::npos;
        EXPECT_EQ(DetecterJeu(empty.os, row.detectionKey), sibling ? "" : " ") << row.detectionKey;
    }
    EXPECT_EQ(empty.registry.keyCount(), 0u) << "detection left keys behind";
    EXPECT_EQ(t.registry.openHandles() + empty.registry.openHandles(), 0u);
}

TEST(Detection, SteamGamesNeedTheirFolderBesideTheSteamValue) {
    // clang-format off
    const std::vector<std::vector<std::string>> cases{ // Steam value (or none), folder, game, path
        {kMods, kMods + "\\..\\counter-strike", "dod", ""},
        {kMods, kMods + "\\..\\counter-strike", "shl", kMods + "\\hl.exe"},
        // The folder is tested as the path is built, not as the file system would resolve it.
        {kMods, "C:\\Steam\\SteamApps\\joueur\\counter-strike", "scs", ""},
        // No separator is removed.
        {kMods + "\\", kMods + "\\\\..\\day of defeat", "dod", kMods + "\\\\..\\day of defeat\\hl.exe"},
        {"", "\\..\\team fortress classic", "stfc", " "},
        {"C:\\Jeux\\\xC9t\xE9", "C:\\Jeux\\Été\\..\\day of defeat", "dod", "C:\\Jeux\\Été\\..\\day of defeat\\hl.exe"},
    };
    // clang-format on
    for (const auto& c : cases) {
        test::TestSystem t;
        if (!c[0].empty()) {
            t.registry.put(kUser, kSteam, "ModInstallPath", sz(c[0]));
        }
        t.files.folders.insert(c[1]);
        EXPECT_EQ(DetecterJeu(t.os, c[2]), c[3]) << c[1];
    }
}

} // namespace
} // namespace quellix
