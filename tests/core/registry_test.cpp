// The registry layer against the in-memory registry, the games found where their installers wrote,
// the default config.ini built from them, and the vx registration written through the layer.

#include "config/defaults.h"
#include "config/detection.h"
#include "config/settings.h"
#include "launch/registration.h"
#include "launch/startup.h"
#include "registry/registry.h"
#include "test_system.h"

#include <gtest/gtest.h>

#include <regex>

namespace quellix {
namespace {

using namespace std::string_literals;
using test::sz;
constexpr RegHandle kCurrentUser = 0x80000001, kLocalMachine = 0x80000002;
const std::string kKey = "Software\\QuellixTest\\Jeux";

// A string loses its terminator only when it has one; any other type loses its last byte.
TEST(Registry, LireValeurReadsEveryTypeAsText) {
    // clang-format off
    const std::pair<test::MemoryRegistry::Value, std::string> cases[] = {
        {sz("C:\\Jeux\\Quake III Arena"), "C:\\Jeux\\Quake III Arena"}, {sz(""), ""}, {{kRegSz, ""}, ""},
        {sz("x"), "x"}, {sz("C:\\Jeux\\\xC9t\xE9"), "C:\\Jeux\\Été"}, {{kRegDword, "ABCD"}, "ABC"},
        {{kRegSz, std::string("a\0b\0", 4)}, std::string("a\0b", 3)}, {{kRegSz, "abc"}, "abc"},
        {{kRegExpandSz, "ab\0"s}, "ab"}, {{kRegMultiSz, "ab"}, "ab"},
        {sz(std::string(1000, 'p')), std::string(1000, 'p')}};
    // clang-format on
    for (const auto& [stored, read] : cases) {
        for (bool overstated : {false, true}) {
            test::TestSystem t;
            t.registry.overstateSizes = overstated;
            t.registry.put(kCurrentUser, kKey, "R\xE9pertoire", stored); // named in ANSI
            EXPECT_EQ(LireValeur(t.os, 1, kKey, "RéPERTOIRE"), read) << overstated;
            EXPECT_TRUE(t.registry.opened.empty()) << "a key was left open";
        }
    }
}

const std::string kSteam = "Software\\Valve\\Steam";
const std::string kMods = "C:\\Steam\\SteamApps\\joueur\\half-life";

TEST(Detection, EachGameIsFoundWhereItsInstallerWroteAndNothingIsCreated) {
    // clang-format off
    const std::tuple<std::string, RegHandle, std::string, std::string, std::string, std::string> cases[] = {
        {"ut", kLocalMachine, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2003", "Folder", "C:\\UT2003", "C:\\UT2003\\System\\UT2003.exe"},
        {"stfc", kCurrentUser, kSteam, "ModInstallPath", kMods, kMods + "\\..\\team fortress classic\\hl.exe"},
        {"ja", kLocalMachine, "SOFTWARE\\LucasArts\\Star Wars Jedi Knight Jedi Academy\\1.0", "Install Path", "D:\\JA", "D:\\JA\\GameData\\jamp.exe"},
        {"jo", kLocalMachine, "SOFTWARE\\LucasArts Entertainment Company LLC\\Star Wars JK II Jedi Outcast\\1.0", "Install Path", "D:\\JO", "D:\\JO\\JediOutcast.exe"},
        {"mohaa", kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\MOHAA.exe", "", "D:\\MOHAA\\MOHAA.exe", "D:\\MOHAA\\MOHAA.exe"},
        {"q3", kLocalMachine, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH", "D:\\Q3\\quake3.exe", "D:\\Q3\\quake3.exe"},
        {"ut2k4", kLocalMachine, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2004", "Folder", "C:\\UT2004", "C:\\UT2004\\System\\UT2004.exe"},
        {"ef2", kLocalMachine, "SOFTWARE\\Activision\\Elite Force II", "InstallPath", "D:\\EF2", "D:\\EF2\\EF2.exe"},
        {"bf", kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\BF1942.exe", "", "D:\\BF\\BF1942.exe", "D:\\BF\\BF1942.exe"},
        {"cod", kLocalMachine, "SOFTWARE\\Activision\\Call of Duty", "InstallPath", "D:\\CoD", "D:\\CoD\\CoDMP.exe"},
        // Steam games need their folder beside the Steam value, as the path is built.
        {"dod", kCurrentUser, kSteam, "ModInstallPath", "C:\\S", ""},
        {"dod", kCurrentUser, kSteam, "ModInstallPath", "C:\\S\\", "C:\\S\\\\..\\day of defeat\\hl.exe"},
        {"dod", kCurrentUser, kSteam, "ModInstallPath", "C:\\\xC9t\xE9", "C:\\Été\\..\\day of defeat\\hl.exe"},
        // Nothing installed: one blank, or nothing for a game that needs its folder.
        {"q3", kLocalMachine, "SOFTWARE\\Id\\Quake III Arena", "Autre", "D:\\Q3\\quake3.exe", " "},
        {"stfc", kCurrentUser, kSteam, "Autre", "", " "},
        {"dod", kCurrentUser, kSteam, "Autre", "", ""}, {"moh", kLocalMachine, "SOFTWARE", "", "", ""},
    };
    // clang-format on
    for (const auto& [game, root, key, name, value, found] : cases) {
        test::TestSystem t;
        t.registry.put(root, key, name, sz(value));
        const auto before = t.registry.keys;
        t.files.folders = {kMods + "\\..\\team fortress classic", "C:\\S\\\\..\\day of defeat",
                           "C:\\Été\\..\\day of defeat", "\\..\\team fortress classic"};
        EXPECT_EQ(DetecterJeu(t.os, game), found) << game << " " << value;
        EXPECT_TRUE(t.registry.keys == before && t.registry.opened.empty()) << game;
    }
}

// Today's Steam fills what the installers' values left empty, with executables on the disk; past a
// limit, out of the library or out of the code page: nothing.
TEST(Detection, TodaysSteamFillsWhatTheInstallersLeftEmpty) {
    // clang-format off
    const std::string c = "C:\\Steam\\steamapps\\", d = "D:\\Jeux é\\steamapps\\", e = "E:\\日本\\steamapps\\",
                      hl = c + "common\\Half-Life", j(4096, 'j'), big(1 << 20, '/');
    auto acf = [](const std::string& dir, int depth = 0) { // `depth` blocks inside its own
        return "\"AppState\" // app\n{\n\t\"appid\"\t\"1\"\n\t\"InstallDir\"\t\t\"" + dir + "\" " +
               std::regex_replace(std::string(depth, '{'), std::regex("\\{"), "x{") + std::string(depth, '}') + "}\n";
    };
    const std::string list = "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"C:\\\\Steam\"\n\t\t\"apps\" { \"70\" \"1\" }\n\t}\n"
                             "\t\"1\" { \"path\" \"E:\\\\日本\" }\n\t\"2\" { path \"D:/Jeux é/\" }\n}\n";
    // ModInstallPath, SteamPath, folders, files, what is found.
    const std::tuple<std::string, std::string, std::set<std::string>, std::map<std::string, test::MemoryFiles::File>, std::string> layouts[] = {
        {hl, "", {hl + "\\cstrike", hl + "\\tfc"}, {{hl + "\\hl.exe", {}}}, "scs=" + hl + "\\hl.exe\nshl=" + hl + "\\hl.exe\nstfc=" + hl + "\\hl.exe\n"},
        {kMods, "C:/Steam/", {kMods + "\\..\\day of defeat", hl + "\\dod", hl + "\\tfc"}, {{c + "libraryfolders.vdf", {list}}, {c + "appmanifest_70.acf", {acf("Half-Life")}},
          {hl + "\\hl.exe", {}}, {c + "appmanifest_2620.acf", {acf("CoD")}}, {e + "appmanifest_2200.acf", {acf("Q3")}}, {e + "common\\Q3\\quake3.exe", {}},
          {d + "appmanifest_2200.acf", {acf("Q3", 15)}}, {d + "common\\Q3\\quake3.exe", {}}, {d + "appmanifest_6020.acf", {acf(j)}}, {d + "common\\" + j + "\\GameData\\jamp.exe", {}},
          {d + "appmanifest_6030.acf", {(acf("JO") + big).substr(0, 1 << 20)}}, {d + "common\\JO\\JediOutcast.exe", {}}, {d + "appmanifest_2620.acf", {acf("CoD")}},
          {d + "common\\CoD\\CoDMP.exe", {}}, {d + "appmanifest_13230.acf", {acf("UT")}}, {d + "common\\UT\\System\\UT2004.exe", {}}},
         "cod=" + d + "common\\CoD\\CoDMP.exe\ndod=" + kMods + "\\..\\day of defeat\\hl.exe\nja=" + d + "common\\" + j + "\\GameData\\jamp.exe\njo=" + d +
         "common\\JO\\JediOutcast.exe\nq3=" + d + "common\\Q3\\quake3.exe\nshl=" + kMods + "\\hl.exe\nstfc=" + hl + "\\hl.exe\nut2k4=" + d + "common\\UT\\System\\UT2004.exe\n"},
        {"", "C:/Steam", {}, {{c + "libraryfolders.vdf", {list.substr(0, list.size() - 2)}}, {c + "appmanifest_70.acf", {acf("Half-Life")}}, {hl + "\\hl.exe", {}}, {d + "appmanifest_13230.acf", {acf("UT")}}, {d + "common\\UT\\System\\UT2004.exe", {}},
          {c + "appmanifest_13230.acf", {acf("UT")}}, {c + "common\\UT\\System\\UT2004.exe", {}}, {c + "appmanifest_2200.acf", {acf("Q3", 16)}}, {c + "common\\Q3\\quake3.exe", {}},
          {c + "appmanifest_6020.acf", {acf(j + "j")}}, {c + "common\\" + j + "j\\GameData\\jamp.exe", {}}, {c + "appmanifest_6030.acf", {acf("JO") + big}},
          {c + "common\\JO\\JediOutcast.exe", {}}, {c + "appmanifest_2620.acf", {acf("..")}}, {c + "common\\..\\CoDMP.exe", {}}}, "shl=" + hl + "\\hl.exe\nut2k4=" + c + "common\\UT\\System\\UT2004.exe\n"},
    };
    // clang-format on
    for (const auto& [mods, steam, folders, files, found] : layouts) {
        test::TestSystem t;
        t.registry.put(kCurrentUser, kSteam, "ModInstallPath", sz(mods));
        t.registry.put(kCurrentUser, kSteam, "SteamPath", sz(steam));
        t.files.folders = folders;
        t.files.files = files;
        std::string detected;
        for (const auto& [key, path] : DetecterJeux(t.os)) {
            detected += path.find_first_not_of(' ') == path.npos ? "" : key + "=" + path + "\n";
        }
        EXPECT_EQ(detected, found) << mods << steam;
    }
}

// Every root gets the quoted command in the shell's view, machine roots first (a standard user's
// refused); a later start rewrites only a value that is missing or differs, of whatever type.
TEST(Registration, EveryRootGetsTheQuotedCommandAndALaterStartWritesOnlyWhatDiffers) {
    for (bool standardUser : {false, true}) {
        test::TestSystem t;
        t.process.folder = "C:\\Users\\Zoé\\Mes Jeux";
        if (standardUser) {
            t.registry.readOnlyRoots = {0x80000000, kLocalMachine};
        }
        registerVxProtocol(t.os);
        std::vector<std::string> expected;
        for (std::string key :
             {"shell hkcr\\vx", "shell hklm\\software\\vx", "shell hkcu\\software\\classes\\vx"}) {
            if (!standardUser || key.starts_with("shell hkcu")) {
                expected.insert(expected.end(),
                                {key + "|=URL: vx Protocol\0"s, key + "|URL Protocol=\0"s,
                                 key + "\\shell\\open\\command|=\"C:\\Users\\Zo\xE9\\Mes "
                                       "Jeux\\quellix.exe\" %1\0"s});
            }
        }
        EXPECT_EQ(t.registry.writes, expected);
        EXPECT_EQ(t.registry.keys.size(), standardUser ? 2u : 6u) << "the key and its command";
    }
    const std::string command = "hkcu\\software\\classes\\vx\\shell\\open\\command";
    // clang-format off
    // The key and value changed after a first start, what it was left as (none: removed), and
    // the writes of the next start.
    const std::tuple<std::string, std::string, std::optional<test::MemoryRegistry::Value>, std::vector<std::string>> cases[] = {
        {"", "", {}, {}},
        {"hklm\\software\\vx", "URL Protocol", {}, {"shell hklm\\software\\vx|URL Protocol=\0"s}},
        {"hkcr\\vx", "URL Protocol", test::MemoryRegistry::Value{kRegExpandSz, "\0"s}, {"shell hkcr\\vx|URL Protocol=\0"s}},
        {command, "", sz("\"D:\\quellix.exe\" %1"), {"shell " + command + "|=\"C:\\Quellix\\quellix.exe\" %1\0"s}},
    };
    // clang-format on
    for (const auto& [changed, name, left, writes] : cases) {
        test::TestSystem t;
        registerVxProtocol(t.os);
        auto& values = t.registry.keys["shell " + changed];
        if (values.erase(test::MemoryRegistry::fold(name)); left) {
            values[test::MemoryRegistry::fold(name)] = *left;
        }
        t.registry.writes.clear();
        registerVxProtocol(t.os);
        EXPECT_EQ(t.registry.writes, writes) << changed << name;
        EXPECT_TRUE(t.registry.opened.empty());
    }
}

// The defaults: the options, then each game as detected (here Quake 3, and Counter-Strike beside
// Steam's value), blank for the others, in the code page.
TEST(Registration, ConfigFileIsCreatedWithTheDefaultsOnlyWhenNoFileIsThere) {
    // clang-format off
    const std::string none = "\r\nPath= \r\npresent=0\r\n", blank = "\r\nPath=\r\npresent=0\r\n";
    const std::string defaults = "[General]\r\nsansvalidation=1\r\nacceleration=0\r\n[dod]" + blank + "[shl]\r\nPath=" +
        kMods + "\\hl.exe\r\npresent=1\r\n[scs]\r\nPath=" + kMods + "\\..\\counter-strike\\hl.exe\r\npresent=1\r\n[stfc]" +
        blank + "[ja]" + none + "[jo]" + none + "[q3]\r\nPath=D:\\Jeux \xE9t\xE9\\q3.exe\r\npresent=1\r\n[UT2003]" + none +
        "[mohaa]" + none + "[ut2k4]" + none + "[ef2]" + none + "[bf]" + none + "[cod]" + none;
    // Existing file, creation fails, writes fail, result, the file afterwards (none: no file).
    const std::tuple<std::optional<std::string>, bool, bool, ConfigFile, std::optional<std::string>> cases[] = {
        {"[general]\r\nsansvalidation=0\r\n", false, false, ConfigFile::Existed, "[general]\r\nsansvalidation=0\r\n"},
        {"", false, true, ConfigFile::Existed, ""}, // emptied by the user
        {{}, false, false, ConfigFile::Created, defaults}, {{}, true, false, ConfigFile::CouldNotCreate, {}},
        // An empty file left behind would hide the installed games from every later start.
        {{}, false, true, ConfigFile::CouldNotCreate, {}}};
    // clang-format on
    for (const auto& [existing, failCreate, failWrites, result, after] : cases) {
        test::TestSystem t;
        t.registry.put(kLocalMachine, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                       sz("D:\\Jeux \xE9t\xE9\\q3.exe"));
        t.registry.put(kCurrentUser, kSteam, "ModInstallPath", sz(kMods));
        t.files.folders.insert(kMods + "\\..\\counter-strike");
        if (existing) {
            t.files.files[t.config].bytes = *existing;
        }
        t.files.failCreate = failCreate;
        t.files.failWrite = failWrites;
        EXPECT_EQ(ensureConfigFile(t.os), result);
        EXPECT_EQ(t.files.readFile(t.config), after);
        EXPECT_EQ(t.files.files.size(), after ? 1u : 0u) << "a temporary file was left";
        if (!existing) { // the window will say
            t.files.files.erase(t.config);
            EXPECT_EQ(runStartup(t.os).configCouldNotBeCreated, !after);
        }
    }
}

} // namespace
} // namespace quellix
