#include "config/detection.h"

#include "config/catalogue.h"
#include "test_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace quellix {
namespace {

constexpr RegHandle kCurrentUser = 0x80000001;
constexpr RegHandle kLocalMachine = 0x80000002;

const std::string kSteam = "Software\\Valve\\Steam";
const std::string kSteamMods = "C:\\Steam\\SteamApps\\joueur\\half-life";

test::MemoryRegistry::Value sz(const std::string& ansi) {
    return {kRegSz, ansi + '\0'};
}

// Where each game's installer writes, with a value of its own so that a rule that reads another
// game's entry cannot go unnoticed.
struct Installed {
    std::string detectionKey;
    RegHandle root;
    std::string key;
    std::string name;
    std::string value;
    std::string expected;
};

const std::vector<Installed>& everyGame() {
    static const std::vector<Installed> games{
        {"ut", kLocalMachine, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2003", "Folder",
         "C:\\UT2003", "C:\\UT2003\\System\\UT2003.exe"},
        {"dod", kCurrentUser, kSteam, "ModInstallPath", kSteamMods,
         kSteamMods + "\\..\\day of defeat\\hl.exe"},
        {"shl", kCurrentUser, kSteam, "ModInstallPath", kSteamMods, kSteamMods + "\\hl.exe"},
        {"scs", kCurrentUser, kSteam, "ModInstallPath", kSteamMods,
         kSteamMods + "\\..\\counter-strike\\hl.exe"},
        {"stfc", kCurrentUser, kSteam, "ModInstallPath", kSteamMods,
         kSteamMods + "\\..\\team fortress classic\\hl.exe"},
        {"ja", kLocalMachine, "SOFTWARE\\LucasArts\\Star Wars Jedi Knight Jedi Academy\\1.0",
         "Install Path", "D:\\JA", "D:\\JA\\GameData\\jamp.exe"},
        {"jo", kLocalMachine,
         "SOFTWARE\\LucasArts Entertainment Company LLC\\Star Wars JK II Jedi Outcast\\1.0",
         "Install Path", "D:\\JO", "D:\\JO\\JediOutcast.exe"},
        {"mohaa", kLocalMachine,
         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\MOHAA.exe", "",
         "D:\\EA GAMES\\MOHAA\\MOHAA.exe", "D:\\EA GAMES\\MOHAA\\MOHAA.exe"},
        {"q3", kLocalMachine, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
         "D:\\Jeux\\Quake III Arena\\quake3.exe", "D:\\Jeux\\Quake III Arena\\quake3.exe"},
        {"ut2k4", kLocalMachine, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2004", "Folder",
         "C:\\UT2004", "C:\\UT2004\\System\\UT2004.exe"},
        {"ef2", kLocalMachine, "SOFTWARE\\Activision\\Elite Force II", "InstallPath", "D:\\EF2",
         "D:\\EF2\\EF2.exe"},
        {"bf", kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\BF1942.exe",
         "", "D:\\EA GAMES\\Battlefield 1942\\BF1942.exe",
         "D:\\EA GAMES\\Battlefield 1942\\BF1942.exe"},
        {"cod", kLocalMachine, "SOFTWARE\\Activision\\Call of Duty", "InstallPath", "D:\\CoD",
         "D:\\CoD\\CoDMP.exe"},
    };
    return games;
}

TEST(Detection, EveryGameOfTheCatalogueIsFoundWhereItsInstallerWrote) {
    test::TestSystem t;
    for (const Installed& game : everyGame()) {
        t.registry.put(game.root, game.key, game.name, sz(game.value));
    }
    for (const char* sibling :
         {"\\..\\day of defeat", "\\..\\counter-strike", "\\..\\team fortress classic"}) {
        t.files.folders.insert(kSteamMods + sibling);
    }
    for (const GameEntry& row : GameCatalogue) {
        auto game = std::ranges::find(everyGame(), row.detectionKey, &Installed::detectionKey);
        ASSERT_NE(game, everyGame().end()) << row.detectionKey;
        EXPECT_EQ(DetecterJeu(t.os, row.detectionKey), game->expected) << row.detectionKey;
    }
    EXPECT_EQ(t.registry.openHandles(), 0u);
}

TEST(Detection, NothingInstalledGivesOneBlankOrNothingAndCreatesNoKey) {
    test::TestSystem t;
    for (const Installed& game : everyGame()) {
        bool steamSibling =
            game.detectionKey == "dod" || game.detectionKey == "scs" || game.detectionKey == "stfc";
        EXPECT_EQ(DetecterJeu(t.os, game.detectionKey), steamSibling ? "" : " ")
            << game.detectionKey;
    }
    EXPECT_EQ(t.registry.keyCount(), 0u) << "detection left keys behind";
    EXPECT_EQ(t.registry.openHandles(), 0u);
}

TEST(Detection, EmptyValuesCountAsNotInstalled) {
    test::TestSystem t;
    for (const Installed& game : everyGame()) {
        t.registry.put(game.root, game.key, game.name, sz(""));
    }
    EXPECT_EQ(DetecterJeu(t.os, "q3"), " ");
    EXPECT_EQ(DetecterJeu(t.os, "ut"), " ");
    EXPECT_EQ(DetecterJeu(t.os, "scs"), "");
}

TEST(Detection, SteamGamesNeedTheirFolderBesideTheSteamValue) {
    struct Case {
        const char* what;
        std::string steamValue; // empty: no value at all
        std::vector<std::string> folders;
        std::string key;
        std::string expected;
    };
    const std::vector<Case> cases{
        {"counter-strike only: scs found",
         kSteamMods,
         {kSteamMods + "\\..\\counter-strike"},
         "scs",
         kSteamMods + "\\..\\counter-strike\\hl.exe"},
        {"counter-strike only: dod missing",
         kSteamMods,
         {kSteamMods + "\\..\\counter-strike"},
         "dod",
         ""},
        {"counter-strike only: stfc missing",
         kSteamMods,
         {kSteamMods + "\\..\\counter-strike"},
         "stfc",
         ""},
        {"counter-strike only: shl has no folder test",
         kSteamMods,
         {kSteamMods + "\\..\\counter-strike"},
         "shl",
         kSteamMods + "\\hl.exe"},
        {"a resolved folder is not the path as built",
         kSteamMods,
         {"C:\\Steam\\SteamApps\\joueur\\counter-strike"},
         "scs",
         ""},
        {"value ending in a backslash keeps it doubled",
         kSteamMods + "\\",
         {kSteamMods + "\\\\..\\day of defeat"},
         "dod",
         kSteamMods + "\\\\..\\day of defeat\\hl.exe"},
        {"no value, folder at the drive root", "", {"\\..\\team fortress classic"}, "stfc", " "},
        {"no value, no folder", "", {}, "stfc", ""},
        {"accented value",
         "C:\\Jeux\\\xC9t\xE9",
         {"C:\\Jeux\\Été\\..\\day of defeat"},
         "dod",
         "C:\\Jeux\\Été\\..\\day of defeat\\hl.exe"},
    };
    for (const Case& c : cases) {
        test::TestSystem t;
        if (!c.steamValue.empty()) {
            t.registry.put(kCurrentUser, kSteam, "ModInstallPath", sz(c.steamValue));
        }
        t.files.folders.insert(c.folders.begin(), c.folders.end());
        EXPECT_EQ(DetecterJeu(t.os, c.key), c.expected) << c.what;
    }
}

TEST(Detection, AFolderValueEndingInABackslashGivesADoubledOne) {
    test::TestSystem t;
    t.registry.put(kLocalMachine, "software\\unreal technology\\installed apps\\ut2003", "folder",
                   sz("C:\\UT2003\\"));
    EXPECT_EQ(DetecterJeu(t.os, "ut"), "C:\\UT2003\\\\System\\UT2003.exe");
}

} // namespace
} // namespace quellix
