#include "config/defaults.h"

#include "test_system.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace quellix {
namespace {

constexpr RegHandle kCurrentUser = 0x80000001;
constexpr RegHandle kLocalMachine = 0x80000002;

const std::string kConfig = "C:\\Quellix\\config.ini";
const std::string kQuake = "D:\\Jeux\\Quake III Arena\\quake3.exe";
const std::string kSteamMods = "C:\\Steam\\SteamApps\\joueur\\half-life";

std::string lines(std::initializer_list<std::string_view> all, std::string_view end = "\r\n") {
    std::string text;
    for (std::string_view line : all) {
        text += std::string(line) + std::string(end);
    }
    return text;
}

void installQuake(test::TestSystem& t) {
    t.registry.put(kLocalMachine, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                   {kRegSz, kQuake + '\0'});
}

void installSteamWithCounterStrike(test::TestSystem& t) {
    t.registry.put(kCurrentUser, "Software\\Valve\\Steam", "ModInstallPath",
                   {kRegSz, kSteamMods + '\0'});
    t.files.folders.insert(kSteamMods + "\\..\\counter-strike");
}

TEST(Defaults, FreshFileHoldsTheOptionsThenEveryGameInCatalogueOrder) {
    struct Case {
        const char* machine;
        void (*install)(test::TestSystem&);
        std::string expected;
    };
    // clang-format off
    const std::vector<Case> cases{
        {"nothing installed", [](test::TestSystem&) {},
         lines({"[General]", "sansvalidation=1", "acceleration=0",
                "[dod]",     "Path=",            "present=0",
                "[shl]",     "Path= ",           "present=0",
                "[scs]",     "Path=",            "present=0",
                "[stfc]",    "Path=",            "present=0",
                "[ja]",      "Path= ",           "present=0",
                "[jo]",      "Path= ",           "present=0",
                "[q3]",      "Path= ",           "present=0",
                "[UT2003]",  "Path= ",           "present=0",
                "[mohaa]",   "Path= ",           "present=0",
                "[ut2k4]",   "Path= ",           "present=0",
                "[ef2]",     "Path= ",           "present=0",
                "[bf]",      "Path= ",           "present=0",
                "[cod]",     "Path= ",           "present=0"})},
        {"only Quake 3", installQuake,
         lines({"[General]", "sansvalidation=1", "acceleration=0",
                "[dod]",     "Path=",            "present=0",
                "[shl]",     "Path= ",           "present=0",
                "[scs]",     "Path=",            "present=0",
                "[stfc]",    "Path=",            "present=0",
                "[ja]",      "Path= ",           "present=0",
                "[jo]",      "Path= ",           "present=0",
                "[q3]",      "Path=D:\\Jeux\\Quake III Arena\\quake3.exe", "present=1",
                "[UT2003]",  "Path= ",           "present=0",
                "[mohaa]",   "Path= ",           "present=0",
                "[ut2k4]",   "Path= ",           "present=0",
                "[ef2]",     "Path= ",           "present=0",
                "[bf]",      "Path= ",           "present=0",
                "[cod]",     "Path= ",           "present=0"})},
        {"Steam with Counter-Strike only", installSteamWithCounterStrike,
         lines({"[General]", "sansvalidation=1", "acceleration=0",
                "[dod]",     "Path=",            "present=0",
                "[shl]",     "Path=C:\\Steam\\SteamApps\\joueur\\half-life\\hl.exe", "present=1",
                "[scs]",     "Path=C:\\Steam\\SteamApps\\joueur\\half-life\\..\\counter-strike\\hl.exe",
                "present=1",
                "[stfc]",    "Path=",            "present=0",
                "[ja]",      "Path= ",           "present=0",
                "[jo]",      "Path= ",           "present=0",
                "[q3]",      "Path= ",           "present=0",
                "[UT2003]",  "Path= ",           "present=0",
                "[mohaa]",   "Path= ",           "present=0",
                "[ut2k4]",   "Path= ",           "present=0",
                "[ef2]",     "Path= ",           "present=0",
                "[bf]",      "Path= ",           "present=0",
                "[cod]",     "Path= ",           "present=0"})},
    };
    // clang-format on
    for (const Case& c : cases) {
        test::TestSystem t;
        c.install(t);
        t.files.files[kConfig] = {};
        EXPECT_TRUE(CreerConfigDefaut(t.os)) << c.machine;
        ASSERT_TRUE(t.files.files.contains(kConfig)) << c.machine;
        EXPECT_EQ(t.files.files[kConfig].bytes, c.expected) << c.machine;
        EXPECT_EQ(t.files.files.size(), 1u) << c.machine << ": a temporary file was left";
    }
}

TEST(Defaults, ResetRewritesTheKnownKeysWhereTheyStand) {
    // Written by hand and by older versions: other cases, other keys, a comment, LF endings.
    const std::string edited = lines({"[general]", "acceleration=1", "SansValidation=0",
                                      "; mes réglages", "[q3]", "path=C:\\Perso\\quake3.exe",
                                      "present=1", "joystick=1", "", "[Extra]", "cle=valeur"},
                                     "\n");
    struct Case {
        const char* machine;
        void (*install)(test::TestSystem&);
        std::string q3Path;
        std::string q3Present;
    };
    const std::vector<Case> cases{
        {"Quake 3 still registered", installQuake, "path=" + kQuake, "present=1"},
        {"Quake 3 no longer registered", [](test::TestSystem&) {}, "path= ", "present=0"},
    };
    for (const Case& c : cases) {
        test::TestSystem t;
        c.install(t);
        t.files.files[kConfig] = {edited};
        EXPECT_TRUE(CreerConfigDefaut(t.os)) << c.machine;
        const std::string expected = lines({"[general]",      "acceleration=0", "SansValidation=1",
                                            "; mes réglages", "[q3]",           c.q3Path,
                                            c.q3Present,      "joystick=1",     "",
                                            "[Extra]",        "cle=valeur",     "[dod]",
                                            "Path=",          "present=0",      "[shl]",
                                            "Path= ",         "present=0",      "[scs]",
                                            "Path=",          "present=0",      "[stfc]",
                                            "Path=",          "present=0",      "[ja]",
                                            "Path= ",         "present=0",      "[jo]",
                                            "Path= ",         "present=0",      "[UT2003]",
                                            "Path= ",         "present=0",      "[mohaa]",
                                            "Path= ",         "present=0",      "[ut2k4]",
                                            "Path= ",         "present=0",      "[ef2]",
                                            "Path= ",         "present=0",      "[bf]",
                                            "Path= ",         "present=0",      "[cod]",
                                            "Path= ",         "present=0"},
                                           "\n");
        EXPECT_EQ(t.files.files[kConfig].bytes, expected) << c.machine;
    }
}

TEST(Defaults, AFileThatCannotBeWrittenIsLeftAsItWasAndReported) {
    struct Case {
        const char* what;
        bool readOnly;
        bool failReplace;
    };
    for (auto [what, readOnly, failReplace] :
         {Case{"read-only file", true, false}, Case{"replacement refused", false, true}}) {
        test::TestSystem t;
        installQuake(t);
        const std::string before = lines({"[q3]", "path=C:\\Perso\\quake3.exe"});
        t.files.files[kConfig] = {before, readOnly};
        t.files.failReplace = failReplace;
        EXPECT_FALSE(CreerConfigDefaut(t.os)) << what;
        EXPECT_EQ(t.files.files[kConfig].bytes, before) << what;
        EXPECT_EQ(t.files.files.size(), 1u) << what;
    }
}

} // namespace
} // namespace quellix
