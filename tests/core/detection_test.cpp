// Where each game's installer recorded it, and the default config.ini built from what is found.

#include "config/defaults.h"
#include "config/detection.h"
#include "test_system.h"

#include <gtest/gtest.h>

#include <string>

namespace quellix {
namespace {

using test::sz;
constexpr RegHandle kUser = 0x80000001, kMachine = 0x80000002;
const std::string kSteam = "Software\\Valve\\Steam";
const std::string kMods = "C:\\Steam\\SteamApps\\joueur\\half-life";

TEST(Detection, EachGameIsFoundWhereItsInstallerWroteAndNothingIsCreated) {
    struct Case {
        std::string game;
        RegHandle root;
        std::string key, name, value, found;
    };
    // clang-format off
    const Case cases[] = {
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
        // Steam games need their folder beside the Steam value, as the path is built.
        {"dod", kUser, kSteam, "ModInstallPath", "C:\\S", ""},
        {"dod", kUser, kSteam, "ModInstallPath", "C:\\S\\", "C:\\S\\\\..\\day of defeat\\hl.exe"},
        {"dod", kUser, kSteam, "ModInstallPath", "C:\\\xC9t\xE9", "C:\\Été\\..\\day of defeat\\hl.exe"},
        // Nothing installed: one blank, or nothing for a game that needs its folder.
        {"q3", kMachine, "SOFTWARE\\Id\\Quake III Arena", "Autre", "D:\\Q3\\quake3.exe", " "},
        {"stfc", kUser, kSteam, "Autre", "", " "},
        {"dod", kUser, kSteam, "Autre", "", ""}, {"moh", kMachine, "SOFTWARE", "", "", ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        test::TestSystem t;
        t.registry.put(c.root, c.key, c.name, sz(c.value));
        const auto before = t.registry.keys;
        t.files.folders = {kMods + "\\..\\day of defeat",         kMods + "\\..\\counter-strike",
                           kMods + "\\..\\team fortress classic", "C:\\S\\\\..\\day of defeat",
                           "C:\\Été\\..\\day of defeat",          "\\..\\team fortress classic"};
        EXPECT_EQ(DetecterJeu(t.os, c.game), c.found) << c.game << " " << c.value;
        EXPECT_TRUE(t.registry.keys == before && t.registry.opened.empty()) << c.game;
    }
}

TEST(Defaults, TheFileHoldsTheOptionsThenEveryGameAsDetected) {
    test::TestSystem t; // Quake 3, and Steam with Counter-Strike only
    t.registry.put(kMachine, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH", sz("D:\\q3.exe"));
    t.registry.put(kUser, kSteam, "ModInstallPath", sz(kMods));
    t.files.folders.insert(kMods + "\\..\\counter-strike");
    t.files.files[t.config].bytes = "; à moi\n[q3]\nPath=C:\\ancien.exe\n";
    EXPECT_TRUE(CreerConfigDefaut(t.os));
    const std::string none = "\nPath= \npresent=0\n";
    EXPECT_EQ(
        t.files.files[t.config].bytes,
        "; à moi\n[q3]\nPath=D:\\q3.exe\npresent=1\n[General]\nsansvalidation=1\nacceleration=0\n"
        "[dod]\nPath=\npresent=0\n[shl]\nPath=" +
            kMods + "\\hl.exe\npresent=1\n[scs]\nPath=" + kMods +
            "\\..\\counter-strike\\hl.exe\npresent=1\n[stfc]\nPath=\npresent=0\n[ja]" + none +
            "[jo]" + none + "[UT2003]" + none + "[mohaa]" + none + "[ut2k4]" + none + "[ef2]" +
            none + "[bf]" + none + "[cod]" + none);
    EXPECT_EQ(t.files.files.size(), 1u) << "a temporary file was left";
    t.files.files[t.config].readOnly = true;
    EXPECT_FALSE(CreerConfigDefaut(t.os));
}

} // namespace
} // namespace quellix
